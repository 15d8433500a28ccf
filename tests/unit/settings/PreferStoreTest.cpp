#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/DataFile.h"
#include "settings/DataFolder.h"
#include "base/DebugLog.h"
#include "settings/DocMgrGeometry.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "settings/ToolbarDefinition.h"
#include "platform/Files.h"

#include "RecordingSink.h"
#include "FailingFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Gives edited content (with or without its old trailer) a fresh trailer, as if the program
// had written it.
QByteArray WithFreshTrailer(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const int trailer = int(text.lastIndexOf(QStringLiteral("\n\n<<EOF>>")));
    const QString content = trailer >= 0 ? text.left(trailer + 1) : text;
    TDataFile df;
    df.Rewrite(0, 0);
    df.WrStr(content.chopped(1));
    df.WriteTrailer();
    return df.Text().toUtf8();
}

// The folder's file names in byte order.
QStringList FileNames(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return a.compare(b) < 0; });
    return names;
}

int64_t FileTimeAgo(qint64 seconds)
{
    return (QDateTime::currentSecsSinceEpoch() - seconds) * 10000000LL + pl::FileTimeUnixEpoch;
}

class PreferStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingSink sink;
    QString file;

    void SetUp() override
    {
        App.DataFolder = dir.path();
        App.DataFile = file = dir.filePath(QStringLiteral("OrvalePDF.dat"));
        App.Switches = TStartupFlags();
        CurrentPPI = 96;
        SetMessageSink(&sink);
        ASSERT_TRUE(OpenDebugLog(dir.filePath(QStringLiteral("log.txt"))));
        LoadColorDefaults();
        LoadPreferDefaults(Prefer);
    }
    void TearDown() override
    {
        CloseDebugLog();
        SetMessageSink(nullptr);
        CurrentPPI = 96;
    }
    QString Log() const { return QString::fromUtf8(ReadBytes(dir.filePath(QStringLiteral("log.txt")))); }
    // The one "Configuration Error" warning shown: about the named file, the text after it.
    void ExpectConfigurationError(const QString &name, const QString &tail)
    {
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].title, QStringLiteral("Configuration Error"));
        EXPECT_EQ(sink.shown[0].type, mtWarning);
        EXPECT_EQ(sink.shown[0].text, QStringLiteral("Configuration file \"") + name + '"' + tail);
    }

    // Saves settings whose font name marks where they came from.
    void SaveMarked(const QString &marker, const QString &name)
    {
        LoadPreferDefaults(Prefer);
        Prefer.FontName = marker;
        const QString saved = App.DataFile;
        App.DataFile = name;
        ASSERT_TRUE(WriteData());
        App.DataFile = saved;
    }
};

TEST_F(PreferStore, DefaultsRoundTrip)
{
    const TPrefer defaults = Prefer;
    ASSERT_TRUE(WriteData());
    Prefer.FontName = QStringLiteral("changed");
    ASSERT_TRUE(ReadData());
    EXPECT_TRUE(Prefer == defaults);
    EXPECT_EQ(ToolbarDefinition.WriteToString(), TToolbarDefinition::DefaultText());
    EXPECT_TRUE(sink.shown.empty());
    const QString text = QString::fromUtf8(ReadBytes(file));
    EXPECT_TRUE(text.startsWith(QStringLiteral("21\n\nSegoe UI\n9\n0\n0\n16\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nOrvale.exe \"[Open(|%f|);SelPar(%l,8);]\"\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n/A \"page=%p&pagemode=none\" \"%f\"\n")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("\n-V -C=\" \u2764 OrvalePDF\" -L=\"%b\\OrvalePDF2.dat\"%%-B --page-index %p \"%f\"\n")));
    EXPECT_FALSE(Log().contains(QStringLiteral("Data Check")));
}

