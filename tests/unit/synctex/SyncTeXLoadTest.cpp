#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "synctex/SyncInflate.h"
#include "synctex/SyncKeepBudget.h"
#include "ScopedKeepLimits.h"
#include "ManualClock.h"
#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SyncTeXLoad : ::testing::Test {
    QTemporaryDir dir;
    QString main;
    void SetUp() override
    {
        App.AppRunning = true;
        main = dir.filePath("main.tex");
        writeBytes(main, "\\input chap1\n");
    }
    void TearDown() override { App.AppRunning = false; }
    QString path(const QString &name) const { return dir.filePath(name); }
    // A document of a few records; padding makes it as long as asked.
    QByteArray document(qsizetype atLeast = 0) const
    {
        QByteArray text = syncPreamble(main) + "{1\n[1,1:0,0:100,100,0\n(1,3:10,20:30,5,1\n)\n]\n}1\nPostamble:\n";
        while (text.size() < atLeast)
            text += "Post scriptum: padding line of a generated document, long enough to matter\n";
        return text;
    }
    static void setWriteTime(const QString &file, const QDateTime &t)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
    }
};

const QDateTime T0(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC);

// The size of this process's address space.
qint64 virtualMemoryBytes()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

} // namespace

TEST_F(SyncTeXLoad, ChoosesTheSyncTeXFileByPresenceAndWriteTime)
{
    const QString pdf = path("doc.pdf");
    const QString plain = path("doc.synctex"), packed = path("doc.synctex.gz");
    struct Case {
        bool plain, packed;
        int plainAge, packedAge; // seconds after T0
        QString expected;
    };
    const Case cases[] = {
        {false, false, 0, 0, QString()}, {false, true, 0, 0, packed},
        {true, false, 0, 0, plain},      {true, true, 5, 5, packed}, // equal times: the packed file
        {true, true, 6, 5, plain},                                   // the plain file is newer
        {true, true, 5, 6, packed},
    };
    for (const Case &c : cases) {
        QFile::remove(plain);
        QFile::remove(packed);
        if (c.plain) {
            writeBytes(plain, "x");
            setWriteTime(plain, T0.addSecs(c.plainAge));
        }
        if (c.packed) {
            writeBytes(packed, "x");
            setWriteTime(packed, T0.addSecs(c.packedAge));
        }
        EXPECT_EQ(TSyncTeX::GetSyncFileName(pdf), c.expected) << c.plain << c.packed << c.plainAge << c.packedAge;
    }
}

