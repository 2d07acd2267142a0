#include "cli/Output.h"

#include <cstdio>

Output::Output(QString subcommand, bool json) : subcommand_(std::move(subcommand)), json_(json) {}

void Output::result(const QString& text, const nlohmann::ordered_json& object) const
{
    bytes(json_ ? QByteArray::fromStdString(object.dump()) + '\n' : text.toUtf8() + '\n');
}

void Output::bytes(const QByteArray& bytes) const
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void Output::complain(const QString& text) const
{
    QString line = QStringLiteral("quillmoor-cli: ") + subcommand_ + QStringLiteral(": ") + text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs((line + '\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}
