#include "common/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace TextCodec {

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QByteArray toUtf8(const QString& text)
{
    return text.toUtf8();
}

QString fromUtf8Strict(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    return text;
}

} // namespace TextCodec
