#include "base/FileUtils.h"

#include "EngineFixture.h"

#include "platform/Files.h"
#include "synctex/SyncTeXLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

struct Opening : EngineFixture {
    bool open(const QString &name, bool force = false, const QString &SRC = QString(), int lnum = 0,
              TDestType dest = TDestType::ForwardSearch)
    {
        return engine->OpenDocument(name, force, SRC, lnum, dest);
    }
};

} // namespace

// Different spellings of one path find the same document.
TEST_F(Opening, OneDocumentPerFileWhateverTheSpelling)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString spellings[] = {
        path,
        dir.path() + "/./x.pdf",
        dir.path() + "/sub/../x.pdf",
        dir.path() + "//x.pdf",
    };
    for (const QString &name : spellings) {
        ASSERT_TRUE(open(name)) << name.toStdString();
        EXPECT_EQ(engine->DocumentCount(), 1) << name.toStdString();
        EXPECT_EQ(engine->FileName(), path);
    }
    EXPECT_EQ(host.tabs, QStringList{path});
    EXPECT_EQ(pageCount(), 7);
}

// A folder macro stands for the executable's or the data folder, their parents or the
// current document's folder, unless a file of the literal name exists.
TEST_F(Opening, FolderMacrosResolveToExistingFiles)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("exe/bin"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("data/cfg"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("doc"));
    const QString inExe = copy("multi/multi.pdf", "exe/bin/m.pdf");
    const QString aboveExe = copy("multi/multi.pdf", "exe/h.pdf");
    const QString inData = copy("multi/multi.pdf", "data/cfg/d.pdf");
    const QString aboveData = copy("multi/multi.pdf", "data/p.pdf");
    const QString current = copy("widths/widths.pdf", "doc/w.pdf");
    const QString beside = copy("multi/multi.pdf", "doc/beside.pdf");
    App.ExeFolder = dir.filePath("exe/bin");
    App.DataFolder = dir.filePath("data/cfg");
    struct Case {
        QString name;
        QString expected;
    };
    const Case cases[] = {
        {"%B/m.pdf", inExe},  {"%B\\m.pdf", inExe},    {"%H/h.pdf", aboveExe},
        {"%b/d.pdf", inData}, {"%h/p.pdf", aboveData}, {"%P/beside.pdf", beside},
    };
    for (const Case &c : cases) {
        engine->CloseAllFiles(-1);
        ASSERT_TRUE(open(current));
        ASSERT_TRUE(open(c.name)) << c.name.toStdString();
        EXPECT_EQ(engine->FileName(), c.expected) << c.name.toStdString();
        EXPECT_EQ(pageCount(), 7) << c.name.toStdString();
    }
    // A macro that resolves to nothing is an unloadable name of its own.
    engine->CloseAllFiles(-1);
    ASSERT_TRUE(open("%B/none.pdf"));
    EXPECT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(pageCount(), 0);
    EXPECT_TRUE(log().contains("non-existent..."));
}

// A name that is a macro but also an existing file of that literal name opens that file.
TEST_F(Opening, AFileNamedLikeAMacroWinsOverTheMacro)
{
    App.ExeFolder = dir.path();
    copy("widths/widths.pdf", "m.pdf");
    const QString literal = copy("multi/multi.pdf", "%B\\m.pdf");
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const bool opened = open("%B\\m.pdf");
    QDir::setCurrent(cwd);
    ASSERT_TRUE(opened);
    EXPECT_EQ(engine->FileName(), literal);
    EXPECT_EQ(pageCount(), 7);
}

