// What the user types that the number reader and the two encodings turn into
// wire bytes: the integer reader, the form encoding and the query-value encoding.
#include "FuzzInput.h"
#include "common/Failure.h"
#include "common/IntegerText.h"
#include "device/FormFields.h"
#include "device/QueryValue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // number text LF form values, one per line
    const QList<QByteArray> pieces = splitInput(data, size, 2);
    try {
        ReadInteger(QString::fromUtf8(pieces[0]));
    } catch (const Failure&) {
    }
    FormFields fields;
    int index = 0;
    for (const QByteArray& value : pieces[1].split('\n')) {
        const QString text = QString::fromUtf8(value);
        fields.set("f" + QByteArray::number(index++ % 4), text);
        QueryValue(text);
    }
    fields.encoded();
    return 0;
}
