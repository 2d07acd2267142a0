#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// The name=value pairs of a form body or a query string, values as raw bytes.
// The tool sends some values in GBK and some converted to UTF-8, so a value is
// read as UTF-8 when it is valid UTF-8 and as GBK otherwise.
class FormValues
{
public:
    // "a=1&b=x+y": pieces split at "&", names and values percent-decoded.
    static FormValues parse(const QByteArray& encoded);

    // The server's decoded "name=value" entries, values back to their bytes.
    static FormValues fromParams(const QStringList& params);

    // Adds the other's pairs whose names are not here yet.
    void addMissing(const FormValues& other);

    bool has(const QString& name) const;
    QByteArray bytes(const QString& name) const;
    QString text(const QString& name) const;

private:
    QList<std::pair<QString, QByteArray>> pairs;
};

// Bytes as the terminal reads a text the tool sent: UTF-8 when valid, else GBK.
QString readSentText(const QByteArray& bytes);