TEST_F(SyncTeXLoad, ReadsIntegersWithTheirLimits)
{
    struct Case {
        const char *text;
        char term;
        bool valid;
        int value;
        int stop;
    };
    const Case cases[] = {
        {"12\n", '\n', true, 12, 2},
        {"-12,", ',', true, -12, 3},
        {"+7:", ':', true, 7, 2},
        {"12\r\n", ',', true, 12, 2},
        {"", '\n', false, 0, 0},
        {"-\n", '\n', false, 0, 1},
        {" 5\n", '\n', false, 0, 2}, // a blank is a stray byte
        {"1x2,", ',', false, 0, 3},
        {"2147483646\n", '\n', true, 2147483646, 10},
        {"2147483647\n", '\n', false, 0, 10},
        {"00000000000012\n", '\n', true, 12, 14},  // 14 digits
        {"000000000000012\n", '\n', false, 0, 15}, // 15 digits
        {"12abc", 0, true, 12, 2},
        {"abc", 0, false, 0, 0},
    };
    for (const Case &c : cases) {
        TSyncTeX sync;
        sync.Data = c.text;
        qsizetype pos = 0;
        int value = -99;
        EXPECT_EQ(sync.ReadSyncInt(pos, c.term, value), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
        EXPECT_EQ(pos, c.stop) << c.text;
    }
}

TEST_F(SyncTeXLoad, MatchesLiteralsOnlyWithABytePastThem)
{
    TSyncTeX sync;
    sync.Data = "Content:\nContent:";
    qsizetype pos = 0;
    EXPECT_TRUE(sync.MatchSyncText(pos, "Content:"));
    EXPECT_EQ(pos, 8);
    pos = 9;
    EXPECT_FALSE(sync.MatchSyncText(pos, "Content:"));
    EXPECT_EQ(pos, 9);
}

TEST_F(SyncTeXLoad, LoadsPlainZlibAndGzipData)
{
    const QByteArray text = document();
    writeBytes(path("a.synctex"), text);
    writeBytes(path("b.synctex.gz"), gzipBytes(text));
    writeBytes(path("c.synctex.GZ"), zlibBytes(text));
    for (const char *name : {"a.synctex", "b.synctex.gz", "c.synctex.GZ"}) {
        TSyncTeX sync;
        ASSERT_TRUE(sync.LoadSyncData(path(name), false)) << name << sync.ErrMsg.get();
        EXPECT_TRUE(sync.Ready);
        EXPECT_FALSE(sync.Loading);
        EXPECT_FALSE(sync.Pending);
        EXPECT_EQ(sync.Data, text);
        EXPECT_EQ(sync.DataSize, text.size());
        EXPECT_EQ(sync.SyncFileName.get(), path(name));
        EXPECT_EQ(sync.MainFile, main);
        EXPECT_EQ(sync.MainPath, dir.path());
        EXPECT_GT(sync.SyncFileDate, 0);
    }
}

TEST_F(SyncTeXLoad, InflationGrowsItsBufferAndChecksTheTrailer)
{
    // A zlib stream has no length field: the output buffer grows from four times the input.
    const QByteArray text = QByteArray(3 << 20, 'x') + document();
    QByteArray out;
    EXPECT_EQ(InflateSyncText(zlibBytes(text), out), TInflateResult::Done);
    EXPECT_EQ(out, text);
    EXPECT_EQ(InflateSyncText(gzipBytes(text), out), TInflateResult::Done);
    EXPECT_EQ(out, text);
    // A wrong length in the gzip trailer is damage, not a size hint to follow.
    QByteArray packed = gzipBytes(text);
    packed[packed.size() - 4] = char(packed[packed.size() - 4] + 1);
    EXPECT_EQ(InflateSyncText(packed, out), TInflateResult::Failed);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(InflateSyncText(QByteArray(), out), TInflateResult::Failed);
}

TEST_F(SyncTeXLoad, CancelStopsTheInflation)
{
    const QByteArray packed = gzipBytes(QByteArray(8 << 20, 'x'));
    QByteArray out;
    // The stream asks between blocks; inflated in one call, the text is cancelled before it starts.
    int asked = 0;
    EXPECT_EQ(InflateSyncText(
                  packed, out, [&] { return ++asked > 2; }, {}, TInflateWay::Stream),
              TInflateResult::Cancelled);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(InflateSyncText(packed, out, [] { return true; }), TInflateResult::Cancelled);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(InflateSyncText(packed, out), TInflateResult::Done);
    EXPECT_EQ(out.size(), 8 << 20);
}

// Inflating in one call gives what the stream gives, for sound data and for every kind of
// damage the trailer can hide.
TEST_F(SyncTeXLoad, InflatingInOneCallAgreesWithTheStream)
{
    const QByteArray text = QByteArray(3 << 20, 'x') + document();
    const QByteArray packed = gzipBytes(text);
    const auto withLength = [&](quint32 length) {
        QByteArray b = packed;
        for (int i = 0; i < 4; ++i)
            b[b.size() - 4 + i] = char(length >> (8 * i));
        return b;
    };
    const quint32 size = quint32(text.size());
    struct Case {
        const char *what;
        QByteArray data;
        TInflateResult result;
        qsizetype length;
    };
    const Case cases[] = {
        {"sound", packed, TInflateResult::Done, text.size()},
        {"a second member is not read", packed + gzipBytes("more"), TInflateResult::Done, text.size()},
        {"trailer one too long", withLength(size + 1), TInflateResult::Failed, 0},
        {"trailer one too short", withLength(size - 1), TInflateResult::Failed, 0},
        {"trailer far too short", withLength(100), TInflateResult::Failed, 0},
        {"trailer beyond the ratio", withLength(0xfffffff0), TInflateResult::Failed, 0},
        {"cut short", packed.left(packed.size() / 2), TInflateResult::Failed, 0},
        {"cut before the trailer", packed.left(packed.size() - 8), TInflateResult::Failed, 0},
        {"damaged in the middle",
         [&] {
             QByteArray b = packed;
             b[b.size() / 2] = char(~b[b.size() / 2]);
             return b;
         }(),
         TInflateResult::Failed, 0},
    };
    for (const Case &c : cases) {
        QByteArray whole, stream;
        EXPECT_EQ(InflateSyncText(c.data, whole), c.result) << c.what;
        EXPECT_EQ(InflateSyncText(c.data, stream, {}, {}, TInflateWay::Stream), c.result) << c.what;
        EXPECT_EQ(whole.size(), c.length) << c.what;
        EXPECT_EQ(whole, stream) << c.what;
        if (c.result == TInflateResult::Done) {
            EXPECT_EQ(whole, text) << c.what;
        }
    }
}

// A few kilobytes of crafted data could otherwise ask for gigabytes; TeX's own files inflate
// to about five times their size.
TEST_F(SyncTeXLoad, InflationStopsFarBelowWhatCraftedDataAsksFor)
{
    const QByteArray packed = gzipOfManyX(1024); // 1 GiB without a line break
    ASSERT_LT(packed.size(), 1100000);
    QByteArray out;
    qsizetype most = 0;
    EXPECT_EQ(InflateSyncText(packed, out, {}, [&](qsizetype produced) { most = std::max(most, produced); }),
              TInflateResult::TooLarge);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_GT(most, 0);
    EXPECT_LE(most, 100 * packed.size() + 1);

    const QString file = path("crafted.synctex.gz");
    writeBytes(file, packed);
    TSyncTeX sync;
    EXPECT_FALSE(sync.LoadSyncData(file, false));
    EXPECT_TRUE(sync.ErrMsg.get().startsWith("SyncTeX File  \"" + file
                                             + "\" could not be loaded. Its text would be longer than "))
        << sync.ErrMsg.get();
    EXPECT_TRUE(sync.Data.isEmpty());
    EXPECT_FALSE(sync.Ready);

    // Small data inflates whatever its ratio, and the crafted stream is sound.
    EXPECT_EQ(InflateSyncText(gzipOfManyX(8), out), TInflateResult::Done);
    EXPECT_EQ(out, QByteArray(8 << 20, 'x'));
}

TEST_F(SyncTeXLoad, APlainFileLongerThanAnySizeFieldIsNotRead)
{
    const QString file = path("huge.synctex");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(1) << 31)); // sparse: no disk space is taken
    f.close();
    TSyncTeX sync;
    EXPECT_FALSE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.ErrMsg.get(),
              "SyncTeX File  \"" + file + "\" could not be loaded. It is larger than 2147483647 bytes.");
    EXPECT_TRUE(sync.Data.isEmpty());
}

