#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// The named fields of a form post, in the order a command sets them. A value is
// kept as the bytes that go on the wire: a window text as its GBK bytes, unless
// the command converts it to UTF-8 itself.
class FormFields
{
public:
    // An empty value removes the field, so an empty window field is never sent;
    // setting a name again keeps its first position and takes the new value.
    void set(const QByteArray& name, const QString& text);
    void setBytes(const QByteArray& name, const QByteArray& value);

    bool isEmpty() const { return fields_.empty(); }

    // name=value pairs joined by "&", each value percent-encoded byte by byte
    // (letters and digits kept, blank as "+"); names go out as they are. The
    // whole body is trimmed of leading and trailing blanks and control bytes.
    QByteArray encoded() const;

private:
    std::vector<std::pair<QByteArray, QByteArray>> fields_;
};

// One value in the terminal's form encoding.
QByteArray encodeFormValue(const QByteArray& value);

// Leading and trailing bytes up to the blank (control characters included) cut off.
QByteArray trimBlanksAndControls(const QByteArray& bytes);
