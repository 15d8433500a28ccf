#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <csignal>

// The warning about a damaged data file appears while starting, before the main window
// exists; a termination signal then ends the program without writing anything.
TEST(ConfigurationErrorTest, TerminationDuringTheStartUpMessageWritesNothing)
{
    ProgramRun run;
    const QString folder = run.home.path() + "/config/Orvale Team/Orvale 11/PDF";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString data = folder + "/OrvalePDF.dat";
    const QByteArray damaged = QByteArray("21\n\nnot a data file\n").repeated(20);
    const QByteArray badBackup = QByteArray("22\n").repeated(60);
    ASSERT_TRUE(writeFile(data, damaged));
    ASSERT_TRUE(writeFile(data + ".bak", badBackup));
    ASSERT_TRUE(writeFile(data + ".bkp", "previous"));

    const QString log = run.home.path() + "/log.txt";
    run.start({"-D=" + log, "-N"});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Message: Configuration Error"));
    ::kill(run.process.processId(), SIGTERM);
    ASSERT_TRUE(run.process.waitForFinished(30000));
    EXPECT_EQ(run.process.exitCode(), 0);

    EXPECT_EQ(readAll(data), damaged);
    EXPECT_EQ(readAll(data + ".bak"), badBackup);
    EXPECT_EQ(readAll(data + ".bkp"), QByteArray("previous"));
    const QStringList texts = LogTexts(log);
    EXPECT_FALSE(texts.contains("Creating Main Form..."));
    EXPECT_TRUE(texts.contains("Cleanup..."));
    EXPECT_FALSE(texts.contains("Closing..."));
}

// While the first start shows its message it is not yet the viewer, and it holds the link: a
// second start waits for it, then gives up with status 1 rather than become a second viewer.
TEST(ConfigurationErrorTest, SecondStartDuringTheStartUpMessageNeverBecomesASecondViewer)
{
    ProgramRun first;
    const QString folder = first.home.path() + "/config/Orvale Team/Orvale 11/PDF";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeFile(folder + "/OrvalePDF.dat", QByteArray("21\n\nnot a data file\n").repeated(20)));
    const QString log = first.home.path() + "/first.log";
    first.start({"-D=" + log});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Message: Configuration Error"));

    QProcess second;
    second.setProcessEnvironment(first.process.processEnvironment());
    second.setProgram(binPath("OrvalePDF"));
    const QString secondLog = first.home.path() + "/second.log";
    second.setArguments({"-D=" + secondLog, fixturePath("multi/multi.pdf")});
    second.start();
    // It waits as long as a hand-over in progress may take, then ends.
    ASSERT_TRUE(second.waitForFinished(150000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains("Instance link busy: "));
    EXPECT_FALSE(QFileInfo::exists(secondLog));
    QDirIterator sockets(first.home.path() + "/runtime", {"inst-*.sock"}, QDir::System, QDirIterator::Subdirectories);
    EXPECT_FALSE(sockets.hasNext()) << sockets.next().toStdString();
    EXPECT_EQ(first.process.state(), QProcess::Running);

    ::kill(first.process.processId(), SIGTERM);
    ASSERT_TRUE(first.process.waitForFinished(30000));
}

// The settings written at close are read back at the next start without complaint.
TEST(ConfigurationErrorTest, SettingsWrittenAtCloseReadBackQuietly)
{
    ProgramRun run;
    const QString data = run.home.path() + "/config/Orvale Team/Orvale 11/PDF/OrvalePDF.dat";
    for (int pass = 0; pass < 2; ++pass) {
        const QString log = run.home.path() + QString("/log%1.txt").arg(pass);
        run.start({"-D=" + log, "-N"});
        ASSERT_TRUE(ProgramRun::waitForText(log, "Application Running..."));
        ::kill(run.process.processId(), SIGTERM);
        ASSERT_TRUE(run.process.waitForFinished(30000));
        EXPECT_FALSE(LogTexts(log).join('\n').contains("Configuration Error"));
        EXPECT_FALSE(LogTexts(log).contains("Saving Failed!"));
        EXPECT_TRUE(readAll(data).startsWith("21\n\n"));
        EXPECT_EQ(QFile::permissions(data)
                      & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                  0);
    }
}
