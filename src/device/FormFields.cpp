#include "device/FormFields.h"

#include "common/TextCodec.h"

#include <algorithm>

void FormFields::set(const QByteArray& name, const QString& text)
{
    setBytes(name, TextCodec::toGbk(text));
}

void FormFields::setBytes(const QByteArray& name, const QByteArray& value)
{
    auto field = std::find_if(fields_.begin(), fields_.end(),
                              [&name](const auto& entry) { return entry.first == name; });
    if (value.isEmpty()) {
        if (field != fields_.end())
            fields_.erase(field);
        return;
    }
    if (field != fields_.end())
        field->second = value;
    else
        fields_.emplace_back(name, value);
}

QByteArray FormFields::encoded() const
{
    QByteArray body;
    for (const auto& [name, value] : fields_) {
        if (!body.isEmpty())
            body += '&';
        body += name + '=' + encodeFormValue(value);
    }
    return trimBlanksAndControls(body);
}

QByteArray encodeFormValue(const QByteArray& value)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(value.size() * 3);
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')) {
            out += c;
        } else if (byte == ' ') {
            out += '+';
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        }
    }
    return out;
}

QByteArray trimBlanksAndControls(const QByteArray& bytes)
{
    auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isTrimmed(bytes[begin]))
        ++begin;
    while (end > begin && isTrimmed(bytes[end - 1]))
        --end;
    return bytes.mid(begin, end - begin);
}
