#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <string_view>

#include <csignal>

namespace {

void expectInOrder(const QStringList &log, const QStringList &expected)
{
    qsizetype at = 0;
    for (const QString &text : expected) {
        const qsizetype found = log.indexOf(text, at);
        ASSERT_GE(found, 0) << "missing after position " << at << ": " << text.toStdString();
        at = found + 1;
    }
}

} // namespace

TEST(StartStopTest, TerminationSignalClosesThroughTheWindowsClosePath)
{
    ProgramRun run;
    const QString log = run.home.path() + "/no/such/folder/log.txt";
    run.start({"-D=" + log, "-N"});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Application Running..."));
    ::kill(run.process.processId(), SIGTERM);
    ASSERT_TRUE(run.process.waitForFinished(30000));
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0);

    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("Debug Start: "));
    EXPECT_TRUE(text.contains("\r\n\r\n*** Log File Start: "));
    expectInOrder(LogTexts(log),
                  {"ReadData", "Creating QPDF...", "QPDF Done: 1", "Creating Main Form...", "Application Running...",
                   "Closing...", "Saving Data Done...", "Stop Running!", "Cleanup...", "QPDF Released",
                   "Delete Data..."});
    EXPECT_TRUE(text.trimmed().section("\r\n", -1).startsWith("Debug Close: "));
}

// A message of the deferred start (here about an unknown switch) is still open when the
// signal comes: it closes, and the program ends as it does from its main window.
TEST(StartStopTest, TerminationSignalClosesAMessageOfTheDeferredStart)
{
    ProgramRun run;
    const QString log = run.home.path() + "/log.txt";
    run.start({"-D=" + log, "-N", "-bogus"});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Message: Unknown Switch"));
    ::kill(run.process.processId(), SIGTERM);
    ASSERT_TRUE(run.process.waitForFinished(30000));
    EXPECT_EQ(run.process.exitCode(), 0);
    expectInOrder(
        LogTexts(log),
        {"Termination signal", "Closing...", "Saving Data Done...", "Stop Running!", "Cleanup...", "Delete Data..."});
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).trimmed().section("\r\n", -1).startsWith("Debug Close: "));
}

// A start that would become the viewer without an X server to show it says which variables it
// found and ends with status 1, instead of Qt's abort.
TEST(StartStopTest, WithoutAReachableDisplayTheStartSaysWhyAndEnds)
{
    const struct {
        const char *display; // null: not set
        const char *wayland;
    } cases[] = {{nullptr, nullptr}, {":4711", "wayland-0"}};
    for (const auto &c : cases) {
        ProgramRun run;
        QProcessEnvironment env = run.process.processEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        if (c.display)
            env.insert("DISPLAY", c.display);
        if (c.wayland)
            env.insert("WAYLAND_DISPLAY", c.wayland);
        run.process.setProcessEnvironment(env);
        run.start({fixturePath("multi/multi.pdf")});
        ASSERT_TRUE(run.process.waitForFinished(30000));
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(run.process.readAllStandardError());
        EXPECT_TRUE(err.contains(c.display ? QStringLiteral("DISPLAY \":4711\"") : QStringLiteral("DISPLAY not set")))
            << err.toStdString();
        EXPECT_TRUE(err.contains(c.wayland ? QStringLiteral("WAYLAND_DISPLAY \"wayland-0\"")
                                           : QStringLiteral("WAYLAND_DISPLAY not set")))
            << err.toStdString();
    }
}

TEST(StartStopTest, HelpAndVersionPrintAndEnd)
{
    for (const char *arg : {"--help", "--version"}) {
        ProgramRun run;
        run.start({arg});
        ASSERT_TRUE(run.process.waitForFinished(30000));
        EXPECT_EQ(run.process.exitCode(), 0);
        const QByteArray out = run.process.readAllStandardOutput();
        EXPECT_TRUE(out.contains("OrvalePDF")) << arg;
        if (arg == std::string_view("--version")) {
            EXPECT_TRUE(QRegularExpression("MuPDF \\d+\\.\\d+").match(QString::fromUtf8(out)).hasMatch())
                << out.constData();
        }
    }
}