// Memory that cannot be had ends the load like any other failure, with its message.
TEST_F(SyncTeXLoad, AFailedAllocationIsAFailedLoad)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reports a failed allocation instead of throwing";
#endif
    const QString file = path("big.synctex");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(1536) << 20));
    f.close();
    const QString expected =
        "SyncTeX File  \"" + file + "\" could not be loaded. There is not enough memory for its text.";
    // The address space is limited in a child process, so that this process stays unharmed.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = rlim_t(virtualMemoryBytes() + (qint64(512) << 20));
        setrlimit(RLIMIT_AS, &limit);
        try {
            TSyncTeX sync;
            const bool loaded = sync.LoadSyncData(file, false);
            _exit(!loaded && sync.ErrMsg.get() == expected && !sync.Loading ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the load ended the process (status " << status << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another result, 2: the allocation failure escaped the load";
}

TEST_F(SyncTeXLoad, FailuresEndEmptyWithTheirMessages)
{
    const QByteArray good = document();
    writeBytes(path("plain-in-gz.synctex.gz"), good);
    QByteArray truncated = gzipBytes(document(50000));
    truncated.chop(truncated.size() / 2);
    writeBytes(path("truncated.synctex.gz"), truncated);
    writeBytes(path("empty.synctex"), "");
    writeBytes(path("nocontent.synctex"), "SyncTeX Version:1\nInput:1:" + main.toUtf8() + "\nUnit:1\n{1\n}1\n");
    writeBytes(path("nomain.synctex"), "SyncTeX Version:1\nInput:2:" + main.toUtf8() + "\nContent:\n{1\n}1\n");
    QDir().mkdir(path("folder.synctex"));

    const auto notFound = [](const QString &f) { return "SyncTeX File \"" + f + "\" not found."; };
    const auto notLoaded = [](const QString &f) { return "SyncTeX File  \"" + f + "\" could not be loaded."; };
    const auto damaged = [&](const QString &f) { return notLoaded(f) + " The file is damaged."; };
    const auto badPreamble = [](const QString &f) { return "SyncTeX Preamble  \"" + f + "\" could not be processed."; };
    const auto inflateError = [](const QString &f) {
        return "An exception occured while decompressing: \"" + f + "\"";
    };
    struct Case {
        QString file;
        QString message;
        QString alsoLogged;
    };
    const Case cases[] = {
        {QString(), notFound(QString()), {}},
        {path("missing.synctex"), notFound(path("missing.synctex")), {}},
        {path("folder.synctex"), notFound(path("folder.synctex")), {}},
        {path("plain-in-gz.synctex.gz"), damaged(path("plain-in-gz.synctex.gz")),
         inflateError(path("plain-in-gz.synctex.gz"))},
        {path("truncated.synctex.gz"), damaged(path("truncated.synctex.gz")),
         inflateError(path("truncated.synctex.gz"))},
        {path("empty.synctex"), notLoaded(path("empty.synctex")), {}},
        {path("nocontent.synctex"), badPreamble(path("nocontent.synctex")), {}},
        {path("nomain.synctex"), badPreamble(path("nomain.synctex")), {}},
    };
    for (const Case &c : cases) {
        TSyncTeX sync;
        sync.Verbose = true;
        EXPECT_FALSE(sync.LoadSyncData(c.file, false)) << c.file;
        EXPECT_EQ(sync.ErrMsg.get(), c.message);
        EXPECT_TRUE(sync.InfoLog.get().contains("!!! " + c.message + "\r\n")) << sync.InfoLog.get();
        if (!c.alsoLogged.isEmpty()) {
            EXPECT_TRUE(sync.InfoLog.get().contains("!!! " + c.alsoLogged + "\r\n")) << sync.InfoLog.get();
        }
        EXPECT_FALSE(sync.Ready);
        EXPECT_FALSE(sync.Loading);
        EXPECT_FALSE(sync.Pending);
        EXPECT_TRUE(sync.Data.isEmpty());
    }
}

TEST_F(SyncTeXLoad, AFileOpenForWritingIsLocked)
{
    const QString file = path("busy.synctex");
    writeBytes(file, document());
    QFile writer(file);
    ASSERT_TRUE(writer.open(QIODevice::ReadWrite));
    TSyncTeX sync;
    EXPECT_FALSE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.ErrMsg.get(), "SyncTeX File \"" + file + "\" is locked for reading.");
    writer.close();
    EXPECT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get();
}

TEST_F(SyncTeXLoad, AnotherLoadWhileLoadingChangesNothing)
{
    const QString file = path("a.synctex");
    writeBytes(file, document());
    TSyncTeX sync;
    ASSERT_TRUE(sync.LoadSyncData(file, false));
    ASSERT_TRUE(sync.ClaimLoading());
    EXPECT_FALSE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.ErrMsg.get(), "SyncTeX File \"" + file + "\" is still loading in the background thread...");
    EXPECT_TRUE(sync.Ready);
    EXPECT_EQ(sync.Data, document());
    sync.Loading = false;
}

