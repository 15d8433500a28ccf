#pragma once
#include "platform/PrinterCaps.h"
#include "print/PrintCopy.h"
#include "print/PrintJob.h"

// The pages of a print copy for the job, drawn onto a printer with the given capabilities.
class TCopyPrintSource final : public TPrintSource {
public:
    TCopyPrintSource(const TPrintCopy &copy, const pl::PrinterCaps &caps) : copy(copy), caps(caps) {}
    QSizeF PageSize(int page, bool autoOrient) override;
    bool PrintPage(QPainter &painter, int page, QPoint corner, double dpi) override;

private:
    const TPrintCopy &copy;
    const pl::PrinterCaps caps;
};
