#include "platform/PrinterDevice.h"

#include "PdfSpool.h"
#include "SpoolDevice.h"

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

class PdfFilePrinter final : public SpoolDevice<PdfDocument> {
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
        started(std::move(out), docTitle);
        return true;
    }

    PrintEnd end() override
    {
        const std::shared_ptr<PdfDocument> out = document();
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
        const std::shared_ptr<PdfDocument> out = document();
        if (!out)
            return;
        {
            std::lock_guard lock(mutex);
            out->aborted = true;
        }
        finish(out);
    }

private:
    QPageLayout pageLayout() const
    {
        // Qt gives a PDF printer 10 mm margins by default; a file has no unprintable edge.
        return QPageLayout(paper, isLandscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    }

    QString target;
    const int dpi;
    QPageSize paper{QPageSize::A4};
    bool isLandscape = false;
};

} // namespace

std::unique_ptr<PrinterDevice> makePdfFilePrinter(const QString &outputFile, int dpi)
{
    return std::make_unique<PdfFilePrinter>(outputFile, dpi);
}

QString pdfFilePrinterName() { return QStringLiteral("PDF file"); }

} // namespace pl
