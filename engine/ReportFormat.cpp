#include "engine/ReportFormat.h"

#include <cmath>

namespace {

// Digits with "," between groups of three.
QString Grouped(int64_t n)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

// value / unit with one decimal cut off.
QString Tenths(int64_t value, int64_t unit)
{
    const int64_t tenths = value * 10 / unit;
    return QString::number(tenths / 10) + QLatin1Char('.') + QString::number(tenths % 10);
}

// x with one decimal cut off.
QString Tenths(double x)
{
    const auto tenths = static_cast<int64_t>(std::trunc(x * 10));
    return QString::number(tenths / 10) + QLatin1Char('.') + QString::number(std::abs(tenths % 10));
}

QString Rounded(double x) { return QString::number(static_cast<int64_t>(std::nearbyint(x))); }

} // namespace

QString FormatByteSize(int64_t bytes)
{
    const QString plain = Grouped(bytes) + QStringLiteral(" bytes");
    if (bytes >= 1048576)
        return Tenths(bytes, 1048576) + QStringLiteral(" MB (") + plain + QLatin1Char(')');
    if (bytes >= 1024)
        return Tenths(bytes, 1024) + QStringLiteral(" KB (") + plain + QLatin1Char(')');
    return plain;
}

QString FormatMetaDate(const QString &value)
{
    if (value.size() <= 15)
        return QString();
    if (value.at(0) == QLatin1Char('D') || value.at(1) == QLatin1Char(':')) {
        const auto field = [&value](int from, int length) { return value.mid(from, length); };
        return field(2, 4) + QLatin1Char('-') + field(6, 2) + QLatin1Char('-') + field(8, 2) + QStringLiteral("  ")
            + field(10, 2) + QLatin1Char(':') + field(12, 2) + QLatin1Char(':') + field(14, 2);
    }
    qsizetype time = 10;
    if (value.at(time) == QLatin1Char('T') || value.at(time) == QLatin1Char('t'))
        ++time;
    return value.left(10) + QStringLiteral("  ") + value.mid(time, 8);
}

QString FormatPageSize(double width, double height)
{
    return Tenths(width / 72) + QStringLiteral(" x ") + Tenths(height / 72) + QStringLiteral(" in  (")
        + Rounded(width * 25.4 / 72) + QStringLiteral(" x ") + Rounded(height * 25.4 / 72) + QStringLiteral(" mm, ")
        + Rounded(width) + QStringLiteral(" x ") + Rounded(height) + QStringLiteral(" pt)");
}
