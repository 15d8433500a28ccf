// A settings save killed at any moment leaves a data file that reads back as it is: the save
// replaces the file by a rename, so neither a torn file nor a fall-back to the backup may show.
#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include "RecordingSink.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Reads the driver's lines ("N" after save N) until it has printed count of them.
int WaitForSaves(QProcess &driver, int count, QByteArray &out)
{
    int last = -1;
    while (last + 1 < count && driver.state() == QProcess::Running) {
        driver.waitForReadyRead(2000);
        out += driver.readAllStandardOutput();
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray &line : lines)
            if (!line.isEmpty() && out.endsWith('\n'))
                last = std::max(last, line.toInt());
    }
    return last;
}

} // namespace

TEST(KillDuringSaveTest, TheDataFileReadsBackAfterEveryKill)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("OrvalePDF.dat");
    RecordingSink sink;
    SetMessageSink(&sink);
    QRandomGenerator random(20261211);
    int saves = 0;
    int kills = 0;
    while (saves < 2000) {
        QProcess driver;
        driver.start(QStringLiteral(ORVALE_TEST_BIN_DIR "/orvale-save-loop"), {file});
        ASSERT_TRUE(driver.waitForStarted(10000));
        QByteArray out;
        // Most kills land somewhere in a save: a few saves, then a random moment.
        WaitForSaves(driver, int(random.bounded(1, 10)), out);
        QThread::usleep(random.bounded(3000));
        ASSERT_EQ(driver.state(), QProcess::Running) << driver.readAllStandardError().toStdString();
        ::kill(pid_t(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(10000));
        out += driver.readAllStandardOutput();
        const QList<QByteArray> lines = out.trimmed().split('\n');
        const int lastReported = lines.last().toInt();
        saves += lastReported + 1;
        ++kills;

        App.DataFile = file;
        App.DataFolder = dir.path();
        LoadColorDefaults();
        LoadPreferDefaults(Prefer);
        ASSERT_TRUE(ReadData());
        ASSERT_TRUE(sink.shown.empty()) << "kill " << kills << ": " << sink.shown[0].text.toStdString();
        // The save the driver reported last, or the one after it when the kill came after its
        // rename but before its line.
        const QString font = Prefer.FontName;
        ASSERT_TRUE(font == QStringLiteral("save %1").arg(lastReported)
                    || font == QStringLiteral("save %1").arg(lastReported + 1))
            << "kill " << kills << " after save " << lastReported << " reads " << font.toStdString();
    }
    SetMessageSink(nullptr);
    RecordProperty("kills", kills);
    RecordProperty("saves", saves);
    // A kill between a save's first write and its rename leaves that save's temporary file.
    const qsizetype leftovers = QDir(dir.path()).entryList({"*.tmp"}, QDir::Files).size();
    std::printf("%d saves, %d kills, %lld temporary files left\n", saves, kills, (long long)leftovers);
}
