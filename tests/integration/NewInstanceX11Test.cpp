// The real program under an X server of the test's own: Ctrl+Shift+N with the default
// new-instance command starts a second viewer beside the first, on the document at the page in
// view, with a data file of its own in the data folder.
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include "PrivateXvfb.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace {

struct NewInstanceX11 : ::testing::Test {
    PrivateXvfb xvfb;
    QTemporaryDir dir;
    QString pdf;

    void SetUp() override
    {
        if (!xvfb.start())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        pdf = dir.filePath("multi.pdf");
        ASSERT_TRUE(QFile::copy(fixturePath("multi/multi.pdf"), pdf));
    }

    QString xdotool(const QStringList &args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", xvfb.display);
        p.setProcessEnvironment(env);
        p.start("xdotool", args);
        p.waitForFinished(15000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

    // The visible windows whose title holds text, with their processes (_NET_WM_PID).
    QMap<qint64, QString> windowsByPid(const QString &text) const
    {
        QMap<qint64, QString> found;
        for (const QString &id : xdotool({"search", "--onlyvisible", "--name", text}).split('\n', Qt::SkipEmptyParts))
            found.insert(xdotool({"getwindowpid", id}).toLongLong(), id);
        return found;
    }

    static QStringList commandLineOf(qint64 pid)
    {
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList args;
        for (const QByteArray &a : f.readAll().split('\0'))
            args << QString::fromUtf8(a);
        args.removeLast(); // after the last NUL
        return args;
    }

    static bool waitForExit(qint64 pid)
    {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (::kill(pid_t(pid), 0) != 0)
                return true;
            QThread::msleep(50);
        }
        return false;
    }
};

TEST_F(NewInstanceX11, CtrlShiftNStartsASecondViewerWithItsOwnDataFile)
{
    ProgramRun first;
    const QString dataFolder = first.home.path() + "/config/Orvale Team/Orvale 11/PDF";
    QProcessEnvironment env = first.process.processEnvironment();
    env.insert("DISPLAY", xvfb.display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    first.process.setProcessEnvironment(env);
    first.process.setProcessChannelMode(QProcess::MergedChannels);
    first.start({"-N", "-D=" + dir.filePath("first.log"), "-page-index", "7", pdf});
    const qint64 firstPid = first.process.processId();

    QDeadlineTimer deadline(30000);
    QString firstWindow;
    while (firstWindow.isEmpty() && !deadline.hasExpired()) {
        firstWindow = windowsByPid("multi").value(firstPid);
        QThread::msleep(50);
    }
    ASSERT_FALSE(firstWindow.isEmpty()) << first.process.readAll().toStdString();
    ASSERT_TRUE(ProgramRun::waitForText(dir.filePath("first.log"), "Application Running..."));

    xdotool({"windowfocus", "--sync", firstWindow});
    xdotool({"key", "--window", firstWindow, "ctrl+shift+n"});

    qint64 secondPid = 0;
    deadline.setRemainingTime(30000);
    while (secondPid == 0 && !deadline.hasExpired()) {
        for (qint64 pid : windowsByPid("multi").keys())
            if (pid != firstPid)
                secondPid = pid;
        QThread::msleep(50);
    }
    ASSERT_NE(secondPid, 0) << first.process.readAll().toStdString();
    const QStringList argv = commandLineOf(secondPid);
    ASSERT_EQ(argv.size(), 8) << argv.join(" | ").toStdString();
    EXPECT_EQ(argv.mid(1),
              QStringList({"-V", QString::fromUtf8("-C= ❤ OrvalePDF"), "-L=%b\\OrvalePDF2.dat", "-B", "--page-index",
                           "7", pdf}));

    ASSERT_EQ(::kill(pid_t(secondPid), SIGTERM), 0);
    ASSERT_TRUE(waitForExit(secondPid));
    EXPECT_EQ(first.process.state(), QProcess::Running) << "the first viewer runs on";

    // The second viewer kept its settings in a file of its own beside the first one's.
    const QString secondData = dataFolder + "/OrvalePDF2.dat";
    ASSERT_TRUE(QFile::exists(secondData));
    App.DataFolder = dataFolder;
    App.DataFile = secondData;
    Prefer = TPrefer();
    ASSERT_TRUE(ReadData());
    ASSERT_GE(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, pdf);
    EXPECT_EQ(Prefer.DocList[0].cp, 7);
    App.DataFolder.clear();
    App.DataFile.clear();

    // The "\" after the data folder's macro named no file of its own anywhere.
    QDirIterator it(first.home.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next();
        EXPECT_FALSE(it.fileName().contains('\\')) << name.toStdString();
    }

    first.process.terminate();
    EXPECT_TRUE(first.process.waitForFinished(30000));
}

} // namespace
