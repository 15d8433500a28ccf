// Rendering into caller-owned bitmaps, with a per-page display list kept in
// the shared cache for pages that are drawn repeatedly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "cache.h"
#include "handles.h"

using namespace pdfc;

namespace {

// ---- Display-list cost estimate ------------------------------------------
// MuPDF does not report the size of a display list, so the cache charges
// what a replay of the list shows: nodes, packed paths and text items.

struct CostDevice {
  fz_device super;
  size_t bytes;
};

constexpr size_t kNodeBytes = 48;

void add(fz_device *dev, size_t n) { reinterpret_cast<CostDevice *>(dev)->bytes += kNodeBytes + n; }

size_t text_bytes(const fz_text *text) {
  size_t n = 0;
  for (const fz_text_span *s = text->head; s; s = s->next)
    n += sizeof(fz_text_span) + size_t(s->len) * sizeof(fz_text_item);
  return n;
}

void cost_fill_path(fz_context *, fz_device *d, const fz_path *p, int, fz_matrix, fz_colorspace *,
                    const float *, float, fz_color_params) {
  add(d, fz_packed_path_size(p));
}
void cost_stroke_path(fz_context *, fz_device *d, const fz_path *p, const fz_stroke_state *,
                      fz_matrix, fz_colorspace *, const float *, float, fz_color_params) {
  add(d, fz_packed_path_size(p) + sizeof(fz_stroke_state));
}
void cost_clip_path(fz_context *, fz_device *d, const fz_path *p, int, fz_matrix, fz_rect) {
  add(d, fz_packed_path_size(p));
}
void cost_clip_stroke_path(fz_context *, fz_device *d, const fz_path *p, const fz_stroke_state *,
                           fz_matrix, fz_rect) {
  add(d, fz_packed_path_size(p) + sizeof(fz_stroke_state));
}
void cost_fill_text(fz_context *, fz_device *d, const fz_text *t, fz_matrix, fz_colorspace *,
                    const float *, float, fz_color_params) {
  add(d, text_bytes(t));
}
void cost_stroke_text(fz_context *, fz_device *d, const fz_text *t, const fz_stroke_state *,
                      fz_matrix, fz_colorspace *, const float *, float, fz_color_params) {
  add(d, text_bytes(t));
}
void cost_clip_text(fz_context *, fz_device *d, const fz_text *t, fz_matrix, fz_rect) {
  add(d, text_bytes(t));
}
void cost_clip_stroke_text(fz_context *, fz_device *d, const fz_text *t, const fz_stroke_state *,
                           fz_matrix, fz_rect) {
  add(d, text_bytes(t));
}
void cost_ignore_text(fz_context *, fz_device *d, const fz_text *t, fz_matrix) {
  add(d, text_bytes(t));
}
void cost_fill_image(fz_context *, fz_device *d, fz_image *, fz_matrix, float, fz_color_params) {
  add(d, 0);
}
void cost_fill_image_mask(fz_context *, fz_device *d, fz_image *, fz_matrix, fz_colorspace *,
                          const float *, float, fz_color_params) {
  add(d, 0);
}
void cost_clip_image_mask(fz_context *, fz_device *d, fz_image *, fz_matrix, fz_rect) { add(d, 0); }
void cost_fill_shade(fz_context *, fz_device *d, fz_shade *, fz_matrix, float, fz_color_params) {
  add(d, 0);
}

size_t list_cost(fz_context *c, fz_display_list *list) {
  fz_context *ctx = c;  // fz_new_derived_device expects this name
  CostDevice *dev = fz_new_derived_device(ctx, CostDevice);
  dev->bytes = 0;
  dev->super.fill_path = cost_fill_path;
  dev->super.stroke_path = cost_stroke_path;
  dev->super.clip_path = cost_clip_path;
  dev->super.clip_stroke_path = cost_clip_stroke_path;
  dev->super.fill_text = cost_fill_text;
  dev->super.stroke_text = cost_stroke_text;
  dev->super.clip_text = cost_clip_text;
  dev->super.clip_stroke_text = cost_clip_stroke_text;
  dev->super.ignore_text = cost_ignore_text;
  dev->super.fill_image = cost_fill_image;
  dev->super.fill_image_mask = cost_fill_image_mask;
  dev->super.clip_image_mask = cost_clip_image_mask;
  dev->super.fill_shade = cost_fill_shade;
  size_t bytes = 0;
  fz_try(c) {
    fz_run_display_list(c, list, &dev->super, fz_identity, fz_infinite_rect, nullptr);
    fz_close_device(c, &dev->super);
    bytes = dev->bytes;
  }
  fz_always(c) { fz_drop_device(c, &dev->super); }
  fz_catch(c) { fz_rethrow(c); }
  return bytes + 1024;
}

// ---- Page runs ---------------------------------------------------------------

struct RenderPurpose {
  bool annots;
  const char *usage;
  CacheKind kind;
};

RenderPurpose purpose_of(pdf_page *page, int flags) {
  fz_context *c = ctx();
  const bool print = flags & FPDF_PRINTING;
  // After a flatten the page dictionary has no /Annots, but MuPDF's page
  // still holds the annotations it loaded: they must not be drawn again.
  bool annots = (flags & FPDF_ANNOT) && page->annots &&
                pdf_is_array(c, pdf_dict_get(c, page->obj, PDF_NAME(Annots)));
  CacheKind kind = print ? (annots ? CacheKind::ListPrintAnnots : CacheKind::ListPrint)
                         : (annots ? CacheKind::ListViewAnnots : CacheKind::ListView);
  return {annots, print ? "Print" : "View", kind};
}

// Runs the page in MuPDF's page space (fz_identity) or with `ctm`.
void run_page(fz_context *c, pdf_page *page, fz_device *dev, fz_matrix ctm,
              const RenderPurpose &p) {
  pdf_run_page_contents_with_usage(c, page, dev, ctm, p.usage, nullptr);
  if (p.annots) pdf_run_page_annots_with_usage(c, page, dev, ctm, p.usage, nullptr);
}

fz_display_list *record_list(fz_context *c, pdf_page *page, const RenderPurpose &p) {
  fz_display_list *list = fz_new_display_list(c, pdf_bound_page(c, page));
  fz_device *dev = nullptr;
  fz_var(dev);
  fz_try(c) {
    dev = fz_new_list_device(c, list);
    run_page(c, page, dev, fz_identity, p);
    fz_close_device(c, dev);
  }
  fz_always(c) { fz_drop_device(c, dev); }
  fz_catch(c) {
    fz_drop_display_list(c, list);
    fz_rethrow(c);
  }
  return list;
}

// The page's display list for this purpose: from the cache, or recorded now
// when the page is drawn for the second time. NULL means "draw directly".
std::shared_ptr<void> display_list_for(FPDF_PAGE page, const RenderPurpose &p) {
  PageCache &cache = PageCache::instance();
  CacheKey key{page->d->serial, page->index, page->d->generation, p.kind};
  if (auto hit = cache.find(key)) return hit;
  if (!cache.seen_before(key)) return nullptr;
  fz_display_list *list = nullptr;
  size_t cost = 0;
  if (!mu_try([&](fz_context *c) {
        list = record_list(c, page->page, p);
        cost = list_cost(c, list);
      })) {
    if (list) fz_drop_display_list(ctx(), list);
    return nullptr;
  }
  std::shared_ptr<void> value(list, [](void *l) {
    if (fz_context *c = ctx()) fz_drop_display_list(c, static_cast<fz_display_list *>(l));
  });
  cache.insert(key, value, cost);
  return value;
}

int bytes_per_pixel(int format) {
  return format == FPDFBitmap_Gray ? 1 : format == FPDFBitmap_BGR ? 3 : 4;
}

// Makes the fourth byte of every BGRx pixel in `clip` opaque. MuPDF reads it
// as alpha, and drawing over opaque pixels keeps them opaque.
void make_opaque(FPDF_BITMAP b, fz_irect clip) {
  const int w = clip.x1 - clip.x0;
  for (int y = clip.y0; y < clip.y1; ++y) {
    unsigned char *row = b->buffer + size_t(y) * b->stride + size_t(clip.x0) * 4;
    for (int x = 0; x < w; ++x) {
      uint32_t px;
      std::memcpy(&px, row + 4 * x, 4);
      px |= 0xFF000000u;
      std::memcpy(row + 4 * x, &px, 4);
    }
  }
}

// Applies f(pixel pointer) to every pixel of `clip`.
template <class F>
void for_pixels(FPDF_BITMAP b, fz_irect clip, F &&f) {
  const int bpp = bytes_per_pixel(b->format);
  for (int y = clip.y0; y < clip.y1; ++y) {
    unsigned char *p = b->buffer + size_t(y) * b->stride + size_t(clip.x0) * bpp;
    for (int x = clip.x0; x < clip.x1; ++x, p += bpp) f(p);
  }
}

void premultiply(unsigned char *p) {
  const unsigned a = p[3];
  if (a == 255) return;
  for (int i = 0; i < 3; ++i) p[i] = (unsigned char)((p[i] * a + 127) / 255);
}

void unpremultiply(unsigned char *p) {
  const unsigned a = p[3];
  if (a == 255 || a == 0) return;
  for (int i = 0; i < 3; ++i) p[i] = (unsigned char)std::min(255u, (p[i] * 255 + a / 2) / a);
}

void to_gray(FPDF_BITMAP b, fz_irect clip) {
  if (b->format == FPDFBitmap_Gray) return;
  for_pixels(b, clip, [](unsigned char *p) {
    unsigned char g = (unsigned char)((p[2] * 299 + p[1] * 587 + p[0] * 114) / 1000);
    p[0] = p[1] = p[2] = g;
  });
}

// Draws the page over the bitmap's pixels inside `clip` (device pixels),
// with user space mapped to device space by `user_to_device`.
void render(FPDF_BITMAP bitmap, FPDF_PAGE page, fz_matrix user_to_device, fz_irect clip,
            int flags) {
  fz_context *c = ctx();
  clip = fz_intersect_irect(clip, fz_make_irect(0, 0, bitmap->width, bitmap->height));
  if (fz_is_empty_irect(clip) || bitmap->format < FPDFBitmap_Gray ||
      bitmap->format > FPDFBitmap_BGRA)
    return;
  if (user_to_device.a * user_to_device.d - user_to_device.b * user_to_device.c == 0) return;

  RenderPurpose purpose{};
  fz_matrix page_ctm = fz_identity;
  if (!mu_try([&](fz_context *cc) {
        purpose = purpose_of(page->page, flags);
        pdf_page_transform(cc, page->page, nullptr, &page_ctm);
      }))
    return;
  const fz_matrix ctm = fz_concat(fz_invert_matrix(page_ctm), user_to_device);
  std::shared_ptr<void> list = display_list_for(page, purpose);

  const int format = bitmap->format;
  if (format == FPDFBitmap_BGRx) make_opaque(bitmap, clip);
  if (format == FPDFBitmap_BGRA) for_pixels(bitmap, clip, premultiply);

  fz_colorspace *cs = format == FPDFBitmap_Gray           ? fz_device_gray(c)
                      : (flags & FPDF_REVERSE_BYTE_ORDER) ? fz_device_rgb(c)
                                                          : fz_device_bgr(c);
  const int alpha = format == FPDFBitmap_BGRx || format == FPDFBitmap_BGRA;
  unsigned char *samples =
      bitmap->buffer + size_t(clip.y0) * bitmap->stride + size_t(clip.x0) * bytes_per_pixel(format);
  const int old_text_aa = fz_text_aa_level(c), old_graphics_aa = fz_graphics_aa_level(c);
  if (flags & FPDF_RENDER_NO_SMOOTHTEXT) fz_set_text_aa_level(c, 0);
  if (flags & FPDF_RENDER_NO_SMOOTHPATH) fz_set_graphics_aa_level(c, 0);

  fz_pixmap *pix = nullptr;
  fz_device *dev = nullptr;
  fz_var(pix);
  fz_var(dev);
  fz_try(c) {
    pix = fz_new_pixmap_with_data(c, cs, clip.x1 - clip.x0, clip.y1 - clip.y0, nullptr, alpha,
                                  bitmap->stride, samples);
    pix->x = clip.x0;
    pix->y = clip.y0;
    dev = fz_new_draw_device(c, fz_identity, pix);
    if (flags & FPDF_RENDER_NO_SMOOTHIMAGE)
      fz_enable_device_hints(c, dev, FZ_DONT_INTERPOLATE_IMAGES);
    if (list)
      fz_run_display_list(c, static_cast<fz_display_list *>(list.get()), dev, ctm,
                          fz_rect_from_irect(clip), nullptr);
    else
      run_page(c, page->page, dev, ctm, purpose);
    fz_close_device(c, dev);
  }
  fz_always(c) {
    fz_drop_device(c, dev);
    fz_drop_pixmap(c, pix);
    fz_set_text_aa_level(c, old_text_aa);
    fz_set_graphics_aa_level(c, old_graphics_aa);
  }
  fz_catch(c) {
    // A damaged content stream leaves what was drawn before the error.
  }

  if (format == FPDFBitmap_BGRA) for_pixels(bitmap, clip, unpremultiply);
  if (flags & FPDF_GRAYSCALE) to_gray(bitmap, clip);
}

}  // namespace

