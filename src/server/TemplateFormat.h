#pragma once

#include <QList>
#include <QString>
#include <variant>

// One value for a reply template: a text, a whole number or a decimal number.
using TemplateValue = std::variant<QString, qint64, double>;

// Fills a printf-style template whose text may come from the user: "%s" takes a
// text, "%d" a whole number, "%f" a decimal number with two decimals unless a
// precision such as "%.1f" says otherwise, "%%" is one percent sign; a "-" and a
// width may stand before the precision. The template is parsed here and never
// handed to the C library. A placeholder without a value, a value of another kind
// or an unknown placeholder throws Failure; values beyond the placeholders are
// left unused.
QString FormatTemplate(const QString& text, const QList<TemplateValue>& values);

// A decimal number as the amount fields hold it ("50000", "-1.5", "2e3"); blanks
// around it are allowed. Anything else throws Failure.
double ReadDecimal(const QString& text);