TEST_F(PreferStore, EveryKindOfValueRoundTrips)
{
    Prefer.FontName = QStringLiteral("DejaVu Sans");
    Prefer.CustomMenuDraw = true;
    Prefer.PageGap = 7;
    Prefer.ThemeSelector = 1;
    Prefer.ColThemes[1] = TColTheme{2, 2, true, true};
    Prefer.ThemeModeIndex = 1;
    Prefer.RenderModeIndex = 2;
    Prefer.Zoom = 123.456789;
    Prefer.InverseSearchCmd = QString();
    Prefer.WindowRect = TWindowRect{10, 20, 610, 820};
    Prefer.MaxListLen = 3;
    Prefer.DocList = QList<TDocInfo>(4);
    Prefer.DocListCount = 2;
    Prefer.DocList[0] = TDocInfo{QStringLiteral("/home/u/a.pdf"),
                                 QStringLiteral("pw"),
                                 3,
                                 87.5,
                                 1,
                                 TPageViewMode::Book,
                                 true,
                                 false,
                                 true,
                                 false,
                                 true,
                                 12,
                                 -3.25,
                                 4.5,
                                 2};
    Prefer.DocList[1].FileName = QStringLiteral("/home/u/b \u00e9.pdf");
    DocMgrGeometry = TDocMgrGeometry{144, 900, 700, {210, 375, 174}};
    ToolbarDefinition.SearchToolbar = false;
    ToolbarDefinition.ReadFromString(QStringLiteral("9 Open\r\n\r\n|\r\n9 Zoom \"999%\""));
    Colors.PdfDark[cc_Workspace].W = RgbColor(0x123456);
    MenuColors[0][5] = 77;
    const TPrefer written = Prefer;
    const TColors colors = Colors;
    ASSERT_TRUE(WriteData());

    DocMgrGeometry = TDocMgrGeometry();
    ToolbarDefinition.LoadDefault();
    MenuColors = DefaultMenuColors();
    ASSERT_TRUE(ReadData());
    EXPECT_TRUE(Prefer == written);
    EXPECT_EQ(Prefer.DocList[0], written.DocList[0]);
    EXPECT_EQ(DocMgrGeometry, (TDocMgrGeometry{144, 900, 700, {210, 375, 174}}));
    EXPECT_FALSE(ToolbarDefinition.SearchToolbar);
    EXPECT_EQ(ToolbarDefinition.lines, (QStringList{"9 Open", "", "|", "9 Zoom \"999%\""}));
    EXPECT_EQ(Colors.PdfDark, colors.PdfDark);
    EXPECT_EQ(Colors.Pdf, colors.PdfDark); // render mode 2 shows the Dark Mode set
    EXPECT_EQ(Colors.Theme, colors.ThemeDark);
    EXPECT_EQ(MenuColors[0][5], 77);
}

TEST_F(PreferStore, FilesArePrivate)
{
    ASSERT_TRUE(WriteData());
    ASSERT_TRUE(WriteData());
    EXPECT_EQ(pl::files().status(file).mode, 0600u);
    const QStringList names = FileNames(dir.path());
    EXPECT_EQ(names, (QStringList{"OrvalePDF.dat", "OrvalePDF.dat.bak", "log.txt"}));
    EXPECT_EQ(pl::files().status(file + QStringLiteral(".bak")).mode, 0600u);
}

// How the store treats a data file, from a settings file saved with the marker "Saved".
struct FileCase {
    const char *name;
    std::function<void(const QString &file)> prepare; // runs after the marked save
    bool noDataChecks;
    bool readsSaved;     // else the defaults
    const char *message; // the "Configuration Error" text after the quoted name; nullptr: none
    const char *log;     // a line the log must hold; nullptr: none required
};

void PrintTo(const FileCase &c, std::ostream *os) { *os << c.name; }

void Edit(const QString &file, const std::function<QByteArray(QByteArray)> &change)
{
    WriteBytes(file, change(ReadBytes(file)));
}

