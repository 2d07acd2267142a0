#include "common/Failure.h"
#include "common/TextCodec.h"
#include "device/EnrolSheet.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EnrolSheetTest : public ::testing::Test
{
protected:
    EnrolSheetTest()
    {
        const QByteArray jpeg = jpegBytes(8, 8, Qt::blue);
        for (const char* name : {"1.jpg", "2.png", "3.jpeg", "dup.jpg", "quote.jpg", "date.jpg"})
            writeTestFile(folder.filePath(name), jpeg);
        writeTestFile(folder.filePath("text.jpg"), "not a picture");
        // Still a JPEG that decodes; the bytes after its end make it too large.
        writeTestFile(folder.filePath("big.jpg"), jpeg + QByteArray(kMaxEnrolPhotoBytes, '\0'));
    }

    std::vector<EnrolRow> read(const QString& csv)
    {
        return ReadEnrolSheet(TextCodec::toGbk(csv), folder.path());
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(EnrolSheetTest, EveryRowIsCheckedAndAnInvalidOneNamesItsFirstReason)
{
    const std::vector<EnrolRow> rows = read(QStringLiteral("备注,照片,有效期,卡号,姓名,人员ID\r\n"
                                                           "x,1.jpg,2030-01-02,C1,王五,1\r\n"
                                                           ",,2030-01-02 08:30:00,,\"李,四\",2\r\n"
                                                           ",,,,赵六,3\r\n"
                                                           ",1.jpg,,,,4\r\n"
                                                           ",1.jpg,,,无名,\r\n"
                                                           ",dup.jpg,,,甲,1\r\n"
                                                           ",nothing.jpg,,,乙,5\r\n"
                                                           ",../1.jpg,,,乙,6\r\n"
                                                           ",text.jpg,,,丙,7\r\n"
                                                           ",big.jpg,,,丁,8\r\n"
                                                           ",date.jpg,2030/1/2,,戊,9\r\n"
                                                           ",quote.jpg,,,\"己\"\"\",10\r\n"
                                                           ",,,,,11\r\n"
                                                           ",,,,,\r\n"));
    const QStringList reasons = {"",
                                 "",
                                 "",
                                 "缺少姓名",
                                 "缺少人员ID",
                                 "人员ID重复",
                                 "找不到照片",
                                 "找不到照片",
                                 "照片无法读取",
                                 "照片过大",
                                 "有效期格式错误",
                                 "含有引号或反斜杠",
                                 "缺少姓名"};
    ASSERT_EQ(rows.size(), std::size_t(reasons.size()));
    for (qsizetype at = 0; at < reasons.size(); ++at) {
        EXPECT_EQ(rows[at].note, reasons[at]) << at;
        EXPECT_EQ(rows[at].state, reasons[at].isEmpty() ? EnrolState::Pending : EnrolState::Invalid) << at;
    }
    EXPECT_EQ(rows[0].validUntil, QDateTime(QDate(2030, 1, 2), QTime(23, 59, 59)));
    EXPECT_EQ(rows[0].card, "C1");
    EXPECT_EQ(rows[1].name, QStringLiteral("李,四"));
    EXPECT_EQ(rows[1].validUntil, QDateTime(QDate(2030, 1, 2), QTime(8, 30, 0)));
    EXPECT_EQ(rows[1].photoFile, QDir(folder.path()).filePath("2.png"));
    EXPECT_EQ(rows[2].photo, "3.jpeg");
    EXPECT_FALSE(rows[2].validUntil);
}

TEST_F(EnrolSheetTest, EnglishColumnsAndUtf8WithABom)
{
    const std::vector<EnrolRow> rows = ReadEnrolSheet("\xEF\xBB\xBFName, ID ,valid_until,card,photo\n" +
                                                          QStringLiteral("张三,1,,,\n").toUtf8(),
                                                      folder.path());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, QStringLiteral("张三"));
    EXPECT_EQ(rows[0].state, EnrolState::Pending);
}

TEST_F(EnrolSheetTest, AFileWithoutARequiredColumnOrThatIsNoCsvIsRefusedWhole)
{
    const std::pair<const char*, const char*> cases[] = {
        {"人员ID,卡号\n1,2\n", "CSV 缺少列: 姓名"},
        {"卡号\n", "CSV 缺少列: 人员ID、姓名"},
        {"", "CSV 文件是空的"},
        {"人员ID,姓名\n1,\"open\n", "CSV 文件格式错误"},
    };
    for (const auto& [csv, message] : cases) {
        try {
            read(QString::fromUtf8(csv));
            ADD_FAILURE() << csv;
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.text().startsWith(QString::fromUtf8(message)))
                << failure.text().toStdString();
        }
    }
}
