#include "base/FileUtils.h"
#include "engine/DocumentRefresh.h"

#include "EngineFixture.h"
#include "ManualClock.h"

#include "platform/Files.h"

#include <QDir>

namespace {

class TabHost : public DocumentHost {
public:
    QList<int> iconUpdates;
    void UpdateTabIcon(int index) override { iconUpdates << index; }
};

struct Refresh : EngineFixture {
    pl::fake::ScopedManualTime time;
    TabHost tabHost;
    std::unique_ptr<TDocumentRefresh> refresh;

    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetHost(&tabHost);
        refresh = std::make_unique<TDocumentRefresh>(*engine);
        refresh->TabsVisible = [] { return true; };
    }
    int reloads() const { return log().count("File date update: "); }
};

} // namespace

// TeX rewrote the document: the next tick shows the new file at the same place.
TEST_F(Refresh, AChangedFileIsReloadedInPlace)
{
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(engine->Navigator().GOTOPage(5, nullptr));
    refresh->Run();
    EXPECT_EQ(reloads(), 0) << "an unchanged file is left alone";

    rewrite(path, fixture("multi/multi.pdf"), 10);
    refresh->Run();
    EXPECT_EQ(reloads(), 1);
    EXPECT_TRUE(log().contains("File date update: " + path));
    EXPECT_EQ(current().FileDate, FileTime64(path));
    EXPECT_EQ(page(), 5);
    EXPECT_EQ(pageCount(), 7);
    EXPECT_FALSE(current().Modified);
}

