// Text search and copying on a large typeset document: for a frequent word, a rare one and
// two words, the first search (no page text read yet: the document is opened afresh) and a
// repeated one (the texts kept), each per 100 pages and for the whole document; then copying
// the whole document (Select All). Targets for 1500 pages: a first search under 3 s, a
// repeated one under 0.5 s.
// Usage: bench_search FILE.pdf, with tests/fixtures/make-large.sh OUTDIR 1500 making
// OUTDIR/large.pdf.
#include "BenchEngine.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool Open(TQPDF &engine, const QString &file)
{
    engine.CloseAllFiles(-1);
    engine.OpenDocument(file, false, QString(), 0, TDestType::ForwardSearch);
    return engine.SelDoc() >= 0 && engine.Pages().PageCount() > 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    const QString file =
        BenchFile(argc, argv, "usage: bench_search FILE.pdf (tests/fixtures/make-large.sh OUTDIR 1500 makes one)");
    if (file.isEmpty())
        return 2;
    TBenchEngine bench(false);
    if (!bench.ready())
        return 1;
    TQPDF &engine = *bench.engine;
    if (!Open(engine, file)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    const int pages = engine.Pages().PageCount();
    const double per100 = 100.0 / pages;
    std::printf("%s: %d pages, %lld bytes\n", qPrintable(QFileInfo(file).fileName()), pages,
                (long long)QFileInfo(file).size());

    struct Word {
        const char *what;
        QString s;
    };
    const Word words[] = {
        {"frequent word", QStringLiteral("the")},
        {"rare word", QStringLiteral("1234")},
        {"two words", QStringLiteral("stone bridge")},
    };
    bool ok = true;
    for (const Word &w : words) {
        ok = Open(engine, file) && ok;
        auto t0 = Clock::now();
        const int first = engine.GetAllMatches(w.s);
        const double cold = ms(Clock::now() - t0);
        t0 = Clock::now();
        const int again = engine.GetAllMatches(w.s);
        const double warm = ms(Clock::now() - t0);
        ok = ok && first == again && first >= 0;
        std::printf("%-13s \"%s\": %d matches; first search %.1f ms (%.1f ms per 100 pages), "
                    "repeated %.1f ms (%.2f ms per 100 pages)\n",
                    w.what, qPrintable(w.s), first, cold, cold * per100, warm, warm * per100);
    }

    // Copying everything: once with the library's texts not read yet, once again.
    for (const char *when : {"first", "repeated"}) {
        if (when[0] == 'f')
            ok = Open(engine, file) && ok;
        engine.SetSelection(smAll, 1, 0, pages, 0, 0);
        const auto t0 = Clock::now();
        const QString text = engine.GetSelectedText();
        const double copy = ms(Clock::now() - t0);
        ok = ok && !text.isEmpty();
        std::printf("copy all (%s): %lld characters in %.1f ms (%.1f ms per 100 pages)\n", when, (long long)text.size(),
                    copy, copy * per100);
    }
    std::printf("targets for 1500 pages: a first search under 3000 ms, a repeated one under 500 ms\n");
    return ok ? 0 : 1;
}
