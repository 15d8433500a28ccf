#pragma once
#include <QDateTime>
#include <QString>

// Minute time: minutes since 1601-01-01 00:00 local time (Gregorian calendar).
// Arguments are clamped: year 1111..9999, month 1..12, day 1..31, hour 0..23, minute 0..59.
qint64 MinuteTime(int year, int month, int day, int hour, int minute);

struct TMinuteParts {
    int weekday; // 0 Sunday .. 6 Saturday
    int day, month, year, hour, minute;
};
// The inverse of MinuteTime; a negative time counts as 0, one past 9999 as its last minute.
TMinuteParts SplitMinuteTime(qint64 t);

qint64 MinuteTime(const QDateTime &t);
// The local clock as minute time.
qint64 MinuteNow();

QString ShortDate(qint64 t); // "Wed  9-DEC-2026"
QString LongDate(qint64 t);  // "Wednesday, December 9, 2026 at 9:05"
QString ClockTime();         // " 9:05" from the local clock

// With a format ("yyyy-mm-dd  hh:nn:ss"; "mm" after "hh" means minutes), the time in that
// format; with an empty format, the long date. Empty text (and a log line) on failure.
QString FormatFileOrClockTime(const QDateTime &t, const QString &format);

// The negative character height in pixels of a font of size + tenths/10 points.
int FontHeight(int ppi, int size, int tenths);
