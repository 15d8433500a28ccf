/*
 * The C interface of libpdfium.so: the PDFium functions the viewer binds,
 * declared with PDFium's published type names and semantics.
 *
 * Handles are opaque pointers. Page coordinates are PDF user space (y up,
 * not rotated, not shifted by the page box origin); device coordinates are
 * bitmap pixels with the origin at the top-left corner.
 *
 * Threads: every function may be called from any thread; the library
 * serialises its calls internally.
 */
#ifndef FPDF_COMPAT_H
#define FPDF_COMPAT_H

#include <stddef.h>

#if defined(FPDF_COMPAT_IMPLEMENTATION)
#define FPDF_EXPORT __attribute__((visibility("default")))
#else
#define FPDF_EXPORT
#endif
#define FPDF_CALLCONV

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Basic types ---------------------------------------------------- */

typedef int FPDF_BOOL;
typedef unsigned long FPDF_DWORD;
typedef unsigned short FPDF_WCHAR;
typedef const char *FPDF_BYTESTRING;
typedef const char *FPDF_STRING;           /* UTF-8 file path */
typedef const FPDF_WCHAR *FPDF_WIDESTRING; /* NUL-terminated UTF-16LE */
typedef float FS_FLOAT;
typedef void *HDC;

typedef struct fpdf_document_t__ *FPDF_DOCUMENT;
typedef struct fpdf_page_t__ *FPDF_PAGE;
typedef struct fpdf_textpage_t__ *FPDF_TEXTPAGE;
typedef struct fpdf_bitmap_t__ *FPDF_BITMAP;
typedef struct fpdf_schhandle_t__ *FPDF_SCHHANDLE;
typedef struct fpdf_bookmark_t__ *FPDF_BOOKMARK;
typedef struct fpdf_dest_t__ *FPDF_DEST;
typedef struct fpdf_action_t__ *FPDF_ACTION;
typedef struct fpdf_link_t__ *FPDF_LINK;
typedef struct fpdf_annotation_t__ *FPDF_ANNOTATION;

typedef struct _FS_RECTF_ {
  float left;
  float top;
  float right;
  float bottom;
} FS_RECTF;

typedef struct FS_SIZEF_ {
  float width;
  float height;
} FS_SIZEF;

/* Row-vector matrix in PDF order: x' = a*x + c*y + e, y' = b*x + d*y + f. */
typedef struct _FS_MATRIX_ {
  float a, b, c, d, e, f;
} FS_MATRIX;

typedef struct _FS_QUADPOINTSF {
  FS_FLOAT x1, y1, x2, y2, x3, y3, x4, y4;
} FS_QUADPOINTSF;

typedef enum { FPDF_RENDERERTYPE_AGG = 0, FPDF_RENDERERTYPE_SKIA = 1 } FPDF_RENDERER_TYPE;

typedef struct FPDF_LIBRARY_CONFIG_ {
  int version;                       /* fields below are read up to this version */
  const char **m_pUserFontPaths;     /* version >= 1 */
  void *m_pIsolate;                  /* version >= 2 */
  unsigned int m_v8EmbedderSlot;     /* version >= 2 */
  void *m_pPlatform;                 /* version >= 3 */
  FPDF_RENDERER_TYPE m_RendererType; /* version >= 4 */
} FPDF_LIBRARY_CONFIG;

typedef struct FPDF_FILEWRITE_ {
  int version; /* 1 */
  /* Returns non-zero on success; pThis is the structure itself. */
  int (*WriteBlock)(struct FPDF_FILEWRITE_ *pThis, const void *pData, unsigned long size);
} FPDF_FILEWRITE;

typedef enum {
  FPDFANNOT_COLORTYPE_Color = 0,
  FPDFANNOT_COLORTYPE_InteriorColor = 1
} FPDFANNOT_COLORTYPE;

/* ---- Constants -------------------------------------------------------- */

#define FPDF_ERR_SUCCESS 0
#define FPDF_ERR_UNKNOWN 1
#define FPDF_ERR_FILE 2
#define FPDF_ERR_FORMAT 3
#define FPDF_ERR_PASSWORD 4
#define FPDF_ERR_SECURITY 5
#define FPDF_ERR_PAGE 6