extern "C" {

FPDF_EXPORT void FPDF_RenderPage(HDC, FPDF_PAGE, int, int, int, int, int, int) {}

FPDF_EXPORT void FPDF_RenderPageBitmap(FPDF_BITMAP bitmap, FPDF_PAGE page, int start_x, int start_y,
                                       int size_x, int size_y, int rotate, int flags) {
  guarded_void([&] {
    if (!bitmap || !page || size_x <= 0 || size_y <= 0) return;
    fz_matrix m = display_matrix(page->g, start_x, start_y, size_x, size_y, rotate);
    long long x1 = (long long)start_x + size_x, y1 = (long long)start_y + size_y;
    fz_irect clip = fz_make_irect(start_x, start_y, int(std::min<long long>(x1, INT32_MAX)),
                                  int(std::min<long long>(y1, INT32_MAX)));
    render(bitmap, page, m, clip, flags);
  });
}

FPDF_EXPORT void FPDF_RenderPageBitmapWithMatrix(FPDF_BITMAP bitmap, FPDF_PAGE page,
                                                 const FS_MATRIX *matrix, const FS_RECTF *clipping,
                                                 int flags) {
  guarded_void([&] {
    if (!bitmap || !page || !clipping) return;
    fz_matrix m = display_matrix(page->g, 0, 0, int(page->g.width), int(page->g.height), 0);
    if (matrix)
      m = fz_concat(
          m, fz_make_matrix(matrix->a, matrix->b, matrix->c, matrix->d, matrix->e, matrix->f));
    fz_irect clip = fz_make_irect(int(clipping->left), int(clipping->top), int(clipping->right),
                                  int(clipping->bottom));
    render(bitmap, page, m, clip, flags);
  });
}

FPDF_EXPORT void FPDF_RenderPage_Close(FPDF_PAGE) {}

}  // extern "C"