TEST_F(SyncTeXLoad, AnUnchangedFileIsNotReadAgain)
{
    const QString file = path("a.synctex");
    writeBytes(file, document());
    setWriteTime(file, T0);
    TSyncTeX sync;
    ASSERT_TRUE(sync.LoadSyncData(file, false));
    writeBytes(file, document(5000));
    setWriteTime(file, T0);
    EXPECT_TRUE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.Data, document());
    setWriteTime(file, T0.addSecs(1));
    EXPECT_TRUE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.Data, document(5000));
}

TEST_F(SyncTeXLoad, PreambleKeysGiveTheUnitConversion)
{
    struct Case {
        QByteArray keys;
        int unit, mag, xOffset, yOffset;
    };
    const Case cases[] = {
        {"Magnification:2000\nUnit:1\nX Offset:0\nY Offset:0\n", 1, 2000, 0, 0},
        {"Unit: 5\nMagnification:1000\n", 1, 1000, 0, 0}, // a blank before the number is invalid
        {"Unit:65536\nX Offset:-12\nY Offset:+30\n", 65536, 1000, -12, 30},
        {"Unit:1\nMagnification:2147483647\n", 1, 1000, 0, 0},
    };
    for (const Case &c : cases) {
        const QString file = path("p.synctex");
        writeBytes(file, syncPreamble(main, c.keys) + "{1\n}1\n");
        TSyncTeX sync;
        ASSERT_TRUE(sync.LoadSyncData(file, false)) << c.keys.constData();
        EXPECT_EQ(sync.SyncUnit, c.unit);
        EXPECT_EQ(sync.SyncMag, c.mag);
        EXPECT_EQ(sync.xOffset, c.xOffset);
        EXPECT_EQ(sync.yOffset, c.yOffset);
        const double unit = c.unit / 65781.76 * c.mag / 1000;
        EXPECT_DOUBLE_EQ(sync.fUnit, unit);
        EXPECT_DOUBLE_EQ(sync.fxOffset, c.xOffset * unit);
        EXPECT_DOUBLE_EQ(sync.fyOffset, c.yOffset * unit);
    }
}

