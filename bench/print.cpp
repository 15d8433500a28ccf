// Printing: a dense A4 page printed into a PDF file at 600 dpi through the job (peak resident
// memory before and while printing, band height, time per page, output size), and the time to
// make the print copy of a 300-page document.
#include "QuietPrintProgress.h"
#include "BenchEngine.h"
#include "RawPdf.h"

#include "print/CopyPrintSource.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Peak resident memory of this process in MB.
double PeakMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// 70 lines of text and the given number of stroked paths.
QByteArray TextAndPaths(int paths)
{
    QByteArray c;
    for (int line = 0; line < 70; ++line)
        c += "BT /F1 9 Tf 40 " + QByteArray::number(800 - 11 * line)
            + " Td (The quick brown fox jumps over the lazy dog, again and again and again.) Tj ET\n";
    for (int i = 0; i < paths; ++i) {
        const int x = (i * 37) % 555 + 20, y = (i * 53) % 800 + 20;
        c += "0." + QByteArray::number(i % 10) + " 0 0 RG " + QByteArray::number(x) + " " + QByteArray::number(y)
            + " m " + QByteArray::number(x + 15) + " " + QByteArray::number(y + 9) + " l " + QByteArray::number(x + 3)
            + " " + QByteArray::number(y + 17) + " l S\n";
    }
    return c;
}

// Text, a 256 x 256 colour image and 4000 stroked paths on one A4 page.
QByteArray DensePage()
{
    QByteArray c = TextAndPaths(4000);
    c += "q 200 0 0 200 350 300 cm BI /W 256 /H 256 /BPC 8 /CS /RGB ID\n";
    QByteArray pixels(256 * 256 * 3, 0);
    for (int i = 0; i < pixels.size(); ++i)
        pixels[i] = char((i * 7) % 251);
    c += pixels + "\nEI Q\n";
    return c;
}

const QByteArray Font = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    App.ExeFolder = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    const QString dense = dir.filePath(QStringLiteral("dense.pdf"));
    const QString many = dir.filePath(QStringLiteral("many.pdf"));
    if (!Write(dense, RawPdf({DensePage()}, 595, 842, Font))
        || !Write(many, RawPdf(std::vector<QByteArray>(300, TextAndPaths(400)), 595, 842, Font))) {
        std::fprintf(stderr, "cannot write the test documents\n");
        return 1;
    }
    TBenchEngine bench(false);
    if (!bench.ready())
        return 1;
    TQPDF &engine = *bench.engine;
    if (!engine.OpenDocument(dense, false, QString(), 0, TDestType::ForwardSearch))
        return 1;
    const double before = PeakMB();

    const QString output = dir.filePath(QStringLiteral("printed.pdf"));
    std::shared_ptr<pl::PrinterDevice> printer = pl::makePdfFilePrinter(output, 600);
    TPrintCopy copy(engine, engine.SelDoc());
    TCopyPrintSource source(copy, printer->caps(), TPrintSettings().autoOrient);
    QuietPrintProgress progress;
    std::unique_ptr<TPrintThread> endThread;
    const Clock::time_point start = Clock::now();
    TPrintJob job(printer, {1}, QStringLiteral("dense.pdf"));
    if (job.Run(source, progress, TPrintSettings(), nullptr, endThread) != mrOk || !endThread
        || !endThread->WaitFor(60000))
        return 1;
    // The job's closing pause of 2222 ms is not printing time.
    const double pageMs = ms(Clock::now() - start) - TPrintJob::DoneShowMs;
    const double peak = PeakMB();
    const int rasterWidth = int(std::nearbyint(595.0 / 72 * 600));
    std::printf("dense A4 page at 600 dpi into a PDF file\n");
    std::printf("peak before printing %.1f MB\n", before);
    std::printf("peak %.0f MB\n", peak);
    std::printf("band height %d rows of %d pixels\n", copy.BandRows(rasterWidth), rasterWidth);
    std::printf("time per page %.0f ms\n", pageMs);
    std::printf("output size %lld bytes\n", static_cast<long long>(QFile(output).size()));

    if (!engine.OpenDocument(many, false, QString(), 0, TDestType::ForwardSearch))
        return 1;
    const Clock::time_point copyStart = Clock::now();
    TPrintCopy big(engine, engine.SelDoc());
    const double copyMs = ms(Clock::now() - copyStart);
    std::printf("print copy of %d pages %.0f ms\n", big.PageCount(), copyMs);
    std::printf("targets: peak under 150 MB (%s), print copy under 1 s (%s)\n", peak < 150 ? "met" : "missed",
                copyMs < 1000 ? "met" : "missed");
    return 0;
}
