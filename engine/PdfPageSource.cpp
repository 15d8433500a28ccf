#include "engine/PdfPageSource.h"

#include <vector>

void TPdfPageSource::SetDocument(FPDF_DOCUMENT doc)
{
    // Text page before page, pages before their document.
    PDFiumText.reset();
    PDFiumPage.reset();
    PDFiumPageIndex = -1;
    Doc = doc;
    PDFiumPageCount = doc ? DLL.FPDF_GetPageCount(doc) : 0;
}

bool TPdfPageSource::PageSize(int index, FS_SIZEF &size)
{
    return Doc && index >= 0 && index < PDFiumPageCount && DLL.FPDF_GetPageSizeByIndexF(Doc, index, &size);
}

QString TPdfPageSource::PageLabel(int index)
{
    if (!Doc || index < 0 || index >= PDFiumPageCount)
        return QString();
    // The length in bytes of the UTF-16 label with its terminator; odd lengths are no label.
    const unsigned long bytes = DLL.FPDF_GetPageLabel(Doc, index, nullptr, 0);
    if (bytes <= 3 || (bytes & 1))
        return QString();
    std::vector<char16_t> buffer(bytes / 2);
    DLL.FPDF_GetPageLabel(Doc, index, buffer.data(), bytes);
    return QString::fromUtf16(buffer.data(), qsizetype(bytes / 2 - 1));
}

bool TPdfPageSource::LoadPage(int index)
{
    if (!Doc)
        return false;
    if (index == PDFiumPageIndex && PDFiumPage)
        return true;
    PDFiumText.reset();
    PDFiumPage.reset();
    PDFiumPageIndex = index;
    PDFiumPage = AdoptPdf<TPdfPage>(DLL, DLL.FPDF_LoadPage(Doc, index));
    if (!PDFiumPage)
        return false;
    PDFiumText = AdoptPdf<TPdfTextPage>(DLL, DLL.FPDFText_LoadPage(PDFiumPage.get()));
    return true;
}

FPDF_PAGE TPdfPageSource::PageFor(int index, TPdfPage &temp)
{
    if (!Doc || index < 0 || index >= PDFiumPageCount)
        return nullptr;
    if (index == PDFiumPageIndex && PDFiumPage)
        return PDFiumPage.get();
    temp = AdoptPdf<TPdfPage>(DLL, DLL.FPDF_LoadPage(Doc, index));
    return temp.get();
}

bool TPdfPageSource::DeviceToPage(int index, int startX, int startY, int sizeX, int sizeY, int rotate, int x, int y,
                                  double &px, double &py)
{
    TPdfPage temp;
    FPDF_PAGE page = PageFor(index, temp);
    return page && DLL.FPDF_DeviceToPage(page, startX, startY, sizeX, sizeY, rotate, x, y, &px, &py);
}

bool TPdfPageSource::PageToDevice(int index, int startX, int startY, int sizeX, int sizeY, int rotate, double px,
                                  double py, int &x, int &y)
{
    TPdfPage temp;
    FPDF_PAGE page = PageFor(index, temp);
    return page && DLL.FPDF_PageToDevice(page, startX, startY, sizeX, sizeY, rotate, px, py, &x, &y);
}