// Opening the current document again with an unchanged date loads nothing; it navigates.
TEST_F(Opening, AnUnchangedFileIsOnlyNavigated)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    ASSERT_TRUE(open(path));
    const FPDF_DOCUMENT loaded = current().PDFiumDoc.get();
    struct Case {
        QString SRC;
        int lnum;
        TDestType dest;
        int expectedPage;
        QString info;
    };
    const Case cases[] = {
        {"", 4, TDestType::PageIndex, 4, ""},
        {"3", 0, TDestType::PageLabel, 5, ""},
        {"ii", 0, TDestType::PageLabel, 2, ""},
        {"", 9, TDestType::PageIndex, 2, "Page Index out of bounds: 9"},
        {"vi", 0, TDestType::PageLabel, 2, "Page Label not found: \"vi\""},
        {"section.4", 0, TDestType::NamedDest, 6, ""},
        {"page.ii", 0, TDestType::NamedDest, 2, ""},
        {"section.9", 0, TDestType::NamedDest, 2, "Named Destination not found: \"section.9\""},
        {"", 0, TDestType::ForwardSearch, 2, ""},
    };
    for (const Case &c : cases) {
        host.calls.clear();
        ASSERT_TRUE(open(path, false, c.SRC, c.lnum, c.dest));
        EXPECT_EQ(current().PDFiumDoc.get(), loaded);
        EXPECT_EQ(page(), c.expectedPage) << c.SRC.toStdString() << c.lnum;
        EXPECT_EQ(host.calls.filter("Info").join(""), c.info.isEmpty() ? "" : "Info 2777: " + c.info);
    }
    EXPECT_EQ(log().count("Loaded: "), 1) << "only the first call loaded the file";
    // An empty name reloads the current document when forced.
    ASSERT_TRUE(open(QString(), true));
    EXPECT_TRUE(log().contains("Force reload: " + path));
    EXPECT_EQ(page(), 2) << "a reload keeps the place";
}

// The TeX engine rewrote the file: it is reloaded in place, on the same page, with its
// history; the new date is recorded so that the next call loads nothing.
TEST_F(Opening, ARewrittenFileIsReloadedInPlace)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    ASSERT_TRUE(open(path));
    engine->Navigator().GOTOPage(3, nullptr);
    rewrite(path, fixture("widths/widths.pdf"));
    EXPECT_EQ(pageCount(), 7);
    engine->UpdateTab(-1, TTabUpdate::IfChanged);
    EXPECT_TRUE(current().Modified);
    ASSERT_TRUE(open(path));
    EXPECT_EQ(pageCount(), 3);
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(current().FileDate, FileTime64(path));
    EXPECT_FALSE(current().Modified);
    EXPECT_EQ(engine->DocumentCount(), 1);
    ASSERT_TRUE(engine->Navigator().PrevPosition());
    EXPECT_EQ(page(), 1) << "the history survives the reload";
}

// Missing, locked and half-written files leave the last good document on show; a
// half-written one is tried again on the next call and shown once complete.
TEST_F(Opening, AnUnreadableFileKeepsThePreviousContent)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    const QByteArray complete = fixture("widths/widths.pdf");
    ASSERT_TRUE(open(path));
    engine->Navigator().GOTOPage(5, nullptr);
    const int64_t goodDate = current().FileDate;

    rewrite(path, complete.left(complete.size() / 3));
    ASSERT_TRUE(open(path));
    EXPECT_EQ(pageCount(), 7) << "the truncated file is not shown";
    EXPECT_EQ(page(), 5);
    EXPECT_EQ(current().FileDate, goodDate);
    EXPECT_FALSE(current().Error);
    EXPECT_TRUE(current().Modified);

    {
        QFile writer(path);
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
        rewrite(path, complete, 20);
        ASSERT_TRUE(open(path));
        EXPECT_EQ(pageCount(), 7) << "a file held open for writing is not read";
        EXPECT_TRUE(log().contains("locked for reading..."));
        EXPECT_TRUE(current().Locked);
    }
    ASSERT_TRUE(open(path));
    EXPECT_EQ(pageCount(), 3) << "the completed file is shown";
    EXPECT_EQ(page(), 3) << "the place is kept as far as the document reaches";

    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(open(path));
    EXPECT_EQ(pageCount(), 3);
    EXPECT_FALSE(current().Exists);
    EXPECT_TRUE(log().contains("non-existent..."));
}

