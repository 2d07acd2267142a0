#include "server/TemplateFormat.h"

#include "common/Failure.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

// Far beyond any sensible line, small enough that a typo cannot exhaust memory.
constexpr int kMaxWidth = 1000;

struct Placeholder
{
    bool leftAligned = false;
    int width = 0;
    int precision = -1;
    QChar conversion;
};

Failure invalidTemplate(const QString& text)
{
    return Failure(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(text));
}

// Reads the digits at `at`; -1 when there are none.
int readNumber(const QString& text, qsizetype& at)
{
    int number = -1;
    while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) {
        number = std::max(number, 0) * 10 + (text[at].unicode() - '0');
        if (number > kMaxWidth)
            throw invalidTemplate(text);
        ++at;
    }
    return number;
}

// The placeholder after the "%" at `at`; `at` ends past its conversion letter.
Placeholder readPlaceholder(const QString& text, qsizetype& at)
{
    Placeholder placeholder;
    if (at < text.size() && text[at] == '-') {
        placeholder.leftAligned = true;
        ++at;
    }
    placeholder.width = std::max(readNumber(text, at), 0);
    if (at < text.size() && text[at] == '.') {
        ++at;
        placeholder.precision = std::max(readNumber(text, at), 0);
    }
    if (at >= text.size())
        throw invalidTemplate(text);
    placeholder.conversion = text[at++].toLower();
    return placeholder;
}

QString converted(const Placeholder& placeholder, const TemplateValue& value, const QString& text)
{
    if (placeholder.conversion == 's') {
        const QString* string = std::get_if<QString>(&value);
        if (!string)
            throw invalidTemplate(text);
        return placeholder.precision < 0 ? *string : string->left(placeholder.precision);
    }
    if (placeholder.conversion == 'd') {
        const qint64* number = std::get_if<qint64>(&value);
        if (!number)
            throw invalidTemplate(text);
        // Negated unsigned, so that the smallest number keeps its digits.
        const quint64 magnitude = *number < 0 ? 0 - quint64(*number) : quint64(*number);
        QString digits = QString::number(magnitude);
        if (digits.size() < placeholder.precision)
            digits = QString(placeholder.precision - digits.size(), QChar('0')) + digits;
        return *number < 0 ? QStringLiteral("-") + digits : digits;
    }
    if (placeholder.conversion == 'f') {
        const double* number = std::get_if<double>(&value);
        if (!number)
            throw invalidTemplate(text);
        return QString::number(*number, 'f', placeholder.precision < 0 ? 2 : placeholder.precision);
    }
    throw invalidTemplate(text);
}

} // namespace

QString FormatTemplate(const QString& text, const QList<TemplateValue>& values)
{
    QString result;
    result.reserve(text.size() + 16 * values.size());
    qsizetype nextValue = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype percent = text.indexOf(QChar('%'), at);
        if (percent < 0) {
            result += QStringView(text).mid(at);
            break;
        }
        result += QStringView(text).mid(at, percent - at);
        at = percent + 1;
        if (at < text.size() && text[at] == '%') {
            result += QChar('%');
            ++at;
            continue;
        }
        const Placeholder placeholder = readPlaceholder(text, at);
        if (nextValue >= values.size())
            throw invalidTemplate(text);
        const QString value = converted(placeholder, values[nextValue++], text);
        const QString padding(std::max<qsizetype>(placeholder.width - value.size(), 0), QChar(' '));
        result += placeholder.leftAligned ? value + padding : padding + value;
    }
    return result;
}

double ReadDecimal(const QString& text)
{
    static const QRegularExpression decimal(
        QStringLiteral(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)? *$)"));
    bool ok = decimal.match(text).hasMatch();
    const double value = ok ? QLocale::c().toDouble(text.trimmed(), &ok) : 0.0;
    if (!ok || !std::isfinite(value))
        throw Failure(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}
