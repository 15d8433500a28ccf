// Pages: loading, PDFium's page box and rotation, boxes, coordinate mapping.
#include <cmath>
#include <limits>

#include "cache.h"
#include "handles.h"

namespace pdfc {

PageGeom compute_geometry(fz_context *c, pdf_obj *pageobj) {
  PageGeom g;
  fz_rect media = pdf_to_rect(c, pdf_dict_get_inheritable(c, pageobj, PDF_NAME(MediaBox)));
  if (fz_is_empty_rect(media)) media = fz_make_rect(0, 0, 612, 792);
  fz_rect box = pdf_to_rect(c, pdf_dict_get_inheritable(c, pageobj, PDF_NAME(CropBox)));
  box = fz_is_empty_rect(box) ? media : fz_intersect_rect(box, media);
  if (fz_is_empty_rect(box)) box = fz_make_rect(box.x0, box.y0, box.x0, box.y0);
  int rot = (pdf_to_int(c, pdf_dict_get_inheritable(c, pageobj, PDF_NAME(Rotate))) / 90) % 4;
  if (rot < 0) rot += 4;

  g.box = box;
  g.rotation = rot;
  float w = box.x1 - box.x0, h = box.y1 - box.y0;
  g.width = (rot & 1) ? h : w;
  g.height = (rot & 1) ? w : h;
  const float l = box.x0, b = box.y0, r = box.x1, t = box.y1;
  switch (rot) {
    case 0:
      g.page_matrix = fz_make_matrix(1, 0, 0, 1, -l, -b);
      break;
    case 1:
      g.page_matrix = fz_make_matrix(0, -1, 1, 0, -b, r);
      break;
    case 2:
      g.page_matrix = fz_make_matrix(-1, 0, 0, -1, r, t);
      break;
    default:
      g.page_matrix = fz_make_matrix(0, 1, -1, 0, t, -l);
      break;
  }
  return g;
}

const PageGeom &page_geometry(fz_context *c, fpdf_document_t__ *d, int index, pdf_obj *pageobj) {
  auto it = d->geom.find(index);
  if (it != d->geom.end()) return it->second;
  PageGeom g = compute_geometry(c, pageobj);
  return d->geom.emplace(index, g).first->second;
}

fz_matrix display_matrix(const PageGeom &g, int start_x, int start_y, int size_x, int size_y,
                         int rotate) {
  if (rotate < 0) return fz_make_matrix(0, 0, 0, 0, 0, 0);
  const float L = float(start_x), B = float(start_y);
  const float R = float(start_x) + float(size_x), T = float(start_y) + float(size_y);
  float x0, y0, x1, y1, x2, y2;
  switch (rotate % 4) {
    case 0:
      x0 = L, y0 = T, x1 = L, y1 = B, x2 = R, y2 = T;
      break;
    case 1:
      x0 = L, y0 = B, x1 = R, y1 = B, x2 = L, y2 = T;
      break;
    case 2:
      x0 = R, y0 = B, x1 = R, y1 = T, x2 = L, y2 = B;
      break;
    default:
      x0 = R, y0 = T, x1 = L, y1 = T, x2 = R, y2 = B;
      break;
  }
  fz_matrix m = fz_identity;
  if (g.width != 0 && g.height != 0)
    m = fz_make_matrix((x2 - x0) / g.width, (y2 - y0) / g.width, (x1 - x0) / g.height,
                       (y1 - y0) / g.height, x0, y0);
  return fz_concat(g.page_matrix, m);
}

void invalidate_pages(fpdf_document_t__ *d) {
  d->geom.clear();
  d->generation++;
  PageCache::instance().drop_document(d->serial);
}

}  // namespace pdfc

using namespace pdfc;