const FileCase fileCases[] = {
    {"good", [](const QString &) {}, false, true, nullptr, nullptr},
    {"crlf", [](const QString &f) { Edit(f, [](QByteArray b) { return b.replace("\n", "\r\n"); }); }, false, false,
     " is corrupted! Using default settings.", "Data Check Failed: 12"},
    {"crlfWithoutChecks", [](const QString &f) { Edit(f, [](QByteArray b) { return b.replace("\n", "\r\n"); }); }, true,
     true, nullptr, nullptr},
    {"damagedTrailerWithoutChecks",
     [](const QString &f) { Edit(f, [](QByteArray b) { return b.replace("<<EOF>>", "<<EoF>>"); }); }, true, true,
     nullptr, nullptr},
    {"size110", [](const QString &f) { Edit(f, [](QByteArray b) { return b.left(110); }); }, true, false,
     " is corrupted! Using default settings.", "ReadData Error..."},
    {"version22", [](const QString &f) { Edit(f, [](QByteArray b) { return WithFreshTrailer("22" + b.mid(2)); }); },
     true, false, " is corrupted! Using default settings.", nullptr},
    {"oversized",
     [](const QString &f) { Edit(f, [](QByteArray b) { return b + QByteArray(1000000 - b.size(), '\n'); }); }, true,
     false, " is corrupted! Using default settings.", nullptr},
    {"maxListLen999",
     [](const QString &f) {
         Prefer.MaxListLen = 999;
         Prefer.DocList = QList<TDocInfo>(1000);
         ASSERT_TRUE(WriteData());
         (void)f;
     },
     false, true, nullptr, nullptr},
    {"maxListLen1000",
     [](const QString &f) {
         Prefer.MaxListLen = 1000;
         Prefer.DocList = QList<TDocInfo>(1001);
         ASSERT_TRUE(WriteData());
         (void)f;
     },
     false, false, nullptr, "ReadData Error..."},
    {"trailerLeftUnread",
     [](const QString &f) {
         Edit(f, [](QByteArray b) { return WithFreshTrailer(b.left(b.lastIndexOf("\n\n<<EOF>>") + 1) + "extra\n"); });
     },
     false, true, nullptr, "Data Check Trailer Position: "},
};

class PreferStoreFiles : public PreferStore, public ::testing::WithParamInterface<FileCase> {};

TEST_P(PreferStoreFiles, TakeTheirPath)
{
    const FileCase &c = GetParam();
    LoadPreferDefaults(Prefer);
    Prefer.FontName = QStringLiteral("Saved");
    ASSERT_TRUE(WriteData());
    c.prepare(file);
    App.Switches.NoDataChecks = c.noDataChecks;

    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, c.readsSaved ? QStringLiteral("Saved") : QStringLiteral("Segoe UI"));
    if (c.message) {
        ExpectConfigurationError(file, QString::fromUtf8(c.message));
    } else {
        EXPECT_TRUE(sink.shown.empty());
    }
    if (c.log) {
        EXPECT_TRUE(Log().contains(QString::fromUtf8(c.log))) << Log().toStdString();
    }
    if (!c.readsSaved) {
        EXPECT_TRUE(Prefer == TPrefer());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PreferStoreFiles, ::testing::ValuesIn(fileCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PreferStore, DamagedFileFallsBackToTheBackupAndWritesNothing)
{
    SaveMarked(QStringLiteral("Backup"), file + QStringLiteral(".bak"));
    SaveMarked(QStringLiteral("Current"), file);
    Edit(file, [](QByteArray b) { return b.replace("Current\n9\n", "Current\n8\n"); });
    const QStringList before = FileNames(dir.path());
    const QByteArray damaged = ReadBytes(file);
    const QByteArray backup = ReadBytes(file + QStringLiteral(".bak"));

    LoadPreferDefaults(Prefer);
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Backup"));
    ExpectConfigurationError(file, QStringLiteral(" is corrupted! Using backup configuration instead."));
    EXPECT_EQ(FileNames(dir.path()), before);
    EXPECT_EQ(ReadBytes(file), damaged);
    EXPECT_EQ(ReadBytes(file + QStringLiteral(".bak")), backup);
}

TEST_F(PreferStore, DamagedFileAndBackupGiveTheDefaults)
{
    SaveMarked(QStringLiteral("Backup"), file + QStringLiteral(".bak"));
    SaveMarked(QStringLiteral("Current"), file);
    for (const QString &name : {file, file + QStringLiteral(".bak")})
        Edit(name, [](QByteArray b) { return b.left(b.size() - 3); });
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Segoe UI"));
    ExpectConfigurationError(file, QStringLiteral(" and its backup are corrupted! Using default settings."));
}

TEST_F(PreferStore, MissingFileGivesTheDefaultsSilently)
{
    Prefer.FontName = QStringLiteral("x");
    ToolbarDefinition.lines.clear();
    ASSERT_TRUE(ReadData());
    EXPECT_TRUE(Prefer == TPrefer());
    EXPECT_EQ(ToolbarDefinition.lines.size(), 51);
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_FALSE(FileExists(file));
}

TEST_F(PreferStore, EmptyRecentListSwitch)
{
    Prefer.DocListCount = 1;
    Prefer.DocList[0].FileName = QStringLiteral("/a.pdf");
    ASSERT_TRUE(WriteData());
    App.Switches.EmptyRecentList = true;
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.DocListCount, 0);
}

constexpr qint64 AllButTheEnd = -2;

