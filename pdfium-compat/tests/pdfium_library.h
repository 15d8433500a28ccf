// The library under test, loaded with dlopen and bound by name, plus RAII
// holders for its handles.
#pragma once

#include <fpdf_compat.h>

#include <memory>
#include <string>
#include <vector>

// Every exported function, in the order the viewer binds them.
// clang-format off
#define PDFIUM_FUNCTIONS(X)                                                                     \
  X(FPDF_InitLibraryWithConfig) X(FPDF_InitLibrary) X(FPDF_DestroyLibrary) X(FPDF_GetLastError) \
  X(FPDFBitmap_Create) X(FPDFBitmap_CreateEx) X(FPDFBitmap_GetFormat) X(FPDFBitmap_FillRect)    \
  X(FPDFBitmap_GetBuffer) X(FPDFBitmap_GetWidth) X(FPDFBitmap_GetHeight)                        \
  X(FPDFBitmap_GetStride) X(FPDFBitmap_Destroy) X(FPDF_LoadDocument) X(FPDF_LoadMemDocument)    \
  X(FPDF_LoadMemDocument64) X(FPDF_DeviceToPage) X(FPDF_PageToDevice) X(FPDF_LoadPage)          \
  X(FPDF_RenderPage) X(FPDF_RenderPageBitmap) X(FPDF_RenderPageBitmapWithMatrix)                \
  X(FPDF_RenderPage_Close) X(FPDF_ClosePage) X(FPDF_CloseDocument)                              \
  X(FPDF_GetSecurityHandlerRevision) X(FPDF_GetDocPermissions) X(FPDF_GetDocUserPermissions)    \
  X(FPDFText_LoadPage) X(FPDFText_ClosePage) X(FPDFText_GetBoundedText) X(FPDFText_CountChars)  \
  X(FPDFText_GetUnicode) X(FPDFText_GetCharAngle) X(FPDFText_GetCharBox)                        \
  X(FPDFText_GetCharOrigin) X(FPDFText_GetCharIndexAtPos) X(FPDFText_GetText)                   \
  X(FPDFText_CountRects) X(FPDFText_GetRect) X(FPDFText_GetLooseCharBox)                        \
  X(FPDFText_GetFontWeight) X(FPDFText_GetFontSize) X(FPDF_GetPageCount) X(FPDF_GetPageWidth)   \
  X(FPDF_GetPageHeight) X(FPDF_GetPageWidthF) X(FPDF_GetPageHeightF)                            \
  X(FPDF_GetPageBoundingBox) X(FPDF_GetPageSizeByIndexF) X(FPDFPage_SetCropBox)                 \
  X(FPDFPage_GetCropBox) X(FPDFPage_GetBleedBox) X(FPDFPage_GetTrimBox) X(FPDFPage_GetArtBox)   \
  X(FPDFPage_Flatten) X(FPDFBookmark_GetFirstChild) X(FPDFBookmark_GetNextSibling)              \
  X(FPDFBookmark_GetTitle) X(FPDFBookmark_Find) X(FPDFBookmark_GetDest)                         \
  X(FPDFBookmark_GetAction) X(FPDFAction_GetType) X(FPDFAction_GetDest)                         \
  X(FPDFAction_GetURIPath) X(FPDFAction_GetFilePath) X(FPDFDest_GetDestPageIndex)               \
  X(FPDFDest_GetLocationInPage) X(FPDF_CountNamedDests) X(FPDF_GetNamedDestByName)              \
  X(FPDF_GetNamedDest) X(FPDFLink_GetLinkAtPoint) X(FPDFLink_GetDest) X(FPDFLink_GetAction)     \
  X(FPDFLink_Enumerate) X(FPDFLink_GetAnnot) X(FPDFLink_GetAnnotRect)                           \
  X(FPDFLink_CountQuadPoints) X(FPDFLink_GetQuadPoints) X(FPDFAnnot_GetColor)                   \
  X(FPDFAnnot_GetBorder) X(FPDFText_FindStart) X(FPDFText_FindNext) X(FPDFText_FindPrev)        \
  X(FPDFText_GetSchResultIndex) X(FPDFText_GetSchCount) X(FPDFText_FindClose)                   \
  X(FPDFText_GetCharIndexFromTextIndex) X(FPDFText_GetTextIndexFromCharIndex)                   \
  X(FPDFText_IsHyphen) X(FPDFText_IsGenerated) X(FPDFText_HasUnicodeMapError)                   \
  X(FPDF_GetPageLabel) X(FPDF_GetMetaText) X(FPDF_GetFileVersion) X(FPDF_SaveAsCopy)            \
  X(FPDF_SaveWithVersion) X(FPDFCatalog_IsTagged)
// clang-format on

struct Pdfium {
#define PDFIUM_POINTER(name) decltype(&::name) name = nullptr;
  PDFIUM_FUNCTIONS(PDFIUM_POINTER)
#undef PDFIUM_POINTER

  void *handle = nullptr;
  int resolved = 0;
  std::string first_missing;

  // Loads `path` and resolves every function; `first_missing` names the
  // first one that did not resolve.
  explicit Pdfium(const char *path);
  ~Pdfium();
  Pdfium(const Pdfium &) = delete;
  Pdfium &operator=(const Pdfium &) = delete;
};

// The library of this build, loaded and initialised once for all tests.
Pdfium &pdfium();

std::string fixture(const std::string &name);
std::vector<unsigned char> read_file(const std::string &path);

struct DocCloser {
  void operator()(fpdf_document_t__ *d) const { pdfium().FPDF_CloseDocument(d); }
};
struct PageCloser {
  void operator()(fpdf_page_t__ *p) const { pdfium().FPDF_ClosePage(p); }
};
struct TextPageCloser {
  void operator()(fpdf_textpage_t__ *t) const { pdfium().FPDFText_ClosePage(t); }
};
struct BitmapCloser {
  void operator()(fpdf_bitmap_t__ *b) const { pdfium().FPDFBitmap_Destroy(b); }
};
using Doc = std::unique_ptr<fpdf_document_t__, DocCloser>;
using Page = std::unique_ptr<fpdf_page_t__, PageCloser>;
using TextPage = std::unique_ptr<fpdf_textpage_t__, TextPageCloser>;
using Bitmap = std::unique_ptr<fpdf_bitmap_t__, BitmapCloser>;

Doc open_fixture(const std::string &name, const char *password = nullptr);
Page load_page(const Doc &doc, int index);
TextPage load_text(const Page &page);

// A UTF-16LE value read with the (NULL, 0) then (buffer, length) protocol.
template <class F>
std::u16string read_u16(F &&get) {
  const unsigned long n = get(nullptr, 0ul);
  if (n < 2) return u"";
  std::vector<char16_t> buf(n / 2);
  get(buf.data(), n);
  return std::u16string(buf.data(), n / 2 - 1);
}

std::u16string u16(const char *utf8);
