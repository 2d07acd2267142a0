#include "cli/CommandLine.h"

#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/Subcommand.h"
#include "cli/UsageError.h"

#include <cstdio>

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

QString overview()
{
    QString text = QStringLiteral(
        "Usage: quillmoor-cli SUBCOMMAND [options]\n"
        "Sends the Quillmoor tool's commands to a face-recognition terminal (HTTP on port 8090,\n"
        "photos over FTP on port 8010), byte for byte as the window sends them.\n\n"
        "Subcommands:\n");
    for (const Subcommand* subcommand : Subcommands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromUtf8(subcommand->name), -10)
                    .arg(QString::fromUtf8(subcommand->summary));
    text += QStringLiteral(
        "\nEvery subcommand takes --help and --json (one JSON object a line instead of text).\n"
        "The password comes from --password, else QUILLMOOR_PASSWORD, else 58104726.\n"
        "Exit status: 0 all succeeded, 1 some item failed, 2 usage error, 3 terminal not reached.\n");
    return text;
}

const Subcommand* find(const QString& name)
{
    for (const Subcommand* subcommand : Subcommands())
        if (name == QLatin1String(subcommand->name))
            return subcommand;
    return nullptr;
}

// The parser's help without its own usage line, under the subcommand's.
QString helpOf(const Subcommand& subcommand, const QCommandLineParser& parser)
{
    const QString body = parser.helpText();
    return QStringLiteral("Usage: quillmoor-cli ") + QString::fromUtf8(subcommand.synopsis) + '\n' +
           body.mid(body.indexOf('\n') + 1);
}

int runSubcommand(const Subcommand& subcommand, const QStringList& arguments)
{
    const QString name = QString::fromUtf8(subcommand.name);
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(subcommand.summary));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object a line instead of text.")});
    subcommand.declare(parser);
    Output out(name, arguments.contains(QStringLiteral("--json")));
    const QString seeHelp = QStringLiteral(" (see quillmoor-cli %1 --help)").arg(name);
    if (!parser.parse(arguments)) {
        out.complain(parser.errorText() + seeHelp);
        return kUsageError;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, helpOf(subcommand, parser));
        return kSucceeded;
    }
    try {
        return subcommand.run(parser, out);
    } catch (const UsageError& error) {
        out.complain(error.text() + seeHelp);
        return kUsageError;
    } catch (const std::exception& error) {
        out.complain(QString::fromUtf8(error.what()));
        return kItemFailed;
    }
}

} // namespace

int RunCommandLine(const QStringList& arguments)
{
    const QString first = arguments.value(1);
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        print(stdout, overview());
        return kSucceeded;
    }
    if (first == QLatin1String("--version")) {
        print(stdout, QStringLiteral("quillmoor-cli " QUILLMOOR_VERSION "\n"));
        return kSucceeded;
    }
    const Subcommand* subcommand = find(first);
    if (!subcommand) {
        print(stderr, first.isEmpty() ? overview()
                                      : QStringLiteral("quillmoor-cli: unknown subcommand '%1' "
                                                       "(see quillmoor-cli --help)\n")
                                            .arg(first));
        return kUsageError;
    }
    return runSubcommand(*subcommand, QStringList{arguments.constFirst()} + arguments.mid(2));
}
