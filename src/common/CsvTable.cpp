#include "common/CsvTable.h"

#include "common/Failure.h"
#include "common/TextCodec.h"

#include <QStringDecoder>
#include <algorithm>
#include <csv.h>

namespace {

const QByteArray kUtf8Bom = "\xEF\xBB\xBF";

// What libcsv hands over while it parses: the row being read, the rows done.
struct Reading
{
    QStringList row;
    std::vector<QStringList> rows;
};

void onField(void* field, size_t length, void* data)
{
    auto* reading = static_cast<Reading*>(data);
    reading->row << QString::fromUtf8(static_cast<const char*>(field), static_cast<qsizetype>(length));
}

void onRowEnd(int, void* data)
{
    auto* reading = static_cast<Reading*>(data);
    // Excel writes a row it holds no values in as commas only.
    const bool blank = std::all_of(reading->row.cbegin(), reading->row.cend(),
                                   [](const QString& field) { return field.trimmed().isEmpty(); });
    if (!blank)
        reading->rows.push_back(reading->row);
    reading->row.clear();
}

QString normalName(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

} // namespace

std::optional<qsizetype> CsvTable::column(std::initializer_list<const char*> names) const
{
    for (qsizetype at = 0; at < header.size(); ++at) {
        for (const char* name : names) {
            if (normalName(header[at]) == normalName(QString::fromUtf8(name)))
                return at;
        }
    }
    return std::nullopt;
}

QString CsvTable::field(const QStringList& row, std::optional<qsizetype> column)
{
    return column ? row.value(*column) : QString();
}

QString DecodeSpreadsheetText(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return TextCodec::fromGbk(bytes);
}

CsvTable ReadCsv(const QByteArray& bytes)
{
    // Parsed as UTF-8 whatever it came in: no byte of a multi-byte character
    // can pass for a comma, a quote or a line break.
    const QByteArray utf8 = TextCodec::toUtf8(DecodeSpreadsheetText(bytes));
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        throw Failure(QStringLiteral("CSV 解析器无法初始化"));
    Reading reading;
    const size_t parsed =
        csv_parse(&parser, utf8.constData(), static_cast<size_t>(utf8.size()), onField, onRowEnd, &reading);
    const bool finished =
        parsed == static_cast<size_t>(utf8.size()) && csv_fini(&parser, onField, onRowEnd, &reading) == 0;
    const QString error = QString::fromUtf8(csv_strerror(csv_error(&parser)));
    csv_free(&parser);
    if (!finished)
        throw Failure(QStringLiteral("CSV 文件格式错误: ") + error);
    CsvTable table;
    if (reading.rows.empty())
        return table;
    table.header = reading.rows.front();
    table.rows.assign(std::make_move_iterator(reading.rows.begin() + 1),
                      std::make_move_iterator(reading.rows.end()));
    return table;
}

QByteArray WriteCsv(const std::vector<QStringList>& rows)
{
    QByteArray out = kUtf8Bom;
    for (const QStringList& row : rows) {
        for (qsizetype at = 0; at < row.size(); ++at) {
            const QByteArray field = TextCodec::toUtf8(row[at]);
            // Every quote doubled and two around it: at most twice the size plus two.
            QByteArray quoted(field.size() * 2 + 2, Qt::Uninitialized);
            const size_t length = csv_write(quoted.data(), static_cast<size_t>(quoted.size()),
                                            field.constData(), static_cast<size_t>(field.size()));
            quoted.truncate(static_cast<qsizetype>(length));
            if (at > 0)
                out += ',';
            out += quoted;
        }
        out += "\r\n";
    }
    return out;
}
