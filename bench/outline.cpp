// The bookmarks panel on a large typeset document, on the GUI thread where it runs: reading
// the outline into the tree (BuildTree), filling the panel's tree view from it, the first
// tracking of a page (every bookmark's page read) and later ones. Targets for the 1500 entries
// of a 1500-page document: reading under 50 ms, the first tracking under 100 ms, a later one
// under 1 ms.
// Usage: bench_outline FILE.pdf, with tests/fixtures/make-large.sh OUTDIR 1500 making
// OUTDIR/large.pdf.
#include "ui/TreeForm.h"

#include "BenchEngine.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    const QString file =
        BenchFile(argc, argv, "usage: bench_outline FILE.pdf (tests/fixtures/make-large.sh OUTDIR 1500 makes one)");
    if (file.isEmpty())
        return 2;
    TBenchEngine bench(false);
    if (!bench.ready())
        return 1;
    TQPDF &engine = *bench.engine;
    engine.OpenDocument(file, false, QString(), 0, TDestType::ForwardSearch);
    const std::shared_ptr<TTree> tree = engine.Tree();
    const int pages = engine.Pages().PageCount();
    if (!tree || pages <= 0) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    TTreeForm panel(&engine);
    panel.resize(300, 800);
    panel.show();

    constexpr int kRuns = 7;
    std::vector<double> build, fill, first, later;
    for (int run = 0; run < kRuns; ++run) {
        tree->Ready = false;
        auto t0 = Clock::now();
        engine.BuildTree(tree);
        build.push_back(ms(Clock::now() - t0));

        t0 = Clock::now();
        panel.ShowTree(tree, true);
        fill.push_back(ms(Clock::now() - t0));

        // Every bookmark's page is read by the first tracking.
        panel.LastTrackPage = panel.LastTrackNode = -1;
        t0 = Clock::now();
        panel.TrackTree(pages / 2, tree);
        first.push_back(ms(Clock::now() - t0));

        t0 = Clock::now();
        constexpr int kPages = 200;
        for (int i = 0; i < kPages; ++i)
            panel.TrackTree(1 + (i * 7) % pages, tree);
        later.push_back(ms(Clock::now() - t0) / kPages);
    }
    std::printf("%s: %d pages, %d outline entries (medians of %d runs)\n", qPrintable(QFileInfo(file).fileName()),
                pages, tree->Count, kRuns);
    std::printf("BuildTree (read the outline)        %8.2f ms   target < 50 ms\n", Median(build));
    std::printf("fill the panel's tree view          %8.2f ms\n", Median(fill));
    std::printf("first TrackTree (every page read)   %8.2f ms   target < 100 ms\n", Median(first));
    std::printf("later TrackTree                     %8.3f ms   target < 1 ms\n", Median(later));
    return 0;
}
