#pragma once
// The binding of the PDF library: the program never links it, it loads libpdfium.so (or
// libpdfium64.so) from its own folder at run time and resolves every function it uses.
#include "platform/DynLib.h"
#include "platform/FpuMask.h"

#include <fpdf_compat.h>

#include <QByteArray>
#include <QString>

// Every library function the program uses, in the order they are resolved (so the first
// missing one reported is the earliest here), with whether a library lacking it is refused.
// FPDF_RenderPage draws into a Windows device context and is absent from Linux builds of
// PDFium, so it is bound only when present.
#define ORVALE_PDFIUM_FUNCTIONS(X) \
    X(FPDF_InitLibraryWithConfig, true) \
    X(FPDF_InitLibrary, true) \
    X(FPDF_DestroyLibrary, true) \
    X(FPDF_GetLastError, true) \
    X(FPDFBitmap_Create, true) \
    X(FPDFBitmap_CreateEx, true) \
    X(FPDFBitmap_GetFormat, true) \
    X(FPDFBitmap_FillRect, true) \
    X(FPDFBitmap_GetBuffer, true) \
    X(FPDFBitmap_GetWidth, true) \
    X(FPDFBitmap_GetHeight, true) \
    X(FPDFBitmap_GetStride, true) \
    X(FPDFBitmap_Destroy, true) \
    X(FPDF_LoadDocument, true) \
    X(FPDF_LoadMemDocument, true) \
    X(FPDF_LoadMemDocument64, true) \
    X(FPDF_DeviceToPage, true) \
    X(FPDF_PageToDevice, true) \
    X(FPDF_LoadPage, true) \
    X(FPDF_RenderPage, false) \
    X(FPDF_RenderPageBitmap, true) \
    X(FPDF_RenderPageBitmapWithMatrix, true) \
    X(FPDF_RenderPage_Close, true) \
    X(FPDF_ClosePage, true) \
    X(FPDF_CloseDocument, true) \
    X(FPDF_GetSecurityHandlerRevision, true) \
    X(FPDF_GetDocPermissions, true) \
    X(FPDF_GetDocUserPermissions, true) \
    X(FPDFText_LoadPage, true) \
    X(FPDFText_ClosePage, true) \
    X(FPDFText_GetBoundedText, true) \
    X(FPDFText_CountChars, true) \
    X(FPDFText_GetUnicode, true) \
    X(FPDFText_GetCharAngle, true) \
    X(FPDFText_GetCharBox, true) \
    X(FPDFText_GetCharOrigin, true) \
    X(FPDFText_GetCharIndexAtPos, true) \
    X(FPDFText_GetText, true) \
    X(FPDFText_CountRects, true) \
    X(FPDFText_GetRect, true) \
    X(FPDFText_GetLooseCharBox, true) \
    X(FPDFText_GetFontWeight, true) \
    X(FPDFText_GetFontSize, true) \
    X(FPDF_GetPageCount, true) \
    X(FPDF_GetPageWidth, true) \
    X(FPDF_GetPageHeight, true) \
    X(FPDF_GetPageWidthF, true) \
    X(FPDF_GetPageHeightF, true) \
    X(FPDF_GetPageBoundingBox, true) \
    X(FPDF_GetPageSizeByIndexF, true) \
    X(FPDFPage_SetCropBox, true) \
    X(FPDFPage_GetCropBox, true) \
    X(FPDFPage_GetBleedBox, true) \
    X(FPDFPage_GetTrimBox, true) \
    X(FPDFPage_GetArtBox, true) \
    X(FPDFPage_Flatten, true) \
    X(FPDFBookmark_GetFirstChild, true) \
    X(FPDFBookmark_GetNextSibling, true) \
    X(FPDFBookmark_GetTitle, true) \
    X(FPDFBookmark_Find, true) \
    X(FPDFBookmark_GetDest, true) \
    X(FPDFBookmark_GetAction, true) \
    X(FPDFAction_GetType, true) \
    X(FPDFAction_GetDest, true) \
    X(FPDFAction_GetURIPath, true) \
    X(FPDFAction_GetFilePath, true) \
    X(FPDFDest_GetDestPageIndex, true) \
    X(FPDFDest_GetLocationInPage, true) \
    X(FPDF_CountNamedDests, true) \
    X(FPDF_GetNamedDestByName, true) \
    X(FPDF_GetNamedDest, true) \
    X(FPDFLink_GetLinkAtPoint, true) \
    X(FPDFLink_GetDest, true) \
    X(FPDFLink_GetAction, true) \
    X(FPDFLink_Enumerate, true) \
    X(FPDFLink_GetAnnot, true) \
    X(FPDFLink_GetAnnotRect, true) \
    X(FPDFLink_CountQuadPoints, true) \
    X(FPDFLink_GetQuadPoints, true) \
    X(FPDFAnnot_GetColor, true) \
    X(FPDFAnnot_GetBorder, true) \
    X(FPDFText_FindStart, true) \
    X(FPDFText_FindNext, true) \
    X(FPDFText_FindPrev, true) \
    X(FPDFText_GetSchResultIndex, true) \
    X(FPDFText_GetSchCount, true) \
    X(FPDFText_FindClose, true) \
    X(FPDFText_GetCharIndexFromTextIndex, true) \
    X(FPDFText_GetTextIndexFromCharIndex, true) \
    X(FPDFText_IsHyphen, true) \
    X(FPDFText_IsGenerated, true) \
    X(FPDFText_HasUnicodeMapError, true) \
    X(FPDF_GetPageLabel, true) \
    X(FPDF_GetMetaText, true) \
    X(FPDF_GetFileVersion, true) \
    X(FPDF_SaveAsCopy, true) \
    X(FPDF_SaveWithVersion, true) \
    X(FPDFCatalog_IsTagged, true)

class TDPLPDFiumDLL {
public:
    // Saves the floating-point exception mask and masks all six exceptions for the library.
    TDPLPDFiumDLL();
    // Unloads the library if it was loaded here, then restores the saved mask.
    ~TDPLPDFiumDLL();
    TDPLPDFiumDLL(const TDPLPDFiumDLL &) = delete;
    TDPLPDFiumDLL &operator=(const TDPLPDFiumDLL &) = delete;

    // The library file beside the executable: libpdfium.so, else libpdfium64.so; empty
    // when neither is a file.
    static QString Locate(const QString &exeFolder);

    // Loads (or finds already loaded) and binds the library at the absolute path, then
    // initialises it. True only when every required function resolved.
    bool Init(const QString &DLLFileName);
    // Shuts the library down if this object loaded and initialised it; true when it did.
    bool Delete();

    bool CanRelease() const { return FCanRelease; }
    bool Loaded() const { return DLLHandle.isOpen(); }
    // The first required function that did not resolve; empty when none.
    const QByteArray &LoadErrFunction() const { return DLLLoadErrFunction; }

#define ORVALE_PDFIUM_POINTER(name, required) decltype(&::name) name = nullptr;
    ORVALE_PDFIUM_FUNCTIONS(ORVALE_PDFIUM_POINTER)
#undef ORVALE_PDFIUM_POINTER

private:
    // The address of one export; a required name that is missing marks the binding failed.
    void *Resolve(const char *name, bool required, bool &failed);

    pl::FpuMask OldExMask;
    bool FCanRelease = false;
    pl::DynLib DLLHandle;
    QByteArray DLLLoadErrFunction;
    // A failed binding never initialised the library, so nothing of it is called afterwards.
    bool FLibraryInitialized = false;
};
