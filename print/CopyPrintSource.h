#pragma once
#include "platform/PrinterCaps.h"
#include "print/PrintCopy.h"
#include "print/PrintJob.h"

// The pages of a print copy for the job, drawn onto a printer with the given capabilities.
class TCopyPrintSource final : public TPrintSource {
public:
    TCopyPrintSource(const TPrintCopy &copy, const pl::PrinterCaps &caps, bool autoOrient)
        : copy(copy), caps(caps), autoOrient(autoOrient)
    {}
    QSizeF PageSize(int page, bool autoOrient) override;
    bool PrintPage(QPainter &painter, int page, QPoint corner, double dpi) override;

private:
    const TPrintCopy &copy;
    const pl::PrinterCaps caps;
    const bool autoOrient; // the saved setting: quarter-turned pages print as they stood
};
