#include "platform/PrinterDevice.h"

#include "PdfSpool.h"
#include "SpoolDevice.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <atomic>
#include <cups/cups.h>
#include <mutex>

namespace pl {

namespace {

// One document: drawn into a private spool file, sent to the queue by the end step. The job's
// id is known once the queue has accepted it, so an abort after that can cancel it.
struct CupsDocument : PdfSpool {
    QByteArray title;
    int copies = 1;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    int jobId = 0;
};

const char *SidesValue(QPrinter::DuplexMode duplex)
{
    switch (duplex) {
    case QPrinter::DuplexShortSide: return CUPS_SIDES_TWO_SIDED_LANDSCAPE;
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto: return CUPS_SIDES_TWO_SIDED_PORTRAIT;
    case QPrinter::DuplexNone: break;
    }
    return CUPS_SIDES_ONE_SIDED;
}

// A print queue of the CUPS scheduler. Qt's own CUPS path submits whatever was drawn when its
// painter ends and cannot take it back, yet an aborted document must never print: the pages are
// drawn into a PDF spool file with the queue's page layout and resolution, and the end step sends
// that file through libcups, checking for an abort between chunks.
class CupsPrinter final : public SpoolDevice<CupsDocument> {
public:
    explicit CupsPrinter(const QString &queue) : queue(queue), queueName(queue.toUtf8())
    {
        setup.setPrinterName(queue);
        setup.setFullPage(false);
        UseMinimumMargins();
    }

    QString name() const override { return queue; }

    PrinterCaps caps() const override
    {
        PrinterCaps c;
        c.dpi = setup.resolution();
        const QPageLayout layout = setup.pageLayout();
        const QSize paper = layout.fullRectPixels(c.dpi).size();
        c.paperWidth = paper.width();
        c.paperHeight = paper.height();
        const QPoint offset = layout.paintRectPixels(c.dpi).topLeft();
        c.offsetX = offset.x();
        c.offsetY = offset.y();
        c.canLandscape = true;
        return c;
    }

    bool supportsCopies() const override { return true; }
    int copies() const override { return copyCount; }
    void setCopies(int n) override { copyCount = std::max(1, n); }
    bool landscape() const override { return setup.pageLayout().orientation() == QPageLayout::Landscape; }
    void setLandscape(bool value) override
    {
        setup.setPageOrientation(value ? QPageLayout::Landscape : QPageLayout::Portrait);
        UseMinimumMargins();
    }

    bool begin(const QString &docTitle) override
    {
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName.constData(), nullptr);
        if (!dest) {
            setError(QStringLiteral("No print queue \"%1\": %2").arg(queue, QString::fromUtf8(cupsLastErrorString())));
            return false;
        }
        cupsFreeDests(1, dest);
        auto doc = std::make_shared<CupsDocument>();
        doc->title = docTitle.toUtf8();
        doc->copies = copyCount;
        doc->duplex = setup.duplex();
        QString reason;
        if (!doc->begin(QDir::tempPath() + QStringLiteral("/orvale-print-XXXXXX.pdf"), setup.pageLayout(),
                        setup.resolution(), docTitle, reason)) {
            setError(reason);
            return false;
        }
        started(std::move(doc), docTitle);
        return true;
    }

    PrintEnd end() override
    {
        const std::shared_ptr<CupsDocument> doc = document();
        if (!doc)
            return PrintEnd::Aborted;
        doc->painter.end();
        const PrintEnd result = doc->aborted ? PrintEnd::Aborted : Submit(*doc);
        finish(doc);
        return result;
    }

    void abort() override
    {
        const std::shared_ptr<CupsDocument> doc = document();
        if (!doc)
            return;
        int jobId = 0;
        {
            std::lock_guard lock(mutex);
            doc->aborted = true;
            jobId = doc->jobId;
            // Not sent yet: without its file nothing can be.
            if (!jobId)
                QFile::remove(doc->file);
        }
        if (jobId)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, queueName.constData(), jobId, 0);
        finish(doc);
    }

    void fillSetup(QPrinter &printer) const override
    {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(queue);
        printer.setPageLayout(setup.pageLayout());
        printer.setDuplex(setup.duplex());
        printer.setCopyCount(copyCount);
    }

    void takeSetup(const QPrinter &printer) override
    {
        setup.setPageLayout(printer.pageLayout());
        setup.setDuplex(printer.duplex());
        UseMinimumMargins();
        setCopies(printer.copyCount());
    }

private:
    // The printable area is all the queue can print: the drawing origin is its corner.
    void UseMinimumMargins() { setup.setPageMargins(setup.pageLayout().minimumMargins(), setup.pageLayout().units()); }

    PrintEnd Failed(const QString &what)
    {
        setError(what + QStringLiteral(": ") + QString::fromUtf8(cupsLastErrorString()));
        return PrintEnd::Failed;
    }

    PrintEnd Submit(CupsDocument &doc)
    {
        QFile file(doc.file);
        if (!file.open(QIODevice::ReadOnly)) {
            setError(QStringLiteral("Cannot read \"%1\".").arg(doc.file));
            return PrintEnd::Failed;
        }
        cups_option_t *options = nullptr;
        int count = cupsAddOption("copies", QByteArray::number(doc.copies).constData(), 0, &options);
        if (doc.duplex != QPrinter::DuplexNone)
            count = cupsAddOption(CUPS_SIDES, SidesValue(doc.duplex), count, &options);
        // The page is placed on the sheet already.
        count = cupsAddOption("print-scaling", "none", count, &options);
        const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, queueName.constData(), doc.title.constData(), count, options);
        cupsFreeOptions(count, options);
        if (id <= 0)
            return Failed(QStringLiteral("The queue \"%1\" refused the job").arg(queue));
        {
            std::lock_guard lock(mutex);
            doc.jobId = id;
        }
        const auto cancelled = [&] {
            cupsCancelJob2(CUPS_HTTP_DEFAULT, queueName.constData(), id, 0);
            return PrintEnd::Aborted;
        };
        if (doc.aborted)
            return cancelled();
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, queueName.constData(), id, doc.title.constData(), CUPS_FORMAT_PDF, 1)
            != HTTP_STATUS_CONTINUE)
            return Failed(QStringLiteral("Cannot send the document to \"%1\"").arg(queue));
        QByteArray chunk(64 << 10, Qt::Uninitialized);
        bool sent = true;
        for (qint64 n; sent && !doc.aborted && (n = file.read(chunk.data(), chunk.size())) > 0;)
            sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, chunk.constData(), size_t(n)) == HTTP_STATUS_CONTINUE;
        const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, queueName.constData());
        if (doc.aborted)
            return cancelled();
        if (!sent || status > IPP_STATUS_OK_CONFLICTING)
            return Failed(QStringLiteral("Cannot send the document to \"%1\"").arg(queue));
        return PrintEnd::Delivered;
    }

    const QString queue;
    const QByteArray queueName;
    QPrinter setup{QPrinter::HighResolution}; // the queue's paper, orientation and resolution
    int copyCount = 1;
};

} // namespace

std::unique_ptr<PrinterDevice> makeCupsPrinter(const QString &queue) { return std::make_unique<CupsPrinter>(queue); }

} // namespace pl