// A file deleted while shown stays on show, whether the library read it into memory or reads
// it from the file, and its pages still load; the tab shows it missing.
TEST_F(Opening, AVanishedFileStaysDisplayed)
{
    for (const bool memory : {true, false}) {
        SCOPED_TRACE(memory);
        engine->CloseAllFiles(-1);
        Prefer.PDFMemory = memory;
        const QString path = copy("multi/multi.pdf", "gone.pdf");
        ASSERT_TRUE(open(path));
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(open(path));
        EXPECT_EQ(pageCount(), 7);
        ASSERT_TRUE(engine->Navigator().GOTOPage(6, nullptr));
        EXPECT_EQ(engine->Layout().SelectedPage(), 6) << "the page loads";
        EXPECT_GT(engine->Layout().FDocPageWidth, 0);
        EXPECT_FALSE(current().Exists);
        EXPECT_FALSE(current().Error);
    }
}

// Password prompts: at most four, Cancel stops, a remembered password reaches the recent list.
TEST_F(Opening, APasswordIsAskedForAtMostFourTimes)
{
    struct Case {
        QStringList answers;
        bool remember;
        int prompts;
        bool loaded;
        QString stored;
    };
    const Case cases[] = {
        {{"user"}, false, 1, true, ""},
        {{"wrong", "user"}, true, 2, true, "user"},
        {{"a", "b", "c", "d", "user"}, false, 4, false, ""},
        {{""}, true, 1, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.answers.join(",")));
        engine->CloseAllFiles(-1);
        const QString path = copy("multi/multi-locked.pdf", "locked.pdf");
        host.passwords = c.answers;
        host.rememberAnswer = c.remember;
        host.passwordPrompts = 0;
        ASSERT_TRUE(open(path));
        EXPECT_EQ(host.passwordPrompts, c.prompts);
        EXPECT_EQ(pageCount(), c.loaded ? 7 : 0);
        EXPECT_EQ(current().Error, !c.loaded);
        EXPECT_EQ(current().FilePwd, c.stored);
        engine->CloseFile(QString(), -1);
        EXPECT_EQ(Prefer.DocList[0].FilePwd, c.stored);
    }
    // With RememberDoc the recent list's password opens the file without asking.
    const QString path = copy("multi/multi-locked.pdf", "locked.pdf");
    host.passwords = {"user"};
    host.rememberAnswer = true;
    ASSERT_TRUE(open(path));
    ASSERT_TRUE(engine->CloseFile(path, -1));
    Prefer.RememberDoc = true;
    host.passwordPrompts = 0;
    ASSERT_TRUE(open(path));
    EXPECT_EQ(host.passwordPrompts, 0);
    EXPECT_EQ(pageCount(), 7);
}

TEST_F(Opening, OpeningIsRefusedWhileThePasswordIsAskedFor)
{
    const QString locked = copy("multi/multi-locked.pdf", "locked.pdf");
    const QString other = copy("multi/multi.pdf", "other.pdf");
    bool nested = true;
    host.passwords = {"user"};
    host.duringPrompt = [&] {
        nested = engine->OpenDocument(other, false, QString(), 0, TDestType::ForwardSearch);
        nested = nested || engine->LoadFile(other) || engine->ReloadFile(other);
    };
    ASSERT_TRUE(open(locked));
    EXPECT_FALSE(nested);
    EXPECT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(pageCount(), 7);
}

// With PDFMemory the library reads a copy in memory; without it, the file.
TEST_F(Opening, MemoryLoadingKeepsTheFileContentInTheSlot)
{
    for (const bool memory : {true, false}) {
        engine->CloseAllFiles(-1);
        Prefer.PDFMemory = memory;
        const QString path = copy("multi/multi.pdf", "x.pdf");
        ASSERT_TRUE(open(path));
        EXPECT_EQ(pageCount(), 7);
        EXPECT_EQ(current().PDFiumDocBuf.size(), memory ? QFileInfo(path).size() : 0);
        EXPECT_EQ(log().contains("Loaded from file: " + path), !memory);
    }
}

