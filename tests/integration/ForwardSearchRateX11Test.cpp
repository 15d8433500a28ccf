// An editor firing forward searches as fast as a user scrolls the source: ten starts of the
// program a second for a minute, each handing its search over to the running viewer under an X
// server of the test's own. Every search must arrive, and the page of the last one must show.
#include "FillColor.h"
#include "PrivateXvfb.h"
#include "ProgramRun.h"
#include "RawPdf.h"
#include "SyncTeXText.h"
#include "X11TestRun.h"
#include "Xdotool.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int Pages = 10;
constexpr int PerSecond = 10;
constexpr int Seconds = 60;

// Page p (1-based) is filled with a colour of its own; line 100 + p of the source lies on it.
QRgb PageColor(int p) { return qRgb(p * 25, 255 - p * 25, (p % 3) * 120); }

QByteArray ColourPages()
{
    std::vector<QByteArray> contents;
    for (int p = 1; p <= Pages; ++p) {
        const QRgb c = PageColor(p);
        contents.push_back(QByteArray::number(qRed(c) / 255.0, 'f', 6) + ' '
                           + QByteArray::number(qGreen(c) / 255.0, 'f', 6) + ' '
                           + QByteArray::number(qBlue(c) / 255.0, 'f', 6) + " rg 0 0 612 792 re f");
    }
    return RawPdf(contents, 612, 792);
}

QByteArray ColourPagesSync(const QString &source)
{
    QByteArray text = syncPreamble(source);
    for (int p = 1; p <= Pages; ++p) {
        const QByteArray n = QByteArray::number(p), line = QByteArray::number(100 + p);
        text += "{" + n + "\n[1," + line + ":0,0:100,100,0\n(1," + line + ":10,20:30,5,1\n)\n]\n}" + n + "\n";
    }
    return gzipBytes(text + "Postamble:\n");
}

// The page whose colour fills the grab, 0 for none.
int PageShown(const QImage &image)
{
    std::vector<QRgb> colors;
    for (int p = 1; p <= Pages; ++p)
        colors.push_back(PageColor(p));
    return FillColorIndex(image, colors) + 1;
}

} // namespace

TEST(ForwardSearchRateX11Test, TenForwardSearchesASecondForAMinute)
{
    PrivateXvfb xvfb;
    if (!xvfb.start())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const QString output = RunOnServer(xvfb, "ForwardSearchRateX11Run.*", 1, 600000);
    std::printf("%s\n", qPrintable(LineWith(output, " forward searches in ")));
}

TEST(ForwardSearchRateX11Run, TenASecondForAMinute)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "runs on the X server of ForwardSearchRateX11Test";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("thesis.pdf");
    const QString source = dir.filePath("thesis.tex");
    ASSERT_TRUE(writeFile(pdf, ColourPages()));
    ASSERT_TRUE(writeFile(dir.filePath("thesis.synctex.gz"), ColourPagesSync(source)));
    ASSERT_TRUE(writeFile(source, "\\documentclass{article}\n"));

    ProgramRun viewer;
    const QString log = dir.filePath("viewer.log");
    viewer.start({"-D=" + log, pdf});
    ASSERT_TRUE(ProgramRun::waitForText(log, "Application Running..."));
    const QString window = WaitForWindow("thesis");
    ASSERT_FALSE(window.isEmpty());
    // A search puts its line near the top of the window, and a page is taller than the window
    // at the zoom the view starts with: the middle of the window lies on the searched page.
    const QPoint middle = WindowFrame(window).center();
    QScreen *screen = QGuiApplication::primaryScreen();
    const auto shown = [&] {
        return PageShown(screen->grabWindow(0, middle.x() - 8, middle.y() - 8, 16, 16).toImage());
    };

    const auto search = [&](int page) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(viewer.process.processEnvironment());
        p->setProgram(binPath("OrvalePDF"));
        p->setArguments({"-forward-search", source, QString::number(100 + page), pdf});
        p->start();
        return p;
    };
    int failedStarts = 0;
    const auto reap = [&](std::vector<std::unique_ptr<QProcess>> &running, int waitMs) {
        for (auto it = running.begin(); it != running.end();) {
            if ((*it)->state() != QProcess::NotRunning && !(*it)->waitForFinished(waitMs)) {
                ++it;
                continue;
            }
            failedStarts += (*it)->exitStatus() != QProcess::NormalExit || (*it)->exitCode() != 0;
            it = running.erase(it);
        }
    };

    const int total = PerSecond * Seconds;
    std::vector<std::unique_ptr<QProcess>> running;
    size_t mostRunning = 0;
    QElapsedTimer clock;
    clock.start();
    // All but the last at their times; the last once the others ended, so that it is the last
    // to arrive.
    for (int i = 0; i < total - 1; ++i) {
        const qint64 due = qint64(i) * 1000 / PerSecond;
        while (clock.elapsed() < due) {
            reap(running, 0);
            QThread::msleep(2);
        }
        running.push_back(search(i % Pages + 1));
        mostRunning = std::max(mostRunning, running.size());
    }
    QDeadlineTimer drained(120000);
    while (!running.empty() && !drained.hasExpired())
        reap(running, 50);
    ASSERT_TRUE(running.empty()) << running.size() << " starts never ended";
    const int last = 4; // the page before it was 9 (599 % 10)
    running.push_back(search(last));
    reap(running, 60000);
    ASSERT_TRUE(running.empty());
    const double seconds = clock.elapsed() / 1000.0;
    EXPECT_EQ(failedStarts, 0);

    QDeadlineTimer arrived(60000);
    int searches = 0;
    while (!arrived.hasExpired()) {
        searches = int(LogTexts(log).filter("Forward Search: ").size());
        if (searches >= total)
            break;
        QThread::msleep(100);
    }
    EXPECT_EQ(searches, total);
    const QStringList done = LogTexts(log).filter("Forward Search: ");
    ASSERT_FALSE(done.isEmpty());
    EXPECT_TRUE(done.last().contains(QStringLiteral(" line %1: page %2").arg(100 + last).arg(last)))
        << done.last().toStdString();
    QDeadlineTimer settle(15000);
    while (shown() != last && !settle.hasExpired())
        QThread::msleep(50);
    EXPECT_EQ(shown(), last);
    EXPECT_EQ(viewer.process.state(), QProcess::Running);
    std::printf("%d forward searches in %.1f s, at most %zu starts at once, %d arrived\n", total, seconds, mostRunning,
                searches);
}
