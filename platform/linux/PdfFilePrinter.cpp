#include "platform/PrinterDevice.h"

#include "PdfSpool.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace pl {

namespace {

// One document and the file it is delivered into.
struct PdfDocument : PdfSpool {
    QString target;
};

class PdfFilePrinter final : public PrinterDevice {
public:
    PdfFilePrinter(const QString &outputFile, int dpi) : target(outputFile), dpi(dpi) {}

    bool writesFile() const override { return true; }
    void setOutputFile(const QString &file) override { target = file; }

    void fillSetup(QPrinter &printer) const override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
        printer.setPageLayout(pageLayout());
    }

    void takeSetup(const QPrinter &printer) override
    {
        paper = printer.pageLayout().pageSize();
        isLandscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    }

    QString name() const override { return pdfFilePrinterName(); }

    PrinterCaps caps() const override
    {
        PrinterCaps c;
        c.dpi = dpi;
        const QSize paper = pageLayout().fullRectPixels(dpi).size();
        c.paperWidth = paper.width();
        c.paperHeight = paper.height();
        c.canLandscape = true;
        return c;
    }

    bool supportsCopies() const override { return false; }
    int copies() const override { return 1; }
    void setCopies(int) override {}
    bool landscape() const override { return isLandscape; }
    void setLandscape(bool value) override { isLandscape = value; }

    bool begin(const QString &docTitle) override
    {
        // A temporary file beside the target, renamed over it only when the end step completes
        // without an abort.
        auto out = std::make_shared<PdfDocument>();
        QString reason;
        if (!out->begin(QFileInfo(target).absolutePath() + QStringLiteral("/.print-XXXXXX.pdf"), pageLayout(), dpi,
                        docTitle, reason)) {
            setError(reason);
            return false;
        }
        out->target = target;
        std::lock_guard lock(mutex);
        current = std::move(out);
        currentTitle = docTitle;
        isPrinting = true;
        return true;
    }

    QString lastError() const override
    {
        std::lock_guard lock(mutex);
        return error;
    }

    QPainter &painter() override { return current->painter; }
    bool newPage() override { return current && current->printer.newPage(); }

    PrintEnd end() override
    {
        std::shared_ptr<PdfDocument> out;
        {
            std::lock_guard lock(mutex);
            out = current;
        }
        if (!out)
            return PrintEnd::Aborted;
        out->painter.end();
        PrintEnd result = PrintEnd::Failed;
        {
            // Under the lock, so that an abort either comes before the rename or finds the
            // document already delivered.
            std::lock_guard lock(mutex);
            if (out->aborted)
                result = PrintEnd::Aborted;
            // rename(2) replaces the target in one step: an older file stays whole until then.
            else if (std::rename(QFile::encodeName(out->file).constData(), QFile::encodeName(out->target).constData())
                     != 0)
                error = QStringLiteral("Cannot write \"%1\".").arg(out->target);
            else {
                out->file.clear();
                result = PrintEnd::Delivered;
            }
        }
        finish(out);
        return result;
    }

    void abort() override
    {
        std::shared_ptr<PdfDocument> out;
        {
            std::lock_guard lock(mutex);
            out = current;
        }
        if (!out)
            return;
        {
            std::lock_guard lock(mutex);
            out->aborted = true;
        }
        finish(out);
    }

    bool printing() const override { return isPrinting; }

    QString title() const override
    {
        std::lock_guard lock(mutex);
        return isPrinting ? currentTitle : QString();
    }

private:
    QPageLayout pageLayout() const
    {
        // Qt gives a PDF printer 10 mm margins by default; a file has no unprintable edge.
        return QPageLayout(paper, isLandscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    }

    void setError(const QString &text)
    {
        std::lock_guard lock(mutex);
        error = text;
    }

    // The document is no longer this printer's; a newer one may already have replaced it.
    void finish(const std::shared_ptr<PdfDocument> &out)
    {
        std::lock_guard lock(mutex);
        if (current == out) {
            current.reset();
            isPrinting = false;
        }
    }

    QString target;
    const int dpi;
    QPageSize paper{QPageSize::A4};
    bool isLandscape = false;
    mutable std::mutex mutex;
    std::shared_ptr<PdfDocument> current;
    QString currentTitle;
    QString error;
    std::atomic<bool> isPrinting{false};
};

} // namespace

std::unique_ptr<PrinterDevice> makePdfFilePrinter(const QString &outputFile, int dpi)
{
    return std::make_unique<PdfFilePrinter>(outputFile, dpi);
}

QString pdfFilePrinterName() { return QStringLiteral("PDF file"); }

} // namespace pl
