#include "terminal/FormValues.h"

#include "common/TextCodec.h"
#include "server/RequestDecoding.h"

FormValues FormValues::parse(const QByteArray& encoded)
{
    FormValues values;
    for (const QByteArray& piece : encoded.split('&')) {
        if (piece.isEmpty())
            continue;
        const qsizetype equals = piece.indexOf('=');
        const QByteArray name = equals < 0 ? piece : piece.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : piece.mid(equals + 1);
        const QString decodedName = QString::fromLatin1(RequestDecoding::percentDecode(name));
        const QByteArray decodedValue = RequestDecoding::percentDecode(value);
        bool replaced = false;
        for (auto& pair : values.pairs) {
            if (pair.first == decodedName) {
                pair.second = decodedValue;
                replaced = true;
            }
        }
        if (!replaced)
            values.pairs.append({decodedName, decodedValue});
    }
    return values;
}

FormValues FormValues::fromParams(const QStringList& params)
{
    FormValues values;
    for (const QString& entry : params) {
        const qsizetype equals = entry.indexOf('=');
        const QString name = equals < 0 ? entry : entry.left(equals);
        if (!values.has(name))
            values.pairs.append({name, TextCodec::toGbk(equals < 0 ? QString() : entry.mid(equals + 1))});
    }
    return values;
}

void FormValues::addMissing(const FormValues& other)
{
    for (const auto& pair : other.pairs) {
        if (!has(pair.first))
            pairs.append(pair);
    }
}

bool FormValues::has(const QString& name) const
{
    for (const auto& pair : pairs) {
        if (pair.first == name)
            return true;
    }
    return false;
}

QByteArray FormValues::bytes(const QString& name) const
{
    for (const auto& pair : pairs) {
        if (pair.first == name)
            return pair.second;
    }
    return {};
}

QString FormValues::text(const QString& name) const
{
    return readSentText(bytes(name));
}

QString readSentText(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    const QString utf8 = TextCodec::fromUtf8Strict(bytes);
    return utf8.isEmpty() ? TextCodec::fromGbk(bytes) : utf8;
}
