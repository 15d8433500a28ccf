// The open documents follow their files through the file watch, with no periodic refresh at
// all: TeX's rewrite in place and latexmk's rename over the file are shown at the same page,
// a half-written file is never shown, and the watches end with the documents.
#include "engine/DocumentRefresh.h"
#include "engine/DocumentWatch.h"
#include "synctex/SyncTeXLoader.h"

#include "EngineFixture.h"
#include "EventWait.h"

#include <QDir>

namespace {

struct DocumentWatchTest : EngineFixture {
    std::unique_ptr<TDocumentRefresh> refresh;
    std::unique_ptr<TDocumentWatch> watch;
    bool savedRunning = App.AppRunning;

    void SetUp() override
    {
        EngineFixture::SetUp();
        App.AppRunning = true; // SyncTeX loads end early once the program is closing
        refresh = std::make_unique<TDocumentRefresh>(*engine);
        watch = std::make_unique<TDocumentWatch>(*engine, *refresh);
        ASSERT_TRUE(watch->Active());
    }
    void TearDown() override
    {
        StopSyncTeXLoaders();
        watch.reset();
        refresh.reset();
        App.AppRunning = savedRunning;
        EngineFixture::TearDown();
    }
    void open(const QString &path)
    {
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        watch->Follow();
    }
    int reloads() const { return log().count("File date update: "); }
    // Replaces the file the way latexmk does: a new file renamed over the old one.
    void renameOver(const QString &path, const QByteArray &bytes)
    {
        const QString temp = path + QStringLiteral(".tmp");
        {
            QFile f(temp);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        ASSERT_TRUE(pl::files().setTimes(temp, FileTime64(path) + 10 * kSecond, FileTime64(path)));
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QFile::rename(temp, path));
    }
};

} // namespace

TEST_F(DocumentWatchTest, ARewriteAndARenameAreShownAtOnceAtTheSamePage)
{
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    open(path);
    ASSERT_TRUE(engine->Navigator().GOTOPage(5, nullptr));

    rewrite(path, fixture("multi/multi.pdf"), 10);
    ASSERT_TRUE(processEventsUntil([&] { return reloads() == 1; }));
    EXPECT_EQ(current().FileDate, FileTime64(path));
    EXPECT_EQ(page(), 5);

    renameOver(path, fixture("multi/multi.pdf"));
    ASSERT_TRUE(processEventsUntil([&] { return reloads() == 2; }));
    EXPECT_EQ(current().FileDate, FileTime64(path));
    EXPECT_EQ(page(), 5);
    EXPECT_EQ(pageCount(), 7);

    // Several writes before the program looks are one reload.
    for (int i = 1; i <= 4; ++i)
        rewrite(path, fixture("multi/multi.pdf"), 10 * i);
    ASSERT_TRUE(processEventsUntil([&] { return reloads() == 3; }));
    processEventsFor(100);
    EXPECT_EQ(reloads(), 3);
}

TEST_F(DocumentWatchTest, AHalfWrittenFileIsNotShownButItsCompletionIs)
{
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    const QByteArray complete = fixture("widths/widths.pdf");
    open(path);
    ASSERT_TRUE(engine->Navigator().GOTOPage(5, nullptr));

    rewrite(path, complete.left(complete.size() / 3), 10);
    ASSERT_TRUE(processEventsUntil([&] { return reloads() == 1; }));
    EXPECT_EQ(pageCount(), 7) << "the last good version stays";
    EXPECT_EQ(page(), 5);

    rewrite(path, complete, 20);
    ASSERT_TRUE(processEventsUntil([&] { return reloads() == 2; }));
    EXPECT_EQ(pageCount(), 3) << "the completed file is shown";
    EXPECT_EQ(current().FileDate, FileTime64(path));
}

// A rewritten SyncTeX file is loaded again without waiting for the next forward search.
TEST_F(DocumentWatchTest, ARewrittenSyncTeXFileIsLoadedAgain)
{
    const QString sync = copy("multi/multi.synctex.gz", "thesis.synctex.gz");
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    open(path);
    const std::shared_ptr<TSyncTeX> data = current().SyncTeX;
    ASSERT_TRUE(data);
    if (!data->Ready)
        data->LoadSyncData(sync, false);
    ASSERT_TRUE(data->Ready && !data->Data.isEmpty())
        << data->ErrMsg.get().toStdString() << " loading " << data->Loading;
    ASSERT_EQ(data->SyncFileDate, FileTime64(sync));

    renameOver(sync, fixture("multi/multi.synctex.gz"));
    ASSERT_TRUE(processEventsUntil([&] { return !data->Loading && data->SyncFileDate == FileTime64(sync); }));
    EXPECT_TRUE(data->Ready);
    EXPECT_EQ(reloads(), 0) << "the PDF did not change";
}

TEST_F(DocumentWatchTest, WatchesEndWithTheirLastDocument)
{
    QDir(dir.path()).mkdir("other");
    const QString a = copy("multi/multi.pdf", "a.pdf");
    const QString b = copy("widths/widths.pdf", "b.pdf");
    const QString c = copy("multi/multi.pdf", "other/c.pdf");
    open(a);
    open(b);
    open(c);
    EXPECT_EQ(watch->FolderCount(), 2);

    ASSERT_TRUE(engine->CloseFile(a, 0));
    watch->Follow();
    EXPECT_EQ(watch->FolderCount(), 2) << "b is still open";
    ASSERT_TRUE(engine->CloseFile(c, -1));
    watch->Follow();
    EXPECT_EQ(watch->FolderCount(), 1);
    ASSERT_TRUE(engine->CloseAllFiles(-1));
    watch->Follow();
    EXPECT_EQ(watch->FolderCount(), 0);
}