TEST_F(SyncTeXLoad, AZeroUnitOrMagnificationRefusesTheData)
{
    const QString file = path("p.synctex");
    for (const QByteArray keys : {"Unit:0\nMagnification:1000\n", "Unit:1\nMagnification:0\n", "Magnification:-0\n"}) {
        writeBytes(file, syncPreamble(main, keys) + "{1\n(1,3:10,20:30,5,1\n)\n}1\n");
        TSyncTeX sync;
        EXPECT_FALSE(sync.LoadSyncData(file, false)) << keys.constData();
        EXPECT_EQ(sync.ErrMsg.get(), "SyncTeX Preamble  \"" + file + "\" could not be processed.");
        EXPECT_TRUE(sync.Data.isEmpty());
        QString source;
        int line;
        EXPECT_FALSE(sync.InverseSearch(1, 1, 1, source, line));
    }
}

// The working folder is where the viewer was started, which says nothing about the document.
TEST_F(SyncTeXLoad, InputNamesAreNeverLookedUpInTheWorkingFolder)
{
    QDir().mkpath(path("doc/sub"));
    QDir().mkpath(path("cwd"));
    for (const char *name : {"doc/main.tex", "doc/chap.tex", "doc/sub/chap.tex", "cwd/main.tex", "cwd/chap.tex"})
        writeBytes(path(name), name);
    const QString file = path("doc/main.synctex");
    // chap.tex is typeset on page 1, sub/chap.tex on page 2.
    writeBytes(file,
               syncPreamble("main.tex")
                   + "Input:2:./chap.tex\nInput:3:sub/chap.tex\n"
                     "{1\n[1,1:0,0:100,100,0\n(2,4:10,20:30,5,1\nx2,4:10,20\n)\n]\n}1\n"
                     "{2\n[1,1:0,0:100,100,0\n(3,4:10,20:30,5,1\nx3,4:10,20\n)\n]\n}2\n");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(path("cwd"));
    TSyncTeX sync;
    const bool loaded = sync.LoadSyncData(file, false);
    QString chap;
    const bool found = sync.FindInputName(2, sync.MainPath, chap);
    int page = 0, numrect = 0;
    TFloatRectangles rects;
    const bool forward = sync.ForwardSearch(path("doc/chap.tex"), 4, page, numrect, rects);
    QDir::setCurrent(cwd);
    ASSERT_TRUE(loaded) << sync.ErrMsg.get();
    EXPECT_EQ(sync.MainFile, path("doc/main.tex"));
    EXPECT_TRUE(found);
    EXPECT_EQ(chap, path("doc/chap.tex"));
    EXPECT_TRUE(forward) << sync.ErrMsg.get();
    EXPECT_EQ(page, 1);
}

