#include "common/CsvTable.h"
#include "common/TextCodec.h"

#include <gtest/gtest.h>

TEST(CsvTable, DecodesBomUtf8AndGbkAndReadsBackWhatItWrites)
{
    const QString text = QStringLiteral("姓名");
    EXPECT_EQ(DecodeSpreadsheetText("\xEF\xBB\xBF" + text.toUtf8()), text);
    EXPECT_EQ(DecodeSpreadsheetText(text.toUtf8()), text);
    EXPECT_EQ(DecodeSpreadsheetText(TextCodec::toGbk(text)), text);

    const std::vector<QStringList> rows = {{"a", QStringLiteral("张,三")}, {"say \"hi\"", "two\r\nlines"}};
    const QByteArray written = WriteCsv(rows);
    EXPECT_TRUE(written.startsWith("\xEF\xBB\xBF\"a\",\""));
    const CsvTable table = ReadCsv(written);
    EXPECT_EQ(table.header, rows[0]);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0], rows[1]);
    EXPECT_EQ(table.column({"x", "A"}), 0);
    EXPECT_EQ(CsvTable::field(table.rows[0], table.column({"missing"})), QString());
}
