#include "base/DebugLog.h"
#include "settings/Prefer.h"
#include "app/StatusTimer.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct StatusTimer : ::testing::Test {
    pl::fake::ScopedManualTime time;
    QTemporaryDir dir;
    std::unique_ptr<TStatusTimer> timer;
    int refreshes = 0;
    int writes = 0;
    bool writeSucceeds = true;
    bool minimized = false;

    void SetUp() override
    {
        Prefer = TPrefer();
        time.clock.ms = 5000000;
        OpenDebugLog(dir.filePath("log.txt"));
        timer = std::make_unique<TStatusTimer>();
        timer->UpdateStatus = [this] { ++refreshes; };
        timer->WriteData = [this] {
            ++writes;
            return writeSucceeds;
        };
        timer->Minimized = [this] { return minimized; };
    }
    void TearDown() override { CloseDebugLog(); }

    // The user does something a while after the last tick.
    void userActivity()
    {
        time.clock.ms += 1000;
        timer->UserActivity();
    }
    // Ticks once at ms after the last user activity.
    void tickAt(int64_t ms)
    {
        time.clock.ms = timer->ActivityTick() + ms;
        timer->TimerStatus();
    }
    QString log() const
    {
        QFile f(dir.filePath("log.txt"));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
};

} // namespace

TEST(StatusTimerInterval, GrowsWithIdleTimeAndSlowsWhenNothingIsWatched)
{
    struct Case {
        int64_t idle;
        bool useTimer;
        bool minimized;
        int interval;
    };
    const Case cases[] = {
        {0, true, false, 1111},       {60000, true, false, 1111},    {61000, true, false, 2111},
        {61000, true, true, 2000111}, {59000, true, true, 1111}, // a short idle time is never stretched
        {300000, true, false, 2111},  {300001, true, false, 3111},   {600001, true, false, 4111},
        {900001, true, false, 5111},  {1200001, true, false, 6111},  {1800001, true, false, 7111},
        {3600001, true, false, 8111}, {6000000, true, false, 8111},  {6000001, true, false, 10111},
        {180000, false, false, 2111}, {180001, false, false, 20111}, {7000000, false, true, 100000111},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TStatusTimer::NextInterval(c.idle, c.useTimer, c.minimized), c.interval)
            << c.idle << " " << c.useTimer << " " << c.minimized;
}

// The running timer takes the interval of the idle time at each tick; input brings it back
// to one second at once.
TEST_F(StatusTimer, TheIntervalFollowsTheIdleTime)
{
    userActivity();
    tickAt(500);
    EXPECT_EQ(timer->Interval(), 1111);
    tickAt(61000);
    EXPECT_EQ(timer->Interval(), 2111);
    tickAt(400000);
    EXPECT_EQ(timer->Interval(), 3111);
    minimized = true;
    tickAt(7000000);
    EXPECT_EQ(timer->Interval(), 10000111);
    minimized = false;
    userActivity();
    EXPECT_EQ(timer->Interval(), 1000);
    tickAt(10);
    EXPECT_EQ(timer->Interval(), 1111);
    tickAt(1000000);
    timer->Activation();
    EXPECT_EQ(timer->Interval(), 1000);
    EXPECT_EQ(refreshes, 6);
}

TEST_F(StatusTimer, TheRefreshRunsOnlyWithDocumentChecksOn)
{
    Prefer.UseTimer = false;
    tickAt(10);
    EXPECT_EQ(refreshes, 0);
    Prefer.UseTimer = true;
    tickAt(20);
    EXPECT_EQ(refreshes, 1);
}

// After user activity the settings are written once the program was left alone for more
// than 111 s, and not again until the user comes back.
TEST_F(StatusTimer, SavesTheSettingsOnceAfterIdleTime)
{
    tickAt(500000);
    EXPECT_EQ(writes, 0) << "nothing to save before the user did anything";

    userActivity();
    tickAt(60000);
    tickAt(111000);
    EXPECT_EQ(writes, 0);
    tickAt(111001);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(log().contains("Auto Saving Configuration ..."));
    EXPECT_FALSE(timer->SaveDue());
    tickAt(300000);
    tickAt(7000000);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(timer->Interval(), 10111) << "the idle time keeps growing after the save";

    userActivity();
    tickAt(112000);
    EXPECT_EQ(writes, 2);
}

// A save that fails stays due and is tried again after another idle period.
TEST_F(StatusTimer, AFailedSaveIsRetriedAfterAnotherIdlePeriod)
{
    writeSucceeds = false;
    userActivity();
    tickAt(111001);
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(timer->SaveDue());
    tickAt(112000);
    tickAt(222001);
    EXPECT_EQ(writes, 1);
    writeSucceeds = true;
    tickAt(222002);
    EXPECT_EQ(writes, 2);
    EXPECT_FALSE(timer->SaveDue());
}

// Switching to another program and back is no change of the settings; a save that was due
// stays due and waits for a full idle period after the switch.
TEST_F(StatusTimer, ActivationKeepsADueSaveAndMakesNoneOfItsOwn)
{
    timer->Activation();
    tickAt(200000);
    EXPECT_EQ(writes, 0);

    userActivity();
    tickAt(100000);
    timer->Activation();
    EXPECT_TRUE(timer->SaveDue());
    tickAt(100000);
    EXPECT_EQ(writes, 0);
    tickAt(111001);
    EXPECT_EQ(writes, 1);
}
