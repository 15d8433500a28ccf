// The real program under an X server the test starts itself: the window's place and size, the
// open document and its page survive a close and a new start.
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include "PrivateXvfb.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

struct MainWindowX11 : ::testing::Test {
    PrivateXvfb xvfb;
    QTemporaryDir dir;
    QString dataFile;
    QString pdf;

    void SetUp() override
    {
        if (!xvfb.start())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_TRUE(dir.isValid());
        dataFile = dir.filePath("OrvalePDF.dat");
        pdf = dir.filePath("multi.pdf");
        ASSERT_TRUE(QFile::copy(fixturePath("multi/multi.pdf"), pdf));
        ASSERT_TRUE(QFile::copy(fixturePath("multi/multi.synctex.gz"), dir.filePath("multi.synctex.gz")));

        // The settings of the first start, written by the program's own store.
        App.DataFile = dataFile;
        App.DataFolder = dir.path();
        CurrentPPI = 96;
        LoadPreferDefaults(Prefer);
        Prefer.Maximized = false;
        Prefer.StartMaximized = false;
        Prefer.RestoreOpened = TRestoreOpened::Always;
        Prefer.RememberDoc = true;
        Prefer.WindowRect = {40, 30, 40 + 500, 30 + 700};
        ASSERT_TRUE(WriteData());
    }

    static QString xdotool(const QStringList &args, const QString &display)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(15000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    // What a run that showed no window left behind: still running or its exit, its output, its log.
    QString postMortem(ProgramRun &program, const char *logName)
    {
        const bool ended = program.process.waitForFinished(2000);
        return (ended ? QStringLiteral("exited with %1\n").arg(program.process.exitCode())
                      : QStringLiteral("still running\n"))
            + QString::fromLocal8Bit(program.process.readAll()) + log(logName);
    }

    // The program's visible window whose title holds text; empty when none appears.
    QString waitForWindow(const QString &text)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const QString id =
                xdotool({"search", "--onlyvisible", "--name", QRegularExpression::escape(text)}, xvfb.display)
                    .section('\n', 0, 0);
            if (!id.isEmpty())
                return id;
            QThread::msleep(50);
        }
        return {};
    }

    // Position and size of a window as the X server has it.
    QRect geometry(const QString &id)
    {
        const QString out = xdotool({"getwindowgeometry", id}, xvfb.display);
        const QRegularExpressionMatch m = QRegularExpression(R"(Position: (\d+),(\d+).*Geometry: (\d+)x(\d+))",
                                                             QRegularExpression::DotMatchesEverythingOption)
                                              .match(out);
        if (!m.hasMatch())
            return {};
        return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
    }

    bool waitForGeometry(const QString &id, const QRect &want)
    {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (geometry(id) == want)
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    void start(ProgramRun &program, const QStringList &args)
    {
        QProcessEnvironment env = program.process.processEnvironment();
        env.insert("DISPLAY", xvfb.display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        program.process.setProcessEnvironment(env);
        program.process.setProcessChannelMode(QProcess::MergedChannels);
        program.start(args);
    }

    // Closes the program the way a desktop session ends it; the settings are written.
    static void close(ProgramRun &program)
    {
        program.process.terminate();
        ASSERT_TRUE(program.process.waitForFinished(30000));
        EXPECT_EQ(program.process.exitCode(), 0) << program.process.readAll().toStdString();
    }

    QString log(const char *name) const
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    void readSettings()
    {
        Prefer = TPrefer();
        ASSERT_TRUE(ReadData());
    }
};

TEST_F(MainWindowX11, PlaceSizeDocumentAndPageComeBackAfterARestart)
{
    ProgramRun first;
    start(first, {"-N", "-L=" + dataFile, "-D=" + dir.filePath("first.log"), pdf});
    const QString id = waitForWindow("multi.pdf");
    ASSERT_FALSE(id.isEmpty()) << postMortem(first, "first.log").toStdString();
    EXPECT_TRUE(waitForGeometry(id, QRect(30, 40, 700, 500))) << geometry(id).x();

    // Page 5 through the toolbar's page box, then another place and size.
    xdotool({"windowfocus", "--sync", id}, xvfb.display);
    xdotool({"key", "--window", id, "ctrl+g"}, xvfb.display);
    xdotool({"type", "--window", id, " 5"}, xvfb.display);
    xdotool({"key", "--window", id, "Return"}, xvfb.display);
    xdotool({"windowsize", id, "640", "480"}, xvfb.display);
    xdotool({"windowmove", id, "100", "80"}, xvfb.display);
    ASSERT_TRUE(waitForGeometry(id, QRect(100, 80, 640, 480)));
    QThread::msleep(300); // the program takes in the new geometry
    close(first);

    readSettings();
    EXPECT_EQ(Prefer.WindowRect, (TWindowRect{80, 100, 80 + 480, 100 + 640}));
    ASSERT_GE(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, pdf);
    EXPECT_EQ(Prefer.DocList[0].wasOpened, 2);
    EXPECT_EQ(Prefer.DocList[0].cp, 5);

    // No file on the command line: the last session comes back in the same place.
    ProgramRun second;
    start(second, {"-N", "-L=" + dataFile, "-D=" + dir.filePath("second.log")});
    const QString again = waitForWindow("multi.pdf");
    ASSERT_FALSE(again.isEmpty()) << postMortem(second, "second.log").toStdString();
    EXPECT_TRUE(waitForGeometry(again, QRect(100, 80, 640, 480)))
        << geometry(again).x() << "," << geometry(again).y() << " " << geometry(again).width() << "x"
        << geometry(again).height();
    close(second);
    readSettings();
    ASSERT_GE(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, pdf);
    EXPECT_EQ(Prefer.DocList[0].cp, 5);
}

} // namespace