namespace {

// Inverse in float; a singular matrix inverts to the identity.
fz_matrix inverse_or_identity(fz_matrix m) {
  float det = m.a * m.d - m.b * m.c;
  if (det == 0) return fz_identity;
  fz_matrix r;
  r.a = m.d / det;
  r.b = -m.b / det;
  r.c = -m.c / det;
  r.d = m.a / det;
  r.e = -(m.e * r.a + m.f * r.c);
  r.f = -(m.e * r.b + m.f * r.d);
  return r;
}

int round_to_int(float v) {
  if (std::isnan(v)) return 0;
  if (v >= float(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= float(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return int(std::lround(v));
}

FPDF_BOOL own_box(FPDF_PAGE page, const char *key, float *left, float *bottom, float *right,
                  float *top) {
  return guarded(0, [&] {
    if (!page || !left || !bottom || !right || !top) return 0;
    FPDF_BOOL found = 0;
    float v[4] = {0, 0, 0, 0};
    mu_try([&](fz_context *c) {
      pdf_obj *arr = pdf_dict_gets(c, page->page->obj, key);
      if (!pdf_is_array(c, arr)) return;
      for (int i = 0; i < 4; ++i) v[i] = pdf_array_get_real(c, arr, i);
      found = 1;
    });
    if (found) *left = v[0], *bottom = v[1], *right = v[2], *top = v[3];
    return found;
  });
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_PAGE FPDF_LoadPage(FPDF_DOCUMENT document, int page_index) {
  return guarded(FPDF_PAGE(nullptr), [&]() -> FPDF_PAGE {
    if (!document || page_index < 0) return nullptr;
    pdf_page *pp = nullptr;
    PageGeom g;
    bool ok = mu_try([&](fz_context *c) {
      if (page_index >= pdf_count_pages(c, document->doc)) return;
      pp = pdf_load_page(c, document->doc, page_index);
      g = page_geometry(c, document, page_index, pp->obj);
    });
    if (!ok || !pp) {
      if (pp) fz_drop_page(ctx(), &pp->super);
      return nullptr;
    }
    auto *p = new fpdf_page_t__;
    p->d = document;
    p->index = page_index;
    p->page = pp;
    p->g = g;
    return p;
  });
}

FPDF_EXPORT void FPDF_ClosePage(FPDF_PAGE page) {
  guarded_void([&] {
    if (!page) return;
    fz_drop_page(ctx(), &page->page->super);
    delete page;
  });
}

FPDF_EXPORT float FPDF_GetPageWidthF(FPDF_PAGE page) {
  return guarded(0.f, [&] { return page ? page->g.width : 0.f; });
}

FPDF_EXPORT float FPDF_GetPageHeightF(FPDF_PAGE page) {
  return guarded(0.f, [&] { return page ? page->g.height : 0.f; });
}

FPDF_EXPORT double FPDF_GetPageWidth(FPDF_PAGE page) { return FPDF_GetPageWidthF(page); }

FPDF_EXPORT double FPDF_GetPageHeight(FPDF_PAGE page) { return FPDF_GetPageHeightF(page); }

FPDF_EXPORT FPDF_BOOL FPDF_GetPageBoundingBox(FPDF_PAGE page, FS_RECTF *rect) {
  return guarded(0, [&] {
    if (!page || !rect) return 0;
    rect->left = page->g.box.x0;
    rect->top = page->g.box.y1;
    rect->right = page->g.box.x1;
    rect->bottom = page->g.box.y0;
    return 1;
  });
}

FPDF_EXPORT FPDF_BOOL FPDF_GetPageSizeByIndexF(FPDF_DOCUMENT document, int page_index,
                                               FS_SIZEF *size) {
  return guarded(0, [&] {
    if (!document || !size || page_index < 0) return 0;
    FPDF_BOOL found = 0;
    PageGeom g;
    mu_try([&](fz_context *c) {
      auto it = document->geom.find(page_index);
      if (it != document->geom.end()) {
        g = it->second;
        found = 1;
        return;
      }
      if (page_index >= pdf_count_pages(c, document->doc)) return;
      pdf_obj *obj = pdf_lookup_page_obj(c, document->doc, page_index);
      if (!obj) return;
      g = page_geometry(c, document, page_index, obj);
      found = 1;
    });
    if (found) size->width = g.width, size->height = g.height;
    return found;
  });
}

FPDF_EXPORT void FPDFPage_SetCropBox(FPDF_PAGE page, float left, float bottom, float right,
                                     float top) {
  guarded_void([&] {
    if (!page) return;
    PageGeom g;
    bool ok = mu_try([&](fz_context *c) {
      pdf_obj *arr = pdf_new_array(c, page->d->doc, 4);
      pdf_dict_put_drop(c, page->page->obj, PDF_NAME(CropBox), arr);
      pdf_array_push_real(c, arr, left);
      pdf_array_push_real(c, arr, bottom);
      pdf_array_push_real(c, arr, right);
      pdf_array_push_real(c, arr, top);
      g = compute_geometry(c, page->page->obj);
    });
    invalidate_pages(page->d);
    if (ok) page->g = g;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFPage_GetCropBox(FPDF_PAGE page, float *left, float *bottom, float *right,
                                          float *top) {
  return own_box(page, "CropBox", left, bottom, right, top);
}

FPDF_EXPORT FPDF_BOOL FPDFPage_GetBleedBox(FPDF_PAGE page, float *left, float *bottom, float *right,
                                           float *top) {
  return own_box(page, "BleedBox", left, bottom, right, top);
}

FPDF_EXPORT FPDF_BOOL FPDFPage_GetTrimBox(FPDF_PAGE page, float *left, float *bottom, float *right,
                                          float *top) {
  return own_box(page, "TrimBox", left, bottom, right, top);
}

FPDF_EXPORT FPDF_BOOL FPDFPage_GetArtBox(FPDF_PAGE page, float *left, float *bottom, float *right,
                                         float *top) {
  return own_box(page, "ArtBox", left, bottom, right, top);
}

FPDF_EXPORT FPDF_BOOL FPDF_DeviceToPage(FPDF_PAGE page, int start_x, int start_y, int size_x,
                                        int size_y, int rotate, int device_x, int device_y,
                                        double *page_x, double *page_y) {
  return guarded(0, [&] {
    if (!page || !page_x || !page_y) return 0;
    fz_matrix inv =
        inverse_or_identity(display_matrix(page->g, start_x, start_y, size_x, size_y, rotate));
    fz_point p = fz_transform_point_xy(float(device_x), float(device_y), inv);
    *page_x = p.x;
    *page_y = p.y;
    return 1;
  });
}

FPDF_EXPORT FPDF_BOOL FPDF_PageToDevice(FPDF_PAGE page, int start_x, int start_y, int size_x,
                                        int size_y, int rotate, double page_x, double page_y,
                                        int *device_x, int *device_y) {
  return guarded(0, [&] {
    if (!page || !device_x || !device_y) return 0;
    fz_matrix m = display_matrix(page->g, start_x, start_y, size_x, size_y, rotate);
    fz_point p = fz_transform_point_xy(float(page_x), float(page_y), m);
    *device_x = round_to_int(p.x);
    *device_y = round_to_int(p.y);
    return 1;
  });
}

}  // extern "C"
