#include "app/PaneLogging.h"

#include "app/LogSettings.h"
#include "app/LogView.h"
#include "common/LogFileWriter.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

PaneLogging::PaneLogging() = default;

PaneLogging::~PaneLogging()
{
    for (LogView* pane : std::as_const(recorded))
        if (pane)
            pane->recordTo(nullptr);
}

QString PaneLogging::folderIn(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("logs"));
}

bool PaneLogging::openFolder(const QString& folder)
{
    QDir().mkpath(folder);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

LogSettings PaneLogging::start(const SettingsFile& settings, const QString& programFolder,
                        const QList<LogView*>& panes, LogView* notices)
{
    const LogSettings limits = LogSettings::read(settings);
    // The writer's thread tells of a failing disk; the line goes in on the
    // window thread, unless the pane is gone by then.
    QPointer<LogView> noticePane = notices;
    writer = std::make_unique<LogFileWriter>(
        folderIn(programFolder), LogFileWriter::Limits{limits.keepDays, limits.maxTotalBytes()},
        [noticePane](const QString& error) {
            const QString line =
                QString::fromUtf8("日志文件无法写入（%1）；窗口中的记录照常，每分钟检查一次，可写时继续写入")
                    .arg(error);
            QMetaObject::invokeMethod(
                noticePane, [noticePane, line] { noticePane->appendLine(line); },
                Qt::QueuedConnection);
        });
    for (LogView* pane : panes) {
        pane->setMaxLines(limits.maxPaneLines);
        pane->recordTo(writer.get());
        recorded << pane;
    }
    for (const QString& problem : limits.problems)
        notices->appendLine(problem);
    return limits;
}
