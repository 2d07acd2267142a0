#include "device/EnrolReport.h"

QStringList EnrolReportHeader()
{
    return {QStringLiteral("人员ID"), QStringLiteral("姓名"), QStringLiteral("照片"), QStringLiteral("状态"),
            QStringLiteral("说明")};
}

QString EnrolReportCell(const EnrolRow& row, int column)
{
    switch (column) {
    case 0:
        return row.id;
    case 1:
        return row.name;
    case 2:
        return row.photo;
    case 3:
        return EnrolStateText(row.state);
    default:
        return row.note;
    }
}

std::vector<QStringList> EnrolReportTable(const std::vector<EnrolRow>& rows)
{
    std::vector<QStringList> table{EnrolReportHeader()};
    table.reserve(rows.size() + 1);
    for (const EnrolRow& row : rows) {
        QStringList line;
        for (int column = 0; column < kEnrolReportColumns; ++column)
            line << EnrolReportCell(row, column);
        table.push_back(line);
    }
    return table;
}
