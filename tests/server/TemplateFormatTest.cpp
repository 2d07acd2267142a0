#include "common/Failure.h"
#include "server/ContentLine.h"
#include "server/TemplateFormat.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(TemplateFormat, FillsPlaceholdersByTheirKind)
{
    const struct
    {
        const char* text;
        QList<TemplateValue> values;
        const char* expected;
    } cases[] = {
        {"总余额{%f}元", {500.0}, "总余额{500.00}元"},
        {"%.1f|%.0f|%.3f", {2.26, 2.6, -1.2346}, "2.3|3|-1.235"},
        {"%s=%d", {u("a%d"), qint64(-7)}, "a%d=-7"},
        {"100%% {%s}", {u("王麻子")}, "100% {王麻子}"},
        {"[%5s][%-5s][%.2s][%3d][%.3d]",
         {u("ab"), u("ab"), u("abc"), qint64(7), qint64(-7)},
         "[   ab][ab   ][ab][  7][-007]"},
        {"%S %D %F", {u("x"), qint64(1), 1.0}, "x 1 1.00"},
        {"%d|%.20d",
         {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::min()},
         "-9223372036854775808|-09223372036854775808"},
        {"no placeholder", {1.0}, "no placeholder"},
        {"", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTemplate(u(c.text), c.values), u(c.expected)) << c.text;
}

TEST(TemplateFormat, PlaceholdersThatDoNotFitTheirValuesAreRefused)
{
    const struct
    {
        const char* text;
        QList<TemplateValue> values;
    } cases[] = {
        {"%d", {1.0}},  {"%s", {1.0}},        {"%f", {u("1")}},    {"%f %f", {1.0}},
        {"%", {1.0}},   {"%.", {1.0}},        {"%x", {qint64(1)}}, {"%n", {1.0}},
        {"% f", {1.0}}, {"%*d", {qint64(1)}}, {"%99999f", {1.0}},  {"%.5000f", {1.0}},
    };
    for (const auto& c : cases) {
        try {
            FormatTemplate(u(c.text), c.values);
            ADD_FAILURE() << c.text;
        } catch (const Failure& error) {
            EXPECT_EQ(error.text(), u("Format '%1' invalid or incompatible with argument").arg(u(c.text)));
        }
    }
}

TEST(TemplateFormat, ContentLineDividesItsDecimalAmountBy100)
{
    EXPECT_EQ(FormatContentLine(u("总余额{%f}元"), "50000"), u("总余额{500.00}元"));
    EXPECT_EQ(FormatContentLine(u("%f"), "1"), "0.01");
    EXPECT_EQ(FormatContentLine(u("%.1f"), " -250 "), "-2.5");
    EXPECT_EQ(FormatContentLine(u("%f"), "2.5e3"), "25.00");
    EXPECT_EQ(FormatContentLine(u("%f"), "+.5e2"), "0.50");
    for (const char* amount : {"", "abc", "1,000", "12a", "0x10", "inf", "nan", "1e999", "１２"})
        EXPECT_THROW(FormatContentLine(u("%f"), u(amount)), Failure) << amount;
    EXPECT_THROW(FormatContentLine(u("%d"), "100"), Failure);
    EXPECT_THROW(FormatContentLine(u("%f%f"), "100"), Failure);
}
