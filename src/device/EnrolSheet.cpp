#include "device/EnrolSheet.h"

#include "common/CsvTable.h"
#include "common/Failure.h"
#include "device/LocalPhotoName.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <set>

namespace {

struct Columns
{
    std::optional<qsizetype> id, name, card, validUntil, photo;
};

Columns findColumns(const CsvTable& table)
{
    if (table.header.isEmpty())
        throw Failure(QStringLiteral("CSV 文件是空的"));
    Columns columns{table.column({"人员ID", "id"}), table.column({"姓名", "name"}),
                    table.column({"卡号", "card"}), table.column({"有效期", "valid_until"}),
                    table.column({"照片", "photo"})};
    QStringList missing;
    if (!columns.id)
        missing << QStringLiteral("人员ID");
    if (!columns.name)
        missing << QStringLiteral("姓名");
    if (!missing.isEmpty())
        throw Failure(QStringLiteral("CSV 缺少列: ") + missing.join(QStringLiteral("、")));
    return columns;
}

std::optional<QDateTime> parseValidUntil(const QString& text, bool& wellFormed)
{
    wellFormed = true;
    if (text.isEmpty())
        return std::nullopt;
    const QDateTime full = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (full.isValid())
        return full;
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (day.isValid())
        return QDateTime(day, QTime(23, 59, 59));
    wellFormed = false;
    return std::nullopt;
}

// The file the row names, or the first of <ID>.jpg, .jpeg, .png that exists;
// the name as shown and the path, empty when there is none.
std::pair<QString, QString> findPhoto(const QDir& folder, const QString& named, const QString& id)
{
    QStringList candidates;
    if (!named.isEmpty())
        candidates << named;
    else
        candidates << id + ".jpg" << id + ".jpeg" << id + ".png";
    for (const QString& name : candidates) {
        if (IsSafeLocalName(name) && QFileInfo(folder.filePath(name)).isFile())
            return {name, folder.filePath(name)};
    }
    return {named.isEmpty() ? candidates.front() : named, QString()};
}

bool isReadablePhoto(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png" && format != "bmp")
        return false;
    return !reader.read().isNull();
}

bool hasQuoteOrBackslash(const QString& text)
{
    return text.contains('"') || text.contains('\\');
}

// The first reason the row cannot be sent, in the order the user is told them.
QString problemOf(const EnrolRow& row, bool duplicate, bool validWellFormed)
{
    if (row.id.isEmpty())
        return QStringLiteral("缺少人员ID");
    if (row.name.isEmpty())
        return QStringLiteral("缺少姓名");
    if (duplicate)
        return QStringLiteral("人员ID重复");
    if (row.photoFile.isEmpty())
        return QStringLiteral("找不到照片");
    if (!isReadablePhoto(row.photoFile))
        return QStringLiteral("照片无法读取");
    if (QFileInfo(row.photoFile).size() > kMaxEnrolPhotoBytes)
        return QStringLiteral("照片过大");
    if (!validWellFormed)
        return QStringLiteral("有效期格式错误");
    // The person object goes out unescaped, so such a value breaks its JSON.
    if (hasQuoteOrBackslash(row.id) || hasQuoteOrBackslash(row.name) || hasQuoteOrBackslash(row.card))
        return QStringLiteral("含有引号或反斜杠");
    return {};
}

} // namespace

QStringList EnrolSheetHeader()
{
    return {QStringLiteral("人员ID"), QStringLiteral("姓名"), QStringLiteral("卡号"),
            QStringLiteral("有效期"), QStringLiteral("照片")};
}

std::vector<EnrolRow> ReadEnrolSheet(const QByteArray& csv, const QString& photoFolder)
{
    const CsvTable table = ReadCsv(csv);
    const Columns columns = findColumns(table);
    const QDir folder(photoFolder);
    std::vector<EnrolRow> rows;
    rows.reserve(table.rows.size());
    std::set<QString> seenIds;
    for (const QStringList& fields : table.rows) {
        EnrolRow row;
        row.id = CsvTable::field(fields, columns.id).trimmed();
        row.name = CsvTable::field(fields, columns.name).trimmed();
        row.card = CsvTable::field(fields, columns.card).trimmed();
        bool validWellFormed = true;
        row.validUntil =
            parseValidUntil(CsvTable::field(fields, columns.validUntil).trimmed(), validWellFormed);
        std::tie(row.photo, row.photoFile) =
            findPhoto(folder, CsvTable::field(fields, columns.photo).trimmed(), row.id);
        const bool duplicate = !row.id.isEmpty() && !seenIds.insert(row.id).second;
        row.note = problemOf(row, duplicate, validWellFormed);
        row.state = row.note.isEmpty() ? EnrolState::Pending : EnrolState::Invalid;
        rows.push_back(std::move(row));
    }
    return rows;
}