#define FPDF_ANNOT 0x01
#define FPDF_LCD_TEXT 0x02
#define FPDF_NO_NATIVETEXT 0x04
#define FPDF_GRAYSCALE 0x08
#define FPDF_DEBUG_INFO 0x80
#define FPDF_NO_CATCH 0x100
#define FPDF_RENDER_LIMITEDIMAGECACHE 0x200
#define FPDF_RENDER_FORCEHALFTONE 0x400
#define FPDF_PRINTING 0x800
#define FPDF_RENDER_NO_SMOOTHTEXT 0x1000
#define FPDF_RENDER_NO_SMOOTHIMAGE 0x2000
#define FPDF_RENDER_NO_SMOOTHPATH 0x4000
#define FPDF_REVERSE_BYTE_ORDER 0x10
#define FPDF_CONVERT_FILL_TO_STROKE 0x20

#define FPDFBitmap_Unknown 0
#define FPDFBitmap_Gray 1
#define FPDFBitmap_BGR 2
#define FPDFBitmap_BGRx 3
#define FPDFBitmap_BGRA 4

#define PDFACTION_UNSUPPORTED 0
#define PDFACTION_GOTO 1
#define PDFACTION_REMOTEGOTO 2
#define PDFACTION_URI 3
#define PDFACTION_LAUNCH 4
#define PDFACTION_EMBEDDEDGOTO 5

#define FPDF_INCREMENTAL 1
#define FPDF_NO_INCREMENTAL 2
#define FPDF_REMOVE_SECURITY 3

#define FLAT_NORMALDISPLAY 0
#define FLAT_PRINT 1
#define FLATTEN_FAIL 0
#define FLATTEN_SUCCESS 1
#define FLATTEN_NOTHINGTODO 2

#define FPDF_MATCHCASE 0x00000001
#define FPDF_MATCHWHOLEWORD 0x00000002
#define FPDF_CONSECUTIVE 0x00000004

/* ---- Library ---------------------------------------------------------- */

FPDF_EXPORT void FPDF_CALLCONV FPDF_InitLibraryWithConfig(const FPDF_LIBRARY_CONFIG *config);
FPDF_EXPORT void FPDF_CALLCONV FPDF_InitLibrary(void);
FPDF_EXPORT void FPDF_CALLCONV FPDF_DestroyLibrary(void);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDF_GetLastError(void);

/* ---- Bitmaps ------------------------------------------------------------ */

FPDF_EXPORT FPDF_BITMAP FPDF_CALLCONV FPDFBitmap_Create(int width, int height, int alpha);
FPDF_EXPORT FPDF_BITMAP FPDF_CALLCONV FPDFBitmap_CreateEx(int width, int height, int format,
                                                          void *first_scan, int stride);
FPDF_EXPORT int FPDF_CALLCONV FPDFBitmap_GetFormat(FPDF_BITMAP bitmap);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFBitmap_FillRect(FPDF_BITMAP bitmap, int left, int top,
                                                        int width, int height, FPDF_DWORD color);
FPDF_EXPORT void *FPDF_CALLCONV FPDFBitmap_GetBuffer(FPDF_BITMAP bitmap);
FPDF_EXPORT int FPDF_CALLCONV FPDFBitmap_GetWidth(FPDF_BITMAP bitmap);
FPDF_EXPORT int FPDF_CALLCONV FPDFBitmap_GetHeight(FPDF_BITMAP bitmap);
FPDF_EXPORT int FPDF_CALLCONV FPDFBitmap_GetStride(FPDF_BITMAP bitmap);
FPDF_EXPORT void FPDF_CALLCONV FPDFBitmap_Destroy(FPDF_BITMAP bitmap);

/* ---- Documents ---------------------------------------------------------- */

FPDF_EXPORT FPDF_DOCUMENT FPDF_CALLCONV FPDF_LoadDocument(FPDF_STRING file_path,
                                                          FPDF_BYTESTRING password);
