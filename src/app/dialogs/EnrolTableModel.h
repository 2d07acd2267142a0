#pragma once

#include "device/EnrolRow.h"

#include <QAbstractTableModel>
#include <vector>

// The rows of a bulk enrolment as the dialog's table shows them: 人员ID, 姓名,
// 照片, 状态, 说明. It keeps only texts and states, never a photo, so that
// ten thousand rows stay light.
class EnrolTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setRows(std::vector<EnrolRow> rows);
    const std::vector<EnrolRow>& rows() const { return rows_; }
    void updateRow(std::size_t at, const EnrolRow& row);

    int count(EnrolState state) const;
    // The table's texts, header first, as the export writes them.
    std::vector<QStringList> texts() const;

private:
    std::vector<EnrolRow> rows_;
};
