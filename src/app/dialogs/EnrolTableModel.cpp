#include "app/dialogs/EnrolTableModel.h"

#include "device/EnrolReport.h"

#include <algorithm>

int EnrolTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EnrolTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kEnrolReportColumns;
}

QVariant EnrolTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return EnrolReportCell(rows_[static_cast<std::size_t>(index.row())], index.column());
}

QVariant EnrolTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return EnrolReportHeader().value(section);
}

void EnrolTableModel::setRows(std::vector<EnrolRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void EnrolTableModel::updateRow(std::size_t at, const EnrolRow& row)
{
    rows_[at] = row;
    const int line = static_cast<int>(at);
    emit dataChanged(index(line, 0), index(line, 4), {Qt::DisplayRole});
}

int EnrolTableModel::count(EnrolState state) const
{
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [state](const EnrolRow& row) { return row.state == state; }));
}

std::vector<QStringList> EnrolTableModel::texts() const
{
    return EnrolReportTable(rows_);
}
