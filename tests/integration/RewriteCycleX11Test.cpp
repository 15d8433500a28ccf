// TeX rewriting the open document a thousand times, as pdflatex does it: the PDF truncated in
// place and written in pieces with pauses while the file stays open, the SyncTeX data written
// under a busy name and renamed. The viewer under an X server of the test's own must never
// crash, never settle on a page of a torn file, and end on the last version.
#include "FillColor.h"
#include "PrivateXvfb.h"
#include "ProgramRun.h"
#include "RawPdf.h"
#include "SyncTeXText.h"
#include "X11TestRun.h"
#include "Xdotool.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Rewrites = 1000;

// Three versions of one page, each filled with a colour of its own. The fill comes after 64 KiB
// of padding, so a page read from a torn file stays white.
QByteArray Version(int v)
{
    static const char *const fills[] = {"1 0 0 rg", "0 0.6 0 rg", "0 0 1 rg"};
    const QByteArray content = '%' + QByteArray(64 * 1024, 'x') + '\n' + fills[v] + " 0 0 612 792 re f";
    return RawPdf({content}, 612, 792);
}

void WriteAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        ASSERT_GT(n, 0);
        done += n;
    }
}

// The rewrite of one run of TeX: same file, truncated, written in eight pieces with pauses,
// a pause before the end; then the SyncTeX data.
void Rewrite(const QString &pdf, const QString &sync, const QByteArray &bytes, const QByteArray &syncBytes)
{
    const int fd = ::open(QFile::encodeName(pdf).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const qsizetype piece = bytes.size() / 8 + 1;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        WriteAll(fd, bytes.mid(at, piece));
        QThread::usleep(1500);
    }
    QThread::usleep(5000);
    ::close(fd);
    const QString busy = sync.chopped(3) + "(busy)";
    ASSERT_TRUE(writeFile(busy, syncBytes));
    ASSERT_EQ(::rename(QFile::encodeName(busy).constData(), QFile::encodeName(sync).constData()), 0);
}

} // namespace

TEST(RewriteCycleX11Test, TheViewerFollowsAThousandRewrites)
{
    PrivateXvfb xvfb;
    if (!xvfb.start())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const QString output = RunOnServer(xvfb, "RewriteCycleX11Run.*", 1, 900000);
    std::printf("%s\n", qPrintable(LineWith(output, " rewrites in ")));
}

TEST(RewriteCycleX11Run, AThousandRewrites)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "runs on the X server of RewriteCycleX11Test";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("thesis.pdf");
    const QString sync = dir.filePath("thesis.synctex.gz");
    QByteArray versions[3];
    QByteArray syncs[3];
    for (int v = 0; v < 3; ++v) {
        versions[v] = Version(v);
        syncs[v] = gzipBytes(syncPreamble(dir.filePath("thesis.tex")) + "{1\n[1,1:0,0:100,100,0\n(1,"
                             + QByteArray::number(3 + v) + ":10,20:30,5,1\n)\n]\n}1\nPostamble:\n");
    }
    ASSERT_TRUE(writeFile(pdf, versions[0]));
    ASSERT_TRUE(writeFile(sync, syncs[0]));

    ProgramRun viewer;
    const QString log = dir.filePath("viewer.log");
    viewer.start({"-N", "-D=" + log, pdf});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Application Running..."));
    const QString window = WaitForWindow("thesis");
    ASSERT_FALSE(window.isEmpty());
    // The middle of the window lies on the page at any zoom the view starts with.
    const QPoint middle = WindowFrame(window).center();
    QScreen *screen = QGuiApplication::primaryScreen();
    auto shown = [&] { return screen->grabWindow(0, middle.x() - 8, middle.y() - 8, 16, 16).toImage(); };
    const std::vector<QRgb> expected = {qRgb(255, 0, 0), qRgb(0, 153, 0), qRgb(0, 0, 255)};
    auto versionShown = [&](const QImage &image) { return FillColorIndex(image, expected); };
    QDeadlineTimer first(30000);
    while (versionShown(shown()) != 0 && !first.hasExpired())
        QThread::msleep(20);
    ASSERT_EQ(versionShown(shown()), 0) << "the first version is not shown";

    int strayFrames = 0; // grabs between two settled versions that show neither
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= Rewrites; ++i) {
        const int v = i % 3;
        const int before = (i - 1) % 3;
        Rewrite(pdf, sync, versions[v], syncs[v]);
        QDeadlineTimer settle(15000);
        int now = -2;
        while (!settle.hasExpired()) {
            now = versionShown(shown());
            if (now == v)
                break;
            if (now != before)
                ++strayFrames;
            QThread::msleep(10);
        }
        ASSERT_EQ(now, v) << "rewrite " << i << " never shown; the viewer "
                          << (viewer.process.state() == QProcess::Running ? "runs" : "has ended");
        // Settled: the page stays as the finished file shows it.
        QThread::msleep(30);
        ASSERT_EQ(versionShown(shown()), v) << "rewrite " << i;
    }
    EXPECT_EQ(viewer.process.state(), QProcess::Running);
    const int reloads = int(LogTexts(log).filter("File date update: ").size());
    std::printf("%d rewrites in %.1f s, %d reloads, %d grabs between versions showing neither\n", Rewrites,
                clock.elapsed() / 1000.0, reloads, strayFrames);
    EXPECT_GE(reloads, Rewrites);
    EXPECT_EQ(strayFrames, 0) << "a page of a torn file was shown";
}
