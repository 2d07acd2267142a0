#include "server/MealPeriods.h"

#include "common/IntegerText.h"
#include "server/TemplateFormat.h"

QString MealPeriodArrayText(const QList<MealPeriodRow>& rows)
{
    static const QString kPeriod = QStringLiteral(
        R"({"mealId":"%s","mealName":"%s","startTime":"%s","endTime":"%s","workModel":%d,"fixedMoney":%d,)"
        R"("limitTimes":%d,"limitMoney":%d})");
    QStringList periods;
    for (const MealPeriodRow& row : rows) {
        if (!row.checked)
            continue;
        const auto cell = [&row](int index) { return row.subItems.value(index); };
        const auto number = [&cell](int index) { return qint64(ReadInteger(cell(index))); };
        periods += FormatTemplate(
            kPeriod, {row.caption, cell(0), cell(1), cell(2), number(3), number(4), number(5), number(6)});
    }
    return periods.join(QChar(','));
}
