#pragma once
// The document engine: binds the PDF library and holds the current document's view state.
#include "app/MainSequence.h"
#include "engine/DPLPDFiumDLL.h"
#include "engine/PdfHandles.h"
#include "engine/Position.h"
#include "engine/ZoomMode.h"

#include <memory>

class TQPDF : public TEngineHandle {
public:
    // Locates and binds the library beside the executable; without it the user is told and
    // the status stays 0. pixelsPerInch: the screen density used for layout until the
    // windows know their monitor.
    explicit TQPDF(double pixelsPerInch);
    // Closes what is open, then shuts the library down and unloads it.
    ~TQPDF() override;
    TQPDF(const TQPDF &) = delete;
    TQPDF &operator=(const TQPDF &) = delete;

    // 0 = the library is not available, 1 = ready.
    int Status() const override { return QPDFStatus; }
    // The bound library; null when none was found.
    const TDPLPDFiumDLL *PDFium() const { return PDFiumDLL.get(); }

    double PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(double ppi);

    // Forgets the loaded page and text page and recounts the current document's pages.
    void PDFiumDocChanged();

private:
    bool BindPDFium();

    int QPDFStatus = 0;
    std::unique_ptr<TDPLPDFiumDLL> PDFiumDLL;

    // The current document's handle is owned by its slot; the engine keeps a copy.
    FPDF_DOCUMENT PDFiumDoc = nullptr;
    TPdfPage PDFiumPage;
    TPdfTextPage PDFiumText;
    int PDFiumPageIndex = -1;
    int PDFiumPageCount = 0;

    int FSelDoc = -1;
    int PreviousSelDoc = -1;
    bool FQuickOpen = false;
    bool FQuickClose = false;
    bool FAnimatePending = false;
    double FPixelsPerInch = 96;

    // The current document's view state; without a document these are the defaults.
    TZoomMode FZoomMode = zActualSize;
    double FZoom = 100;
    int FRotate = 0;
    int PageView = 0;
    bool AllowScrolling = true;
    bool RenderAnnot = false;
    bool FrameLinks = true;
    bool ShowBookmarks = false;
    bool TrackBookmarks = false;
    int CPos = 0;
    TPositions Positions{};
    TPosition Mark;
};