// Files of 1 GiB and more are read by the library from disk even with memory loading on;
// the size comes from a file system that reports it larger than the file is.
TEST_F(Opening, OneGibibyteAndMoreIsOpenedFromTheFile)
{
    struct SizedFiles final : pl::Files {
        pl::Files &real = pl::files();
        int64_t size = 0;
        SizedFiles() { pl::setFiles(this); }
        ~SizedFiles() override { pl::setFiles(nullptr); }
        pl::FileStatus status(const QString &path, bool followLinks) override
        {
            pl::FileStatus st = real.status(path, followLinks);
            if (st.kind == pl::FileKind::Regular && path.endsWith(".pdf"))
                st.size = size;
            return st;
        }
        bool isLocked(const QString &path, bool writeFlag) override { return real.isLocked(path, writeFlag); }
        bool makeFolders(const QString &path, bool privateMode) override { return real.makeFolders(path, privateMode); }
        bool setMode(const QString &path, uint32_t mode) override { return real.setMode(path, mode); }
        bool setTimes(const QString &path, int64_t w, int64_t a) override { return real.setTimes(path, w, a); }
        pl::FileHandle create(const QString &path, uint32_t mode, bool exclusive) override
        {
            return real.create(path, mode, exclusive);
        }
        bool write(pl::FileHandle &file, const QByteArray &bytes) override { return real.write(file, bytes); }
        bool sync(pl::FileHandle &file) override { return real.sync(file); }
        void close(int fd) override { real.close(fd); }
        bool rename(const QString &from, const QString &to) override { return real.rename(from, to); }
        bool remove(const QString &path) override { return real.remove(path); }
        bool syncFolder(const QString &path) override { return real.syncFolder(path); }
        pl::WholeFile readWhole(const QString &path, QByteArray &bytes, int64_t limit, int64_t *writeTime) override
        {
            return real.readWhole(path, bytes, limit, writeTime);
        }
        pl::WholeFile writeWhole(const QString &path, const QByteArray &bytes) override
        {
            return real.writeWhole(path, bytes);
        }
    } files;
    for (const int64_t size : {int64_t(1073741823), int64_t(1073741824), int64_t(5000000000)}) {
        SCOPED_TRACE(size);
        engine->CloseAllFiles(-1);
        files.size = size;
        const QString path = copy("multi/multi.pdf", "x.pdf");
        ASSERT_TRUE(open(path));
        const bool fromFile = size >= 1073741824;
        EXPECT_EQ(pageCount(), 7);
        EXPECT_EQ(current().PDFiumDocBuf.isEmpty(), fromFile);
        EXPECT_EQ(log().contains("File Size too Large: " + QString::number(size)), fromFile);
    }
}

TEST_F(Opening, SyncTeXDataIsLoadedWithTheDocument)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    QFile::copy(fixturePath("multi/multi.synctex.gz"), dir.filePath("x.synctex.gz"));
    App.AppRunning = true; // loading on the main thread needs the running event loop
    ASSERT_TRUE(open(path));
    App.AppRunning = false;
    ASSERT_TRUE(engine->SyncTeX());
    EXPECT_TRUE(engine->SyncTeX()->Ready) << engine->SyncTeX()->ErrMsg.get().toStdString();
    EXPECT_EQ(engine->SyncTeX(), current().SyncTeX);
    engine->UpdateTab(-1, TTabUpdate::IfChanged);
    EXPECT_TRUE(current().Sync);
}

// The text a loader thread reads at opening serves the first forward search: the file is
// read once.
TEST_F(Opening, TheFirstForwardSearchUsesTheDataLoadedAtOpening)
{
    Prefer.UseThreads = true;
    App.AppRunning = true;
    const QString path = copy("multi/multi.pdf", "x.pdf");
    QFile::copy(fixturePath("multi/multi.synctex.gz"), dir.filePath("x.synctex.gz"));
    ASSERT_TRUE(open(path));
    const std::shared_ptr<TSyncTeX> sync = current().SyncTeX;
    QElapsedTimer waited;
    waited.start();
    while (sync->Loading && waited.elapsed() < 10000)
        QThread::msleep(5);
    ASSERT_TRUE(sync->Ready) << sync->ErrMsg.get().toStdString();

    ASSERT_TRUE(open(path, false, fixturePath("multi/chapters/stone.tex"), 9));
    App.AppRunning = false;
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 3);
    EXPECT_EQ(log().count("SyncTeX loaded"), 1) << log().toStdString();
    EXPECT_EQ(log().count("SyncTeX loaded in the background: "), 1);
    StopSyncTeXLoaders();
}