FPDF_EXPORT FPDF_DOCUMENT FPDF_CALLCONV FPDF_LoadMemDocument(const void *data_buf, int size,
                                                             FPDF_BYTESTRING password);
FPDF_EXPORT FPDF_DOCUMENT FPDF_CALLCONV FPDF_LoadMemDocument64(const void *data_buf, size_t size,
                                                               FPDF_BYTESTRING password);
FPDF_EXPORT void FPDF_CALLCONV FPDF_CloseDocument(FPDF_DOCUMENT document);
FPDF_EXPORT int FPDF_CALLCONV FPDF_GetPageCount(FPDF_DOCUMENT document);
FPDF_EXPORT int FPDF_CALLCONV FPDF_GetSecurityHandlerRevision(FPDF_DOCUMENT document);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDF_GetDocPermissions(FPDF_DOCUMENT document);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDF_GetDocUserPermissions(FPDF_DOCUMENT document);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_GetFileVersion(FPDF_DOCUMENT doc, int *fileVersion);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDF_GetMetaText(FPDF_DOCUMENT document,
                                                         FPDF_BYTESTRING tag, void *buffer,
                                                         unsigned long buflen);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFCatalog_IsTagged(FPDF_DOCUMENT document);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_SaveAsCopy(FPDF_DOCUMENT document,
                                                    FPDF_FILEWRITE *pFileWrite, FPDF_DWORD flags);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_SaveWithVersion(FPDF_DOCUMENT document,
                                                         FPDF_FILEWRITE *pFileWrite,
                                                         FPDF_DWORD flags, int fileVersion);

/* ---- Pages and geometry ------------------------------------------------- */

FPDF_EXPORT FPDF_PAGE FPDF_CALLCONV FPDF_LoadPage(FPDF_DOCUMENT document, int page_index);
FPDF_EXPORT void FPDF_CALLCONV FPDF_ClosePage(FPDF_PAGE page);
FPDF_EXPORT double FPDF_CALLCONV FPDF_GetPageWidth(FPDF_PAGE page);
FPDF_EXPORT double FPDF_CALLCONV FPDF_GetPageHeight(FPDF_PAGE page);
FPDF_EXPORT float FPDF_CALLCONV FPDF_GetPageWidthF(FPDF_PAGE page);
FPDF_EXPORT float FPDF_CALLCONV FPDF_GetPageHeightF(FPDF_PAGE page);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_GetPageBoundingBox(FPDF_PAGE page, FS_RECTF *rect);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_GetPageSizeByIndexF(FPDF_DOCUMENT document, int page_index,
                                                             FS_SIZEF *size);
