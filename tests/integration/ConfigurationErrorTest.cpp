#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>

#include <csignal>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

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
    writeFile(data, damaged);
    writeFile(data + ".bak", badBackup);
    writeFile(data + ".bkp", "previous");

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
        EXPECT_EQ(QFile::permissions(data) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther), 0);
    }
}
