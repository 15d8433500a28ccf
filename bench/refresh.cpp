// Painting figures: one RefreshScreen of a 1280 x 800 page view in the continuous view while
// it scrolls line by line (36 pixels, the page view's line step), at 100 % and 200 %, next to
// the time the PDF library alone takes to render the same page parts. Median and 95th
// percentile per case; both the whole client area (a full repaint) and the strip a one-line
// scroll uncovers.
// Usage: bench_refresh [FILE.pdf ...]; without files the bundled sample document. A large
// document: tests/fixtures/make-large.sh OUTDIR 300, then bench_refresh OUTDIR/large.pdf.
#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "engine/PdfHandles.h"
#include "engine/QPDF.h"

#include "RecordingHost.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kLine = 36;
// Line-by-line runs spread over the document: at most this many runs of this many steps.
constexpr int kRuns = 10;
constexpr int kRunSteps = 100;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
    double median = 0, p95 = 0;
};

Figures summarise(std::vector<double> v)
{
    Figures f;
    if (v.empty())
        return f;
    std::sort(v.begin(), v.end());
    f.median = v[v.size() / 2];
    f.p95 = v[std::min(v.size() - 1, v.size() * 95 / 100)];
    return f;
}

// The library alone for the parts the last layout holds: load each page, clear a 24-bit
// bitmap of the part's size and render the visible part into it.
double LibraryOnly(TQPDF &engine, std::vector<uint8_t> &buffer)
{
    const TDPLPDFiumDLL &dll = *engine.PDFium();
    TPageLayout &view = engine.Layout();
    FPDF_DOCUMENT doc = engine.Document(engine.SelDoc()).PDFiumDoc.get();
    const auto t0 = Clock::now();
    for (int i = 0; i < view.LayoutCount; ++i) {
        const TLayout &e = view.Layout[size_t(i)];
        const int stride = (e.width * 3 + 3) & ~3;
        if (buffer.size() < size_t(stride) * e.height)
            buffer.resize(size_t(stride) * e.height);
        TPdfPage page = AdoptPdf<TPdfPage>(dll, dll.FPDF_LoadPage(doc, e.cp - 1));
        FS_SIZEF size{0, 0};
        if (!page || !dll.FPDF_GetPageSizeByIndexF(doc, e.cp - 1, &size))
            continue;
        TPdfBitmap bitmap = AdoptPdf<TPdfBitmap>(
            dll, dll.FPDFBitmap_CreateEx(e.width, e.height, FPDFBitmap_BGR, buffer.data(), stride));
        dll.FPDFBitmap_FillRect(bitmap.get(), 0, 0, e.width, e.height, 0xFFFFFFFF);
        dll.FPDF_RenderPageBitmap(bitmap.get(), page.get(), -e.srcLeft, -e.srcTop, view.GetPxl(size.width),
                                  view.GetPxl(size.height), 0, FPDF_LCD_TEXT);
    }
    return ms(Clock::now() - t0);
}

void Run(TQPDF &engine, RecordingHost &host, const QString &file, double zoom)
{
    Prefer.ZoomMode = zCustom;
    Prefer.Zoom = zoom;
    if (!engine.OpenDocument(file, true, QString(), 0, TDestType::ForwardSearch) || engine.SelDoc() < 0
        || !engine.Document(engine.SelDoc()).PDFiumDoc) {
        std::printf("  cannot open %s\n", qPrintable(file));
        return;
    }
    TPageLayout &view = engine.Layout();
    view.FZoomMode = zCustom;
    view.FZoom = zoom;
    view.SetupView();
    const int range = std::max(0, host.VertRange() - kHeight);
    const int total = range / kLine + 1;
    const int runs = std::min(kRuns, std::max(1, total / kRunSteps));

    QImage full(kWidth, kHeight, QImage::Format_BGR888);
    QImage strip(kWidth, kLine, QImage::Format_BGR888);
    std::vector<uint8_t> buffer;
    std::vector<double> fullTimes, stripTimes, libTimes;
    // One untimed paint: the first render of a page decodes its fonts and images.
    engine.RefreshScreen(0, 0, kHeight, kWidth, full.rect(), full);
    for (int r = 0; r < runs; ++r) {
        const int first = int(int64_t(total) * r / runs);
        for (int s = 0; s < std::min(kRunSteps, total - first); ++s) {
            const int t = std::min(range, (first + s) * kLine);
            host.vertPos = t;
            full.fill(Qt::gray);
            auto t0 = Clock::now();
            engine.RefreshScreen(t, 0, kHeight, kWidth, full.rect(), full);
            fullTimes.push_back(ms(Clock::now() - t0));
            libTimes.push_back(LibraryOnly(engine, buffer));
            // After scrolling down a line, only the bottom strip is new.
            const QRect uncovered(0, kHeight - kLine, kWidth, kLine);
            strip.fill(Qt::gray);
            t0 = Clock::now();
            engine.RefreshScreen(t, 0, kHeight, kWidth, uncovered, strip);
            stripTimes.push_back(ms(Clock::now() - t0));
        }
    }
    const Figures f = summarise(fullTimes), s = summarise(stripTimes), l = summarise(libTimes);
    std::printf("  %3.0f %%  %5zu steps  full repaint %6.2f / %6.2f ms   library alone %6.2f / %6.2f ms"
                "   ratio %.2f   one-line strip %5.2f / %5.2f ms\n",
                zoom, fullTimes.size(), f.median, f.p95, l.median, l.p95, l.median > 0 ? f.median / l.median : 0,
                s.median, s.p95);
    if (zoom == 100)
        std::printf("         one-line scroll step (full repaint) median %.2f ms: %s (target under 16 ms)\n", f.median,
                    f.median < 16 ? "met" : "MISSED");
    std::printf("         full repaint against the library: %.2fx: %s (target within 1.2x)\n",
                l.median > 0 ? f.median / l.median : 0, f.median <= 1.2 * l.median ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
    if (files.isEmpty())
        files << QStringLiteral(ORVALE_SOURCE_DIR "/resources/sample/OrvalePDFSample.pdf");

    Prefer = TPrefer();
    Prefer.UseThreads = false;
    Prefer.RememberDoc = false;
    Prefer.ZoomAuto = false;
    Prefer.AllowScrolling = true;
    Prefer.PageView = TPageViewMode::Single;
    LoadColorDefaults();
    TQPDF engine(96);
    if (engine.Status() != 1) {
        std::fprintf(stderr, "the PDF library is not available beside %s\n", qPrintable(App.ExeFolder));
        return 1;
    }
    RecordingHost host;
    host.clientWidth = kWidth;
    host.clientHeight = kHeight;
    host.lineIncrement = kLine;
    engine.SetHost(&host);

    std::printf("RefreshScreen of a %d x %d view, continuous, scrolling %d pixels a step "
                "(median / 95th percentile)\n",
                kWidth, kHeight, kLine);
    for (const QString &file : files) {
        std::printf("%s\n", qPrintable(QFileInfo(file).fileName()));
        for (double zoom : {100.0, 200.0})
            Run(engine, host, file, zoom);
        engine.CloseAllFiles(-1);
    }
    return 0;
}
