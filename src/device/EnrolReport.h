#pragma once

#include "device/EnrolRow.h"

#include <QStringList>
#include <vector>

// The result table of a bulk enrolment, as the dialog shows it and as its
// result CSV holds it: 人员ID, 姓名, 照片, 状态, 说明.

inline constexpr int kEnrolReportColumns = 5;

QStringList EnrolReportHeader();
QString EnrolReportCell(const EnrolRow& row, int column);
// The header, then one line per row in their order.
std::vector<QStringList> EnrolReportTable(const std::vector<EnrolRow>& rows);
