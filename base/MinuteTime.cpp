#include "base/MinuteTime.h"

#include "base/DebugLog.h"
#include "platform/Clock.h"

#include <QLocale>

namespace {

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days from 1601-01-01 to the first day of the year.
qint64 daysBeforeYear(int year)
{
    const qint64 f = year - 1601;
    return 365 * f + f / 4 + f / 400 - f / 100;
}

const char *const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char *const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Date patterns of the settings ("yyyy-mm-dd  hh:nn:ss") in Qt's notation. "n" and an "m"
// that follows an hour mean minutes; letters without a meaning are kept as literal text.
QString qtDatePattern(const QString &format)
{
    QString out;
    bool afterHour = false;
    auto literal = [&out](const QString &text) {
        out += QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    };
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype close = format.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            literal(format.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (format.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += QStringLiteral("ap");
            i += 5;
            continue;
        }
        const char16_t lower = c.toLower().unicode();
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run).toLower() == c.toLower())
            ++run;
        const int n = int(run);
        switch (lower) {
        case u'y': out += n <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy"); break;
        case u'd': out += QString(qMin(n, 4), QLatin1Char('d')); break;
        case u'h': out += QString(qMin(n, 2), QLatin1Char('h')); break;
        case u'n': out += QString(qMin(n, 2), QLatin1Char('m')); break;
        case u's': out += QString(qMin(n, 2), QLatin1Char('s')); break;
        case u'z': out += n >= 3 ? QStringLiteral("zzz") : QStringLiteral("z"); break;
        case u'm':
            out += afterHour ? QString(qMin(n, 2), QLatin1Char('m')) : QString(qMin(n, 4), QLatin1Char('M'));
            break;
        default:
            if (c.isLetter())
                literal(format.mid(i, run));
            else
                out += format.mid(i, run);
            break;
        }
        if (lower == u'y' || lower == u'd' || lower == u'h' || lower == u'n' || lower == u's' || lower == u'm'
            || lower == u'z')
            afterHour = lower == u'h';
        i += run;
    }
    return out;
}

} // namespace

qint64 MinuteTime(int year, int month, int day, int hour, int minute)
{
    year = qBound(1111, year, 9999);
    month = qBound(1, month, 12);
    day = qBound(1, day, 31);
    hour = qBound(0, hour, 23);
    minute = qBound(0, minute, 59);
    qint64 days = daysBeforeYear(year);
    for (int m = 1; m < month; ++m)
        days += daysInMonth(year, m);
    days += day - 1;
    return (days * 24 + hour) * 60 + minute;
}

qint64 MinuteTime(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime tm = t.time();
    return MinuteTime(d.year(), d.month(), d.day(), tm.hour(), tm.minute());
}

TMinuteParts SplitMinuteTime(qint64 t)
{
    // Beyond the last minute of 9999 the year would no longer be a plain number.
    t = qBound(qint64(0), t, MinuteTime(9999, 12, 31, 23, 59));
    TMinuteParts p{};
    p.minute = int(t % 60);
    p.hour = int(t / 60 % 24);
    qint64 days = t / 1440;
    p.weekday = int((days + 1) % 7); // 1601-01-01 was a Monday
    // 1601 starts a 400-year cycle of 146097 days.
    int year = 1601 + int(days / 146097) * 400;
    days %= 146097;
    while (days >= (isLeap(year) ? 366 : 365)) {
        days -= isLeap(year) ? 366 : 365;
        ++year;
    }
    int month = 1;
    while (days >= daysInMonth(year, month)) {
        days -= daysInMonth(year, month);
        ++month;
    }
    p.year = year;
    p.month = month;
    p.day = int(days) + 1;
    return p;
}

qint64 MinuteNow()
{
    const QDateTime now = pl::clock().localNow();
    if (!now.isValid()) {
        DebugLog(QStringLiteral("SetNow exception: invalid local time"));
        return 0;
    }
    return MinuteTime(now);
}

QString ShortDate(qint64 t)
{
    const TMinuteParts p = SplitMinuteTime(t);
    return LogDate(QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute)));
}

QString LongDate(qint64 t)
{
    const TMinuteParts p = SplitMinuteTime(t);
    return QString::fromLatin1(kLongDays[p.weekday]) + QStringLiteral(", ")
        + QString::fromLatin1(kLongMonths[p.month - 1]) + QLatin1Char(' ') + QString::number(p.day)
        + QStringLiteral(", ") + QString::number(p.year) + QStringLiteral(" at ") + QString::number(p.hour)
        + QLatin1Char(':') + twoDigits(p.minute);
}

QString ClockTime() { return LogClockTime(pl::clock().localNow()); }

QString FormatFileOrClockTime(const QDateTime &t, const QString &format)
{
    if (!t.isValid()) {
        DebugLog(format.isEmpty() ? QStringLiteral("DateToString exception: invalid time")
                                  : QStringLiteral("DateTime exception: invalid time"));
        return QString();
    }
    if (format.isEmpty())
        return LongDate(MinuteTime(t));
    return QLocale::system().toString(t, qtDatePattern(format));
}

int FontHeight(int ppi, int size, int tenths) { return -((ppi * (10 * size + tenths) + 360) / 720); }