// Saving writes through a new file beside the target, keeps its mode, and a save under
// another name renames the document.
TEST_F(Opening, SavingWritesACompleteCopy)
{
    const QString path = copy("multi/multi.pdf", "x.pdf");
    ASSERT_TRUE(open(path));
    engine->Navigator().GOTOPage(4, nullptr);
    const QString target = dir.filePath("saved.pdf");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(engine->SaveFile(target));
    EXPECT_EQ(pl::files().status(target).mode & 0777, 0640u);
    EXPECT_EQ(engine->FileName(), target);
    EXPECT_EQ(host.tabs, QStringList{target});
    EXPECT_EQ(current().FileDate, FileTime64(target));
    EXPECT_EQ(page(), 4);
    EXPECT_EQ(Prefer.DocList[0].FileName, path);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter("saved").size(), 1) << "no temporary file is left";
    // The copy is a complete document.
    ASSERT_TRUE(open(target, true));
    EXPECT_EQ(pageCount(), 7);
    EXPECT_FALSE(engine->SaveFile(dir.filePath("no/such/folder/x.pdf")));
    EXPECT_EQ(engine->FileName(), target);
    // Saving over a file that another tab shows is refused and leaves that file alone.
    const QString other = copy("widths/widths.pdf", "other.pdf");
    ASSERT_TRUE(open(other));
    const QByteArray before = fixture("widths/widths.pdf");
    EXPECT_FALSE(engine->SaveFile(target));
    ASSERT_TRUE(open(target));
    EXPECT_FALSE(engine->SaveFile(other));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(engine->DocumentCount(), 2);
}

