// Link annotations: enumeration, hit testing, targets, rectangles, quad
// points, colour and border.
#include "navigation.h"

using namespace pdfc;

namespace {

pdf_obj *annots_of(fz_context *c, FPDF_PAGE page) {
  return pdf_dict_get(c, page->page->obj, PDF_NAME(Annots));
}

bool is_link(fz_context *c, pdf_obj *annot) {
  return pdf_is_dict(c, annot) &&
         pdf_name_eq(c, pdf_dict_get(c, annot, PDF_NAME(Subtype)), PDF_NAME(Link));
}

bool has_normal_appearance(fz_context *c, pdf_obj *annot) {
  pdf_obj *n = pdf_dict_get(c, pdf_dict_get(c, annot, PDF_NAME(AP)), PDF_NAME(N));
  if (pdf_is_stream(c, n)) return true;
  if (pdf_is_dict(c, n))
    return pdf_is_stream(c, pdf_dict_get(c, n, pdf_dict_get(c, annot, PDF_NAME(AS))));
  return false;
}

unsigned int component(float v) {
  if (!(v > 0)) return 0;
  if (v >= 1) return 255;
  return unsigned(v * 255);
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_BOOL FPDFLink_Enumerate(FPDF_PAGE page, int *start_pos, FPDF_LINK *link_annot) {
  return guarded(0, [&] {
    if (!page || !start_pos || !link_annot) return 0;
    FPDF_BOOL found = 0;
    mu_try([&](fz_context *c) {
      pdf_obj *annots = annots_of(c, page);
      const int n = pdf_array_len(c, annots);
      for (int i = std::max(*start_pos, 0); i < n; ++i) {
        pdf_obj *a = pdf_resolve_indirect(c, pdf_array_get(c, annots, i));
        if (!is_link(c, a)) continue;
        *link_annot = reinterpret_cast<FPDF_LINK>(a);
        *start_pos = i + 1;
        found = 1;
        return;
      }
    });
    return found;
  });
}

FPDF_EXPORT FPDF_LINK FPDFLink_GetLinkAtPoint(FPDF_PAGE page, double x, double y) {
  return guarded(FPDF_LINK(nullptr), [&] {
    pdf_obj *hit = nullptr;
    if (page)
      mu_try([&](fz_context *c) {
        pdf_obj *annots = annots_of(c, page);
        // The topmost link is the last one drawn.
        for (int i = pdf_array_len(c, annots) - 1; i >= 0 && !hit; --i) {
          pdf_obj *a = pdf_resolve_indirect(c, pdf_array_get(c, annots, i));
          if (!is_link(c, a)) continue;
          const fz_rect r = pdf_to_rect(c, pdf_dict_get(c, a, PDF_NAME(Rect)));
          if (x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1) hit = a;
        }
      });
    return reinterpret_cast<FPDF_LINK>(hit);
  });
}

FPDF_EXPORT FPDF_DEST FPDFLink_GetDest(FPDF_DOCUMENT document, FPDF_LINK link) {
  return guarded(FPDF_DEST(nullptr), [&] {
    pdf_obj *dest = nullptr;
    if (document && link)
      mu_try([&](fz_context *c) {
        dest = resolve_dest(c, document, pdf_dict_get(c, as_obj(link), PDF_NAME(Dest)));
        if (!dest) dest = action_dest(c, document, pdf_dict_get(c, as_obj(link), PDF_NAME(A)));
      });
    return reinterpret_cast<FPDF_DEST>(dest);
  });
}

FPDF_EXPORT FPDF_ACTION FPDFLink_GetAction(FPDF_LINK link) {
  return guarded(FPDF_ACTION(nullptr), [&] {
    pdf_obj *action = nullptr;
    if (link)
      mu_try([&](fz_context *c) {
        action = pdf_resolve_indirect(c, pdf_dict_get(c, as_obj(link), PDF_NAME(A)));
        if (!pdf_is_dict(c, action)) action = nullptr;
      });
    return reinterpret_cast<FPDF_ACTION>(action);
  });
}

FPDF_EXPORT FPDF_ANNOTATION FPDFLink_GetAnnot(FPDF_PAGE page, FPDF_LINK link_annot) {
  return guarded(FPDF_ANNOTATION(nullptr), [&]() -> FPDF_ANNOTATION {
    if (!page || !link_annot) return nullptr;
    auto &slot = page->annots[as_obj(link_annot)];
    if (!slot)
      slot = std::make_unique<fpdf_annotation_t__>(fpdf_annotation_t__{as_obj(link_annot)});
    return slot.get();
  });
}

FPDF_EXPORT FPDF_BOOL FPDFLink_GetAnnotRect(FPDF_LINK link_annot, FS_RECTF *rect) {
  return guarded(0, [&] {
    if (!link_annot || !rect) return 0;
    float v[4] = {0, 0, 0, 0};
    mu_try([&](fz_context *c) {
      pdf_obj *r = pdf_dict_get(c, as_obj(link_annot), PDF_NAME(Rect));
      if (pdf_array_len(c, r) == 4)
        for (int i = 0; i < 4; ++i) v[i] = pdf_array_get_real(c, r, i);
    });
    rect->left = v[0];
    rect->bottom = v[1];
    rect->right = v[2];
    rect->top = v[3];
    return 1;
  });
}

FPDF_EXPORT int FPDFLink_CountQuadPoints(FPDF_LINK link_annot) {
  return guarded(0, [&] {
    int n = 0;
    if (link_annot)
      mu_try([&](fz_context *c) {
        n = pdf_array_len(c, pdf_dict_get(c, as_obj(link_annot), PDF_NAME(QuadPoints))) / 8;
      });
    return n;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFLink_GetQuadPoints(FPDF_LINK link_annot, int quad_index,
                                             FS_QUADPOINTSF *quad_points) {
  return guarded(0, [&] {
    if (!link_annot || !quad_points || quad_index < 0) return 0;
    float v[8];
    FPDF_BOOL ok = 0;
    mu_try([&](fz_context *c) {
      pdf_obj *q = pdf_dict_get(c, as_obj(link_annot), PDF_NAME(QuadPoints));
      if ((long long)(quad_index + 1) * 8 > pdf_array_len(c, q)) return;
      for (int i = 0; i < 8; ++i) v[i] = pdf_array_get_real(c, q, quad_index * 8 + i);
      ok = 1;
    });
    if (ok) *quad_points = FS_QUADPOINTSF{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
    return ok;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFAnnot_GetColor(FPDF_ANNOTATION annot, FPDFANNOT_COLORTYPE type,
                                         unsigned int *R, unsigned int *G, unsigned int *B,
                                         unsigned int *A) {
  return guarded(0, [&] {
    if (!annot || !R || !G || !B || !A) return 0;
    FPDF_BOOL ok = 0;
    unsigned int rgba[4] = {0, 0, 0, 255};
    mu_try([&](fz_context *c) {
      pdf_obj *a = annot->dict;
      if (has_normal_appearance(c, a)) return;
      ok = 1;
      pdf_obj *ca = pdf_dict_get(c, a, PDF_NAME(CA));
      if (pdf_is_number(c, ca)) rgba[3] = component(pdf_to_real(c, ca));
      pdf_obj *col = pdf_dict_get(
          c, a, type == FPDFANNOT_COLORTYPE_InteriorColor ? PDF_NAME(IC) : PDF_NAME(C));
      if (!pdf_is_array(c, col)) {
        if (pdf_name_eq(c, pdf_dict_get(c, a, PDF_NAME(Subtype)), PDF_NAME(Highlight)))
          rgba[0] = rgba[1] = 255;
        return;
      }
      float v[4];
      const int n = pdf_array_len(c, col);
      for (int i = 0; i < 4; ++i) v[i] = i < n ? pdf_array_get_real(c, col, i) : 0;
      if (n == 1) {
        rgba[0] = rgba[1] = rgba[2] = component(v[0]);
      } else if (n == 3) {
        for (int i = 0; i < 3; ++i) rgba[i] = component(v[i]);
      } else if (n == 4) {
        for (int i = 0; i < 3; ++i) rgba[i] = component((1 - v[i]) * (1 - v[3]));
      }
    });
    if (ok) *R = rgba[0], *G = rgba[1], *B = rgba[2], *A = rgba[3];
    return ok;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFAnnot_GetBorder(FPDF_ANNOTATION annot, float *horizontal_radius,
                                          float *vertical_radius, float *border_width) {
  return guarded(0, [&] {
    if (!annot || !horizontal_radius || !vertical_radius || !border_width) return 0;
    FPDF_BOOL ok = 0;
    float v[3] = {0, 0, 0};
    mu_try([&](fz_context *c) {
      pdf_obj *b = pdf_dict_get(c, annot->dict, PDF_NAME(Border));
      if (pdf_array_len(c, b) < 3) return;
      for (int i = 0; i < 3; ++i) v[i] = pdf_array_get_real(c, b, i);
      ok = 1;
    });
    if (ok) *horizontal_radius = v[0], *vertical_radius = v[1], *border_width = v[2];
    return ok;
  });
}

}  // extern "C"
