#include "base/NumberParse.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

// Per thread, like the conversion message.
thread_local QString lastError;

constexpr quint64 kMaxPositive = quint64(std::numeric_limits<qint64>::max());

int digitValue(char16_t c, int base)
{
    int d = -1;
    if (c >= u'0' && c <= u'9')
        d = c - u'0';
    else if (c >= u'A' && c <= u'F')
        d = c - u'A' + 10;
    else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
    return d < base ? d : -1;
}

enum class Scan { Ok, NoDigit, Overflow, Trailing };

struct Digits {
    Scan result = Scan::NoDigit;
    quint64 magnitude = 0;
    qsizetype end = 0;
};

// Reads digits of the base from pos; the magnitude may reach 2^63 (the most negative value).
Digits scanDigits(const QString &s, qsizetype pos, int base)
{
    Digits r;
    const quint64 limit = kMaxPositive + 1;
    while (pos < s.size()) {
        const int d = digitValue(s.at(pos).unicode(), base);
        if (d < 0)
            break;
        if (r.result != Scan::Overflow) {
            if (r.magnitude > (limit - quint64(d)) / quint64(base))
                r.result = Scan::Overflow;
            else {
                r.magnitude = r.magnitude * quint64(base) + quint64(d);
                r.result = Scan::Ok;
            }
        }
        ++pos;
    }
    r.end = pos;
    return r;
}

std::optional<qint64> signedValue(quint64 magnitude, bool negative)
{
    if (negative)
        return magnitude == kMaxPositive + 1 ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    if (magnitude > kMaxPositive)
        return std::nullopt;
    return qint64(magnitude);
}

// The runtime's own conversion: optional sign, then decimal digits, "$" hex or "0x" hex,
// and nothing else.
std::optional<qint64> standardConversion(const QString &s)
{
    qsizetype pos = 0;
    while (pos < s.size() && s.at(pos) == QLatin1Char(' '))
        ++pos;
    bool negative = false;
    if (pos < s.size() && (s.at(pos) == QLatin1Char('-') || s.at(pos) == QLatin1Char('+')))
        negative = s.at(pos++) == QLatin1Char('-');
    int base = 10;
    if (pos < s.size() && s.at(pos) == QLatin1Char('$')) {
        base = 16;
        ++pos;
    } else if (pos + 1 < s.size() && s.at(pos) == QLatin1Char('0')
               && (s.at(pos + 1) == QLatin1Char('x') || s.at(pos + 1) == QLatin1Char('X'))) {
        base = 16;
        pos += 2;
    }
    const Digits d = scanDigits(s, pos, base);
    if (d.result != Scan::Ok || d.end != s.size())
        return std::nullopt;
    return signedValue(d.magnitude, negative);
}

qsizetype skipBlanks(const QString &s, qsizetype pos)
{
    while (pos < s.size() && s.at(pos).unicode() <= 32)
        ++pos;
    return pos;
}

// Red and blue trade places: "#RRGGBB" reads as the colour value 0x00BBGGRR.
quint64 swapRedBlue(quint64 v) { return (v & ~quint64(0xFF00FF)) | ((v & 0xFF) << 16) | ((v >> 16) & 0xFF); }

