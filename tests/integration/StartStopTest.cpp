#include "ProgramRun.h"

#include <gtest/gtest.h>

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

TEST(StartStopTest, HelpAndVersionPrintAndEnd)
{
    for (const char *arg : {"--help", "--version"}) {
        ProgramRun run;
        run.start({arg});
        ASSERT_TRUE(run.process.waitForFinished(30000));
        EXPECT_EQ(run.process.exitCode(), 0);
        EXPECT_TRUE(run.process.readAllStandardOutput().contains("OrvalePDF")) << arg;
    }
}
