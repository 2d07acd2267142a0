#include "app/dialogs/EnrolTableModel.h"

#include <algorithm>

namespace {

QString cell(const EnrolRow& row, int column)
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

} // namespace

QStringList EnrolTableModel::headerTexts()
{
    return {QStringLiteral("人员ID"), QStringLiteral("姓名"), QStringLiteral("照片"), QStringLiteral("状态"),
            QStringLiteral("说明")};
}

int EnrolTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EnrolTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant EnrolTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(rows_[static_cast<std::size_t>(index.row())], index.column());
}

QVariant EnrolTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return headerTexts().value(section);
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
    std::vector<QStringList> table{headerTexts()};
    table.reserve(rows_.size() + 1);
    for (const EnrolRow& row : rows_)
        table.push_back({cell(row, 0), cell(row, 1), cell(row, 2), cell(row, 3), cell(row, 4)});
    return table;
}
