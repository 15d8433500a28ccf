// FPDFPage_Flatten: draws the normal appearance of the page's annotations
// into its content and removes /Annots from the page.
#include <cstring>
#include <string>

#include "handles.h"

using namespace pdfc;

namespace {

enum : int { kInvisible = 1, kHidden = 2, kPrint = 4 };

pdf_obj *normal_appearance(fz_context *c, pdf_obj *annot) {
  pdf_obj *n = pdf_dict_get(c, pdf_dict_get(c, annot, PDF_NAME(AP)), PDF_NAME(N));
  if (pdf_is_stream(c, n)) return n;
  if (!pdf_is_dict(c, n)) return nullptr;
  pdf_obj *as = pdf_dict_get(c, annot, PDF_NAME(AS));
  pdf_obj *state =
      as ? pdf_dict_get(c, n, as) : (pdf_dict_len(c, n) > 0 ? pdf_dict_get_val(c, n, 0) : nullptr);
  return pdf_is_stream(c, state) ? state : nullptr;
}

// The page's own resource dictionary; an inherited one is copied onto the
// page first so that the content keeps finding its resources.
pdf_obj *own_resources(fz_context *c, pdf_document *doc, pdf_obj *page) {
  pdf_obj *res = pdf_dict_get(c, page, PDF_NAME(Resources));
  if (pdf_is_dict(c, res)) return res;
  pdf_obj *inherited = pdf_dict_get_inheritable(c, page, PDF_NAME(Resources));
  res = pdf_is_dict(c, inherited) ? pdf_copy_dict(c, inherited) : pdf_new_dict(c, doc, 1);
  pdf_dict_put_drop(c, page, PDF_NAME(Resources), res);
  return res;
}

// Scale and translation that fit the appearance's box onto the annotation
// rectangle.
fz_matrix placement(fz_context *c, pdf_obj *annot, pdf_obj *ap) {
  const fz_rect rect = pdf_to_rect(c, pdf_dict_get(c, annot, PDF_NAME(Rect)));
  const fz_rect bbox = fz_transform_rect(pdf_to_rect(c, pdf_dict_get(c, ap, PDF_NAME(BBox))),
                                         pdf_to_matrix(c, pdf_dict_get(c, ap, PDF_NAME(Matrix))));
  const float bw = bbox.x1 - bbox.x0, bh = bbox.y1 - bbox.y0;
  const float sx = bw != 0 ? (rect.x1 - rect.x0) / bw : 1;
  const float sy = bh != 0 ? (rect.y1 - rect.y0) / bh : 1;
  return fz_make_matrix(sx, 0, 0, sy, rect.x0 - bbox.x0 * sx, rect.y0 - bbox.y0 * sy);
}

pdf_obj *add_content_stream(fz_context *c, pdf_document *doc, const char *text) {
  fz_buffer *buf = fz_new_buffer_from_copied_data(c, reinterpret_cast<const unsigned char *>(text),
                                                  std::strlen(text));
  pdf_obj *ref = nullptr;
  fz_try(c) { ref = pdf_add_stream(c, doc, buf, nullptr, 0); }
  fz_always(c) { fz_drop_buffer(c, buf); }
  fz_catch(c) { fz_rethrow(c); }
  return ref;
}

// Returns FLATTEN_*; `draws` collects the content appended to the page.
int flatten(fz_context *c, pdf_page *page, int usage, std::string &draws) {
  pdf_document *doc = page->doc;
  pdf_obj *pageobj = page->obj;
  pdf_obj *annots = pdf_dict_get(c, pageobj, PDF_NAME(Annots));
  if (!pdf_is_array(c, annots)) return FLATTEN_NOTHINGTODO;

  pdf_obj *xobjects = nullptr;
  int next_name = 0;
  for (int i = 0; i < pdf_array_len(c, annots); ++i) {
    pdf_obj *a = pdf_array_get(c, annots, i);
    if (!pdf_is_dict(c, a) ||
        pdf_name_eq(c, pdf_dict_get(c, a, PDF_NAME(Subtype)), PDF_NAME(Popup)))
      continue;
    const int flags = pdf_dict_get_int(c, a, PDF_NAME(F));
    if (flags & kHidden) continue;
    if (usage == FLAT_NORMALDISPLAY ? (flags & kInvisible) : !(flags & kPrint)) continue;
    pdf_obj *ap = normal_appearance(c, a);
    if (!ap) continue;
    if (!pdf_dict_get(c, ap, PDF_NAME(Type)))
      pdf_dict_put(c, ap, PDF_NAME(Type), PDF_NAME(XObject));
    if (!pdf_dict_get(c, ap, PDF_NAME(Subtype)))
      pdf_dict_put(c, ap, PDF_NAME(Subtype), PDF_NAME(Form));
    if (!xobjects) {
      pdf_obj *res = own_resources(c, doc, pageobj);
      xobjects = pdf_dict_get(c, res, PDF_NAME(XObject));
      if (!pdf_is_dict(c, xobjects)) xobjects = pdf_dict_put_dict(c, res, PDF_NAME(XObject), 4);
    }
    char name[32];
    do {
      fz_snprintf(name, sizeof name, "FFT%d", next_name++);
    } while (pdf_dict_gets(c, xobjects, name));
    pdf_dict_puts(c, xobjects, name, ap);
    const fz_matrix m = placement(c, a, ap);
    char line[256];
    fz_snprintf(line, sizeof line, "q %g 0 0 %g %g %g cm /%s Do Q\n", m.a, m.d, m.e, m.f, name);
    draws += line;
  }

  // [q, old content..., Q + appearances]: the old content cannot leak its
  // graphics state into the appended drawing.
  draws.insert(0, "Q\n");
  pdf_obj *contents = pdf_new_array(c, doc, 4);
  fz_try(c) {
    pdf_array_push_drop(c, contents, add_content_stream(c, doc, "q\n"));
    pdf_obj *old = pdf_dict_get(c, pageobj, PDF_NAME(Contents));
    if (pdf_is_array(c, old)) {
      for (int i = 0; i < pdf_array_len(c, old); ++i)
        pdf_array_push(c, contents, pdf_array_get(c, old, i));
    } else if (old) {
      pdf_array_push(c, contents, old);
    }
    pdf_array_push_drop(c, contents, add_content_stream(c, doc, draws.c_str()));
    pdf_dict_put(c, pageobj, PDF_NAME(Contents), contents);
    pdf_dict_del(c, pageobj, PDF_NAME(Annots));
  }
  fz_always(c) { pdf_drop_obj(c, contents); }
  fz_catch(c) { fz_rethrow(c); }
  return FLATTEN_SUCCESS;
}

}  // namespace

extern "C" {

FPDF_EXPORT int FPDFPage_Flatten(FPDF_PAGE page, int nFlag) {
  return guarded(int(FLATTEN_FAIL), [&] {
    if (!page) return int(FLATTEN_FAIL);
    int result = FLATTEN_FAIL;
    std::string draws;
    mu_try([&](fz_context *c) { result = flatten(c, page->page, nFlag, draws); });
    if (result == FLATTEN_SUCCESS) {
      page->annots.clear();
      invalidate_pages(page->d);
    }
    return result;
  });
}

}  // extern "C"
