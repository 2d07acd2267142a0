#pragma once

#include <QString>

// A reply's content line: the template field formatted with the amount text read
// as a decimal number and divided by 100 ("总余额{%f}元" with 50000 gives
// "总余额{500.00}元"). Throws Failure when the amount is no decimal number or the
// template does not fit one number.
QString FormatContentLine(const QString& templateText, const QString& amountText);
