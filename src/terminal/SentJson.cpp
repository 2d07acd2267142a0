#include "terminal/SentJson.h"

#include "terminal/FormValues.h"

QString readSentJson(const QByteArray& bytes)
{
    QString text;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype open = bytes.indexOf('"', from);
        if (open < 0) {
            text += QString::fromLatin1(bytes.mid(from));
            break;
        }
        text += QString::fromLatin1(bytes.mid(from, open + 1 - from));
        // An escape's second byte never ends the string, whatever it is.
        qsizetype close = open + 1;
        while (close < bytes.size() && bytes[close] != '"')
            close += bytes[close] == '\\' ? 2 : 1;
        text += readSentText(bytes.mid(open + 1, close - open - 1));
        if (close < bytes.size())
            text += QLatin1Char('"');
        from = close + 1;
    }
    return text;
}
