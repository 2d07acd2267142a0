#include "server/ContentLine.h"

#include "server/TemplateFormat.h"

QString FormatContentLine(const QString& templateText, const QString& amountText)
{
    return FormatTemplate(templateText, {ReadDecimal(amountText) / 100});
}
