// The structures behind the opaque handles of the C interface.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core.h"

namespace pdfc {

// PDFium's view of a page box: user-space rectangle, quarter-turn rotation
// and the matrix that maps user space onto a y-up page whose box starts at
// (0, 0) and is width x height points large.
struct PageGeom {
  fz_rect box{0, 0, 0, 0};  // x0 left, y0 bottom, x1 right, y1 top
  int rotation = 0;         // 0..3 quarter turns clockwise
  float width = 0, height = 0;
  fz_matrix page_matrix = fz_identity;
};

struct CharStream;

}  // namespace pdfc

struct fpdf_annotation_t__ {
  pdf_obj *dict;
};

struct fpdf_document_t__ {
  pdf_document *doc = nullptr;
  uint64_t serial = 0;  // identifies the document in the shared caches
  int auth = 0;         // pdf_authenticate_password result; bit 2 owner
  int generation = 0;   // bumped when a page is modified
  std::unordered_map<int, pdfc::PageGeom> geom;
  // Named destinations in index order (name, value), each object kept;
  // filled on first use.
  std::vector<std::pair<pdf_obj *, pdf_obj *>> named;
  bool named_loaded = false;
  // Scratch for tree walks, held here so that a MuPDF error unwinding a
  // walk by longjmp leaves nothing to free.
  std::set<pdf_obj *> visited;
};

struct fpdf_page_t__ {
  fpdf_document_t__ *d = nullptr;
  int index = 0;
  pdf_page *page = nullptr;
  pdfc::PageGeom g;
  std::map<pdf_obj *, std::unique_ptr<fpdf_annotation_t__>> annots;
};

struct fpdf_bitmap_t__ {
  int width = 0, height = 0, stride = 0, format = 0;
  unsigned char *buffer = nullptr;
  bool owned = false;
};

namespace pdfc {

// Geometry of page `index` per PDFium's rules; cached per document.
const PageGeom &page_geometry(fz_context *c, fpdf_document_t__ *d, int index, pdf_obj *pageobj);
PageGeom compute_geometry(fz_context *c, pdf_obj *pageobj);

// PDFium's display matrix: user space -> device pixels.
fz_matrix display_matrix(const PageGeom &g, int start_x, int start_y, int size_x, int size_y,
                         int rotate);

// Drops everything cached for the document's pages (after a modification).
void invalidate_pages(fpdf_document_t__ *d);

inline pdf_obj *as_obj(const void *handle) {
  return static_cast<pdf_obj *>(const_cast<void *>(handle));
}

}  // namespace pdfc
