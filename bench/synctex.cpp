// SyncTeX figures on a large document: load time next to inflation of the same file by
// zlib's stream and by libdeflate in one call (the faster is the floor), the growth of resident memory by a load next to the size of the text,
// and forward and inverse search time per query (median and worst, the worst named), with
// and without the index built at load time.
// Usage: bench_synctex FILE.synctex.gz (make one with tests/fixtures/make-large.sh OUTDIR 1600).
// Targets: load within 1.3x of inflation, memory growth within 1.15x of the text, a forward
// search within 50 ms and an inverse search within 10 ms at worst.
#include "base/AppState.h"
#include "synctex/SyncInflate.h"
#include "synctex/SyncTeX.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Timing {
    double ms;
    std::string what;
};

struct Figures {
    double median = 0, worst = 0;
    std::string worstWhat;
    size_t count = 0;
};

Figures summarise(std::vector<Timing> t)
{
    Figures f;
    f.count = t.size();
    if (t.empty())
        return f;
    std::sort(t.begin(), t.end(), [](const Timing &a, const Timing &b) { return a.ms < b.ms; });
    f.median = t[t.size() / 2].ms;
    f.worst = t.back().ms;
    f.worstWhat = t.back().what;
    return f;
}

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

struct Line {
    int tag, line;
};

// Source lines that produced boxes, spread over the whole document, and for each file a
// line past its last one (the search then reads to the end of the data).
std::vector<Line> sampleLines(const QByteArray &data, size_t wanted)
{
    std::set<std::pair<int, int>> seen;
    std::vector<Line> all;
    std::map<int, int> last;
    for (qsizetype p = 0; p < data.size();) {
        const qsizetype lf = data.indexOf('\n', p);
        const qsizetype end = lf < 0 ? data.size() : lf;
        if (data[p] == '(') {
            const QList<QByteArray> tagLine = data.mid(p + 1, end - p - 1).split(':').value(0).split(',');
            bool ok1, ok2;
            const int tag = tagLine.value(0).toInt(&ok1), line = tagLine.value(1).toInt(&ok2);
            if (ok1 && ok2 && seen.insert({tag, line}).second) {
                all.push_back({tag, line});
                last[tag] = std::max(last[tag], line);
            }
        }
        p = end + 1;
    }
    std::vector<Line> chosen;
    const size_t step = std::max<size_t>(1, all.size() / wanted);
    for (size_t i = 0; i < all.size(); i += step)
        chosen.push_back(all[i]);
    int n = 0;
    for (const auto &[tag, line] : last)
        if (n++ % 25 == 0 || tag == 1)
            chosen.push_back({tag, line + 1});
    return chosen;
}

int pageCount(const QByteArray &data)
{
    int pages = 0;
    for (qsizetype p = data.indexOf("\n{"); p >= 0; p = data.indexOf("\n{", p + 1))
        ++pages;
    return pages;
}

void printQueries(const char *what, const Figures &f, int found, const char *unit)
{
    std::printf("%s: median %.3f ms, worst %.3f ms (%s) over %zu %s (%d answered)\n", what, f.median, f.worst,
                f.worstWhat.c_str(), f.count, unit, found);
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

    // The memory first, before other loads leave freed blocks behind.
    const double before = residentMB();
    auto sync = std::make_unique<TSyncTeX>();
    if (!sync->LoadSyncData(file, false)) {
        std::fprintf(stderr, "%s\n", qPrintable(sync->ErrMsg.get()));
        return 1;
    }
    const double after = residentMB();
    const double textMB = sync->Data.size() / 1048576.0;
    const int pages = pageCount(sync->Data);
    std::printf("file: %s, %.1f MB compressed\npages: %d, text: %.1f MB, index: %.3f MB\n", argv[1],
                QFile(file).size() / 1048576.0, pages, textMB, sync->IndexMemory() / 1048576.0);
    std::printf(
        "resident memory: %.1f MB before the load, %.1f MB after: growth %.1f MB = %.3fx the text (target 1.15x)\n",
        before, after, after - before, (after - before) / textMB);

    // The two ways the loader can inflate, alone: the faster is the floor of a load.
    QFile packedFile(file);
    packedFile.open(QIODevice::ReadOnly);
    const QByteArray packed = packedFile.readAll();
    const auto inflateMs = [&](TInflateWay way) {
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            QByteArray out;
            times.push_back(timeMs([&] { InflateSyncText(packed, out, {}, {}, way); }));
        }
        return medianOf(times);
    };
    const double stream = inflateMs(TInflateWay::Stream), whole = inflateMs(TInflateWay::WholeWhenKnown);
    std::printf("inflation by zlib's stream in blocks: median %.1f ms, %.0f MB/s\n", stream, textMB / stream * 1000);
    std::printf("inflation in one call (libdeflate): median %.1f ms, %.0f MB/s = %.2fx zlib's stream\n", whole,
                textMB / whole * 1000, whole / stream);
    const double floor = std::min(stream, whole);
    std::vector<double> loads;
    for (int i = 0; i < 7; ++i) {
        TSyncTeX s;
        loads.push_back(timeMs([&] { s.LoadSyncData(file, false); }));
    }
    const double load = medianOf(loads);
    std::printf("load (inflate, index, preamble check): median %.1f ms, %.0f MB/s = %.2fx the faster inflation "
                "(target 1.3x)\n",
                load, textMB / load * 1000, load / floor);

    const std::vector<Line> lines = sampleLines(sync->Data, 600);
    const auto forwardRun = [&](size_t step, std::vector<Timing> &times) {
        int found = 0;
        for (size_t i = 0; i < lines.size(); i += step) {
            QString source;
            if (!sync->FindInputName(lines[i].tag, sync->MainPath, source))
                continue;
            int page, numrect;
            TFloatRectangles rects;
            bool ok = false;
            const double ms = timeMs([&] { ok = sync->ForwardSearch(source, lines[i].line, page, numrect, rects); });
            found += ok;
            times.push_back({ms, (source.section('/', -1) + ':' + QString::number(lines[i].line)).toStdString()});
        }
        return found;
    };
    const auto inverseRun = [&](int pageStep, std::vector<Timing> &times) {
        int found = 0;
        for (int page = 1; page <= pages; page += pageStep) {
            for (int i = 0; i < 5; ++i) {
                const double x = 100 + 80 * i, y = 120 + 130 * i;
                QString source;
                int line;
                bool ok = false;
                const double ms = timeMs([&] { ok = sync->InverseSearch(page, x, y, source, line); });
                found += ok;
                times.push_back({ms,
                                 "page " + std::to_string(page) + " (" + std::to_string(int(x)) + ", "
                                     + std::to_string(int(y)) + ")"});
            }
        }
        return found;
    };

    std::vector<Timing> forward, inverse, forwardPlain, inversePlain;
    const int forwardFound = forwardRun(1, forward);
    const int inverseFound = inverseRun(1, inverse);
    printQueries("forward search (target 50 ms worst)", summarise(forward), forwardFound, "lines");
    printQueries("inverse search (target 10 ms worst)", summarise(inverse), inverseFound, "points");
    // The same queries reading the text from its start, for comparison (a sample: they are slow).
    sync->UseIndex = false;
    const int forwardPlainFound = forwardRun(lines.size() / 30 + 1, forwardPlain);
    const int inversePlainFound = inverseRun(std::max(1, pages / 8), inversePlain);
    printQueries("forward search without the index", summarise(forwardPlain), forwardPlainFound, "lines");
    printQueries("inverse search without the index", summarise(inversePlain), inversePlainFound, "points");
    return 0;
}