// A project typeset elsewhere: the recorded absolute names lead to the files below the
// SyncTeX file's folder.
TEST_F(SyncTeXLoad, AMovedProjectFindsItsFilesBesideTheSyncTeXFile)
{
    QDir().mkpath(path("doc/sub"));
    for (const char *name : {"doc/main.tex", "doc/sub/part.tex", "doc/shared.tex"})
        writeBytes(path(name), name);
    const QString file = path("doc/main.synctex");
    writeBytes(file,
               syncPreamble("/old/root//./main.tex")
                   + "Input:2:/old/root/./sub/part.tex\nInput:3:/other/place/shared.tex\n"
                     "Input:4:/old/root/./sub/gone.tex\nInput:5:/old/root/./sub/../sub//part.tex\n{1\n}1\n");
    TSyncTeX sync;
    ASSERT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get();
    EXPECT_EQ(sync.MainFile, path("doc/main.tex"));
    struct Case {
        int tag;
        QString name;
    };
    const Case cases[] = {
        {2, path("doc/sub/part.tex")}, // its path below the recorded main folder
        {3, path("doc/shared.tex")},   // outside that folder: its name beside the SyncTeX file
        {4, "/old/root/sub/gone.tex"}, // found nowhere: the recorded name, cleaned
        {5, path("doc/sub/part.tex")},
    };
    for (const Case &c : cases) {
        QString name;
        EXPECT_TRUE(sync.FindInputName(c.tag, sync.MainPath, name));
        EXPECT_EQ(name, c.name) << c.tag;
    }
}

TEST_F(SyncTeXLoad, FindsInputFilesBesideTheSyncTeXFileAndByExactName)
{
    QDir().mkdir(path("sub"));
    writeBytes(path("chap1.tex"), "a");
    writeBytes(path("Chap2.tex"), "b");
    writeBytes(path("sub/part.tex"), "c");
    const QString file = path("f.synctex");
    writeBytes(file,
               syncPreamble("main.tex")
                   + "Input:2:./chap1.tex\nInput:3:chap2.tex\nInput:4:sub//part.tex\n"
                     "Input:5:/nowhere/x.tex\nInput:2:./chap1.tex\n{1\n}1\n");
    TSyncTeX sync;
    ASSERT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get();
    EXPECT_EQ(sync.MainFile, main);
    struct Case {
        int tag;
        bool found;
        QString name;
    };
    const Case cases[] = {
        {2, true, path("chap1.tex")},    {3, true, path("chap2.tex")}, // only Chap2.tex exists: names differ in case, so it is not this file
        {4, true, path("sub/part.tex")}, {5, true, "/nowhere/x.tex"},  {6, false, QString()},
    };
    for (const Case &c : cases) {
        QString name;
        EXPECT_EQ(sync.FindInputName(c.tag, QString(), name), c.found) << c.tag;
        if (c.found) {
            EXPECT_EQ(name, c.name) << c.tag;
        }
    }
}

TEST_F(SyncTeXLoad, ALoaderThreadLeavesDataBeyondTheBudgetPending)
{
    const ScopedKeepLimits limits({1000000, 4000000});
    const QString file = path("big.synctex");
    writeBytes(file, document(1200000));
    TSyncTeX sync;
    EXPECT_FALSE(sync.LoadSyncData(file, true));
    EXPECT_TRUE(sync.Pending);
    EXPECT_FALSE(sync.Ready);
    EXPECT_TRUE(sync.Data.isEmpty());
    EXPECT_EQ(sync.SyncFileName.get(), file);
    EXPECT_EQ(sync.ErrMsg.get(), QString());
    EXPECT_EQ(TSyncKeepBudget::Instance().Used(), 0);
    // The first use loads it on the calling thread and keeps it.
    EXPECT_TRUE(sync.LoadSyncData(sync.SyncFileName, false));
    EXPECT_TRUE(sync.Ready);
    EXPECT_FALSE(sync.Pending);
    EXPECT_GT(TSyncKeepBudget::Instance().Used(), 1200000);
}

