#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <vector>

// A spreadsheet saved as CSV (RFC 4180, as Excel quotes it): the header row,
// which names the columns, and the data rows below it.
struct CsvTable
{
    QStringList header;
    std::vector<QStringList> rows;

    // The first column whose header is one of the names (blanks around it and
    // case ignored); none when no column has any of them.
    std::optional<qsizetype> column(std::initializer_list<const char*> names) const;
    // A row's field in that column; empty when the row is shorter.
    static QString field(const QStringList& row, std::optional<qsizetype> column);
};

// The text of a spreadsheet file: a UTF-8 byte order mark means UTF-8, bytes
// that are valid UTF-8 are UTF-8, anything else is GBK (what Chinese Excel
// writes).
QString DecodeSpreadsheetText(const QByteArray& bytes);

// Reads the file's bytes; the first non-empty row is the header, empty rows are
// skipped. A file that is not CSV (an unclosed quote, say) throws Failure.
CsvTable ReadCsv(const QByteArray& bytes);

// The rows as CSV in UTF-8 with a byte order mark, so that Excel opens it
// right; every field quoted, rows ended by CR LF.
QByteArray WriteCsv(const std::vector<QStringList>& rows);
