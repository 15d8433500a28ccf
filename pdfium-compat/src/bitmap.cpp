// Bitmaps: plain memory described by width, height, stride and format.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "handles.h"

namespace {

int bytes_per_pixel(int format) {
  switch (format) {
    case FPDFBitmap_Gray:
      return 1;
    case FPDFBitmap_BGR:
      return 3;
    case FPDFBitmap_BGRx:
    case FPDFBitmap_BGRA:
      return 4;
    default:
      return 0;
  }
}

// PDFium refuses buffers of 4 GiB and more.
constexpr size_t kMaxBitmapBytes = (size_t(1) << 32) - 1;

FPDF_BITMAP make_bitmap(int width, int height, int format, void *first_scan, int stride) {
  const int bpp = bytes_per_pixel(format);
  if (width <= 0 || height <= 0 || bpp == 0 || stride < 0) return nullptr;
  const size_t min_stride = size_t(width) * bpp;
  size_t row = stride ? size_t(stride) : (min_stride + 3) / 4 * 4;
  if (row < min_stride || row > size_t(std::numeric_limits<int>::max())) return nullptr;
  if (row > kMaxBitmapBytes / size_t(height)) return nullptr;
  auto *b = new (std::nothrow) fpdf_bitmap_t__;
  if (!b) return nullptr;
  b->width = width;
  b->height = height;
  b->format = format;
  b->stride = int(row);
  if (first_scan) {
    b->buffer = static_cast<unsigned char *>(first_scan);
  } else {
    b->buffer = static_cast<unsigned char *>(std::malloc(row * size_t(height)));
    b->owned = true;
    if (!b->buffer) {
      delete b;
      return nullptr;
    }
  }
  return b;
}

template <int N>
void fill_pixels(unsigned char *p, int n, const unsigned char *px) {
  for (int i = 0; i < n; ++i, p += N) std::memcpy(p, px, N);
}

void fill_row(unsigned char *p, int n, const unsigned char *px, int bpp) {
  switch (bpp) {
    case 1:
      std::memset(p, px[0], size_t(n));
      break;
    case 3:
      fill_pixels<3>(p, n, px);
      break;
    default:
      fill_pixels<4>(p, n, px);
      break;
  }
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_BITMAP FPDFBitmap_Create(int width, int height, int alpha) {
  return make_bitmap(width, height, alpha ? FPDFBitmap_BGRA : FPDFBitmap_BGRx, nullptr, 0);
}

FPDF_EXPORT FPDF_BITMAP FPDFBitmap_CreateEx(int width, int height, int format, void *first_scan,
                                            int stride) {
  return make_bitmap(width, height, format, first_scan, stride);
}

FPDF_EXPORT int FPDFBitmap_GetFormat(FPDF_BITMAP bitmap) {
  return bitmap ? bitmap->format : FPDFBitmap_Unknown;
}

FPDF_EXPORT FPDF_BOOL FPDFBitmap_FillRect(FPDF_BITMAP bitmap, int left, int top, int width,
                                          int height, FPDF_DWORD color) {
  if (!bitmap) return 0;
  long long right = (long long)left + width, bottom = (long long)top + height;
  if (right > std::numeric_limits<int>::max() || bottom > std::numeric_limits<int>::max() ||
      right < std::numeric_limits<int>::min() || bottom < std::numeric_limits<int>::min())
    return 0;
  const int x0 = left < 0 ? 0 : left, y0 = top < 0 ? 0 : top;
  const int x1 = right > bitmap->width ? bitmap->width : int(right);
  const int y1 = bottom > bitmap->height ? bitmap->height : int(bottom);
  if (x0 >= x1 || y0 >= y1) return 1;

  const unsigned char a = (color >> 24) & 0xFF, r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF,
                      bl = color & 0xFF;
  const int bpp = bytes_per_pixel(bitmap->format);
  unsigned char px[4] = {bl, g, r, bitmap->format == FPDFBitmap_BGRA ? a : (unsigned char)0xFF};
  if (bitmap->format == FPDFBitmap_Gray)
    px[0] = (unsigned char)((r * 299 + g * 587 + bl * 114) / 1000);
  // The first row is filled pixel by pixel, the others copied from it.
  unsigned char *first = bitmap->buffer + size_t(y0) * bitmap->stride + size_t(x0) * bpp;
  fill_row(first, x1 - x0, px, bpp);
  for (int y = y0 + 1; y < y1; ++y)
    std::memcpy(first + size_t(y - y0) * bitmap->stride, first, size_t(x1 - x0) * bpp);
  return 1;
}

FPDF_EXPORT void *FPDFBitmap_GetBuffer(FPDF_BITMAP bitmap) {
  return bitmap ? bitmap->buffer : nullptr;
}

FPDF_EXPORT int FPDFBitmap_GetWidth(FPDF_BITMAP bitmap) { return bitmap ? bitmap->width : 0; }

FPDF_EXPORT int FPDFBitmap_GetHeight(FPDF_BITMAP bitmap) { return bitmap ? bitmap->height : 0; }

FPDF_EXPORT int FPDFBitmap_GetStride(FPDF_BITMAP bitmap) { return bitmap ? bitmap->stride : 0; }

FPDF_EXPORT void FPDFBitmap_Destroy(FPDF_BITMAP bitmap) {
  if (!bitmap) return;
  if (bitmap->owned) std::free(bitmap->buffer);
  delete bitmap;
}

}  // extern "C"
