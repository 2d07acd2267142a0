#include "common/SettingsFile.h"

#include "common/Failure.h"
#include "common/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <optional>

namespace {

const char* const kFileName = "Horavel.ini";
constexpr qsizetype kLongestValue = 2047;

struct Line
{
    QByteArray text;
    QByteArray ending; // "\r\n", "\n", or empty for a last line without one
};

struct Location
{
    qsizetype section = -1;
    qsizetype key = -1;
    qsizetype lastContent = -1; // last non-blank line of the section
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& bytes)
{
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes[first]))
        ++first;
    while (last > first && isBlank(bytes[last - 1]))
        --last;
    return bytes.mid(first, last - first);
}

QList<Line> splitLines(const QByteArray& content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        if (newline < 0) {
            lines.append({content.mid(start), {}});
            break;
        }
        const bool crlf = newline > start && content[newline - 1] == '\r';
        const qsizetype end = crlf ? newline - 1 : newline;
        lines.append({content.mid(start, end - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

QByteArray joinLines(const QList<Line>& lines)
{
    QByteArray content;
    for (const Line& line : lines)
        content += line.text + line.ending;
    return content;
}

bool sameName(const QByteArray& gbkName, const QString& name)
{
    return TextCodec::fromGbk(gbkName).compare(name, Qt::CaseInsensitive) == 0;
}

// The name of a section line "[name]", or nothing for any other line.
std::optional<QByteArray> sectionName(const QByteArray& line)
{
    const QByteArray trimmed = trimBlanks(line);
    const qsizetype close = trimmed.indexOf(']');
    if (!trimmed.startsWith('[') || close < 0)
        return std::nullopt;
    return trimBlanks(trimmed.mid(1, close - 1));
}

Location locate(const QList<Line>& lines, const QString& section, const QString& key)
{
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& text = lines[i].text;
        if (const auto name = sectionName(text)) {
            if (found.section >= 0)
                break;
            if (sameName(*name, section))
                found.section = found.lastContent = i;
            continue;
        }
        if (found.section < 0)
            continue;
        if (!trimBlanks(text).isEmpty())
            found.lastContent = i;
        const qsizetype equals = text.indexOf('=');
        if (found.key < 0 && equals >= 0 && sameName(trimBlanks(text.left(equals)), key))
            found.key = i;
    }
    return found;
}

// Keeps whole GBK characters: a lead byte whose second byte lies beyond the cut
// goes too.
QByteArray cutValue(const QByteArray& value)
{
    qsizetype end = 0;
    while (end < value.size()) {
        const qsizetype width = static_cast<unsigned char>(value[end]) >= 0x81 ? 2 : 1;
        if (end + width > kLongestValue)
            break;
        end += width;
    }
    return value.left(end);
}

QByteArray unquote(const QByteArray& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

SettingsFile::SettingsFile(QString path, WriteStep writeStep)
    : path_(std::move(path)), writeStep_(std::move(writeStep))
{
}

SettingsFile SettingsFile::inFolder(const QString& folder)
{
    return SettingsFile(QDir(folder).filePath(kFileName));
}

bool SettingsFile::writeAll(QIODevice& target, const QByteArray& content)
{
    return target.write(content) == content.size();
}

void SettingsFile::EnsureSettingsFile() const
{
    QFile file(path_);
    // NewOnly never truncates a file that appeared meanwhile.
    file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

void SettingsFile::WriteSetting(const QString& section, const QString& key, const QString& value) const
{
    const Failure unwritable(QString("Unable to write to %1").arg(path_));

    QByteArray old;
    QFile current(path_);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            throw unwritable;
        old = current.readAll();
        current.close();
    }

    QList<Line> lines = splitLines(old);
    if (!lines.isEmpty() && lines.back().ending.isEmpty())
        lines.back().ending = "\r\n";
    const Line keyLine{TextCodec::toGbk(key) + '=' + TextCodec::toGbk(value), "\r\n"};
    const Location found = locate(lines, section, key);
    if (found.key >= 0) {
        lines[found.key].text = keyLine.text;
    } else if (found.section >= 0) {
        lines.insert(found.lastContent + 1, keyLine);
    } else {
        lines.append({'[' + TextCodec::toGbk(section) + ']', "\r\n"});
        lines.append(keyLine);
    }

    // The new content goes into a temporary file beside the old one, which it
    // replaces only when complete; on any failure the temporary file is removed.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || !writeStep_(file, joinLines(lines)) || !file.commit())
        throw unwritable;
}

QString SettingsFile::ReadSetting(const QString& section, const QString& key, const QString& fallback) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return fallback;
    const QList<Line> lines = splitLines(file.readAll());
    const Location found = locate(lines, section, key);
    if (found.key < 0)
        return fallback;
    const QByteArray& text = lines[found.key].text;
    const QByteArray value = trimBlanks(text.mid(text.indexOf('=') + 1));
    return TextCodec::fromGbk(cutValue(unquote(value)));
}
