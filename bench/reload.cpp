// Reload figures: from the moment TeX closes the rewritten PDF (a rewrite in place) or
// latexmk renames the new file over it, until the new version of the shown page is painted
// into a page-view-sized image. The file watch starts the reload; no status timer runs.
// Each change follows a stretch of idleness. Median and worst of the runs, per case.
// Usage: bench_reload [--idle SECONDS ...] [--runs N] FILE.pdf ...
// Default idleness 5 s and 20 runs; pass --idle 5 --idle 60 for the long case too. Large
// documents: tests/fixtures/make-large.sh OUTDIR 1600 (and 150).
#include "base/AppState.h"
#include "base/FileUtils.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "engine/DocumentRefresh.h"
#include "engine/DocumentWatch.h"
#include "engine/QPDF.h"

#include "RecordingHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr double kTargetMs = 100;

enum class TChange { InPlace, RenameOver };

bool WriteFile(const QString &path, const QByteArray &bytes, QElapsedTimer &closed)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return false;
    f.flush();
    closed.start();
    f.close();
    return true;
}

// One change of the file and the time until the page is painted again, or -1.
double OneChange(QGuiApplication &app, TQPDF &engine, RecordingHost &host, const QString &file, const QByteArray &bytes,
                 TChange change)
{
    const int64_t before = engine.Document(engine.SelDoc()).FileDate;
    QElapsedTimer since;
    if (change == TChange::InPlace) {
        if (!WriteFile(file, bytes, since))
            return -1;
    } else {
        const QString temp = file + QStringLiteral(".new");
        QElapsedTimer unused;
        if (!WriteFile(temp, bytes, unused))
            return -1;
        since.start();
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(file).constData()) != 0)
            return -1;
    }
    while (engine.Document(engine.SelDoc()).FileDate == before) {
        if (since.elapsed() > 10000)
            return -1;
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QImage screen(kWidth, kHeight, QImage::Format_BGR888);
    screen.fill(Qt::gray);
    engine.RefreshScreen(host.vertPos, 0, kHeight, kWidth, screen.rect(), screen);
    return double(since.nsecsElapsed()) / 1e6;
}

void Run(QGuiApplication &app, TQPDF &engine, RecordingHost &host, const QString &original, int idleS, int runs)
{
    // A copy beside the original, so the benchmark never rewrites the caller's file.
    const QString file = QFileInfo(original).absolutePath() + QStringLiteral("/reload-bench.pdf");
    QFile::remove(file);
    if (!QFile::copy(original, file)) {
        std::printf("  cannot copy %s\n", qPrintable(original));
        return;
    }
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    TDocumentRefresh refresh(engine);
    TDocumentWatch watch(engine, refresh);
    if (!watch.Active()) {
        std::printf("  no file watch on this system\n");
        return;
    }
    if (!engine.OpenDocument(file, true, QString(), 0, TDestType::ForwardSearch) || engine.SelDoc() < 0) {
        std::printf("  cannot open %s\n", qPrintable(file));
        return;
    }
    watch.Follow();
    const int pages = engine.Pages().PageCount();
    engine.Navigator().GOTOPage(std::max(1, pages / 2), nullptr);
    std::printf("%s, %d pages, %.1f MB, %d s idle before each change\n", qPrintable(QFileInfo(original).fileName()),
                pages, bytes.size() / 1e6, idleS);
    for (const TChange change : {TChange::InPlace, TChange::RenameOver}) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            QThread::sleep(unsigned(idleS));
            const double t = OneChange(app, engine, host, file, bytes, change);
            if (t >= 0)
                times.push_back(t);
        }
        if (times.empty()) {
            std::printf("  no reload seen\n");
            continue;
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2], worst = times.back();
        std::printf("  %-12s %2zu runs  median %6.1f ms  worst %6.1f ms: %s (target <= %.0f ms)\n",
                    change == TChange::InPlace ? "in place" : "rename over", times.size(), median, worst,
                    worst <= kTargetMs ? "met" : (median <= kTargetMs ? "median met, worst MISSED" : "MISSED"),
                    kTargetMs);
    }
    engine.CloseAllFiles(-1);
    QFile::remove(file);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    QStringList files;
    std::vector<int> idles;
    int runs = 20;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--idle") && i + 1 < args.size())
            idles.push_back(args[++i].toInt());
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            files << QFileInfo(args[i]).absoluteFilePath();
    }
    if (idles.empty())
        idles.push_back(5);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: bench_reload [--idle SECONDS ...] [--runs N] FILE.pdf ...\n");
        return 2;
    }

    Prefer = TPrefer();
    Prefer.UseThreads = false;
    Prefer.RememberDoc = false;
    Prefer.ZoomAuto = false;
    LoadColorDefaults();
    TQPDF engine(96);
    if (engine.Status() != 1) {
        std::fprintf(stderr, "the PDF library is not available beside %s\n", qPrintable(App.ExeFolder));
        return 1;
    }
    RecordingHost host;
    host.clientWidth = kWidth;
    host.clientHeight = kHeight;
    engine.SetHost(&host);

    std::printf("Reload through the file watch until the page is painted (%d x %d), median and worst\n", kWidth,
                kHeight);
    for (const int idle : idles)
        for (const QString &file : files)
            Run(app, engine, host, file, idle, runs);
    return 0;
}
