#include "PdfSpool.h"

#include <QFile>
#include <QTemporaryFile>

namespace pl {

bool PdfSpool::begin(const QString &pattern, const QPageLayout &layout, int dpi, const QString &title, QString &error)
{
    {
        // The name is only reserved here; the printer opens it again for writing.
        QTemporaryFile reserve(pattern);
        reserve.setAutoRemove(false);
        if (!reserve.open()) {
            error = reserve.errorString();
            return false;
        }
        file = reserve.fileName();
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(dpi);
    printer.setFullPage(false);
    printer.setPageLayout(layout);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("OrvalePDF"));
    if (!painter.begin(&printer)) {
        error = QStringLiteral("Cannot write \"%1\".").arg(file);
        return false;
    }
    return true;
}

PdfSpool::~PdfSpool()
{
    if (painter.isActive())
        painter.end();
    if (!file.isEmpty())
        QFile::remove(file);
}

} // namespace pl