namespace {

// The program's viewable top-level windows.
int viewableWindows(const QString &display, qint64 pid)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
    p.waitForFinished(15000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size();
}

// The whole screen as the X server shows it.
QImage grab(const QString &display, const QString &path)
{
    QProcess p;
    p.start("import", {"-display", display, "-window", "root", path});
    p.waitForFinished(15000);
    return QImage(path);
}

bool allOf(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                return false;
    return !image.isNull();
}

} // namespace

// Without a window manager presentation covers the screen with one window of the program; B
// blanks it, Shift+"." whitens it also on a German keyboard (where Shift+"." types ":"), and
// Esc twice brings the main window back where it was.
TEST_F(MainWindowX11, PresentationCoversTheScreen)
{
    QProcess layout;
    layout.start("setxkbmap", {"-display", xvfb.display, "de"});
    const bool german = layout.waitForFinished(15000) && layout.exitCode() == 0;
    ProgramRun run;
    start(run, {"-N", "-L=" + dataFile, "-D=" + dir.filePath("run.log"), pdf});
    const QString id = waitForWindow("multi.pdf");
    ASSERT_FALSE(id.isEmpty()) << postMortem(run, "run.log").toStdString();
    ASSERT_TRUE(waitForGeometry(id, QRect(30, 40, 700, 500)));
    EXPECT_EQ(viewableWindows(xvfb.display, run.process.processId()), 1);

    QThread::msleep(500); // the document shows
    xdotool({"windowfocus", "--sync", id}, xvfb.display);
    // Through the X server's test input: a window manager-less server gives the focus window
    // the keys, and the full-screen window takes the focus when it appears.
    xdotool({"key", "F5"}, xvfb.display);
    // The full-screen window carries the program's title alone.
    QString full;
    for (QDeadlineTimer deadline(30000); full.isEmpty() && !deadline.hasExpired(); QThread::msleep(50))
        full = xdotool({"search", "--onlyvisible", "--name", "^OrvalePDF$"}, xvfb.display).section('\n', 0, 0);
    ASSERT_FALSE(full.isEmpty()) << postMortem(run, "run.log").toStdString();
    EXPECT_TRUE(waitForGeometry(full, QRect(0, 0, 1280, 1024)));
    QThread::msleep(1000); // painted
    EXPECT_EQ(viewableWindows(xvfb.display, run.process.processId()), 1);
    const QImage page = grab(xvfb.display, dir.filePath("page.png"));
    EXPECT_FALSE(allOf(page, qRgb(0, 0, 0)));
    // The page on black beside it.
    EXPECT_EQ(page.pixel(20, 512) & 0xFFFFFF, 0u);

    // A click turns to the next page.
    xdotool({"mousemove", "640", "512"}, xvfb.display);
    QThread::msleep(200);
    xdotool({"click", "1"}, xvfb.display);
    QThread::msleep(1000);
    EXPECT_NE(grab(xvfb.display, dir.filePath("next.png")), page);

    xdotool({"key", "b"}, xvfb.display);
    QThread::msleep(300);
    EXPECT_TRUE(allOf(grab(xvfb.display, dir.filePath("black.png")), qRgb(0, 0, 0)));
    if (german) {
        xdotool({"key", "shift+period"}, xvfb.display);
        QThread::msleep(300);
        EXPECT_TRUE(allOf(grab(xvfb.display, dir.filePath("white.png")), qRgb(255, 255, 255)));
    } else {
        ADD_FAILURE() << "setxkbmap could not switch the server to a German layout";
    }

    xdotool({"key", "Escape"}, xvfb.display);
    xdotool({"key", "Escape"}, xvfb.display);
    const QString back = waitForWindow("multi.pdf");
    ASSERT_FALSE(back.isEmpty());
    EXPECT_TRUE(waitForGeometry(back, QRect(30, 40, 700, 500)));
    QThread::msleep(300);
    EXPECT_EQ(viewableWindows(xvfb.display, run.process.processId()), 1);
    close(run);
}