TEST_F(SyncTeXLoad, TheKeepBudgetCountsEveryDocumentUntilItsDataGoes)
{
    // Each text is about 300 KB with its index; one document may keep 500 KB, all together 800 KB.
    const ScopedKeepLimits limits({500000, 800000});
    TSyncKeepBudget &budget = TSyncKeepBudget::Instance();
    ASSERT_EQ(budget.Used(), 0);
    const QString file = path("a.synctex");
    writeBytes(file, document(300000));
    const QString big = path("big.synctex");
    writeBytes(big, document(600000));
    {
        TSyncTeX first, second, third, large;
        EXPECT_TRUE(first.LoadSyncData(file, true));
        const qint64 each = budget.Used();
        EXPECT_GT(each, 300000);
        EXPECT_TRUE(second.LoadSyncData(file, true));
        EXPECT_EQ(budget.Used(), 2 * each);
        EXPECT_FALSE(third.LoadSyncData(file, true)); // all together over 800 KB
        EXPECT_TRUE(third.Pending);
        EXPECT_FALSE(large.LoadSyncData(big, true)); // one document over 500 KB
        EXPECT_TRUE(large.Pending);
        EXPECT_EQ(budget.Used(), 2 * each);
        first.Delete();
        EXPECT_EQ(budget.Used(), each);
        EXPECT_TRUE(third.LoadSyncData(file, true)); // room again
        EXPECT_EQ(budget.Used(), 2 * each);
        // A load on the calling thread is kept whatever the budget says, and counted.
        EXPECT_TRUE(large.LoadSyncData(big, false));
        EXPECT_GT(budget.Used(), 2 * each + 600000);
    }
    EXPECT_EQ(budget.Used(), 0); // every object gave its share back
}

TEST_F(SyncTeXLoad, LoadsDataLeftAfterTheMessageLoopEndedAreRefused)
{
    const QString file = path("a.synctex");
    writeBytes(file, document());
    App.AppRunning = false;
    TSyncTeX sync;
    EXPECT_FALSE(sync.LoadSyncData(file, false));
    EXPECT_FALSE(sync.Ready);
    EXPECT_FALSE(sync.Loading);
}

TEST_F(SyncTeXLoad, IdleDataIsDroppedAfterFifteenMinutes)
{
    pl::fake::ScopedManualTime time;
    time.clock.ms = 5000;
    const QString file = path("a.synctex.gz");
    writeBytes(file, gzipBytes(document(150000)));
    TSyncTeX sync;
    ASSERT_TRUE(sync.LoadSyncData(file, false));
    EXPECT_EQ(sync.LastUse, 5000u);
    time.clock.ms += 900000;
    EXPECT_FALSE(DropIdleSyncData(sync));
    EXPECT_TRUE(sync.Ready);
    time.clock.ms += 1;
    EXPECT_TRUE(DropIdleSyncData(sync));
    EXPECT_EQ(TSyncKeepBudget::Instance().Used(), 0);
    EXPECT_FALSE(sync.Ready);
    EXPECT_TRUE(sync.Pending);
    EXPECT_TRUE(sync.Data.isEmpty());
    EXPECT_EQ(UpdateSyncText(&sync), "SyncTeX.gz: Pending");
    // A search reads it again.
    QString source;
    int line;
    sync.InverseSearch(1, 0, 0, source, line);
    EXPECT_TRUE(sync.Ready);
    EXPECT_EQ(sync.LastUse, uint64_t(time.clock.ms));

    // Small data stays.
    const QString small = path("small.synctex");
    writeBytes(small, document());
    TSyncTeX other;
    ASSERT_TRUE(other.LoadSyncData(small, false));
    time.clock.ms += 10000000;
    EXPECT_FALSE(DropIdleSyncData(other));
}

TEST_F(SyncTeXLoad, StatusTextNamesTheState)
{
    EXPECT_EQ(UpdateSyncText(nullptr), QString());
    TSyncTeX sync;
    EXPECT_EQ(UpdateSyncText(&sync), "No SyncTeX Data");
    const QString file = path("a.synctex");
    writeBytes(file, document());
    ASSERT_TRUE(sync.LoadSyncData(file, false));
    EXPECT_EQ(UpdateSyncText(&sync), "SyncTeX: Ready");
    sync.Ready = false;
    sync.Loading = true;
    EXPECT_EQ(UpdateSyncText(&sync), "SyncTeX: Loading");
    sync.Loading = false;
    sync.Pending = true;
    EXPECT_EQ(UpdateSyncText(&sync), "SyncTeX: Pending");
}
