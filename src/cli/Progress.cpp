#include "cli/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;

} // namespace

Progress::Progress(QString label) : label_(std::move(label)), onTerminal_(isatty(STDERR_FILENO) == 1) {}

Progress::~Progress()
{
    if (drawn_)
        std::fputc('\n', stderr);
}

void Progress::show(qint64 done, qint64 total)
{
    if (!onTerminal_)
        return;
    QString line = QLatin1Char('\r') + label_ + QLatin1Char(' ');
    if (total > 0) {
        const int filled = static_cast<int>(kBarWidth * std::min(done, total) / total);
        line += QLatin1Char('[') + QString(filled, QLatin1Char('#')) +
                QString(kBarWidth - filled, QLatin1Char('.')) +
                QStringLiteral("] %1/%2").arg(done).arg(total);
    } else {
        line += QString::number(done);
    }
    std::fputs(line.toUtf8().constData(), stderr);
    std::fflush(stderr);
    drawn_ = true;
}
