#pragma once
// The document properties report: a plain text of the document's file, security, metadata,
// pages and SyncTeX data that the user reads and copies.
#include "engine/DPLPDFiumDLL.h"
#include "engine/Document.h"

#include <QSizeF>
#include <QString>

#include <optional>

// What the report says about the pages: their number and the selected page's size in points
// as the reader sees it (upright), when it is known.
struct TReportPages {
    int count = 0;
    std::optional<QSizeF> selected;
};

class TDocReport {
public:
    TDocReport(const TDPLPDFiumDLL &dll, const TDocument &doc) : DLL(dll), Doc(doc) {}

    // The report, one "\n" after each line. A missing value reads "N/A" where the line is
    // always written and leaves out a line that is only written with a value; an empty line
    // separates groups that wrote something. With destinations the listing of the named
    // destinations follows between two rules. A document that is not held in memory has its
    // file read for the XMP values while the report is built.
    QString Build(const TReportPages &pages, bool destinations) const;

private:
    const TDPLPDFiumDLL &DLL;
    const TDocument &Doc;
};