// The fallback parser with prefixes, blanks and its own error texts.
std::optional<qint64> extendedConversion(const QString &s)
{
    qsizetype pos = skipBlanks(s, 0);
    bool negative = false;
    if (pos < s.size() && (s.at(pos) == QLatin1Char('-') || s.at(pos) == QLatin1Char('+'))) {
        negative = s.at(pos++) == QLatin1Char('-');
        pos = skipBlanks(s, pos);
    }
    int base = 10;
    bool colour = false;
    if (pos < s.size()) {
        const QChar c = s.at(pos);
        const bool doubled = pos + 1 < s.size() && s.at(pos + 1) == c;
        if ((c == QLatin1Char('#') || c == QLatin1Char('$')) && !doubled) {
            base = 16;
            colour = c == QLatin1Char('#');
            pos = skipBlanks(s, pos + 1);
        } else if (c == QLatin1Char('%')) {
            base = 2;
            ++pos;
        } else if (c == QLatin1Char('#') || c == QLatin1Char('$')) {
            base = 2;
            pos += 2;
        }
    }
    const Digits d = scanDigits(s, pos, base);
    if (d.result == Scan::NoDigit) {
        lastError = QStringLiteral("Integer Constant Syntax Error");
        return std::nullopt;
    }
    if (skipBlanks(s, d.end) != s.size()) {
        lastError = QStringLiteral("Illegal Character(s) following the number...");
        return std::nullopt;
    }
    std::optional<qint64> v;
    if (d.result == Scan::Ok)
        v = signedValue(colour ? swapRedBlue(d.magnitude) : d.magnitude, negative);
    if (!v)
        lastError = QStringLiteral("Integer Overflow");
    return v;
}

} // namespace

bool ParseInteger(const QString &text, qint64 min, qint64 max, qint64 &value)
{
    lastError.clear();
    std::optional<qint64> v = standardConversion(text);
    if (!v)
        v = extendedConversion(text);
    if (!v)
        return false;
    if (*v < min || *v > max) {
        lastError = QStringLiteral("Range Check: ") + QString::number(min) + QStringLiteral(" <= ")
            + QString::number(*v) + QStringLiteral(" <= ") + QString::number(max);
        return false;
    }
    value = *v;
    return true;
}

bool ParseInteger(const QString &text, int min, int max, int &value)
{
    qint64 v = 0;
    if (!ParseInteger(text, qint64(min), qint64(max), v))
        return false;
    value = int(v);
    return true;
}

QString LastParseError() { return lastError; }

bool ParseReal(const QString &text, double min, double max, double &value)
{
    // The accepted form is collected into plain ASCII and converted by from_chars, which
    // always reads "." as the decimal point.
    std::string number;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n && text.at(pos) == QLatin1Char(' '))
        ++pos;
    if (pos < n && (text.at(pos) == QLatin1Char('+') || text.at(pos) == QLatin1Char('-'))) {
        if (text.at(pos) == QLatin1Char('-'))
            number += '-';
        ++pos;
    }
    int digits = 0;
    auto takeDigits = [&] {
        while (pos < n && text.at(pos) >= QLatin1Char('0') && text.at(pos) <= QLatin1Char('9')) {
            number += char(text.at(pos++).unicode());
            ++digits;
        }
    };
    takeDigits();
    if (pos < n && text.at(pos) == QLatin1Char('.')) {
        number += '.';
        ++pos;
        takeDigits();
    }
    while (pos < n && text.at(pos) == QLatin1Char(' '))
        ++pos;
    if (digits == 0 || pos != n)
        return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v, std::chars_format::fixed);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(v) || v < min || v > max)
        return false;
    value = v;
    return true;
}

QString FormatReal(double x, int digits, int width)
{
    // The shortest decimal text that reads back as x is cut, so 2.3 keeps its "3" although
    // the binary value lies just below it.
    const double magnitude = std::isfinite(x) ? std::fabs(x) : 0.0;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
    const QString plain = QString::fromLatin1(buffer, result.ptr - buffer);
    const qsizetype dot = plain.indexOf(QLatin1Char('.'));
    const QString integerPart = dot < 0 ? plain : plain.left(dot);
    QString fraction = dot < 0 ? QString() : plain.mid(dot + 1);
    digits = qMax(0, digits);
    fraction = fraction.left(digits).leftJustified(digits, QLatin1Char('0'));
    QString head = integerPart + QLatin1Char('.');
    if (width > 0)
        head = head.rightJustified(width, QLatin1Char(' '));
    return (x < 0 ? QStringLiteral("-") : QString()) + head + fraction;
}