// Saving under a name that is a symbolic link replaces the file it points to; the link stays.
TEST_F(Opening, SavingThroughALinkKeepsTheLink)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    const QString real = copy("widths/widths.pdf", "real/w.pdf");
    const QString link = dir.filePath("link.pdf");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(open(copy("multi/multi.pdf", "x.pdf")));
    ASSERT_TRUE(engine->SaveFile(link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(engine->FileName(), link);
    EXPECT_EQ(QDir(dir.filePath("real")).entryList(QDir::Files), QStringList{"w.pdf"}) << "no temporary file is left";
    ASSERT_TRUE(open(real));
    EXPECT_EQ(pageCount(), 7);
}

// One document at a time: opening another file closes the open ones first.
TEST_F(Opening, OneDocumentAtATimeClosesTheOthersFirst)
{
    Prefer.SDInterface = true;
    const QString a = copy("multi/multi.pdf", "a.pdf");
    const QString b = copy("widths/widths.pdf", "b.pdf");
    ASSERT_TRUE(open(a));
    ASSERT_TRUE(open(b));
    ASSERT_TRUE(open(b));
    EXPECT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(engine->FileName(), b);
    EXPECT_EQ(pageCount(), 3);
    EXPECT_EQ(host.tabs, QStringList{b});
    EXPECT_EQ(host.caption, b);
    EXPECT_EQ(Prefer.DocList[0].FileName, a);
}

// The initial zoom of a new document: fit width or fit page by what the window holds, and
// no continuous view for a single fitted page or pages of different widths.
TEST_F(Opening, TheInitialZoomFollowsTheWindow)
{
    Prefer.ZoomAuto = true;
    Prefer.ZoomMode = zCustom;
    Prefer.Zoom = 100;
    Prefer.AllowScrolling = true;
    Prefer.PageView = TPageViewMode::Single;
    struct Case {
        QString fixture;
        int width, height; // client pixels at 72 pixels per inch: one pixel per point
        TZoomMode mode;
        bool scrolling;
    };
    const Case cases[] = {
        {"multi/multi.pdf", 800, 600, zfitWidth, true},    // fits 191 % wide, 101 % high
        {"multi/multi.pdf", 300, 300, zCustom, true},      // neither reaches the zoom
        {"multi/multi.pdf", 1600, 1200, zfitPage, false},  // a whole page at 202 %
        {"widths/widths.pdf", 800, 600, zfitWidth, false}, // a landscape page among portrait
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        engine->CloseAllFiles(-1);
        host.clientWidth = c.width;
        host.clientHeight = c.height;
        ASSERT_TRUE(open(copy(c.fixture, "z.pdf")));
        EXPECT_EQ(engine->Layout().FZoomMode, c.mode);
        EXPECT_EQ(engine->Layout().AllowScrolling, c.scrolling);
        EXPECT_EQ(current().ZoomMode, c.mode);
    }
}

// A source line given with the document: its typeset place on the right page is marked
// with a point of margin and brought into view; a second search is stored in the history.
TEST_F(Opening, AForwardSearchShowsAndMarksTheTypesetLine)
{
    App.AppRunning = true; // SyncTeX data loads on the main thread only while the loop runs
    const QString pdf = fixturePath("multi/multi.pdf");
    const QString stone = fixturePath("multi/chapters/stone.tex");
    int animations = 0;
    struct AnimatingHost : DocumentHost {
        int *count = nullptr;
        void StartMarkAnimation() override { ++*count; }
    } animating;
    animating.count = &animations;
    engine->SetHost(&animating);
    animating.clientHeight = 300;

    ASSERT_TRUE(open(pdf, false, stone, 9));
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 3);
    ASSERT_EQ(engine->ForwardMark().SelBoxRects.size(), 2u);
    // x 51.02-368.50 and y 272.98-309.77 from the top, with the margin, from the bottom.
    const TFloatRect &u = engine->ForwardMark().SelBoxRects[0];
    EXPECT_NEAR(u.Left, 50.02, 0.05);
    EXPECT_NEAR(u.Right, 369.50, 0.05);
    EXPECT_NEAR(u.Top, 595.276 - 271.98, 0.05);
    EXPECT_NEAR(u.Bottom, 595.276 - 310.77, 0.05);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(engine->Layout().GetScrCoord(3, u.Left, u.Top, x1, y1));
    ASSERT_TRUE(engine->Layout().GetScrCoord(3, u.Right, u.Bottom, x2, y2));
    EXPECT_GE(std::min(y1, y2), 0);
    EXPECT_LE(std::max(y1, y2), animating.clientHeight);
    EXPECT_EQ(animations, 1);
    EXPECT_TRUE(engine->AnimatePending());

    ASSERT_TRUE(open(pdf, false, fixturePath("multi/chapters/iron.tex"), 2));
    EXPECT_EQ(page(), 6);
    ASSERT_TRUE(engine->Navigator().PrevPosition());
    EXPECT_EQ(page(), 3);

    Prefer.PersistentFS = true;
    ASSERT_TRUE(open(pdf, false, stone, 17));
    EXPECT_EQ(animations, 2) << "a persistent mark does not fade";
    EXPECT_FALSE(engine->AnimatePending());
    engine->SetHost(&host);
    App.AppRunning = false;
}

