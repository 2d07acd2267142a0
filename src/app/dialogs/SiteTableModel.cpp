#include "app/dialogs/SiteTableModel.h"

#include <algorithm>

namespace {

constexpr int kColumns = 9;

} // namespace

QStringList SiteTableModel::headerTexts()
{
    return {QStringLiteral("名称"), QStringLiteral("IP"),   QStringLiteral("序列号"),
            QStringLiteral("状态"), QStringLiteral("最后心跳"), QStringLiteral("心跳"),
            QStringLiteral("识别"), QStringLiteral("消费"), QStringLiteral("结果")};
}

int SiteTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SiteTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString SiteTableModel::cell(const SiteRow& row, int column) const
{
    const CallerActivity* activity = row.activity ? &*row.activity : nullptr;
    const auto count = [activity](int CallerActivity::*member) {
        return activity ? QString::number(activity->*member) : QString();
    };
    switch (column) {
    case 0:
        return row.terminal.name;
    case 1:
        return row.terminal.ip;
    case 2:
        return row.serialNo;
    case 3:
        return row.listed ? PresenceText(activity, now, interval) : QStringLiteral("未登记");
    case 4:
        return activity && activity->lastHeartbeat.isValid()
                   ? activity->lastHeartbeat.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                   : QString();
    case 5:
        return count(&CallerActivity::heartbeats);
    case 6:
        return count(&CallerActivity::recognitions);
    case 7:
        return count(&CallerActivity::consumptions);
    default:
        return row.result;
    }
}

QVariant SiteTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(row(index.row()), index.column());
}

QVariant SiteTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return headerTexts().value(section);
}

SiteList SiteTableModel::terminals() const
{
    SiteList terminals;
    for (int at = 0; at < listed; ++at)
        terminals.push_back(row(at).terminal);
    return terminals;
}

void SiteTableModel::setTerminals(const SiteList& terminals)
{
    beginResetModel();
    rows_.erase(rows_.begin(), rows_.begin() + listed);
    std::vector<SiteRow> fresh;
    for (const SiteTerminal& terminal : terminals)
        fresh.push_back({terminal, true, {}, {}, {}});
    rows_.insert(rows_.begin(), fresh.begin(), fresh.end());
    listed = static_cast<int>(terminals.size());
    endResetModel();
}

void SiteTableModel::addTerminal(const SiteTerminal& terminal)
{
    beginInsertRows({}, listed, listed);
    rows_.insert(rows_.begin() + listed, SiteRow{terminal, true, {}, {}, {}});
    ++listed;
    endInsertRows();
}

void SiteTableModel::removeTerminals(std::vector<int> rows)
{
    std::sort(rows.rbegin(), rows.rend());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int at : rows) {
        if (at < 0 || at >= listed)
            continue;
        beginRemoveRows({}, at, at);
        rows_.erase(rows_.begin() + at);
        --listed;
        endRemoveRows();
    }
}

void SiteTableModel::setCheck(int at, const TerminalCheck& check)
{
    SiteRow& changedRow = rows_[static_cast<std::size_t>(at)];
    changedRow.serialNo = check.serialNo.value_or(QString());
    changedRow.result = check.result;
    changed(at, at);
}

void SiteTableModel::setResult(int at, const QString& result)
{
    rows_[static_cast<std::size_t>(at)].result = result;
    changed(at, at);
}

void SiteTableModel::showActivity(const std::vector<CallerActivity>& callers,
                                  std::chrono::steady_clock::time_point at, std::chrono::seconds heartbeatInterval)
{
    now = at;
    interval = heartbeatInterval;
    const auto listedEnd = rows_.begin() + listed;
    for (auto row = rows_.begin(); row != listedEnd; ++row)
        row->activity.reset();
    std::vector<SiteRow> strangers;
    for (const CallerActivity& caller : callers) {
        auto match = listedEnd;
        if (!caller.deviceKey.isEmpty())
            match = std::find_if(rows_.begin(), listedEnd,
                                 [&](const SiteRow& row) { return row.serialNo == caller.deviceKey; });
        if (match == listedEnd)
            match = std::find_if(rows_.begin(), listedEnd,
                                 [&](const SiteRow& row) { return row.terminal.ip == caller.address; });
        if (match == listedEnd) {
            strangers.push_back({{{}, caller.address, {}}, false, caller.deviceKey, {}, caller});
            continue;
        }
        match->activity = caller;
        if (match->serialNo.isEmpty())
            match->serialNo = caller.deviceKey;
    }
    const int before = static_cast<int>(rows_.size());
    const int after = listed + static_cast<int>(strangers.size());
    if (after > before)
        beginInsertRows({}, before, after - 1);
    else if (after < before)
        beginRemoveRows({}, after, before - 1);
    rows_.erase(listedEnd, rows_.end());
    rows_.insert(rows_.end(), strangers.begin(), strangers.end());
    if (after > before)
        endInsertRows();
    else if (after < before)
        endRemoveRows();
    if (!rows_.empty())
        changed(0, static_cast<int>(rows_.size()) - 1);
}

void SiteTableModel::changed(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, kColumns - 1), {Qt::DisplayRole});
}

std::vector<QStringList> SiteTableModel::texts() const
{
    std::vector<QStringList> table{headerTexts()};
    for (const SiteRow& row : rows_) {
        QStringList line;
        for (int column = 0; column < kColumns; ++column)
            line << cell(row, column);
        table.push_back(line);
    }
    return table;
}
