#pragma once
// The current document's pages as the layout reads them, through the bound PDF library.
// Holds the one loaded page with its text page; conversions on another page load that page
// for the call only.
#include "engine/DPLPDFiumDLL.h"
#include "engine/PageSource.h"
#include "engine/PdfHandles.h"

class TPdfPageSource : public TPageSource {
public:
    explicit TPdfPageSource(const TDPLPDFiumDLL &dll) : DLL(dll) {}

    // The document is owned elsewhere; setting it (or null) drops the loaded page.
    void SetDocument(FPDF_DOCUMENT doc);
    FPDF_PAGE Page() const { return PDFiumPage.get(); }
    FPDF_TEXTPAGE TextPage() const { return PDFiumText.get(); }
    int PageIndex() const { return PDFiumPageIndex; }

    const void *Document() const override { return Doc; }
    int PageCount() const override { return PDFiumPageCount; }
    bool PageSize(int index, FS_SIZEF &size) override;
    QString PageLabel(int index) override;
    bool LoadPage(int index) override;
    bool DeviceToPage(int index, int startX, int startY, int sizeX, int sizeY, int rotate, int x, int y, double &px,
                      double &py) override;
    bool PageToDevice(int index, int startX, int startY, int sizeX, int sizeY, int rotate, double px, double py, int &x,
                      int &y) override;

private:
    // The loaded page when index is it, else a page loaded into temp for the call.
    FPDF_PAGE PageFor(int index, TPdfPage &temp);

    const TDPLPDFiumDLL &DLL;
    FPDF_DOCUMENT Doc = nullptr;
    TPdfPage PDFiumPage;
    TPdfTextPage PDFiumText;
    int PDFiumPageIndex = -1;
    int PDFiumPageCount = 0;
};
