#include "base/DebugLog.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QStringList readLines(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    return lines;
}

struct LogFixture : ::testing::Test {
    pl::fake::ScopedManualTime time;
    QTemporaryDir dir;
    void SetUp() override { SetStartTick(0); }
    void TearDown() override { CloseDebugLog(); }
};

} // namespace

TEST_F(LogFixture, HeaderLinesAndFolderChain)
{
    time.clock.now = QDateTime(QDate(2026, 12, 9), QTime(9, 5));
    const QString path = dir.path() + "/a/b/c/log.txt";
    ASSERT_TRUE(OpenDebugLog(path));
    EXPECT_EQ(LogHook, &DebugLog);
    ASSERT_TRUE(CloseDebugLog());
    EXPECT_EQ(LogHook, nullptr);
    const QStringList lines = readLines(path);
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "Debug Start: Wed  9-DEC-2026  9:05");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "*** Log File Start: 0.000 ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Debug Close: Wed  9-DEC-2026  9:05");
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), 0);
}

TEST_F(LogFixture, TimeStampsBlankLinesAndTheRelaxMarker)
{
    const QString path = dir.path() + "/log.txt";
    ASSERT_TRUE(OpenDebugLog(path));
    time.clock.ms = 12003;
    DebugLog("first");
    DebugLog("Relax ...");
    DebugLog("");
    time.clock.ms = 83045;
    DebugLog("second", true);
    CloseDebugLog();
    DebugLog("after close");
    const QStringList lines = readLines(path);
    EXPECT_EQ(lines[4], "12.003 first");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "83.045 second");
    EXPECT_FALSE(lines.join('\n').contains("Relax"));
    EXPECT_FALSE(lines.join('\n').contains("after close"));
}

TEST(LogTextTest, DatesAndTimes)
{
    struct Case {
        QDateTime t;
        const char *date;
        const char *time;
    };
    const Case cases[] = {
        {QDateTime(QDate(2026, 12, 9), QTime(9, 5)), "Wed  9-DEC-2026", " 9:05"},
        {QDateTime(QDate(2026, 1, 10), QTime(23, 0)), "Sat 10-JAN-2026", "23:00"},
        {QDateTime(QDate(2024, 2, 29), QTime(0, 59)), "Thu 29-FEB-2024", " 0:59"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(LogDate(c.t), c.date);
        EXPECT_EQ(LogClockTime(c.t), c.time);
    }
    EXPECT_EQ(LogTimeStamp(83045), "83.045 ");
    EXPECT_EQ(LogTimeStamp(7), "0.007 ");
}

TEST_F(LogFixture, SymlinkAtTheLogPathIsNotFollowed)
{
    const QString target = dir.path() + "/victim.txt";
    QFile v(target);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("keep");
    v.close();
    const QString link = dir.path() + "/log.txt";
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_FALSE(OpenDebugLog(link));
    QFile check(target);
    check.open(QIODevice::ReadOnly);
    EXPECT_EQ(check.readAll(), "keep");
}
