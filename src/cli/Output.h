#pragma once

#include <QByteArray>
#include <QString>
#include <nlohmann/json.hpp>
#include <string>

// Where a subcommand's results and complaints go: results on stdout, as text
// lines or, with --json, as one JSON object a line; complaints on stderr, one
// line each, after the program's and the subcommand's names.
class Output
{
public:
    Output(QString subcommand, bool json);

    bool json() const { return json_; }
    // The text line, or the object, whichever the mode asks for.
    void result(const QString& text, const nlohmann::ordered_json& object) const;
    // Bytes as they are, for the text mode's tables and replies.
    void bytes(const QByteArray& bytes) const;
    void complain(const QString& text) const;

private:
    QString subcommand_;
    bool json_;
};

// A text as a JSON string (UTF-8).
inline std::string JsonString(const QString& text)
{
    return text.toStdString();
}
