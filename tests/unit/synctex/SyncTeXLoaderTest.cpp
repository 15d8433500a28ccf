#include "synctex/SyncTeXLoader.h"

#include "base/AppState.h"
#include "synctex/SyncTeX.h"
#include "synctex/SyncTeXRelay.h"
#include "EventWait.h"
#include "ScopedKeepLimits.h"
#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

namespace {

// Stands in for the page view: counts the loader ends it is told of.
class Receiver final : public QObject {
public:
    int ends = 0;
    int runningAtEnd = -1;
    bool event(QEvent *e) override
    {
        if (e->type() != SyncTeXLoadEndedEvent)
            return QObject::event(e);
        ++ends;
        runningAtEnd = SyncTeXThreadCount.load();
        return true;
    }
};

struct SyncTeXLoader : ::testing::Test {
    QTemporaryDir dir;
    QString main;
    Receiver receiver;
    void SetUp() override
    {
        main = dir.filePath("main.tex");
        writeBytes(main, "main");
        TSyncTeXRelay::instance()->setReceiver(&receiver);
    }
    void TearDown() override
    {
        StopSyncTeXLoaders();
        // An end posted by a loader this test did not wait for must not reach the next test.
        QCoreApplication::removePostedEvents(TSyncTeXRelay::instance(), SyncTeXLoadEndedEvent);
        TSyncTeXRelay::instance()->setReceiver(nullptr);
    }
    QString writeDocument(const QString &name, const QByteArray &padding = QByteArray())
    {
        const QString file = dir.filePath(name);
        writeBytes(file, gzipBytes(syncPreamble(main) + "{1\n(1,1:1,2:3,4,5\n)\n}1\n" + padding));
        return file;
    }
};

} // namespace

TEST_F(SyncTeXLoader, ALoadOnItsThreadEndsReadyAndTellsThePageView)
{
    const QString file = writeDocument("a.synctex.gz");
    auto sync = std::make_shared<TSyncTeX>();
    ASSERT_TRUE(StartSyncTeXLoader(file, sync));
    EXPECT_TRUE(sync->Loading || sync->Ready); // claimed before the thread starts
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ends == 1; }));
    // The count already excludes the loader that ended, so the page view sees 0.
    EXPECT_EQ(receiver.runningAtEnd, 0);
    EXPECT_EQ(SyncTeXThreadCount.load(), 0);
    EXPECT_TRUE(sync->Ready);
    EXPECT_FALSE(sync->Loading);
    EXPECT_EQ(sync->SyncFileName.get(), file);
    EXPECT_EQ(UpdateSyncText(sync.get()), "SyncTeX.gz: Ready");
}

TEST_F(SyncTeXLoader, NoSecondLoaderWhileOneRuns)
{
    auto sync = std::make_shared<TSyncTeX>();
    ASSERT_TRUE(sync->ClaimLoading());
    EXPECT_FALSE(StartSyncTeXLoader(writeDocument("a.synctex.gz"), sync));
    EXPECT_EQ(SyncTeXThreadCount.load(), 0);
    sync->Loading = false;
}

TEST_F(SyncTeXLoader, AFailedLoadIsReportedAndCountedToo)
{
    auto sync = std::make_shared<TSyncTeX>();
    ASSERT_TRUE(StartSyncTeXLoader(dir.filePath("missing.synctex"), sync));
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ends == 1; }));
    EXPECT_EQ(SyncTeXThreadCount.load(), 0);
    EXPECT_FALSE(sync->Ready);
    EXPECT_FALSE(sync->Loading);
    EXPECT_EQ(sync->ErrMsg.get(), "SyncTeX File \"" + dir.filePath("missing.synctex") + "\" not found.");
}

TEST_F(SyncTeXLoader, EndsReachOnlyALiveReceiver)
{
    auto sync = std::make_shared<TSyncTeX>();
    {
        Receiver gone;
        TSyncTeXRelay::instance()->setReceiver(&gone);
        ASSERT_TRUE(StartSyncTeXLoader(writeDocument("a.synctex.gz"), sync));
        StopSyncTeXLoaders(); // the end is queued for the relay
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(TSyncTeXRelay::instance()->receiver(), nullptr);
    TSyncTeXRelay::instance()->setReceiver(&receiver);
    ASSERT_TRUE(StartSyncTeXLoader(writeDocument("b.synctex.gz"), sync));
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ends == 1; }));
}

TEST_F(SyncTeXLoader, ShutdownCancelsAndJoinsRunningLoads)
{
    // About 300 MB of text once inflated.
    QByteArray padding;
    const QByteArray line = "g1,1:100,200\n";
    padding.reserve(300 << 20);
    while (padding.size() < (300 << 20))
        padding += line;
    const QString file = writeDocument("big.synctex.gz", padding);
    padding = QByteArray();
    auto sync = std::make_shared<TSyncTeX>();
    sync->Verbose = true;
    ASSERT_TRUE(StartSyncTeXLoader(file, sync));
    StopSyncTeXLoaders();
    EXPECT_EQ(SyncTeXThreadCount.load(), 0);
    EXPECT_FALSE(sync->Loading);
    EXPECT_FALSE(sync->Ready);
    EXPECT_TRUE(sync->Data.isEmpty());
    EXPECT_EQ(sync->ErrMsg.get(), QString()); // stopping is no error
    EXPECT_TRUE(sync->InfoLog.get().contains("closing")) << sync->InfoLog.get();

    // Loads after the shutdown request are no longer cancelled.
    auto next = std::make_shared<TSyncTeX>();
    ASSERT_TRUE(StartSyncTeXLoader(writeDocument("a.synctex.gz"), next));
    ASSERT_TRUE(processEventsUntil([&] { return next->Ready.load(); }));
}

// A file beyond the keep budget is not kept by its loader; the next search reads it on the
// main thread and answers.
TEST_F(SyncTeXLoader, ALargeFileEndsPendingAndTheNextSearchLoadsIt)
{
    const ScopedKeepLimits limits({1000000, 4000000});
    App.AppRunning = true;
    QByteArray padding;
    for (int i = 0; padding.size() < 1200000; ++i)
        padding += "{" + QByteArray::number(i + 2) + "\n(1,9:1,2:3,4,5\n)\n}" + QByteArray::number(i + 2) + "\n";
    const QString file = writeDocument("big.synctex.gz", padding);
    auto sync = std::make_shared<TSyncTeX>();
    ASSERT_TRUE(StartSyncTeXLoader(file, sync));
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ends == 1; }));
    EXPECT_TRUE(sync->Pending);
    EXPECT_FALSE(sync->Ready);
    EXPECT_TRUE(sync->Data.isEmpty());
    EXPECT_EQ(UpdateSyncText(sync.get()), "SyncTeX.gz: Pending");
    int page = 0, numrect = 0;
    TFloatRectangles rects;
    EXPECT_TRUE(sync->ForwardSearch(main, 1, page, numrect, rects)) << sync->ErrMsg.get();
    EXPECT_EQ(page, 1);
    EXPECT_TRUE(sync->Ready);
    EXPECT_FALSE(sync->Pending);
    EXPECT_EQ(UpdateSyncText(sync.get()), "SyncTeX.gz: Ready");
    App.AppRunning = false;
}
