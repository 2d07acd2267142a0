#include "common/TextCodec.h"
#include "device/SiteFile.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const SiteList kSite{{QStringLiteral("东门闸机"), "127.0.60.1", "58104726"}, {"", "127.0.60.2", "p\"w"}};

TEST(SiteFile, RoundTripsOwnerOnlyAndKeepsADamagedFileAside)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("site.json");
    EXPECT_TRUE(ReadSiteFile(path).terminals.empty());
    WriteSiteFile(path, kSite);
    EXPECT_EQ(fileMode(path), 0600);
    const SiteFileContents read = ReadSiteFile(path);
    EXPECT_EQ(read.terminals, kSite);
    EXPECT_TRUE(read.damage.isEmpty());

    writeTestFile(path, "{\"terminals\": [");
    const SiteFileContents damaged = ReadSiteFile(path);
    EXPECT_TRUE(damaged.terminals.empty());
    EXPECT_TRUE(damaged.damage.contains("site.json.bad"));
    EXPECT_FALSE(QFile::exists(path));
    QFile aside(path + ".bad");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), "{\"terminals\": [");
}

TEST(SiteFile, CsvReadsEitherEncodingAndWritesWhatItReads)
{
    const QString gbk = QStringLiteral("密码,IP,名称,备注\r\n1,127.0.60.1,东门闸机,x\r\n,127.0.60.2 ,,\r\n");
    const SiteList read = ReadSiteCsv(TextCodec::toGbk(gbk));
    EXPECT_EQ(read, (SiteList{{QStringLiteral("东门闸机"), "127.0.60.1", "1"}, {"", "127.0.60.2", ""}}));
    EXPECT_EQ(ReadSiteCsv(SiteCsv(kSite)), kSite);
    EXPECT_THROW(ReadSiteCsv("name,password\r\na,b\r\n"), std::exception);
}

} // namespace
