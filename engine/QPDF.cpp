#include "engine/QPDF.h"

#include "app/AppState.h"
#include "app/DebugLog.h"
#include "app/MessageDialog.h"

#include <algorithm>

namespace {

const QString kLibraryErrorTitle = QStringLiteral("PDFuium Library Error");

void ShowLibraryError(const QString &text)
{
    MessageDialog(kLibraryErrorTitle, text, mtError, MsgButtons({mbOK}));
}

QString Quoted(const QString &path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

} // namespace

TQPDF::TQPDF(double pixelsPerInch)
{
    if (!BindPDFium())
        return;
    QPDFStatus = 1;
    SetPixelsPerInch(pixelsPerInch);
    PDFiumDocChanged();
}

TQPDF::~TQPDF()
{
    PDFiumDocChanged();
    PDFiumDoc = nullptr;
    // Every page and document is closed by now: the library may go.
    if (PDFiumDLL) {
        PDFiumDLL->Delete();
        PDFiumDLL.reset();
    }
}

bool TQPDF::BindPDFium()
{
    const QString path = TDPLPDFiumDLL::Locate(App.ExeFolder);
    if (path.isEmpty()) {
        ShowLibraryError(QStringLiteral("Library libpdfium.so does not exist."));
        return false;
    }
    // The binding stays with the engine even when it failed, and is freed with it.
    PDFiumDLL = std::make_unique<TDPLPDFiumDLL>();
    bool bound = false;
    try {
        bound = PDFiumDLL->Init(path);
    } catch (...) {
        ShowLibraryError(QStringLiteral("An exception occurred while loading: ") + Quoted(path));
        return false;
    }
    if (!bound) {
        QString text = QStringLiteral("Cannot load: ") + Quoted(path);
        if (!PDFiumDLL->LoadErrFunction().isEmpty())
            text += QStringLiteral("\r\nFunction: ") + QString::fromLatin1(PDFiumDLL->LoadErrFunction());
        ShowLibraryError(text);
    }
    return bound;
}

void TQPDF::SetPixelsPerInch(double ppi) { FPixelsPerInch = std::max(1.0, ppi); }

void TQPDF::PDFiumDocChanged()
{
    PDFiumText.reset();
    PDFiumPage.reset();
    PDFiumPageIndex = -1;
    PDFiumPageCount = PDFiumDoc ? PDFiumDLL->FPDF_GetPageCount(PDFiumDoc) : 0;
}
