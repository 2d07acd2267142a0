#pragma once

#include "device/SiteCheck.h"
#include "device/SiteTerminal.h"
#include "server/CallbackActivity.h"

#include <QAbstractTableModel>
#include <chrono>
#include <optional>
#include <vector>

// One row of the site table: a listed terminal, or one that called back
// without being listed.
struct SiteRow
{
    SiteTerminal terminal;
    bool listed = true;
    QString serialNo;
    QString result;
    std::optional<CallerActivity> activity;
};

// The site as the dialog's table shows it: 名称, IP, 序列号, 状态, 最后心跳,
// 心跳, 识别, 消费, 结果. The listed terminals come first, in their order; the
// callers that match none of them follow, as "未登记".
class SiteTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    static QStringList headerTexts();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    SiteList terminals() const;
    void setTerminals(const SiteList& terminals);
    void addTerminal(const SiteTerminal& terminal);
    // Listed rows only; callers that are not listed stay as long as they call.
    void removeTerminals(std::vector<int> rows);
    const SiteRow& row(int at) const { return rows_[static_cast<std::size_t>(at)]; }
    int listedCount() const { return listed; }

    void setCheck(int at, const TerminalCheck& check);
    void setResult(int at, const QString& result);

    // Matches every caller to its terminal, by deviceKey against the serial
    // number and otherwise by address, and shows who is online as of now.
    void showActivity(const std::vector<CallerActivity>& callers, std::chrono::steady_clock::time_point now,
                      std::chrono::seconds heartbeatInterval);

    // The table's texts, header first, as the export writes them.
    std::vector<QStringList> texts() const;

private:
    QString cell(const SiteRow& row, int column) const;
    void changed(int first, int last);

    std::vector<SiteRow> rows_;
    int listed = 0;
    std::chrono::steady_clock::time_point now{};
    std::chrono::seconds interval{60};
};