struct FailCase {
    const char *name;
    qint64 writeBudget;
    bool failRename;
};

void PrintTo(const FailCase &c, std::ostream *os) { *os << c.name; }

class PreferStoreFailures : public PreferStore, public ::testing::WithParamInterface<FailCase> {};

// A save cut short anywhere (disk full, process killed before the rename) leaves the previous
// file as it was, and no half-written file behind.
TEST_P(PreferStoreFailures, LeaveThePreviousFileIntact)
{
    // A fresh backup: no rotation is due, so the failure hits the data file itself.
    SaveMarked(QStringLiteral("Backup"), file + QStringLiteral(".bak"));
    SaveMarked(QStringLiteral("Previous"), file);
    const QByteArray previous = ReadBytes(file);
    {
        pl::fake::FailingFiles failing;
        failing.writeBudget = GetParam().writeBudget == AllButTheEnd ? previous.size() - 10 : GetParam().writeBudget;
        failing.failRename = GetParam().failRename;
        Prefer.FontName = QStringLiteral("Next");
        EXPECT_FALSE(WriteData());
    }
    EXPECT_EQ(ReadBytes(file), previous);
    EXPECT_EQ(FileNames(dir.path()), (QStringList{"OrvalePDF.dat", "OrvalePDF.dat.bak", "log.txt"}));
    EXPECT_TRUE(Log().contains(QStringLiteral("WriteData Error...")));
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Previous"));
}