FPDF_EXPORT void FPDF_CALLCONV FPDFPage_SetCropBox(FPDF_PAGE page, float left, float bottom,
                                                   float right, float top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFPage_GetCropBox(FPDF_PAGE page, float *left, float *bottom,
                                                        float *right, float *top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFPage_GetBleedBox(FPDF_PAGE page, float *left, float *bottom,
                                                         float *right, float *top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFPage_GetTrimBox(FPDF_PAGE page, float *left, float *bottom,
                                                        float *right, float *top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFPage_GetArtBox(FPDF_PAGE page, float *left, float *bottom,
                                                       float *right, float *top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_DeviceToPage(FPDF_PAGE page, int start_x, int start_y,
                                                      int size_x, int size_y, int rotate,
                                                      int device_x, int device_y, double *page_x,
                                                      double *page_y);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDF_PageToDevice(FPDF_PAGE page, int start_x, int start_y,
                                                      int size_x, int size_y, int rotate,
                                                      double page_x, double page_y, int *device_x,
                                                      int *device_y);

/* ---- Rendering ---------------------------------------------------------- */

/* Present for binary compatibility only: draws nothing on this platform. */
FPDF_EXPORT void FPDF_CALLCONV FPDF_RenderPage(HDC dc, FPDF_PAGE page, int start_x, int start_y,
                                               int size_x, int size_y, int rotate, int flags);
FPDF_EXPORT void FPDF_CALLCONV FPDF_RenderPageBitmap(FPDF_BITMAP bitmap, FPDF_PAGE page,
                                                     int start_x, int start_y, int size_x,
                                                     int size_y, int rotate, int flags);
FPDF_EXPORT void FPDF_CALLCONV FPDF_RenderPageBitmapWithMatrix(FPDF_BITMAP bitmap, FPDF_PAGE page,
                                                               const FS_MATRIX *matrix,
                                                               const FS_RECTF *clipping, int flags);
FPDF_EXPORT void FPDF_CALLCONV FPDF_RenderPage_Close(FPDF_PAGE page);
FPDF_EXPORT int FPDF_CALLCONV FPDFPage_Flatten(FPDF_PAGE page, int nFlag);

/* ---- Text page ---------------------------------------------------------- */

FPDF_EXPORT FPDF_TEXTPAGE FPDF_CALLCONV FPDFText_LoadPage(FPDF_PAGE page);
FPDF_EXPORT void FPDF_CALLCONV FPDFText_ClosePage(FPDF_TEXTPAGE text_page);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_CountChars(FPDF_TEXTPAGE text_page);
FPDF_EXPORT unsigned int FPDF_CALLCONV FPDFText_GetUnicode(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_IsGenerated(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_IsHyphen(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_HasUnicodeMapError(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT double FPDF_CALLCONV FPDFText_GetFontSize(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetFontWeight(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT float FPDF_CALLCONV FPDFText_GetCharAngle(FPDF_TEXTPAGE text_page, int index);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_GetCharBox(FPDF_TEXTPAGE text_page, int index,
                                                        double *left, double *right, double *bottom,
                                                        double *top);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_GetLooseCharBox(FPDF_TEXTPAGE text_page, int index,
                                                             FS_RECTF *rect);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_GetCharOrigin(FPDF_TEXTPAGE text_page, int index,
                                                           double *x, double *y);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetCharIndexAtPos(FPDF_TEXTPAGE text_page, double x,
                                                         double y, double xTolerance,
                                                         double yTolerance);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetText(FPDF_TEXTPAGE text_page, int start_index, int count,
                                               unsigned short *result);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetBoundedText(FPDF_TEXTPAGE text_page, double left,
                                                      double top, double right, double bottom,
                                                      unsigned short *buffer, int buflen);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_CountRects(FPDF_TEXTPAGE text_page, int start_index,
                                                  int count);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_GetRect(FPDF_TEXTPAGE text_page, int rect_index,
                                                     double *left, double *top, double *right,
                                                     double *bottom);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetCharIndexFromTextIndex(FPDF_TEXTPAGE text_page,
                                                                 int nTextIndex);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetTextIndexFromCharIndex(FPDF_TEXTPAGE text_page,
                                                                 int nCharIndex);

/* ---- Search ------------------------------------------------------------- */

FPDF_EXPORT FPDF_SCHHANDLE FPDF_CALLCONV FPDFText_FindStart(FPDF_TEXTPAGE text_page,
                                                            FPDF_WIDESTRING findwhat,
                                                            unsigned long flags, int start_index);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_FindNext(FPDF_SCHHANDLE handle);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFText_FindPrev(FPDF_SCHHANDLE handle);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetSchResultIndex(FPDF_SCHHANDLE handle);
FPDF_EXPORT int FPDF_CALLCONV FPDFText_GetSchCount(FPDF_SCHHANDLE handle);
FPDF_EXPORT void FPDF_CALLCONV FPDFText_FindClose(FPDF_SCHHANDLE handle);

/* ---- Outline, actions, destinations, page labels -------------------------- */

FPDF_EXPORT FPDF_BOOKMARK FPDF_CALLCONV FPDFBookmark_GetFirstChild(FPDF_DOCUMENT document,
                                                                   FPDF_BOOKMARK bookmark);
FPDF_EXPORT FPDF_BOOKMARK FPDF_CALLCONV FPDFBookmark_GetNextSibling(FPDF_DOCUMENT document,
                                                                    FPDF_BOOKMARK bookmark);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDFBookmark_GetTitle(FPDF_BOOKMARK bookmark, void *buffer,
                                                              unsigned long buflen);
FPDF_EXPORT FPDF_BOOKMARK FPDF_CALLCONV FPDFBookmark_Find(FPDF_DOCUMENT document,
                                                          FPDF_WIDESTRING title);
FPDF_EXPORT FPDF_DEST FPDF_CALLCONV FPDFBookmark_GetDest(FPDF_DOCUMENT document,
                                                         FPDF_BOOKMARK bookmark);
FPDF_EXPORT FPDF_ACTION FPDF_CALLCONV FPDFBookmark_GetAction(FPDF_BOOKMARK bookmark);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDFAction_GetType(FPDF_ACTION action);
FPDF_EXPORT FPDF_DEST FPDF_CALLCONV FPDFAction_GetDest(FPDF_DOCUMENT document, FPDF_ACTION action);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDFAction_GetFilePath(FPDF_ACTION action, void *buffer,
                                                               unsigned long buflen);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDFAction_GetURIPath(FPDF_DOCUMENT document,
                                                              FPDF_ACTION action, void *buffer,
                                                              unsigned long buflen);
FPDF_EXPORT int FPDF_CALLCONV FPDFDest_GetDestPageIndex(FPDF_DOCUMENT document, FPDF_DEST dest);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFDest_GetLocationInPage(FPDF_DEST dest, FPDF_BOOL *hasXVal,
                                                               FPDF_BOOL *hasYVal,
                                                               FPDF_BOOL *hasZoomVal, FS_FLOAT *x,
                                                               FS_FLOAT *y, FS_FLOAT *zoom);
FPDF_EXPORT FPDF_DWORD FPDF_CALLCONV FPDF_CountNamedDests(FPDF_DOCUMENT document);
FPDF_EXPORT FPDF_DEST FPDF_CALLCONV FPDF_GetNamedDestByName(FPDF_DOCUMENT document,
                                                            FPDF_BYTESTRING name);
FPDF_EXPORT FPDF_DEST FPDF_CALLCONV FPDF_GetNamedDest(FPDF_DOCUMENT document, int index,
                                                      void *buffer, long *buflen);
FPDF_EXPORT unsigned long FPDF_CALLCONV FPDF_GetPageLabel(FPDF_DOCUMENT document, int page_index,
                                                          void *buffer, unsigned long buflen);

/* ---- Links and annotations ---------------------------------------------- */

FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFLink_Enumerate(FPDF_PAGE page, int *start_pos,
                                                       FPDF_LINK *link_annot);
FPDF_EXPORT FPDF_LINK FPDF_CALLCONV FPDFLink_GetLinkAtPoint(FPDF_PAGE page, double x, double y);
FPDF_EXPORT FPDF_DEST FPDF_CALLCONV FPDFLink_GetDest(FPDF_DOCUMENT document, FPDF_LINK link);
FPDF_EXPORT FPDF_ACTION FPDF_CALLCONV FPDFLink_GetAction(FPDF_LINK link);
FPDF_EXPORT FPDF_ANNOTATION FPDF_CALLCONV FPDFLink_GetAnnot(FPDF_PAGE page, FPDF_LINK link_annot);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFLink_GetAnnotRect(FPDF_LINK link_annot, FS_RECTF *rect);
FPDF_EXPORT int FPDF_CALLCONV FPDFLink_CountQuadPoints(FPDF_LINK link_annot);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFLink_GetQuadPoints(FPDF_LINK link_annot, int quad_index,
                                                           FS_QUADPOINTSF *quad_points);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFAnnot_GetColor(FPDF_ANNOTATION annot,
                                                       FPDFANNOT_COLORTYPE type, unsigned int *R,
                                                       unsigned int *G, unsigned int *B,
                                                       unsigned int *A);
FPDF_EXPORT FPDF_BOOL FPDF_CALLCONV FPDFAnnot_GetBorder(FPDF_ANNOTATION annot,
                                                        float *horizontal_radius,
                                                        float *vertical_radius,
                                                        float *border_width);

#ifdef __cplusplus
}
#endif

#endif /* FPDF_COMPAT_H */
