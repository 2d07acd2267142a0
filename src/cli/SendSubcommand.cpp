// send: any command through the window's envelope, for what no subcommand covers.
#include "cli/CommandVerdict.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/Subcommand.h"
#include "cli/TerminalLink.h"
#include "cli/UsageError.h"
#include "common/TextCodec.h"
#include "device/CommandEnvelope.h"
#include "device/QueryValue.h"

#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

void declare(QCommandLineParser& parser)
{
    AddTerminalOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("PATH"),
        QStringLiteral("The command's path, such as setConfig or device/setLanguage."));
    parser.addOption({QStringLiteral("form"),
                      QStringLiteral("A field after \"pass\", in the order given; a field given twice keeps "
                                     "its first place and its last value; an empty value is left out."),
                      QStringLiteral("KEY=VALUE")});
    parser.addOption({QStringLiteral("get"),
                      QStringLiteral("A GET with \"pass\" and the fields in its query string, instead of a "
                                     "form POST.")});
    parser.addOption({QStringLiteral("utf8"),
                      QStringLiteral("Form values as UTF-8, as the window sends setConfig, persons and voice "
                                     "texts; GBK otherwise.")});
}

// "pass" first, as the window's commands set it, then the fields; a name set
// again keeps its place and takes the new value.
Pairs fieldsOf(const QCommandLineParser& parser, const QString& password)
{
    Pairs fields{{QStringLiteral("pass"), password}};
    for (const QString& form : parser.values(QStringLiteral("form"))) {
        const qsizetype equals = form.indexOf(QLatin1Char('='));
        if (equals <= 0)
            throw UsageError(QStringLiteral("--form wants KEY=VALUE, not '%1'").arg(form));
        const QString key = form.left(equals);
        const QString value = form.mid(equals + 1);
        auto field =
            std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.first == key; });
        if (field != fields.end())
            field->second = value;
        else
            fields.emplace_back(key, value);
    }
    return fields;
}

QByteArray post(TerminalLink& link, const QString& path, const Pairs& fields, bool utf8)
{
    FormFields form;
    for (const auto& [key, value] : fields) {
        if (utf8)
            form.setBytes(key.toUtf8(), TextCodec::toUtf8(value));
        else
            form.set(key.toUtf8(), value);
    }
    return PostForm(link.client, CommandUrl(link.connection, path), form);
}

// Values go into the query as the window's GET commands put them.
QByteArray get(TerminalLink& link, QString path, const Pairs& fields)
{
    QStringList query;
    for (const auto& [key, value] : fields)
        query << key + QLatin1Char('=') + QueryValue(value);
    path += (path.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
            query.join(QLatin1Char('&'));
    return GetText(link.client, CommandUrl(link.connection, path));
}

nlohmann::ordered_json replyJson(const QByteArray& body)
{
    const QString text = DecodeReply(body);
    try {
        return ParseReply(text).json();
    } catch (const std::exception&) {
        return JsonString(text);
    }
}

int run(const QCommandLineParser& parser, Output& out)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        throw UsageError(QStringLiteral("send wants exactly one PATH"));
    const bool isGet = parser.isSet(QStringLiteral("get"));
    if (isGet && parser.isSet(QStringLiteral("utf8")))
        throw UsageError(QStringLiteral("--utf8 is for form values; --get puts them in the query"));
    QString path = positional.constFirst();
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    TerminalLink link(parser);
    const Pairs fields = fieldsOf(parser, link.password);

    QByteArray body;
    try {
        body =
            isGet ? get(link, path, fields) : post(link, path, fields, parser.isSet(QStringLiteral("utf8")));
    } catch (const std::exception&) {
        CommandLog none;
        const CommandVerdict verdict = JudgeCommand(none, link);
        out.complain(verdict.complaint);
        return verdict.exitStatus;
    }
    if (out.json())
        out.result({}, {{"status", link.client.lastStatus()}, {"reply", replyJson(body)}});
    else
        out.bytes(body.endsWith('\n') ? body : body + '\n');
    const CommandVerdict verdict = JudgeReply(link.connection.deviceHost, DecodeReply(body));
    // A reply that is no JSON object with "success" is the escape hatch's to show, not to judge.
    if (verdict.refused) {
        out.complain(verdict.complaint);
        return kItemFailed;
    }
    return kSucceeded;
}

} // namespace

extern const Subcommand kSendSubcommand{
    "send", "send PATH --ip IP [--password P] [--form KEY=VALUE]... [--get] [--utf8] [--json]",
    "sends any command as the window does (\"pass\" added) and prints the reply", declare, run};
