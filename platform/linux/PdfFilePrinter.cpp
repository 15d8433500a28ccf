#include "platform/PrinterDevice.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace pl {

namespace {

// One document: the printer drawing into a temporary file beside the target, renamed over the
// target only when the end step completes without an abort.
struct PdfOutput {
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
    QString target;
    QString temporary;
    std::atomic<bool> aborted{false};

    ~PdfOutput()
    {
        if (painter.isActive())
            painter.end();
        if (!temporary.isEmpty())
            QFile::remove(temporary);
    }
};

class PdfFilePrinter final : public PrinterDevice {
public:
    PdfFilePrinter(const QString &outputFile, int dpi) : target(outputFile), dpi(dpi) {}

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
        auto out = std::make_shared<PdfOutput>();
        out->target = target;
        {
            // The name is only reserved here; the printer opens it again for writing.
            QTemporaryFile reserve(QFileInfo(target).absolutePath() + QStringLiteral("/.print-XXXXXX.pdf"));
            reserve.setAutoRemove(false);
            if (!reserve.open()) {
                setError(reserve.errorString());
                return false;
            }
            out->temporary = reserve.fileName();
        }
        out->printer.setOutputFormat(QPrinter::PdfFormat);
        out->printer.setOutputFileName(out->temporary);
        out->printer.setResolution(dpi);
        out->printer.setFullPage(false);
        out->printer.setPageLayout(pageLayout());
        out->printer.setDocName(docTitle);
        out->printer.setCreator(QStringLiteral("OrvalePDF"));
        if (!out->painter.begin(&out->printer)) {
            setError(QStringLiteral("Cannot write \"%1\".").arg(out->temporary));
            return false;
        }
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
        std::shared_ptr<PdfOutput> out;
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
            else if (std::rename(QFile::encodeName(out->temporary).constData(),
                                 QFile::encodeName(out->target).constData())
                     != 0)
                error = QStringLiteral("Cannot write \"%1\".").arg(out->target);
            else {
                out->temporary.clear();
                result = PrintEnd::Delivered;
            }
        }
        finish(out);
        return result;
    }

    void abort() override
    {
        std::shared_ptr<PdfOutput> out;
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
        return QPageLayout(QPageSize(QPageSize::A4), isLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(0, 0, 0, 0));
    }

    void setError(const QString &text)
    {
        std::lock_guard lock(mutex);
        error = text;
    }

    // The document is no longer this printer's; a newer one may already have replaced it.
    void finish(const std::shared_ptr<PdfOutput> &out)
    {
        std::lock_guard lock(mutex);
        if (current == out) {
            current.reset();
            isPrinting = false;
        }
    }

    const QString target;
    const int dpi;
    bool isLandscape = false;
    mutable std::mutex mutex;
    std::shared_ptr<PdfOutput> current;
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
