#include "base/AppState.h"
#include "base/DebugLog.h"
#include "app/MainSequence.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class FakeEngine final : public TEngineHandle {
public:
    FakeEngine(int status, QStringList *calls) : status_(status), calls_(calls) {}
    ~FakeEngine() override { *calls_ << "engine freed"; }
    int Status() const override { return status_; }

private:
    int status_;
    QStringList *calls_;
};

struct SequenceFixture : ::testing::Test {
    pl::fake::ScopedManualTime time;
    QTemporaryDir dir;
    QString logPath;
    QStringList calls;
    TMainHooks hooks;

    void SetUp() override
    {
        SetStartTick(0);
        logPath = dir.path() + "/log.txt";
        ASSERT_TRUE(OpenDebugLog(logPath));
        hooks.readData = [this] {
            calls << "read";
            return true;
        };
        hooks.createMainForm = [this] { calls << "main form"; };
        hooks.createPanels = [this] { calls << "panels"; };
        hooks.formInit = [this] { calls << "init"; };
        hooks.runLoop = [this] {
            calls << "loop";
            MainFormCloseQuery([this] {
                calls << "write";
                return false;
            });
        };
        hooks.stopPrinting = [this] { calls << "stop printing"; };
        hooks.destroyWindows = [this] { calls << "destroy windows"; };
    }
    void TearDown() override { SyncTeXThreadCount = 0; }

    QStringList logTexts()
    {
        QFile f(logPath);
        f.open(QIODevice::ReadOnly);
        QStringList texts;
        for (const QString &line : QString::fromUtf8(f.readAll()).split("\r\n")) {
            const int space = line.indexOf(' ');
            if (!line.isEmpty() && line[0].isDigit())
                texts << line.mid(space + 1);
        }
        return texts;
    }
};

} // namespace

TEST_F(SequenceFixture, ReadyEngineRunsTheWindowsAndClosesInOrder)
{
    hooks.createEngine = [this] { return std::make_unique<FakeEngine>(1, &calls); };
    EXPECT_EQ(RunMainSequence(hooks), 0);
    EXPECT_EQ(calls,
              QStringList({"read", "main form", "panels", "init", "loop", "write", "stop printing", "destroy windows",
                           "engine freed"}));
    EXPECT_EQ(logTexts(),
              QStringList({"ReadData", "Creating QPDF...", "QPDF Done: 1", "Dark Mode Theme: 0",
                           "Creating Main Form...", "Main Form Created...", "Main Form Init...",
                           "Application Running...", "Closing...", "Saving Failed!", "Saving Data Done...",
                           "Stop Running!", "Cleanup...", "QPDF Released", "Delete Data..."}));
    EXPECT_FALSE(App.AppRunning);
}

TEST_F(SequenceFixture, FailedEngineGoesStraightToCleanup)
{
    hooks.createEngine = [this] { return std::make_unique<FakeEngine>(2, &calls); };
    RunMainSequence(hooks);
    EXPECT_FALSE(calls.contains("main form"));
    EXPECT_FALSE(calls.contains("loop"));
    const QStringList log = logTexts();
    const int done = log.indexOf("QPDF Done: 2");
    ASSERT_GE(done, 0);
    EXPECT_EQ(log.mid(done, 3), QStringList({"QPDF Done: 2", "Error Creating QPDF.", "Cleanup..."}));
}

TEST_F(SequenceFixture, NoLoaderMeansNoWaiting)
{
    WaitForSyncTeXThreads(hooks);
    EXPECT_TRUE(time.sleeper.sleeps.empty());
    CloseDebugLog();
    EXPECT_FALSE(logTexts().join('\n').contains("Waiting"));
}

TEST_F(SequenceFixture, LoadersThatOutliveTheWaitGetOneCappedSleep)
{
    SyncTeXThreadCount = 100;
    bool hidden = false;
    hooks.mainWindowVisible = [] { return true; };
    hooks.hideMainWindow = [&] { hidden = true; };
    WaitForSyncTeXThreads(hooks);
    EXPECT_TRUE(hidden);
    ASSERT_EQ(time.sleeper.sleeps.size(), 17u);
    EXPECT_EQ(time.sleeper.sleeps.front(), 111);
    EXPECT_EQ(time.sleeper.sleeps.back(), 9999);
    CloseDebugLog();
    const QStringList log = logTexts();
    EXPECT_TRUE(log.contains("Waiting for SyncTeX Threads: 100"));
    EXPECT_TRUE(log.contains("Waiting for SyncTeX Thread: 16 / 100"));
}

TEST_F(SequenceFixture, LoaderEndingDuringTheWaitStopsIt)
{
    SyncTeXThreadCount = 1;
    struct EndingSleeper final : pl::Sleeper {
        std::vector<int> sleeps;
        void sleepMs(int ms) override
        {
            sleeps.push_back(ms);
            if (sleeps.size() == 2)
                SyncTeXThreadCount = 0;
        }
    } sleeper;
    pl::setSleeper(&sleeper);
    WaitForSyncTeXThreads(hooks);
    pl::setSleeper(&time.sleeper);
    EXPECT_EQ(sleeper.sleeps, (std::vector<int>{111, 111, 2}));
}
