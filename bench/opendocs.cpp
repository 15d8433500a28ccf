// Opening many documents: 50 copies of one 100-page document opened one after another into
// tabs with the default settings (in memory, automatic initial zoom), each open timed on its
// own; then the resident memory with all of them open, switching between them, and closing
// them all. Targets: each open under 50 ms (median), resident memory under 600 MB.
// Usage: bench_opendocs [FILE.pdf [COUNT]]. Without a file a 100-page document is put
// together with qpdf from the seven pages of the multi-page fixture. A typeset one:
// tests/fixtures/make-large.sh OUTDIR 100, then bench_opendocs OUTDIR/large.pdf.
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "engine/QPDF.h"

#include "BenchEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Resident memory of this process in MB, from the kernel's status file.
double ResidentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

struct Figures {
    double median = 0, worst = 0, total = 0;
};

Figures summarise(std::vector<double> v)
{
    Figures f;
    if (v.empty())
        return f;
    for (double x : v)
        f.total += x;
    std::sort(v.begin(), v.end());
    f.median = v[v.size() / 2];
    f.worst = v.back();
    return f;
}

// 100 pages from the fixture's seven: fourteen times all of them, then the first two.
QString MakeDocument(const QString &folder)
{
    const QString source = QStringLiteral(ORVALE_SOURCE_DIR "/tests/fixtures/multi/multi.pdf");
    const QString target = folder + QStringLiteral("/hundred.pdf");
    QStringList args{QStringLiteral("--empty"), QStringLiteral("--pages")};
    for (int i = 0; i < 14; ++i)
        args << source << QStringLiteral("1-7");
    args << source << QStringLiteral("1-2") << QStringLiteral("--") << target;
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), args);
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0) {
        std::fprintf(stderr, "qpdf could not make the document: %s\n", qpdf.readAllStandardError().constData());
        return QString();
    }
    return target;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : MakeDocument(dir.path());
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    if (source.isEmpty() || !QFileInfo(source).isFile()) {
        std::fprintf(stderr, "no document to open: %s\n", qPrintable(source));
        return 1;
    }
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << dir.filePath(QStringLiteral("doc%1.pdf").arg(i + 1, 3, 10, QLatin1Char('0')));
        if (!QFile::copy(source, files.last())) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
            return 1;
        }
    }

    const double before = ResidentMB();
    TBenchEngine bench(true);
    if (!bench.ready())
        return 1;
    TQPDF &engine = *bench.engine;

    std::vector<double> opens;
    for (const QString &file : files) {
        const auto t0 = Clock::now();
        engine.OpenDocument(file, false, QString(), 0, TDestType::ForwardSearch);
        opens.push_back(ms(Clock::now() - t0));
    }
    const double pages = engine.Pages().PageCount();
    const double after = ResidentMB();
    int loaded = 0;
    for (int i = 0; i < engine.DocumentCount(); ++i)
        loaded += engine.Document(i).PDFiumDoc ? 1 : 0;

    // Opening a document that is already open only switches to it.
    std::vector<double> switches;
    for (int i = 0; i < count; ++i) {
        const auto t0 = Clock::now();
        engine.OpenDocument(files[(i * 7) % count], false, QString(), 0, TDestType::ForwardSearch);
        switches.push_back(ms(Clock::now() - t0));
    }
    const auto c0 = Clock::now();
    engine.CloseAllFiles(-1);
    const double closeAll = ms(Clock::now() - c0);

    const Figures o = summarise(opens), s = summarise(switches);
    std::printf("%s: %.0f pages, %lld bytes\n", qPrintable(QFileInfo(source).fileName()), pages,
                (long long)QFileInfo(source).size());
    std::printf("open %d documents (%d loaded): median %.2f ms, worst %.2f ms, first %.2f ms, all %.1f ms "
                "(target: median under 50 ms)\n",
                count, loaded, o.median, o.worst, opens.front(), o.total);
    std::printf("resident memory: %.1f MB before the engine, %.1f MB with all open (target under 600 MB)\n", before,
                after);
    std::printf("switch to an open document: median %.2f ms, worst %.2f ms\n", s.median, s.worst);
    std::printf("close all: %.1f ms\n", closeAll);
    return loaded == count ? 0 : 1;
}
