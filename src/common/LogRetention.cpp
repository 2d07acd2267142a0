#include "common/LogRetention.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace LogRetention {

Kept prune(const QString& folder, QDate today, int keepDays, qint64 maxBytes, const QString& current)
{
    static const QRegularExpression dayName(QStringLiteral(R"(^(\d{4}-\d{2}-\d{2})\.log$)"));
    const QDate oldestKept = today.addDays(-keepDays);
    // Sorted by name, which is by day, oldest first.
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);

    QFileInfoList kept;
    Kept left;
    for (const QFileInfo& file : files) {
        const QRegularExpressionMatch name = dayName.match(file.fileName());
        if (!name.hasMatch())
            continue;
        const QDate day = QDate::fromString(name.captured(1), Qt::ISODate);
        const bool isCurrent = file.fileName() == current;
        if (!isCurrent && day.isValid() && day < oldestKept && QFile::remove(file.filePath()))
            continue;
        left.bytes += file.size();
        if (!isCurrent)
            kept << file;
    }
    for (const QFileInfo& file : std::as_const(kept)) {
        if (left.bytes > maxBytes && QFile::remove(file.filePath()))
            left.bytes -= file.size();
        else
            ++left.others;
    }
    return left;
}

} // namespace LogRetention
