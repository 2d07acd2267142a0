#include "common/EscapeBlanks.h"

QString EscapeBlanks(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QChar(' '), QStringLiteral("%20"));
}
