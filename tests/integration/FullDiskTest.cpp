// A save on a full disk fails, says so in the log, and leaves the data file it could not
// replace as it was. The data folder is a small tmpfs in a mount namespace of the test's own.
#include "ProgramRun.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Runs the viewer inside: mounts the tmpfs over the data folder, puts the old data file
// there, starts the viewer, fills the disk once it runs, closes it, and copies the data file
// back out.
const char *const Script = R"(set -e
data="$1"; log="$2"; viewer="$3"; out="$4"
mount -t tmpfs -o size=256k,mode=0700 tmpfs "$data"
cp "$out/before.dat" "$data/OrvalePDF.dat"
chmod 600 "$data/OrvalePDF.dat"
"$viewer" -D="$log" -L="$data/OrvalePDF.dat" -N &
pid=$!
for i in $(seq 300); do grep -q "Application Running" "$log" 2>/dev/null && break; sleep 0.1; done
dd if=/dev/zero of="$data/fill" bs=4k 2>/dev/null || true
kill -TERM $pid
wait $pid || true
cp "$data/OrvalePDF.dat" "$out/after.dat"
)";

} // namespace

TEST(FullDiskTest, ClosingOnAFullDiskKeepsThePreviousDataFile)
{
    QProcess probe;
    probe.start("unshare", {"-rm", "true"});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        GTEST_SKIP() << "no private mount namespace here (unshare -rm): " << probe.readAllStandardError().toStdString();

    // A data file as the program writes it, from a first run that closes normally.
    ProgramRun first;
    const QString saved = first.home.path() + "/config/Orvale Team/Orvale 11/PDF/OrvalePDF.dat";
    const QString firstLog = first.home.path() + "/first.log";
    first.start({"-D=" + firstLog, "-N"});
    ASSERT_TRUE(ProgramRun::waitForText(firstLog, "Application Running..."));
    ::kill(first.process.processId(), SIGTERM);
    ASSERT_TRUE(first.process.waitForFinished(30000));
    const QByteArray before = readAll(saved);
    ASSERT_TRUE(before.startsWith("21\n\n"));

    ProgramRun run;
    const QString out = run.home.path() + "/out";
    const QString data = run.home.path() + "/data";
    ASSERT_TRUE(QDir().mkpath(out) && QDir().mkpath(data));
    ASSERT_TRUE(writeFile(out + "/before.dat", before));
    const QString log = out + "/viewer.log";
    run.process.setProgram("unshare");
    run.start({"-rm", "sh", "-c", Script, "sh", data, log, binPath("OrvalePDF"), out});
    ASSERT_TRUE(run.process.waitForFinished(60000));
    ASSERT_EQ(run.process.exitCode(), 0) << run.process.readAllStandardError().toStdString();

    const QStringList texts = LogTexts(log);
    EXPECT_TRUE(texts.contains("Saving Failed!")) << texts.join('\n').toStdString();
    EXPECT_EQ(readAll(out + "/after.dat"), before);
}