// A file caught half-written is not shown and not read again until it changes; while TeX
// holds it open for writing it is not read at all; the completed file is shown.
TEST_F(Refresh, AHalfWrittenFileWaitsForTheCompleteOne)
{
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    const QByteArray complete = fixture("widths/widths.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(engine->Navigator().GOTOPage(5, nullptr));

    rewrite(path, complete.left(complete.size() / 3), 10);
    refresh->Run();
    EXPECT_EQ(pageCount(), 7) << "the broken file is not shown";
    EXPECT_EQ(tabHost.calls.filter("Info").join(""), "") << "the tab tells of it; no note while TeX writes";
    EXPECT_EQ(page(), 5);
    EXPECT_TRUE(current().Modified);
    refresh->Run();
    EXPECT_EQ(reloads(), 1) << "the same broken version is tried once";

    {
        QFile writer(path);
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
        rewrite(path, complete, 20);
        refresh->Run();
        EXPECT_EQ(reloads(), 1) << "a file held open for writing is not read";
        EXPECT_TRUE(current().Locked);
        EXPECT_EQ(pageCount(), 7);
    }
    refresh->Run();
    EXPECT_EQ(reloads(), 2);
    EXPECT_EQ(pageCount(), 3) << "the completed file is shown";
    EXPECT_EQ(current().FileDate, FileTime64(path));
}

// A document that never loaded (damaged, or its password prompt was cancelled) is not
// opened again on every tick, only when its file changes.
TEST_F(Refresh, ADocumentThatNeverLoadedWaitsForAChange)
{
    const QString path = copy("pdfium/garbage.pdf", "broken.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(current().Error);
    refresh->Run();
    refresh->Run();
    EXPECT_EQ(reloads(), 0);

    rewrite(path, fixture("widths/widths.pdf"), 10);
    refresh->Run();
    EXPECT_EQ(reloads(), 1);
    EXPECT_EQ(pageCount(), 3);
    EXPECT_FALSE(current().Error);
}

// Every tab follows its file, not only the current one; only changed states are drawn.
TEST_F(Refresh, EveryTabFollowsItsFile)
{
    const QString first = copy("multi/multi.pdf", "a.pdf");
    const QString second = copy("widths/widths.pdf", "b.pdf");
    ASSERT_TRUE(engine->OpenDocument(first, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(engine->OpenDocument(second, false, QString(), 0, TDestType::ForwardSearch));
    refresh->Run();
    tabHost.iconUpdates.clear();
    refresh->Run();
    EXPECT_TRUE(tabHost.iconUpdates.isEmpty());

    ASSERT_TRUE(QFile::remove(first));
    refresh->Run();
    EXPECT_EQ(tabHost.iconUpdates, QList<int>{0});
    EXPECT_FALSE(engine->Document(0).Exists);

    tabHost.iconUpdates.clear();
    refresh->TabsVisible = [] { return false; };
    ASSERT_TRUE(QFile::remove(second));
    refresh->Run();
    EXPECT_EQ(tabHost.iconUpdates, QList<int>{1}) << "the current tab is refreshed by the status update";
}

// SyncTeX data nobody searched for 15 minutes is dropped and read again when needed.
TEST_F(Refresh, IdleSyncTeXDataIsDropped)
{
    const QString path = copy("multi/multi.pdf", "multi.pdf");
    copy("multi/multi.synctex.gz", "multi.synctex.gz");
    App.AppRunning = true; // loading on the main thread needs the running event loop
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    App.AppRunning = false;
    const TSyncTeX &sync = *current().SyncTeX;
    ASSERT_TRUE(sync.Ready) << sync.ErrMsg.get().toStdString();
    time.clock.ms += 900000;
    refresh->Run();
    EXPECT_TRUE(sync.Ready);
    time.clock.ms += 1;
    refresh->Run();
    EXPECT_FALSE(sync.Ready);
    EXPECT_TRUE(sync.Pending);
    EXPECT_TRUE(sync.Data.isEmpty());
    EXPECT_TRUE(current().Sync) << "pending data still counts as SyncTeX data";
}

// The file was rewritten while its password was asked for: the date kept is the one of the
// bytes the library read, so the next tick shows the new file.
TEST_F(Refresh, AFileRewrittenDuringThePasswordPromptIsReloaded)
{
    for (const bool memory : {true, false}) {
        SCOPED_TRACE(memory);
        engine->CloseAllFiles(-1);
        Prefer.PDFMemory = memory;
        const QString path = copy("multi/multi-locked.pdf", "locked.pdf");
        tabHost.passwords = {"user"};
        tabHost.duringPrompt = [&] { rewrite(path, fixture("widths/widths.pdf"), 10); };
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        tabHost.duringPrompt = nullptr;
        ASSERT_NE(pageCount(), 0);
        refresh->Run();
        EXPECT_EQ(pageCount(), 3) << "the file as it is now is shown";
        EXPECT_EQ(current().FileDate, FileTime64(path));
        EXPECT_FALSE(current().Modified);
    }
}

// The editor started the viewer before TeX wrote the PDF: once the file is there, a tick
// shows it where the command asked to go.
TEST_F(Refresh, AFileThatAppearsLaterIsShownWhereTheCommandAsked)
{
    App.AppRunning = true; // SyncTeX data loads on the main thread only while the loop runs
    ASSERT_TRUE(QDir(dir.path()).mkdir("chapters"));
    copy("multi/chapters/stone.tex", "chapters/stone.tex");
    const QString stone = dir.filePath("chapters/stone.tex");
    struct Case {
        QString SRC;
        int lnum;
        TDestType dest;
        int page;
        int markPage;
    };
    const Case cases[] = {
        {"", 5, TDestType::PageIndex, 5, 0},
        {stone, 9, TDestType::ForwardSearch, 3, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.dest));
        engine->CloseAllFiles(-1);
        const QString path = dir.filePath("multi.pdf");
        QFile::remove(path);
        QFile::remove(dir.filePath("multi.synctex.gz"));
        tabHost.calls.clear();
        ASSERT_TRUE(engine->OpenDocument(path, false, c.SRC, c.lnum, c.dest));
        EXPECT_FALSE(current().Exists);
        refresh->Run();
        EXPECT_EQ(pageCount(), 0);

        copy("multi/multi.synctex.gz", "multi.synctex.gz");
        copy("multi/multi.pdf", "multi.pdf");
        refresh->Run();
        EXPECT_EQ(pageCount(), 7);
        EXPECT_EQ(page(), c.page);
        EXPECT_EQ(engine->ForwardMark().FSelBoxPage, c.markPage);
        EXPECT_EQ(tabHost.calls.filter("Info").join(""), "");
        EXPECT_TRUE(current().Exists);
        EXPECT_FALSE(current().Error);
    }
    App.AppRunning = false;
}

// Forward searches that arrive while TeX writes the PDF wait for the finished file; the
// last one runs after its reload.
TEST_F(Refresh, AForwardSearchDuringWritingRunsAfterTheReload)
{
    App.AppRunning = true;
    ASSERT_TRUE(QDir(dir.path()).mkdir("chapters"));
    copy("multi/chapters/stone.tex", "chapters/stone.tex");
    copy("multi/chapters/iron.tex", "chapters/iron.tex");
    copy("multi/multi.synctex.gz", "multi.synctex.gz");
    const QString path = copy("multi/multi.pdf", "multi.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    tabHost.calls.clear();
    {
        QFile writer(path);
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
        rewrite(path, fixture("multi/multi.pdf"), 10);
        ASSERT_TRUE(engine->OpenDocument(path, false, dir.filePath("chapters/stone.tex"), 9, TDestType::ForwardSearch));
        ASSERT_TRUE(engine->OpenDocument(path, false, dir.filePath("chapters/iron.tex"), 2, TDestType::ForwardSearch));
        EXPECT_TRUE(log().contains("locked for reading..."));
        refresh->Run();
        EXPECT_EQ(reloads(), 0);
        EXPECT_EQ(page(), 1);
        EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 0);
    }
    refresh->Run();
    EXPECT_EQ(reloads(), 1);
    EXPECT_EQ(page(), 6) << "the newer request ran";
    EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 6);
    EXPECT_EQ(tabHost.calls.filter("Info").join(""), "");
    ASSERT_TRUE(engine->Navigator().PrevPosition());
    EXPECT_EQ(page(), 1) << "the older request did not run";
    App.AppRunning = false;
}
