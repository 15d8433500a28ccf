#include "platform/PrinterDevice.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace pl {

QStringList printerNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names << pdfFilePrinterName();
    return names;
}

QString defaultPrinterName()
{
    const QString queue = QPrinterInfo::defaultPrinterName();
    return queue.isEmpty() ? pdfFilePrinterName() : queue;
}

std::shared_ptr<PrinterDevice> makePrinter(const QString &name)
{
    if (name == pdfFilePrinterName())
        return makePdfFilePrinter(QString());
    if (QPrinterInfo::availablePrinterNames().contains(name))
        return makeCupsPrinter(name);
    return nullptr;
}

QString setupPrinterName(const QPrinter &printer)
{
    // Qt's dialog offers a file as "Print to File (PDF)": that is our "PDF file".
    return printer.outputFormat() == QPrinter::PdfFormat ? pdfFilePrinterName() : printer.printerName();
}

} // namespace pl
