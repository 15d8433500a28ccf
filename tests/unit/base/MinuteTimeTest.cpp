#include "base/MinuteTime.h"

#include "base/DebugLog.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

TEST(MinuteTime, CountsFrom1601)
{
    EXPECT_EQ(MinuteTime(1601, 1, 1, 0, 0), 0);
    EXPECT_EQ(MinuteTime(1601, 1, 2, 0, 0), 1440);
    EXPECT_EQ(MinuteTime(1601, 1, 1, 23, 59), 1439);
    // 2000 is a leap year, 1900 is not.
    EXPECT_EQ(MinuteTime(2000, 3, 1, 0, 0) - MinuteTime(2000, 2, 28, 0, 0), 2 * 1440);
    EXPECT_EQ(MinuteTime(1900, 3, 1, 0, 0) - MinuteTime(1900, 2, 28, 0, 0), 1440);
    EXPECT_EQ(MinuteTime(2024, 3, 1, 0, 0) - MinuteTime(2024, 2, 28, 0, 0), 2 * 1440);
    // Whole years match the calendar of the runtime library.
    for (int year : {1601, 1700, 1900, 1970, 2000, 2026, 2100, 9999}) {
        const qint64 days = QDate(1601, 1, 1).daysTo(QDate(year, 7, 15));
        EXPECT_EQ(MinuteTime(year, 7, 15, 0, 0), days * 1440) << year;
    }
}

TEST(MinuteTime, ClampsItsArguments)
{
    EXPECT_EQ(MinuteTime(1110, 1, 1, 0, 0), MinuteTime(1111, 1, 1, 0, 0));
    EXPECT_LT(MinuteTime(1111, 1, 1, 0, 0), 0); // before 1601 counts backwards
    EXPECT_EQ(MinuteTime(12000, 1, 1, 0, 0), MinuteTime(9999, 1, 1, 0, 0));
    EXPECT_EQ(MinuteTime(2026, 13, 40, 30, 99), MinuteTime(2026, 12, 31, 23, 59));
    EXPECT_EQ(MinuteTime(2026, 0, 0, -1, -1), MinuteTime(2026, 1, 1, 0, 0));
}

TEST(SplitMinuteTime, InverseWithWeekday)
{
    const struct {
        int year, month, day, hour, minute, weekday;
    } cases[] = {
        {1601, 1, 1, 0, 0, 1},  {1601, 12, 31, 23, 59, 1}, {1900, 2, 28, 12, 0, 3},
        {1900, 3, 1, 0, 0, 4},  {2000, 2, 29, 6, 30, 2},   {2000, 3, 1, 0, 0, 3},
        {2026, 12, 9, 9, 5, 3}, {2100, 12, 31, 23, 59, 5}, {9999, 12, 31, 23, 59, 5},
    };
    for (const auto &c : cases) {
        const TMinuteParts p = SplitMinuteTime(MinuteTime(c.year, c.month, c.day, c.hour, c.minute));
        EXPECT_EQ(p.year, c.year);
        EXPECT_EQ(p.month, c.month) << c.year;
        EXPECT_EQ(p.day, c.day) << c.year;
        EXPECT_EQ(p.hour, c.hour) << c.year;
        EXPECT_EQ(p.minute, c.minute) << c.year;
        EXPECT_EQ(p.weekday, c.weekday) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(p.weekday, QDate(c.year, c.month, c.day).dayOfWeek() % 7);
    }
    const TMinuteParts zero = SplitMinuteTime(-5);
    EXPECT_EQ(zero.year, 1601);
    EXPECT_EQ(zero.day, 1);
    EXPECT_EQ(zero.minute, 0);
    EXPECT_EQ(SplitMinuteTime(std::numeric_limits<qint64>::max()).year, 9999);
}

TEST(MinuteTime, DateTexts)
{
    const qint64 t = MinuteTime(2026, 12, 9, 9, 5);
    EXPECT_EQ(ShortDate(t), "Wed  9-DEC-2026");
    EXPECT_EQ(LongDate(t), "Wednesday, December 9, 2026 at 9:05");
    EXPECT_EQ(ShortDate(MinuteTime(2027, 1, 10, 14, 0)), "Sun 10-JAN-2027");
    EXPECT_EQ(LongDate(MinuteTime(2027, 1, 10, 14, 0)), "Sunday, January 10, 2027 at 14:00");
}

TEST(MinuteTime, LocalClock)
{
    pl::fake::ScopedManualTime time;
    time.clock.now = QDateTime(QDate(2026, 12, 9), QTime(9, 5, 42));
    EXPECT_EQ(MinuteNow(), MinuteTime(2026, 12, 9, 9, 5));
    EXPECT_EQ(ClockTime(), " 9:05");
    time.clock.now = QDateTime(QDate(2026, 12, 9), QTime(17, 0));
    EXPECT_EQ(ClockTime(), "17:00");
}

TEST(FormatFileOrClockTime, PatternsAndLongDate)
{
    const QDateTime t(QDate(2026, 12, 9), QTime(9, 5, 7));
    const struct {
        const char *format, *text;
    } cases[] = {
        {"yyyy-mm-dd  hh:mm:ss", "2026-12-09  09:05:07"}, // "mm" after "hh" is minutes
        {"yyyy-mm-dd  hh:nn:ss", "2026-12-09  09:05:07"},
        {"d.m.yy h:n", "9.12.26 9:5"},
        {"dd/mm/yyyy", "09/12/2026"},
        {"hh 'h' mm", "09 h 05"},
        {"\"Date:\" yyyy", "Date: 2026"},
        {"YYYY-MM-DD", "2026-12-09"},
        {"mmm", "Dec"},
        {"dddd", "Wednesday"},
        {"hh:mm am/pm", "09:05 am"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatFileOrClockTime(t, QString::fromUtf8(c.format)), QString::fromUtf8(c.text)) << c.format;
    EXPECT_EQ(FormatFileOrClockTime(t, QString()), "Wednesday, December 9, 2026 at 9:05");
    EXPECT_EQ(FormatFileOrClockTime(QDateTime(), "yyyy"), "");
}

TEST(MinuteTime, FontHeight)
{
    EXPECT_EQ(FontHeight(96, 9, 0), -12);
    EXPECT_EQ(FontHeight(96, 10, 5), -14);
    EXPECT_EQ(FontHeight(144, 9, 0), -18);
    EXPECT_EQ(FontHeight(120, 8, 0), -13);
    EXPECT_EQ(FontHeight(96, 11, 3), -15);
}
