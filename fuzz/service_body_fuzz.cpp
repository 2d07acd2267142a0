// A consumption request's JSON body (GBK, as the routes read it) and the reply
// templates the routes fill: the keys the routes read, the amount read as a
// decimal number, and a template of the user's own filled with the body's values.
#include "FuzzInput.h"
#include "common/Failure.h"
#include "common/TextCodec.h"
#include "server/AccountTrade.h"
#include "server/ContentLine.h"
#include "server/ServiceBody.h"
#include "server/ServiceRoute.h"
#include "server/TemplateFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // template LF amount LF body
    const QList<QByteArray> pieces = splitInput(data, size, 3);
    const QString templateText = QString::fromUtf8(pieces[0]);
    const QString amount = QString::fromUtf8(pieces[1]);
    QList<TemplateValue> values;
    if (const std::optional<ServiceBody> body = ParseServiceBody(TextCodec::fromGbk(pieces[2]))) {
        for (const char* key : {"personId", "idcardNum", "orderId"}) {
            if (const std::optional<QString> text = body->text(key))
                values << AccountTrade::escapePaycode(*text);
        }
        for (const char* key : {"tradeType", "workModel"}) {
            if (const std::optional<qint64> number = body->integer(key)) {
                values << *number;
                choiceNumber(indexOf(*number));
            }
        }
    }
    try {
        values << ReadDecimal(amount) / 100;
    } catch (const Failure&) {
    }
    try {
        FormatTemplate(templateText, values);
    } catch (const Failure&) {
    }
    try {
        FormatContentLine(templateText, amount);
    } catch (const Failure&) {
    }
    return 0;
}
