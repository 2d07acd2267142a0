#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

// The ini file "Horavel.ini" of a program folder (the window's, or one the
// command line is given): GBK text with CR LF lines, sections "[name]" and
// lines "key=value". Section and key lookups ignore letter case. Every
// operation opens, reads or writes and closes the file at once.
class SettingsFile
{
public:
    // Where the device and callback commands record the values they sent last.
    static inline const QString kDeviceSection = QStringLiteral("Dovarin");

    // Puts the complete new content into the temporary file that replaces the
    // settings file; true when every byte was written. Tests substitute one that
    // fails midway.
    using WriteStep = std::function<bool(QIODevice& target, const QByteArray& content)>;

    explicit SettingsFile(QString path, WriteStep writeStep = writeAll);
    // The settings file of a program folder.
    static SettingsFile inFolder(const QString& folder);

    const QString& path() const { return path_; }

    // Creates the file empty when it is missing; an existing file stays as it is.
    // A file that cannot be created is left to the next write to report.
    void EnsureSettingsFile() const;

    // Replaces the key's value in place, or adds the key as the last line of its
    // section, or adds the section with the key at the end of the file. The file
    // is replaced as a whole only once the new content is completely written, so
    // a failed write leaves the previous file as it was; it raises a Failure
    // "Unable to write to <path>".
    void WriteSetting(const QString& section, const QString& key, const QString& value) const;

    // The key's value without surrounding blanks and without one pair of matching
    // quotes around it, cut to at most 2047 bytes; `fallback` when the file,
    // section or key is missing. A key with an empty value gives the empty text.
    QString ReadSetting(const QString& section, const QString& key, const QString& fallback) const;

    static bool writeAll(QIODevice& target, const QByteArray& content);

private:
    QString path_;
    WriteStep writeStep_;
};
