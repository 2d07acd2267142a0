#include "device/SiteFile.h"

#include "common/CsvTable.h"
#include "common/Failure.h"
#include "common/WholeFile.h"

#include <QFile>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

SiteList parseSite(const QByteArray& bytes)
{
    const Json json = Json::parse(bytes.constBegin(), bytes.constEnd());
    SiteList terminals;
    for (const Json& entry : json.at("terminals")) {
        const auto text = [&](const char* member) {
            return QString::fromStdString(entry.value(member, std::string()));
        };
        terminals.push_back({text("name"), text("ip"), text("password")});
    }
    return terminals;
}

} // namespace

SiteFileContents ReadSiteFile(const QString& path)
{
    if (!QFile::exists(path))
        return {};
    const QByteArray bytes = ReadWholeFile(path);
    try {
        return {parseSite(bytes), {}};
    } catch (const std::exception& error) {
        const QString aside = path + QStringLiteral(".bad");
        QFile::remove(aside);
        if (!QFile::rename(path, aside))
            throw Failure(QStringLiteral("%1 已损坏，且无法改名为 %2").arg(path, aside));
        return {{}, QStringLiteral("%1 已损坏 (%2)，已改名为 %3，站点列表从空开始")
                        .arg(path, QString::fromUtf8(error.what()), aside)};
    }
}

void WriteSiteFile(const QString& path, const SiteList& terminals)
{
    Json list = Json::array();
    for (const SiteTerminal& terminal : terminals)
        list.push_back({{"name", terminal.name.toStdString()},
                        {"ip", terminal.ip.toStdString()},
                        {"password", terminal.password.toStdString()}});
    ReplaceWholeFile(path, QByteArray::fromStdString(Json{{"terminals", list}}.dump(2)) + '\n', true);
}

SiteList ReadSiteCsv(const QByteArray& bytes)
{
    const CsvTable table = ReadCsv(bytes);
    const std::optional<qsizetype> ip = table.column({"IP"});
    if (!ip)
        throw Failure(QStringLiteral("CSV 缺少列: IP"));
    const std::optional<qsizetype> name = table.column({"名称", "name"});
    const std::optional<qsizetype> password = table.column({"密码", "password"});
    SiteList terminals;
    for (const QStringList& row : table.rows)
        terminals.push_back({CsvTable::field(row, name), CsvTable::field(row, ip).trimmed(),
                             CsvTable::field(row, password)});
    return terminals;
}

QByteArray SiteCsv(const SiteList& terminals)
{
    std::vector<QStringList> rows{{QStringLiteral("名称"), QStringLiteral("IP"), QStringLiteral("密码")}};
    for (const SiteTerminal& terminal : terminals)
        rows.push_back({terminal.name, terminal.ip, terminal.password});
    return WriteCsv(rows);
}
