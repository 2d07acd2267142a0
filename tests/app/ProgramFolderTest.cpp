#include "app/ProgramFolder.h"
#include "common/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Keeps the per-user folder of these tests away from the real one.
class ProgramFolder : public ::testing::Test
{
protected:
    ProgramFolder() { QStandardPaths::setTestModeEnabled(true); }
    ~ProgramFolder() override { QStandardPaths::setTestModeEnabled(false); }
};

} // namespace

TEST_F(ProgramFolder, AWritableExecutableFolderKeepsTheFilesBesideTheProgram)
{
    QTemporaryDir executableFolder;
    EXPECT_EQ(ChooseProgramFolder(executableFolder.path()), executableFolder.path());
    SettingsFile::inFolder(ChooseProgramFolder(executableFolder.path())).EnsureSettingsFile();
    // The write probe leaves nothing behind but the settings file.
    EXPECT_EQ(QDir(executableFolder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Horavel.ini"});
}

TEST_F(ProgramFolder, AReadOnlyExecutableFolderSendsTheFilesToThePerUserFolder)
{
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(userFolder).removeRecursively();
    // Permission bits do not stop root, so the folders that are read-only for
    // everyone stand in when the tests run as root.
    QStringList readOnly{"/proc"};
    QTemporaryDir locked;
    if (geteuid() != 0) {
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        readOnly << locked.path();
    }
    for (const QString& folder : readOnly) {
        const QString chosen = ChooseProgramFolder(folder);
        EXPECT_EQ(chosen, userFolder) << folder.toStdString();
        SettingsFile::inFolder(chosen).EnsureSettingsFile();
        EXPECT_TRUE(QFile::exists(QDir(userFolder).filePath("Horavel.ini"))) << folder.toStdString();
    }
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(userFolder).removeRecursively();
}
