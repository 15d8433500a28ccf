#include "base/BusyIndicator.h"
#include "base/Centering.h"

#include "ManualClock.h"
#include "ScriptedKeyState.h"

#include <gtest/gtest.h>

namespace {

class RecordingBusyHost final : public TBusyHost {
public:
    QStringList events;
    bool hourglass = false;
    void ShowStatusText(const QString &text) override { events << "status:" + text; }
    bool HourglassShown() override { return hourglass; }
    bool DefaultCursorShown() override { return !hourglass; }
    void ShowHourglass() override
    {
        hourglass = true;
        events << "hourglass";
    }
    void ShowDefaultCursor() override
    {
        hourglass = false;
        events << "default";
    }
    void ProcessMessages() override { events << "pump"; }
    bool FocusApplication() override
    {
        events << "focus";
        return true;
    }
};

struct BusyFixture : ::testing::Test {
    pl::fake::ScopedManualTime time;
    pl::fake::ScopedKeyState keys;
    RecordingBusyHost host;
    void SetUp() override { SetBusyHost(&host); }
    void TearDown() override { SetBusyHost(nullptr); }
};

} // namespace

TEST_F(BusyFixture, StartAndStopWorking)
{
    StartWorking("Searching ...");
    EXPECT_TRUE(IsWorking());
    EXPECT_EQ(host.events, QStringList({"hourglass", "status:Searching ..."}));
    host.events.clear();
    StopWorking();
    EXPECT_FALSE(IsWorking());
    EXPECT_FALSE(host.hourglass);
    EXPECT_EQ(host.events.last(), "status:");
}

TEST_F(BusyFixture, EscapeSetsTheFlagUntilTheNextStart)
{
    keys.keys.script = {false, true};
    StartWorking("x");
    EXPECT_FALSE(EscapePressed());
    EXPECT_FALSE(EscapeFlag());
    EXPECT_TRUE(EscapePressed());
    EXPECT_TRUE(EscapeFlag());
    StartWorking("y");
    EXPECT_FALSE(EscapeFlag());
    StopWorking();
}

TEST_F(BusyFixture, WaitEscapeReleasedFocusesAndPollsAtMost255Times)
{
    keys.keys.script = {true};
    EXPECT_TRUE(EscapePressed());
    keys.keys.after = true; // held down for good
    WaitEscapeReleased();
    EXPECT_EQ(host.events.count("focus"), 1);
    EXPECT_EQ(host.events.count("pump"), 255);
    EXPECT_EQ(time.sleeper.sleeps.size(), 255u);
    EXPECT_EQ(time.sleeper.sleeps.front(), 9);
}

TEST_F(BusyFixture, WaitEscapeReleasedReturnsWhenReleased)
{
    keys.keys.script = {false};
    WaitEscapeReleased();
    EXPECT_FALSE(host.events.contains("focus"));
    EXPECT_TRUE(time.sleeper.sleeps.empty());
}

TEST_F(BusyFixture, SleepIsClamped)
{
    SleepMs(-5);
    SleepMs(12000);
    SleepMs(111);
    EXPECT_EQ(time.sleeper.sleeps, (std::vector<int>{0, 9999, 111}));
}

TEST(CenteringTest, CentresButStaysOnTheMonitor)
{
    const QRect monitor(0, 0, 1920, 1080);
    EXPECT_EQ(CenterOver(QRect(100, 100, 800, 600), monitor, 400, 200), QPoint(300, 300));
    EXPECT_EQ(CenterOver(QRect(-50, -40, 200, 100), monitor, 400, 200), QPoint(0, 0));
}
