#pragma once
#include "platform/PrinterCaps.h"

#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QPrinter;

namespace pl {

enum class PrintEnd { Delivered, Aborted, Failed };

// One printer and the document being printed on it. The page loop runs on the main thread
// (begin, painter, newPage); the end step, which hands the document to its destination and can
// be slow, may run on another thread, and abort may be called from the main thread meanwhile.
// "Printing" holds from a successful begin until end or abort has returned; each document has
// its own output, so a new one can begin while an aborted one winds down.
class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;

    virtual QString name() const = 0;
    virtual PrinterCaps caps() const = 0;
    virtual bool supportsCopies() const = 0;
    virtual int copies() const = 0;
    virtual void setCopies(int copies) = 0;
    virtual bool landscape() const = 0;
    virtual void setLandscape(bool landscape) = 0;

    // Opens a document titled title; false with the reason in lastError when the destination
    // cannot take it.
    virtual bool begin(const QString &title) = 0;
    virtual QString lastError() const = 0;
    // Draws on the current sheet; its origin is the corner of the printable area and its unit
    // one printer pixel. Valid between begin and end or abort.
    virtual QPainter &painter() = 0;
    virtual bool newPage() = 0;
    // Hands the document over; Failed with lastError when that did not work, Aborted when it was
    // taken back before or while it ran.
    virtual PrintEnd end() = 0;
    // Takes the document back: nothing of it reaches the destination.
    virtual void abort() = 0;
    virtual bool printing() const = 0;
    virtual QString title() const = 0;

    // A printer that writes a file is told its name before each document.
    virtual bool writesFile() const { return false; }
    virtual void setOutputFile(const QString &) {}
    // The set-up as Qt's printer dialog edits it: fillSetup describes this printer on printer,
    // takeSetup adopts the paper, orientation and copies the dialog left there.
    virtual void fillSetup(QPrinter &printer) const = 0;
    virtual void takeSetup(const QPrinter &printer) = 0;
};

// The printers to choose from: the system's print queues, then "PDF file".
QStringList printerNames();
// The system's default queue, else "PDF file".
QString defaultPrinterName();
// The printer of that name (a queue or "PDF file"); null when there is none.
std::shared_ptr<PrinterDevice> makePrinter(const QString &name);
// The name of the printer the set-up dialog left on printer.
QString setupPrinterName(const QPrinter &printer);

// The pseudo printer that writes a PDF file. Its resolution is 600 dpi unless set; it has no
// non-printable margins and prints one copy.
std::unique_ptr<PrinterDevice> makePdfFilePrinter(const QString &outputFile, int dpi = 600);
QString pdfFilePrinterName(); // "PDF file"

// A queue of the CUPS scheduler (the one libcups finds, e.g. through CUPS_SERVER).
std::unique_ptr<PrinterDevice> makeCupsPrinter(const QString &queue);

} // namespace pl