INSTANTIATE_TEST_SUITE_P(Table, PreferStoreFailures,
                         ::testing::Values(FailCase{"nothingWritten", 0, false}, FailCase{"halfWritten", 1000, false},
                                           FailCase{"allButTheEnd", AllButTheEnd, false},
                                           FailCase{"renameRefused", -1, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PreferStore, SavedBufferLimitOrBrokenListWritesNothing)
{
    SaveMarked(QStringLiteral("Previous"), file);
    const QByteArray previous = ReadBytes(file);
    Prefer.DocListCount = int32_t(Prefer.DocList.size());
    EXPECT_FALSE(WriteData());
    EXPECT_EQ(ReadBytes(file), previous);
}

TEST_F(PreferStore, BackupIsRenewedAtMostOnceADay)
{
    const QString bak = file + QStringLiteral(".bak");
    const QString bkp = file + QStringLiteral(".bkp");
    SaveMarked(QStringLiteral("Old backup"), bak);
    SaveMarked(QStringLiteral("Yesterday"), file);
    const int64_t bakTime = FileTimeAgo(3 * 86400);
    const int64_t fileTime = FileTimeAgo(20 * 3600);
    ASSERT_TRUE(pl::files().setTimes(bak, bakTime, bakTime));
    ASSERT_TRUE(pl::files().setTimes(file, fileTime, fileTime));
    const QByteArray oldBackup = ReadBytes(bak);
    const QByteArray yesterday = ReadBytes(file);

    for (int save = 0; save < 3; ++save) {
        Prefer.FontName = QStringLiteral("Save %1").arg(save);
        ASSERT_TRUE(WriteData());
    }
    EXPECT_EQ(ReadBytes(bkp), oldBackup);
    EXPECT_EQ(ReadBytes(bak), yesterday);
    EXPECT_EQ(FileTime64(bak), fileTime); // the copy keeps the data file's time
    EXPECT_EQ(FileTime64(bkp), bakTime);
    EXPECT_EQ(pl::files().status(bkp).mode, 0600u);
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Save 2"));
}

TEST_F(PreferStore, RecentBackupIsKeptWhileTheDataFileIsYoung)
{
    const QString bak = file + QStringLiteral(".bak");
    SaveMarked(QStringLiteral("Backup"), bak);
    SaveMarked(QStringLiteral("Current"), file);
    // The backup is old, but the data file is not 6 hours newer than it.
    const int64_t bakTime = FileTimeAgo(2 * 86400);
    ASSERT_TRUE(pl::files().setTimes(bak, bakTime, bakTime));
    ASSERT_TRUE(pl::files().setTimes(file, bakTime + 5LL * 3600 * 10000000, bakTime));
    const QByteArray backup = ReadBytes(bak);
    ASSERT_TRUE(WriteData());
    EXPECT_EQ(ReadBytes(bak), backup);
    EXPECT_FALSE(FileExists(file + QStringLiteral(".bkp")));
}

TEST_F(PreferStore, DamagedDataFileNeverReplacesTheBackup)
{
    const QString bak = file + QStringLiteral(".bak");
    SaveMarked(QStringLiteral("Good backup"), bak);
    SaveMarked(QStringLiteral("Current"), file);
    Edit(file, [](QByteArray b) { return b.left(b.size() / 2); });
    const int64_t bakTime = FileTimeAgo(3 * 86400);
    ASSERT_TRUE(pl::files().setTimes(bak, bakTime, bakTime));
    const QByteArray backup = ReadBytes(bak);

    ASSERT_TRUE(WriteData());
    EXPECT_EQ(ReadBytes(bak), backup);
    EXPECT_FALSE(FileExists(file + QStringLiteral(".bkp")));
    EXPECT_TRUE(Log().contains(QStringLiteral("damaged data file not copied to the backup")));
}

TEST_F(PreferStore, SizesFollowThePixelsPerInch)
{
    CurrentPPI = 144;
    LoadPreferDefaults(Prefer);
    EXPECT_EQ(Prefer.BookmarksWidth, 384);
    EXPECT_EQ(Prefer.WindowRect, (TWindowRect{0, 0, 900, 1200}));
    Prefer.WindowRect = TWindowRect{30, 45, 903, 1200};
    ASSERT_TRUE(WriteData());
    EXPECT_TRUE(QString::fromUtf8(ReadBytes(file)).contains(QStringLiteral("\n144\n384\n30\n45\n903\n1200\n")));

    CurrentPPI = 96;
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.SavedPPI, 144);
    EXPECT_EQ(Prefer.BookmarksWidth, 256);
    EXPECT_EQ(Prefer.WindowRect, (TWindowRect{20, 30, 602, 800}));
    EXPECT_EQ(Prefer.LargeIcons, 16); // kept at 96 dpi in the file
}

// A version-20 file has no menu colour rows; everything else is where version 21 keeps it.
TEST_F(PreferStore, OlderLayoutWithoutMenuColours)
{
    Prefer.FontName = QStringLiteral("Older");
    MenuColors[1][0] = 5;
    ASSERT_TRUE(WriteData());
    QStringList lines = QString::fromUtf8(ReadBytes(file)).split('\n');
    const int light = int(lines.indexOf(QStringLiteral("cr_ForwardSearch")));
    const int first =
        int(lines.indexOf(QStringLiteral("cr_ForwardSearch"), light + 1)) + 2; // after the Dark set's blank
    ASSERT_EQ(lines[first], QString::number(RgbColor(0x6B7891)));
    lines.remove(first, 20);
    lines[0] = QStringLiteral("20");
    WriteBytes(file, WithFreshTrailer(lines.join('\n').toUtf8()));

    MenuColors = DefaultMenuColors();
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Older"));
    EXPECT_EQ(Prefer.DataVersion, 20);
    EXPECT_EQ(MenuColors, DefaultMenuColors());
    EXPECT_FALSE(Log().contains(QStringLiteral("Data Check")));
    EXPECT_TRUE(sink.shown.empty());
}

// Modes are kept as the numbers the file holds, one the program does not know too.
TEST_F(PreferStore, ModeNumbersRoundTripAsStored)
{
    Prefer.PageView = TPageViewMode::Double;
    Prefer.RestoreOpened = TRestoreOpened(9);
    Prefer.MaxListLen = 3;
    Prefer.DocList = QList<TDocInfo>(4);
    Prefer.DocListCount = 1;
    Prefer.DocList[0].FileName = QStringLiteral("/home/u/a.pdf");
    Prefer.DocList[0].PageView = TPageViewMode(7);
    ASSERT_TRUE(WriteData());
    Prefer.PageView = TPageViewMode::Single;
    Prefer.RestoreOpened = TRestoreOpened::Always;
    Prefer.DocList[0].PageView = TPageViewMode::Single;
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(int(Prefer.PageView), 1);
    EXPECT_EQ(int(Prefer.RestoreOpened), 9);
    ASSERT_EQ(Prefer.DocListCount, 1);
    EXPECT_EQ(int(Prefer.DocList[0].PageView), 7);
}

TEST_F(PreferStore, ThemeIndexOutOfRangeBecomesZero)
{
    Prefer.ThemeSelector = 5;
    ASSERT_TRUE(WriteData());
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.ThemeSelector, 0);
    EXPECT_TRUE(Log().contains(QStringLiteral("Read Data Theme Index: 5")));
}

