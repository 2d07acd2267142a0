#pragma once

#include "device/EnrolRow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The persons of a bulk enrolment spreadsheet, every row checked before
// anything is sent.

// 人员ID,姓名,卡号,有效期,照片: the header of the template and its columns.
QStringList EnrolSheetHeader();

// The largest photo a row may name.
inline constexpr qint64 kMaxEnrolPhotoBytes = qint64(2) << 20;

// One row per data row of the CSV, in file order: valid rows pending, the
// others invalid with the first reason that applies. The photo of a row is
// the file its 照片 column names in photoFolder, else <ID>.jpg, .jpeg or .png
// there. A file that is no CSV, or lacks the 人员ID or 姓名 column, throws
// Failure with the text to show.
std::vector<EnrolRow> ReadEnrolSheet(const QByteArray& csv, const QString& photoFolder);
