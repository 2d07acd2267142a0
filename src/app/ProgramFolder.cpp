#include "app/ProgramFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Tried rather than judged from permission bits, which say nothing of a
// read-only file system and are not what decides for root.
bool canCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillmoor-write-probe-XXXXXX")));
    return probe.open();
}

} // namespace

QString ChooseProgramFolder(const QString& executableFolder)
{
    if (canCreateFilesIn(executableFolder))
        return executableFolder;
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userFolder);
    return userFolder;
}
