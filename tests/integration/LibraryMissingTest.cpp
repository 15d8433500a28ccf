#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <csignal>

// The program copied into a folder without the PDF library: the user is told, and the
// start ends cleanly before any window is created.
TEST(LibraryMissingTest, StartEndsAfterTheMessageWithoutTheMainWindow)
{
    ProgramRun run;
    const QString folder = run.home.path() + "/program";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(binPath("OrvalePDF"), folder + "/OrvalePDF"));
    run.process.setProgram(folder + "/OrvalePDF");
    const QString log = run.home.path() + "/log.txt";
    run.start({"-D=" + log, "-N"});

    // The message box waits for the user; the termination signal closes it during the start.
    ASSERT_TRUE(ProgramRun::waitForText(log, "Message: PDFuium Library Error: Library libpdfium.so does not exist."));
    ::kill(run.process.processId(), SIGTERM);
    ASSERT_TRUE(run.process.waitForFinished(30000));
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0);

    const QStringList texts = LogTexts(log);
    const qsizetype done = texts.indexOf("QPDF Done: 0");
    ASSERT_GE(done, 0) << texts.join('\n').toStdString();
    EXPECT_EQ(texts.value(done + 1), "Error Creating QPDF.");
    const qsizetype cleanup = texts.indexOf("Cleanup...", done);
    ASSERT_GT(cleanup, done);
    EXPECT_GE(texts.indexOf("Delete Data...", cleanup), 0);
    EXPECT_FALSE(texts.contains("Creating Main Form..."));
    EXPECT_FALSE(texts.contains("Application Running..."));
}
