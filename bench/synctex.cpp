// SyncTeX figures: load time of a .synctex.gz, and forward and inverse search time per query
// (median and largest over many queries). Usage: bench_synctex FILE.synctex.gz
// (make one with tests/fixtures/make-large.sh OUTDIR 300).
#include "app/AppState.h"
#include "synctex/SyncTeX.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

struct Figures {
    double median = 0, largest = 0;
    size_t count = 0;
};

Figures summarise(std::vector<double> ms)
{
    Figures f;
    f.count = ms.size();
    if (ms.empty())
        return f;
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.largest = ms.back();
    return f;
}

// Source lines that produced boxes, per input tag, spread over the whole document.
std::vector<std::pair<int, int>> sampleLines(const QByteArray &data, size_t wanted)
{
    std::set<std::pair<int, int>> seen;
    std::vector<std::pair<int, int>> all;
    for (qsizetype p = 0; p < data.size();) {
        const qsizetype lf = data.indexOf('\n', p);
        const qsizetype end = lf < 0 ? data.size() : lf;
        if (data[p] == '(') {
            const QList<QByteArray> parts = data.mid(p + 1, end - p - 1).split(':');
            const QList<QByteArray> tagLine = parts.value(0).split(',');
            bool ok1, ok2;
            const int tag = tagLine.value(0).toInt(&ok1), line = tagLine.value(1).toInt(&ok2);
            if (ok1 && ok2 && seen.insert({tag, line}).second)
                all.push_back({tag, line});
        }
        p = end + 1;
    }
    std::vector<std::pair<int, int>> chosen;
    const size_t step = std::max<size_t>(1, all.size() / wanted);
    for (size_t i = 0; i < all.size(); i += step)
        chosen.push_back(all[i]);
    return chosen;
}

int pageCount(const QByteArray &data)
{
    int pages = 0;
    for (qsizetype p = data.indexOf("\n{"); p >= 0; p = data.indexOf("\n{", p + 1))
        ++pages;
    return pages;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.synctex.gz\n", argv[0]);
        return 2;
    }
    App.AppRunning = true;
    const QString file = QString::fromLocal8Bit(argv[1]);

    std::vector<double> loads;
    QByteArray data;
    for (int i = 0; i < 7; ++i) {
        TSyncTeX sync;
        QElapsedTimer t;
        t.start();
        if (!sync.LoadSyncData(file, false)) {
            std::fprintf(stderr, "%s\n", qPrintable(sync.ErrMsg.get()));
            return 1;
        }
        loads.push_back(t.nsecsElapsed() / 1e6);
        data = sync.Data;
    }
    const Figures load = summarise(loads);
    const int pages = pageCount(data);
    std::printf("file: %s\npages: %d, text: %.1f MB\n", argv[1], pages, data.size() / 1048576.0);
    std::printf("load (inflate + preamble check): median %.1f ms, largest %.1f ms over %zu loads\n", load.median, load.largest, load.count);

    TSyncTeX sync;
    sync.LoadSyncData(file, false);
    std::vector<double> forward;
    int forwardFound = 0;
    for (const auto &[tag, line] : sampleLines(data, 400)) {
        QString source;
        if (!sync.FindInputName(tag, sync.MainPath, source))
            continue;
        int page, numrect;
        TFloatRectangles rects;
        QElapsedTimer t;
        t.start();
        forwardFound += sync.ForwardSearch(source, line, page, numrect, rects);
        forward.push_back(t.nsecsElapsed() / 1e6);
    }
    const Figures fw = summarise(forward);
    std::printf("forward search: median %.3f ms, largest %.3f ms over %zu lines (%d found)\n", fw.median, fw.largest, fw.count, forwardFound);

    std::vector<double> inverse;
    int inverseFound = 0;
    for (int page = 1; page <= pages; ++page) {
        for (int i = 0; i < 5; ++i) {
            QString source;
            int line;
            QElapsedTimer t;
            t.start();
            inverseFound += sync.InverseSearch(page, 100 + 80 * i, 120 + 130 * i, source, line);
            inverse.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    const Figures inv = summarise(inverse);
    std::printf("inverse search: median %.3f ms, largest %.3f ms over %zu points (%d found)\n", inv.median, inv.largest, inv.count, inverseFound);
    return 0;
}