namespace {

// An X property of a window (or of the root window for an empty id), as xprop prints it.
QString xprop(const QString &display, const QString &id, const QString &property)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start("xprop", (id.isEmpty() ? QStringList{"-root"} : QStringList{"-id", id}) + QStringList{property});
    p.waitForFinished(15000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// A window id as X tools print it in properties.
QString hexId(const QString &decimal) { return "0x" + QString::number(decimal.toULongLong(), 16); }

} // namespace

// Under a window manager: full screen is asked of it and granted, the go-to-page dialog of the
// full-screen window stays above it, and a maximised main window comes back maximised.
TEST_F(MainWindowX11, FullScreenUnderAWindowManager)
{
    if (QStandardPaths::findExecutable("openbox").isEmpty() || QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "openbox or xprop is not installed (scripts/deps.sh installs them)";
    QProcess wm;
    QProcessEnvironment wmEnv = QProcessEnvironment::systemEnvironment();
    wmEnv.insert("DISPLAY", xvfb.display);
    wmEnv.insert("HOME", dir.path());
    wm.setProcessEnvironment(wmEnv);
    wm.setProcessChannelMode(QProcess::MergedChannels);
    wm.start("openbox", {"--sm-disable"});
    ASSERT_TRUE(wm.waitForStarted(10000));
    bool managed = false;
    for (QDeadlineTimer deadline(20000); !managed && !deadline.hasExpired(); QThread::msleep(100))
        managed = xprop(xvfb.display, {}, "_NET_SUPPORTING_WM_CHECK").contains("window id");
    ASSERT_TRUE(managed) << wm.readAll().toStdString();

    Prefer.Maximized = true;
    ASSERT_TRUE(WriteData());
    ProgramRun run;
    start(run, {"-N", "-L=" + dataFile, "-D=" + dir.filePath("wm.log"), pdf});
    const QString id = waitForWindow("multi.pdf");
    ASSERT_FALSE(id.isEmpty()) << postMortem(run, "wm.log").toStdString();
    const auto maximised = [&](const QString &window) {
        const QString state = xprop(xvfb.display, window, "_NET_WM_STATE");
        return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") && state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
    };
    bool wasMaximised = false;
    for (QDeadlineTimer deadline(10000); !wasMaximised && !deadline.hasExpired(); QThread::msleep(100))
        wasMaximised = maximised(id);
    ASSERT_TRUE(wasMaximised) << xprop(xvfb.display, id, "_NET_WM_STATE").toStdString();

    QThread::msleep(500); // the document shows
    xdotool({"windowactivate", "--sync", id}, xvfb.display);
    xdotool({"key", "F5"}, xvfb.display);
    QString full;
    for (QDeadlineTimer deadline(30000); full.isEmpty() && !deadline.hasExpired(); QThread::msleep(50))
        full = xdotool({"search", "--onlyvisible", "--name", "^OrvalePDF$"}, xvfb.display).section('\n', 0, 0);
    ASSERT_FALSE(full.isEmpty()) << postMortem(run, "wm.log").toStdString();
    bool fullScreen = false;
    for (QDeadlineTimer deadline(10000); !fullScreen && !deadline.hasExpired(); QThread::msleep(100))
        fullScreen = xprop(xvfb.display, full, "_NET_WM_STATE").contains("_NET_WM_STATE_FULLSCREEN");
    EXPECT_TRUE(fullScreen) << xprop(xvfb.display, full, "_NET_WM_STATE").toStdString();
    EXPECT_TRUE(waitForGeometry(full, QRect(0, 0, 1280, 1024)))
        << xdotool({"getwindowgeometry", full}, xvfb.display).toStdString();

    // Ctrl+G's dialog belongs to the full-screen window, and the window manager stacks it above.
    xdotool({"key", "ctrl+g"}, xvfb.display);
    const QString dialog = waitForWindow("Goto Page");
    ASSERT_FALSE(dialog.isEmpty()) << postMortem(run, "wm.log").toStdString();
    EXPECT_TRUE(xprop(xvfb.display, dialog, "WM_TRANSIENT_FOR").endsWith(hexId(full)))
        << xprop(xvfb.display, dialog, "WM_TRANSIENT_FOR").toStdString() << " " << hexId(full).toStdString();
    const QString stacking = xprop(xvfb.display, {}, "_NET_CLIENT_LIST_STACKING");
    EXPECT_GT(stacking.indexOf(hexId(dialog)), stacking.indexOf(hexId(full))) << stacking.toStdString();
    xdotool({"key", "Escape"}, xvfb.display);
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(100))
        if (xdotool({"search", "--onlyvisible", "--name", "^Goto Page$"}, xvfb.display).isEmpty())
            break;

    // Esc leaves full screen: the main window comes back maximised.
    xdotool({"key", "Escape"}, xvfb.display);
    const QString back = waitForWindow("multi.pdf");
    ASSERT_FALSE(back.isEmpty());
    bool backMaximised = false;
    for (QDeadlineTimer deadline(10000); !backMaximised && !deadline.hasExpired(); QThread::msleep(100))
        backMaximised = maximised(back);
    EXPECT_TRUE(backMaximised) << xprop(xvfb.display, back, "_NET_WM_STATE").toStdString();
    close(run);
    wm.terminate();
    wm.waitForFinished(5000);
}

// Two monitors side by side (RandR monitors splitting the server's screen): the full-screen
// window covers the one the main window is on.
TEST_F(MainWindowX11, FullScreenOnTheMainWindowsMonitor)
{
    if (QStandardPaths::findExecutable("xrandr").isEmpty())
        GTEST_SKIP() << "xrandr is not installed (scripts/deps.sh installs x11-xserver-utils)";
    const auto xrandr = [&](const QStringList &args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", xvfb.display);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("xrandr", args);
        p.waitForFinished(15000);
        return p.exitCode() == 0;
    };
    if (!xrandr({"--setmonitor", "Left", "640/169x1024/271+0+0", "screen"})
        || !xrandr({"--setmonitor", "Right", "640/169x1024/271+640+0", "none"}))
        GTEST_SKIP() << "the X server does not take RandR monitors";

    Prefer.WindowRect = {40, 700, 540, 1200}; // top, left, bottom, right: on the right monitor
    ASSERT_TRUE(WriteData());
    ProgramRun run;
    start(run, {"-N", "-L=" + dataFile, "-D=" + dir.filePath("two.log"), pdf});
    const QString id = waitForWindow("multi.pdf");
    ASSERT_FALSE(id.isEmpty()) << postMortem(run, "two.log").toStdString();
    QThread::msleep(500);
    xdotool({"windowfocus", "--sync", id}, xvfb.display);
    xdotool({"key", "shift+F5"}, xvfb.display);
    QString full;
    for (QDeadlineTimer deadline(30000); full.isEmpty() && !deadline.hasExpired(); QThread::msleep(50))
        full = xdotool({"search", "--onlyvisible", "--name", "^OrvalePDF$"}, xvfb.display).section('\n', 0, 0);
    ASSERT_FALSE(full.isEmpty()) << postMortem(run, "two.log").toStdString();
    EXPECT_TRUE(waitForGeometry(full, QRect(640, 0, 640, 1024)))
        << xdotool({"getwindowgeometry", full}, xvfb.display).toStdString();
    xdotool({"key", "Escape"}, xvfb.display);
    ASSERT_FALSE(waitForWindow("multi.pdf").isEmpty());
    close(run);
}