TEST_F(Opening, AFailedForwardSearchSaysWhy)
{
    App.AppRunning = true;
    const QString noSync = copy("multi/multi.pdf", "plain.pdf");
    const QString badSync = copy("multi/multi.pdf", "bad.pdf");
    QFile::copy(fixturePath("pdfium/garbage.pdf"), dir.filePath("bad.synctex"));
    const QString stone = fixturePath("multi/chapters/stone.tex");
    struct Case {
        QString pdf;
        int line;
        QString info;
    };
    const Case cases[] = {
        {fixturePath("multi/multi.pdf"), 30, "No source info for line 30 in \"" + stone + "\""},
        {noSync, 9, "No SyncTeX Data for: \"plain\""},
        {badSync, 9, "No SyncTeX Data: \"" + dir.filePath("bad.synctex") + "\""},
    };
    for (const Case &c : cases) {
        host.calls.clear();
        ASSERT_TRUE(open(c.pdf, false, stone, c.line));
        EXPECT_EQ(host.calls.filter("Info").join(""), "Info 2777: " + c.info);
        EXPECT_EQ(page(), 1);
    }
    App.AppRunning = false;
}

// A forward search waits for SyncTeX data that is still loading, and events run meanwhile:
// when they close its document, or close it and show another, nothing is marked or said.
TEST_F(Opening, AForwardSearchWhoseDocumentWentWhileWaitingEndsQuietly)
{
    App.AppRunning = true;
    const QString pdf = fixturePath("multi/multi.pdf");
    const QString other = copy("widths/widths.pdf", "other.pdf");
    for (const bool openAnother : {false, true}) {
        SCOPED_TRACE(openAnother);
        engine->CloseAllFiles(-1);
        ASSERT_TRUE(open(pdf));
        // A loader thread holds the data for the whole wait.
        const std::shared_ptr<TSyncTeX> loading = current().SyncTeX;
        ASSERT_TRUE(loading->ClaimLoading());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                engine->CloseAllFiles(-1);
                if (openAnother)
                    open(other);
            },
            Qt::QueuedConnection);
        host.calls.clear();
        ASSERT_TRUE(open(pdf, false, fixturePath("multi/chapters/stone.tex"), 9));
        EXPECT_EQ(engine->DocumentCount(), openAnother ? 1 : 0) << "the queued close ran during the wait";
        EXPECT_EQ(host.calls.filter("Info").join(""), "");
        EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 0);
        EXPECT_TRUE(engine->ForwardMark().SelBoxRects.empty());
        if (openAnother) {
            EXPECT_EQ(page(), 1);
        }
        loading->Loading.store(false);
    }
    App.AppRunning = false;
}

// A file that cannot be a document opens as an empty tab in the error state, and the user is
// told why once, not on every attempt to open it again.
TEST_F(Opening, AFileThatIsNoDocumentSaysWhyOnce)
{
    QByteArray flipped = fixture("pdfium/text.pdf");
    for (qsizetype i = 16; i < flipped.size(); ++i)
        flipped[i] = char(~flipped[i]);
    QFile::remove(dir.filePath("flipped.pdf"));
    {
        QFile f(dir.filePath("flipped.pdf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(flipped);
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.pdf"));
    struct Case {
        QString path;
        QString reason;
    };
    const Case cases[] = {
        {copy("pdfium/empty.pdf", "empty.pdf"), "empty"},
        {copy("pdfium/garbage.pdf", "notes.pdf"), "not a PDF file"},
        {copy("pdfium/truncated.pdf", "cut.pdf"), "damaged"},
        {dir.filePath("flipped.pdf"), "damaged"},
        {dir.filePath("folder.pdf"), "a folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QString text = "Cannot open \"" + QFileInfo(c.path).fileName() + "\": " + c.reason;
        host.calls.clear();
        ASSERT_TRUE(open(c.path));
        EXPECT_EQ(host.calls.filter("Info").join(""), "Info 2777: " + text);
        EXPECT_TRUE(current().Error);
        EXPECT_EQ(pageCount(), 0);
        EXPECT_TRUE(log().contains(text));
        host.calls.clear();
        ASSERT_TRUE(open(c.path));
        EXPECT_EQ(host.calls.filter("Info").join(""), "") << "said once";
    }
    // A password prompt the user cancelled is no fault of the file.
    host.calls.clear();
    host.passwords = {""};
    ASSERT_TRUE(open(copy("multi/multi-locked.pdf", "locked.pdf")));
    EXPECT_EQ(host.calls.filter("Info").join(""), "");
}
