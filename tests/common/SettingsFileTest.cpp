#include "common/SettingsFile.h"
#include "common/Failure.h"
#include "common/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QByteArray gbk(const char* utf8)
{
    return TextCodec::toGbk(QString::fromUtf8(utf8));
}

class SettingsFileTest : public ::testing::Test
{
protected:
    QByteArray contents() const
    {
        QFile file(settings.path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    void setContents(const QByteArray& bytes) const
    {
        QFile file(settings.path());
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    QTemporaryDir folder;
    SettingsFile settings = SettingsFile::inFolder(folder.path());
};

} // namespace

TEST_F(SettingsFileTest, LivesInTheProgramFolder)
{
    EXPECT_EQ(settings.path(), folder.path() + "/Horavel.ini");
    EXPECT_EQ(SettingsFile::inFolder(folder.path() + "/").path(), folder.path() + "/Horavel.ini");
}

TEST_F(SettingsFileTest, EnsureCreatesAnEmptyFileAndLeavesAnExistingOneAlone)
{
    settings.EnsureSettingsFile();
    ASSERT_TRUE(QFile::exists(settings.path()));
    EXPECT_EQ(QFile(settings.path()).size(), 0);

    setContents("[Dovarin]\r\nIP=1.2.3.4\r\n");
    settings.EnsureSettingsFile();
    EXPECT_EQ(contents(), "[Dovarin]\r\nIP=1.2.3.4\r\n");
}

TEST_F(SettingsFileTest, EnsureIsSilentWhenTheFileCannotBeCreated)
{
    const SettingsFile nowhere = SettingsFile::inFolder(folder.filePath("missing/folder"));
    EXPECT_NO_THROW(nowhere.EnsureSettingsFile());
    EXPECT_FALSE(QFile::exists(nowhere.path()));
}

TEST_F(SettingsFileTest, WritesAddSectionsAndKeysWithCrLfLines)
{
    settings.EnsureSettingsFile();
    settings.WriteSetting("Dovarin", "IP", "192.168.1.10");
    settings.WriteSetting("Dovarin", "DSN", "");
    settings.WriteSetting("Temperture", QString::fromUtf8("有效温度"), "30;43");
    EXPECT_EQ(contents(),
              "[Dovarin]\r\nIP=192.168.1.10\r\nDSN=\r\n[Temperture]\r\n" + gbk("有效温度") + "=30;43\r\n");
    // Writing creates a missing file too.
    QFile::remove(settings.path());
    settings.WriteSetting("Dovarin", "IP", "1");
    EXPECT_EQ(contents(), "[Dovarin]\r\nIP=1\r\n");
}

TEST_F(SettingsFileTest, ReplacesInPlaceAndKeepsEveryOtherLineByteForByte)
{
    const QByteArray before = "; hand-written note\r\n[Dovarin]\r\nIP=1.1.1.1\r\ngeteway=1.1.1.254\r\n\r\n[" +
                              gbk("Temperture") + "]\r\n" + gbk("温度单位") + "=1\r\n";
    setContents(before);
    settings.WriteSetting("dovarin", "ip", "2.2.2.2");
    QByteArray expected = before;
    expected.replace("IP=1.1.1.1", "ip=2.2.2.2");
    EXPECT_EQ(contents(), expected);
}

TEST_F(SettingsFileTest, NewKeyGoesBelowTheLastLineOfItsSection)
{
    setContents("[Dovarin]\r\nIP=1\r\n\r\n[Temperture]\r\nx=1\r\n");
    settings.WriteSetting("Dovarin", "DSN", "8.8.8.8");
    EXPECT_EQ(contents(), "[Dovarin]\r\nIP=1\r\nDSN=8.8.8.8\r\n\r\n[Temperture]\r\nx=1\r\n");
}

TEST_F(SettingsFileTest, LastLineWithoutLineEndGetsOneBeforeANewLineFollows)
{
    setContents("[Dovarin]\r\nIP=1");
    settings.WriteSetting("Dovarin", "DSN", "2");
    EXPECT_EQ(contents(), "[Dovarin]\r\nIP=1\r\nDSN=2\r\n");
}

TEST_F(SettingsFileTest, ChineseKeysAndValuesRoundTripAsGbkBytes)
{
    const QString key = QString::fromUtf8("异常温度语音播报内容");
    const QString value = QString::fromUtf8("体温异常{temperature}度");
    settings.WriteSetting("Temperture", key, value);
    EXPECT_EQ(contents(), "[Temperture]\r\n" + gbk("异常温度语音播报内容") + '=' +
                              gbk("体温异常{temperature}度") + "\r\n");
    EXPECT_EQ(settings.ReadSetting("TEMPERTURE", key, "default"), value);

    settings.WriteSetting("Temperture", key, QString::fromUtf8("请测温"));
    EXPECT_EQ(contents(), "[Temperture]\r\n" + gbk("异常温度语音播报内容") + '=' + gbk("请测温") + "\r\n");
}

TEST_F(SettingsFileTest, ReadingGivesTheDefaultOnlyForAMissingKey)
{
    EXPECT_EQ(settings.ReadSetting("Temperture", "a", "fallback"), "fallback"); // no file
    setContents("[Dovarin]\r\na=from other section\r\n[Temperture]\r\nempty=\r\nb = 7 \r\n");
    EXPECT_EQ(settings.ReadSetting("Temperture", "a", "fallback"), "fallback");
    EXPECT_EQ(settings.ReadSetting("Other", "b", "fallback"), "fallback");
    EXPECT_EQ(settings.ReadSetting("Temperture", "empty", "fallback"), "");
    EXPECT_EQ(settings.ReadSetting("temperture", "B", "fallback"), "7");
}

TEST_F(SettingsFileTest, ReadingStripsBlanksAndOnePairOfMatchingQuotes)
{
    setContents("[s]\r\n"
                "double= \"30;43\" \r\n"
                "single='x'\r\n"
                "nested=\"\"x\"\"\r\n"
                "mismatched=\"x'\r\n"
                "inner=a \"b\" c\r\n"
                "lone=\"\r\n"
                "tabs=\t v \t\n");
    EXPECT_EQ(settings.ReadSetting("s", "double", ""), "30;43");
    EXPECT_EQ(settings.ReadSetting("s", "single", ""), "x");
    EXPECT_EQ(settings.ReadSetting("s", "nested", ""), "\"x\"");
    EXPECT_EQ(settings.ReadSetting("s", "mismatched", ""), "\"x'");
    EXPECT_EQ(settings.ReadSetting("s", "inner", ""), "a \"b\" c");
    EXPECT_EQ(settings.ReadSetting("s", "lone", ""), "\"");
    EXPECT_EQ(settings.ReadSetting("s", "tabs", ""), "v");
}

TEST_F(SettingsFileTest, LongValuesAreCutAt2047Bytes)
{
    setContents("[s]\r\nlong=" + QByteArray(3000, 'x') + "\r\nedge=" + QByteArray(2046, 'x') + gbk("度") +
                "\r\nfits=" + QByteArray(2047, 'y') + "\r\n");
    EXPECT_EQ(settings.ReadSetting("s", "long", ""), QString(2047, 'x'));
    // A double-byte character that would straddle the cut is left out whole.
    EXPECT_EQ(settings.ReadSetting("s", "edge", ""), QString(2046, 'x'));
    EXPECT_EQ(settings.ReadSetting("s", "fits", ""), QString(2047, 'y'));
}

TEST_F(SettingsFileTest, UnwritableLocationRaisesUnableToWrite)
{
    // Tests run as root, where permission bits stop no write: the folder is made
    // unusable instead, once missing and once a plain file.
    const SettingsFile missingFolder = SettingsFile::inFolder(folder.filePath("missing"));
    try {
        missingFolder.WriteSetting("Dovarin", "IP", "1");
        FAIL() << "no error";
    } catch (const Failure& error) {
        EXPECT_EQ(error.text(), "Unable to write to " + folder.filePath("missing/Horavel.ini"));
    }

    QFile plain(folder.filePath("plain"));
    plain.open(QIODevice::WriteOnly);
    plain.close();
    const SettingsFile underAFile = SettingsFile::inFolder(plain.fileName());
    try {
        underAFile.WriteSetting("Dovarin", "IP", "1");
        FAIL() << "no error";
    } catch (const Failure& error) {
        EXPECT_EQ(error.text(), "Unable to write to " + plain.fileName() + "/Horavel.ini");
    }
}

namespace {

// Writes the first half of the new content, then fails the way the caller asks.
SettingsFile::WriteStep halfWrite(bool raise)
{
    return [raise](QIODevice& target, const QByteArray& content) {
        target.write(content.left(content.size() / 2));
        if (raise)
            throw std::runtime_error("interrupted");
        return false;
    };
}

} // namespace

TEST_F(SettingsFileTest, InterruptedWriteLeavesThePreviousFileIntact)
{
    const QByteArray before = "[Dovarin]\r\nIP=1.1.1.1\r\ngeteway=1.1.1.254\r\n";
    setContents(before);

    const SettingsFile failing(settings.path(), halfWrite(false));
    EXPECT_THROW(failing.WriteSetting("Dovarin", "IP", "2.2.2.2"), Failure);
    EXPECT_EQ(contents(), before);

    const SettingsFile raising(settings.path(), halfWrite(true));
    EXPECT_THROW(raising.WriteSetting("Dovarin", "IP", "2.2.2.2"), std::runtime_error);
    EXPECT_EQ(contents(), before);

    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Horavel.ini"});
}