// Settings another user could have written are not read, and nothing is saved where that
// user could read or replace it: a file of another user, one others may write, a folder
// others may write (also behind a link), whether -L chose it or not.
struct ForeignCase {
    const char *name;
    const char *saved; // the file the marked settings are saved to, below the test folder
    // Opens the file to others; returns the -L value under test.
    std::function<QString(const QString &root, const QString &saved)> expose;
    bool needsRoot; // giving a file to another user
};

void PrintTo(const ForeignCase &c, std::ostream *os) { *os << c.name; }

const ForeignCase foreignCases[] = {
    {"folderOthersCanWrite", "shared/x.dat",
     [](const QString &root, const QString &saved) {
         EXPECT_TRUE(pl::files().setMode(root + "/shared", 0777));
         return saved;
     },
     false},
    {"fileOthersCanWrite", "own/x.dat",
     [](const QString &, const QString &saved) {
         EXPECT_TRUE(pl::files().setMode(saved, 0666));
         return saved;
     },
     false},
    {"fileOfAnotherUser", "own/x.dat",
     [](const QString &, const QString &saved) {
         EXPECT_EQ(::chown(QFile::encodeName(saved).constData(), 4242, 4242), 0);
         return saved;
     },
     true},
    {"linkIntoAFolderOthersCanWrite", "shared/x.dat",
     [](const QString &root, const QString &saved) {
         EXPECT_TRUE(pl::files().setMode(root + "/shared", 0777));
         EXPECT_TRUE(QFile::link(saved, root + "/own/link.dat"));
         return root + "/own/link.dat";
     },
     false},
    {"noFileYetInAFolderOthersCanWrite", "shared/x.dat",
     [](const QString &root, const QString &saved) {
         EXPECT_TRUE(QFile::remove(saved));
         EXPECT_TRUE(pl::files().setMode(root + "/shared", 0777));
         return saved;
     },
     false},
};

class PreferStoreForeign : public PreferStore, public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(PreferStoreForeign, AreRefusedAndNeverWritten)
{
    const ForeignCase &c = GetParam();
    if (c.needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    const QString root = dir.filePath(QStringLiteral("area"));
    for (const char *folder : {"shared", "own"})
        ASSERT_TRUE(pl::files().makeFolders(root + '/' + folder, true));
    const QString saved = root + '/' + c.saved;
    SaveMarked(QStringLiteral("Planted"), saved);
    const QString chosen = c.expose(root, saved);
    const auto snapshot = [&root] {
        QStringList state;
        for (const char *folder : {"shared", "own"})
            for (const QString &name : FileNames(root + '/' + folder))
                state << name + ':' + QString::fromUtf8(ReadBytes(root + '/' + folder + '/' + name).toHex());
        return state;
    };
    const QStringList before = snapshot();

    ApplyDataFileSwitch(chosen);
    ASSERT_EQ(App.DataFile, chosen);
    LoadPreferDefaults(Prefer);
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Segoe UI"));
    ExpectConfigurationError(
        chosen, QStringLiteral(" can be changed by other users! Using default settings; they are not saved."));

    Prefer.FontName = QStringLiteral("Mine");
    EXPECT_FALSE(WriteData());
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(Log().contains(QStringLiteral("nothing written: ") + chosen)) << Log().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, PreferStoreForeign, ::testing::ValuesIn(foreignCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A data file that is a symbolic link is saved through the link: the file it names gets
// the settings and the link stays.
TEST_F(PreferStore, ALinkedDataFileStaysALink)
{
    const QString real = dir.filePath(QStringLiteral("real/settings.dat"));
    ASSERT_TRUE(pl::files().makeFolders(dir.filePath(QStringLiteral("real")), true));
    ASSERT_TRUE(QFile::link(real, file));
    for (const char *marker : {"First", "Second"}) {
        Prefer.FontName = QString::fromUtf8(marker);
        ASSERT_TRUE(WriteData()) << marker;
        EXPECT_TRUE(QFileInfo(file).isSymLink()) << marker;
        EXPECT_EQ(QFileInfo(file).symLinkTarget(), real) << marker;
    }
    EXPECT_EQ(FileNames(dir.filePath(QStringLiteral("real"))), QStringList{"settings.dat"})
        << "no temporary file is left";
    EXPECT_EQ(pl::files().status(real).mode, 0600u);
    LoadPreferDefaults(Prefer);
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.FontName, QStringLiteral("Second"));
}

} // namespace
