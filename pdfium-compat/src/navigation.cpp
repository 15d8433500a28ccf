// Outline, actions, destinations, named destinations and page labels,
// read with the pdf_ object interface.
#include "navigation.h"

#include <cstring>
#include <set>
#include <string>

using namespace pdfc;

namespace {

// Deeper trees than this are treated as damaged.
constexpr int kMaxTreeDepth = 32;

std::string bytes_of(fz_context *c, pdf_obj *obj) {
  if (pdf_is_name(c, obj)) return pdf_to_name(c, obj);
  return std::string(pdf_to_str_buf(c, obj), pdf_to_str_len(c, obj));
}

// Collects the leaves of a name tree in order, keeping each object.
void name_tree_leaves(fz_context *c, pdf_obj *node, int depth, std::set<pdf_obj *> &seen,
                      std::vector<std::pair<pdf_obj *, pdf_obj *>> &out) {
  node = pdf_resolve_indirect(c, node);
  if (!pdf_is_dict(c, node) || depth > kMaxTreeDepth || !seen.insert(node).second) return;
  pdf_obj *names = pdf_dict_get(c, node, PDF_NAME(Names));
  const int n = pdf_array_len(c, names);
  for (int i = 0; i + 1 < n; i += 2) {
    pdf_obj *key = pdf_array_get(c, names, i);
    pdf_obj *value = pdf_resolve_indirect(c, pdf_array_get(c, names, i + 1));
    out.emplace_back(pdf_keep_obj(c, key), pdf_keep_obj(c, value));
  }
  pdf_obj *kids = pdf_dict_get(c, node, PDF_NAME(Kids));
  for (int i = 0; i < pdf_array_len(c, kids); ++i)
    name_tree_leaves(c, pdf_array_get(c, kids, i), depth + 1, seen, out);
}

// Looks `needle` up in a name tree, skipping subtrees whose /Limits exclude it.
pdf_obj *name_tree_lookup(fz_context *c, pdf_obj *node, const std::string &needle, int depth,
                          std::set<pdf_obj *> &seen) {
  node = pdf_resolve_indirect(c, node);
  if (!pdf_is_dict(c, node) || depth > kMaxTreeDepth || !seen.insert(node).second) return nullptr;
  pdf_obj *limits = pdf_dict_get(c, node, PDF_NAME(Limits));
  if (depth > 0 && pdf_array_len(c, limits) == 2) {
    if (needle < bytes_of(c, pdf_array_get(c, limits, 0)) ||
        needle > bytes_of(c, pdf_array_get(c, limits, 1)))
      return nullptr;
  }
  pdf_obj *names = pdf_dict_get(c, node, PDF_NAME(Names));
  const int n = pdf_array_len(c, names);
  for (int i = 0; i + 1 < n; i += 2)
    if (bytes_of(c, pdf_array_get(c, names, i)) == needle) return pdf_array_get(c, names, i + 1);
  pdf_obj *kids = pdf_dict_get(c, node, PDF_NAME(Kids));
  for (int i = 0; i < pdf_array_len(c, kids); ++i)
    if (pdf_obj *v = name_tree_lookup(c, pdf_array_get(c, kids, i), needle, depth + 1, seen))
      return v;
  return nullptr;
}

pdf_obj *catalog(fz_context *c, fpdf_document_t__ *d) {
  return pdf_dict_get(c, pdf_trailer(c, d->doc), PDF_NAME(Root));
}

// A named destination's value: an array, or a dictionary's /D array.
pdf_obj *dest_array(fz_context *c, pdf_obj *value) {
  value = pdf_resolve_indirect(c, value);
  if (pdf_is_dict(c, value)) value = pdf_resolve_indirect(c, pdf_dict_get(c, value, PDF_NAME(D)));
  return pdf_is_array(c, value) ? value : nullptr;
}

// Name tree first, then the old catalog /Dests dictionary.
pdf_obj *lookup_named(fz_context *c, fpdf_document_t__ *d, const std::string &name) {
  pdf_obj *root = catalog(c, d);
  d->visited.clear();
  pdf_obj *tree = pdf_dict_get(c, pdf_dict_get(c, root, PDF_NAME(Names)), PDF_NAME(Dests));
  if (pdf_obj *v = name_tree_lookup(c, tree, name, 0, d->visited))
    if (pdf_obj *a = dest_array(c, v)) return a;
  pdf_obj *old = pdf_dict_get(c, root, PDF_NAME(Dests));
  if (pdf_is_dict(c, old)) return dest_array(c, pdf_dict_gets(c, old, name.c_str()));
  return nullptr;
}

void load_named(fz_context *c, fpdf_document_t__ *d) {
  if (d->named_loaded) return;
  d->named_loaded = true;
  pdf_obj *root = catalog(c, d);
  d->visited.clear();
  name_tree_leaves(c, pdf_dict_get(c, pdf_dict_get(c, root, PDF_NAME(Names)), PDF_NAME(Dests)), 0,
                   d->visited, d->named);
  pdf_obj *old = pdf_dict_get(c, root, PDF_NAME(Dests));
  for (int i = 0; pdf_is_dict(c, old) && i < pdf_dict_len(c, old); ++i)
    d->named.emplace_back(pdf_keep_obj(c, pdf_dict_get_key(c, old, i)),
                          pdf_keep_obj(c, pdf_resolve_indirect(c, pdf_dict_get_val(c, old, i))));
}

std::u16string bookmark_title(fz_context *c, pdf_obj *bm) {
  std::u16string t = utf8_to_utf16(text_of(c, pdf_dict_get(c, bm, PDF_NAME(Title))));
  for (char16_t &ch : t)
    if (ch < 0x20) ch = u' ';
  return t;
}

std::u32string folded(const std::u16string &s) {
  std::u32string out = utf16_to_utf32(s);
  for (char32_t &ch : out) ch = fold_case(ch);
  return out;
}

// Depth-first, pre-order: the item, its children, then its siblings.
pdf_obj *find_bookmark(fz_context *c, pdf_obj *item, const std::u32string &title, int depth,
                       std::set<pdf_obj *> &seen) {
  for (item = pdf_resolve_indirect(c, item); pdf_is_dict(c, item);
       item = pdf_resolve_indirect(c, pdf_dict_get(c, item, PDF_NAME(Next)))) {
    if (!seen.insert(item).second) return nullptr;
    if (folded(bookmark_title(c, item)) == title) return item;
    if (depth < kMaxTreeDepth)
      if (pdf_obj *hit =
              find_bookmark(c, pdf_dict_get(c, item, PDF_NAME(First)), title, depth + 1, seen))
        return hit;
  }
  return nullptr;
}

std::string latin1_to_utf8(const std::string &bytes) {
  std::u16string u;
  for (unsigned char ch : bytes) u.push_back(char16_t(ch));
  return utf16_to_utf8(u);
}

std::string file_specification_path(fz_context *c, pdf_obj *filespec) {
  filespec = pdf_resolve_indirect(c, filespec);
  if (pdf_is_string(c, filespec)) return latin1_to_utf8(bytes_of(c, filespec));
  if (!pdf_is_dict(c, filespec)) return std::string();
  pdf_obj *uf = pdf_dict_get(c, filespec, PDF_NAME(UF));
  if (pdf_is_string(c, uf)) return text_of(c, uf);
  for (const char *key : {"F", "DOS", "Mac", "Unix"}) {
    pdf_obj *v = pdf_dict_gets(c, filespec, key);
    if (pdf_is_string(c, v)) return latin1_to_utf8(bytes_of(c, v));
  }
  return std::string();
}

std::string roman(int n, bool upper) {
  static const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  static const char *digits[] = {"m",  "cm", "d",  "cd", "c",  "xc", "l",
                                 "xl", "x",  "ix", "v",  "iv", "i"};
  std::string out;
  for (int i = 0; i < 13 && n > 0; ++i)
    while (n >= values[i] && out.size() < 64) {
      out += digits[i];
      n -= values[i];
    }
  if (upper)
    for (char &ch : out) ch = char(ch - 32);
  return out;
}

std::string letters(int n, bool upper) {
  if (n <= 0) return std::string();
  const int repeat = std::min((n - 1) / 26 + 1, 64);
  return std::string(size_t(repeat), char((upper ? 'A' : 'a') + (n - 1) % 26));
}

// The /PageLabels entry with the greatest key not above `index`.
void find_label(fz_context *c, pdf_obj *node, int index, int depth, std::set<pdf_obj *> &seen,
                int &best_key, pdf_obj *&best) {
  node = pdf_resolve_indirect(c, node);
  if (!pdf_is_dict(c, node) || depth > kMaxTreeDepth || !seen.insert(node).second) return;
  pdf_obj *nums = pdf_dict_get(c, node, PDF_NAME(Nums));
  for (int i = 0; i + 1 < pdf_array_len(c, nums); i += 2) {
    const int key = pdf_to_int(c, pdf_array_get(c, nums, i));
    if (key <= index && key >= best_key) {
      best_key = key;
      best = pdf_array_get(c, nums, i + 1);
    }
  }
  pdf_obj *kids = pdf_dict_get(c, node, PDF_NAME(Kids));
  for (int i = 0; i < pdf_array_len(c, kids); ++i)
    find_label(c, pdf_array_get(c, kids, i), index, depth + 1, seen, best_key, best);
}

}  // namespace

namespace pdfc {

pdf_obj *resolve_dest(fz_context *c, fpdf_document_t__ *d, pdf_obj *dest) {
  dest = pdf_resolve_indirect(c, dest);
  if (pdf_is_array(c, dest)) return dest;
  if (pdf_is_name(c, dest) || pdf_is_string(c, dest)) return lookup_named(c, d, bytes_of(c, dest));
  return nullptr;
}

unsigned long action_type(fz_context *c, pdf_obj *action) {
  action = pdf_resolve_indirect(c, action);
  if (!pdf_is_dict(c, action)) return PDFACTION_UNSUPPORTED;
  pdf_obj *type = pdf_dict_get(c, action, PDF_NAME(Type));
  if (type && !pdf_name_eq(c, type, PDF_NAME(Action))) return PDFACTION_UNSUPPORTED;
  const char *s = pdf_to_name(c, pdf_dict_get(c, action, PDF_NAME(S)));
  if (!std::strcmp(s, "GoTo")) return PDFACTION_GOTO;
  if (!std::strcmp(s, "GoToR")) return PDFACTION_REMOTEGOTO;
  if (!std::strcmp(s, "URI")) return PDFACTION_URI;
  if (!std::strcmp(s, "Launch")) return PDFACTION_LAUNCH;
  if (!std::strcmp(s, "GoToE")) return PDFACTION_EMBEDDEDGOTO;
  return PDFACTION_UNSUPPORTED;
}

pdf_obj *action_dest(fz_context *c, fpdf_document_t__ *d, pdf_obj *action) {
  const unsigned long t = action_type(c, action);
  if (t != PDFACTION_GOTO && t != PDFACTION_REMOTEGOTO && t != PDFACTION_EMBEDDEDGOTO)
    return nullptr;
  return resolve_dest(c, d, pdf_dict_get(c, pdf_resolve_indirect(c, action), PDF_NAME(D)));
}

}  // namespace pdfc

extern "C" {

FPDF_EXPORT FPDF_BOOKMARK FPDFBookmark_GetFirstChild(FPDF_DOCUMENT document,
                                                     FPDF_BOOKMARK bookmark) {
  return guarded(FPDF_BOOKMARK(nullptr), [&] {
    pdf_obj *child = nullptr;
    if (document)
      mu_try([&](fz_context *c) {
        pdf_obj *parent =
            bookmark ? as_obj(bookmark) : pdf_dict_get(c, catalog(c, document), PDF_NAME(Outlines));
        child = pdf_resolve_indirect(c, pdf_dict_get(c, parent, PDF_NAME(First)));
        if (!pdf_is_dict(c, child)) child = nullptr;
      });
    return reinterpret_cast<FPDF_BOOKMARK>(child);
  });
}

FPDF_EXPORT FPDF_BOOKMARK FPDFBookmark_GetNextSibling(FPDF_DOCUMENT document,
                                                      FPDF_BOOKMARK bookmark) {
  return guarded(FPDF_BOOKMARK(nullptr), [&] {
    pdf_obj *next = nullptr;
    if (document && bookmark)
      mu_try([&](fz_context *c) {
        next = pdf_resolve_indirect(c, pdf_dict_get(c, as_obj(bookmark), PDF_NAME(Next)));
        if (!pdf_is_dict(c, next) || next == as_obj(bookmark)) next = nullptr;
      });
    return reinterpret_cast<FPDF_BOOKMARK>(next);
  });
}

FPDF_EXPORT unsigned long FPDFBookmark_GetTitle(FPDF_BOOKMARK bookmark, void *buffer,
                                                unsigned long buflen) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!bookmark) return 0;
    std::u16string title;
    mu_try([&](fz_context *c) { title = bookmark_title(c, as_obj(bookmark)); });
    return put_utf16(title, buffer, buflen);
  });
}

FPDF_EXPORT FPDF_BOOKMARK FPDFBookmark_Find(FPDF_DOCUMENT document, FPDF_WIDESTRING title) {
  return guarded(FPDF_BOOKMARK(nullptr), [&] {
    pdf_obj *hit = nullptr;
    if (!document || !title || !*title) return FPDF_BOOKMARK(nullptr);
    const std::u32string wanted = folded(widestring(title));
    document->visited.clear();
    mu_try([&](fz_context *c) {
      pdf_obj *outlines = pdf_dict_get(c, catalog(c, document), PDF_NAME(Outlines));
      hit = find_bookmark(c, pdf_dict_get(c, outlines, PDF_NAME(First)), wanted, 0,
                          document->visited);
    });
    return reinterpret_cast<FPDF_BOOKMARK>(hit);
  });
}

FPDF_EXPORT FPDF_DEST FPDFBookmark_GetDest(FPDF_DOCUMENT document, FPDF_BOOKMARK bookmark) {
  return guarded(FPDF_DEST(nullptr), [&] {
    pdf_obj *dest = nullptr;
    if (document && bookmark)
      mu_try([&](fz_context *c) {
        pdf_obj *bm = as_obj(bookmark);
        dest = resolve_dest(c, document, pdf_dict_get(c, bm, PDF_NAME(Dest)));
        if (!dest) dest = action_dest(c, document, pdf_dict_get(c, bm, PDF_NAME(A)));
      });
    return reinterpret_cast<FPDF_DEST>(dest);
  });
}

FPDF_EXPORT FPDF_ACTION FPDFBookmark_GetAction(FPDF_BOOKMARK bookmark) {
  return guarded(FPDF_ACTION(nullptr), [&] {
    pdf_obj *action = nullptr;
    if (bookmark)
      mu_try([&](fz_context *c) {
        action = pdf_resolve_indirect(c, pdf_dict_get(c, as_obj(bookmark), PDF_NAME(A)));
        if (!pdf_is_dict(c, action)) action = nullptr;
      });
    return reinterpret_cast<FPDF_ACTION>(action);
  });
}

FPDF_EXPORT unsigned long FPDFAction_GetType(FPDF_ACTION action) {
  return guarded(0ul, [&] {
    unsigned long t = PDFACTION_UNSUPPORTED;
    if (action) mu_try([&](fz_context *c) { t = action_type(c, as_obj(action)); });
    return t;
  });
}

FPDF_EXPORT FPDF_DEST FPDFAction_GetDest(FPDF_DOCUMENT document, FPDF_ACTION action) {
  return guarded(FPDF_DEST(nullptr), [&] {
    pdf_obj *dest = nullptr;
    if (document && action)
      mu_try([&](fz_context *c) { dest = action_dest(c, document, as_obj(action)); });
    return reinterpret_cast<FPDF_DEST>(dest);
  });
}

FPDF_EXPORT unsigned long FPDFAction_GetFilePath(FPDF_ACTION action, void *buffer,
                                                 unsigned long buflen) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!action) return 0;
    bool ok = false;
    std::string path;
    mu_try([&](fz_context *c) {
      pdf_obj *a = as_obj(action);
      const unsigned long t = action_type(c, a);
      if (t != PDFACTION_REMOTEGOTO && t != PDFACTION_LAUNCH && t != PDFACTION_EMBEDDEDGOTO) return;
      ok = true;
      pdf_obj *filespec = pdf_dict_get(c, a, PDF_NAME(F));
      if (!filespec && t == PDFACTION_LAUNCH)
        filespec = pdf_dict_gets(c, pdf_dict_gets(c, a, "Win"), "F");
      path = file_specification_path(c, filespec);
    });
    return ok ? put_bytes(path, buffer, buflen) : 0;
  });
}

FPDF_EXPORT unsigned long FPDFAction_GetURIPath(FPDF_DOCUMENT document, FPDF_ACTION action,
                                                void *buffer, unsigned long buflen) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!document || !action) return 0;
    bool ok = false;
    std::string uri;
    mu_try([&](fz_context *c) {
      pdf_obj *a = as_obj(action);
      if (action_type(c, a) != PDFACTION_URI) return;
      ok = true;
      uri = bytes_of(c, pdf_dict_get(c, a, PDF_NAME(URI)));
      pdf_obj *base =
          pdf_dict_gets(c, pdf_dict_get(c, catalog(c, document), PDF_NAME(URI)), "Base");
      if (pdf_is_string(c, base) && (uri.find(':') == std::string::npos || uri[0] == ':'))
        uri = bytes_of(c, base) + uri;
    });
    return ok ? put_bytes(uri, buffer, buflen) : 0;
  });
}

FPDF_EXPORT int FPDFDest_GetDestPageIndex(FPDF_DOCUMENT document, FPDF_DEST dest) {
  return guarded(-1, [&] {
    int index = -1;
    if (document && dest)
      mu_try([&](fz_context *c) {
        // The page lookup needs the reference, not the object it names.
        pdf_obj *first = pdf_array_get(c, as_obj(dest), 0);
        if (pdf_is_number(c, first))
          index = pdf_to_int(c, first);
        else if (pdf_is_dict(c, first))
          index = pdf_lookup_page_number(c, document->doc, first);
      });
    return index;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFDest_GetLocationInPage(FPDF_DEST dest, FPDF_BOOL *hasXVal,
                                                 FPDF_BOOL *hasYVal, FPDF_BOOL *hasZoomVal,
                                                 FS_FLOAT *x, FS_FLOAT *y, FS_FLOAT *zoom) {
  return guarded(0, [&] {
    if (!dest || !hasXVal || !hasYVal || !hasZoomVal || !x || !y || !zoom) return 0;
    *hasXVal = *hasYVal = *hasZoomVal = 0;
    FPDF_BOOL ok = 0;
    mu_try([&](fz_context *c) {
      pdf_obj *d = as_obj(dest);
      if (pdf_array_len(c, d) < 5 || !pdf_name_eq(c, pdf_array_get(c, d, 1), PDF_NAME(XYZ))) return;
      pdf_obj *vx = pdf_array_get(c, d, 2), *vy = pdf_array_get(c, d, 3),
              *vz = pdf_array_get(c, d, 4);
      *hasXVal = pdf_is_number(c, vx);
      *hasYVal = pdf_is_number(c, vy);
      *hasZoomVal = pdf_is_number(c, vz) && pdf_to_real(c, vz) != 0;
      if (*hasXVal) *x = pdf_to_real(c, vx);
      if (*hasYVal) *y = pdf_to_real(c, vy);
      if (*hasZoomVal) *zoom = pdf_to_real(c, vz);
      ok = 1;
    });
    return ok;
  });
}

FPDF_EXPORT FPDF_DWORD FPDF_CountNamedDests(FPDF_DOCUMENT document) {
  return guarded(FPDF_DWORD(0), [&] {
    if (!document) return FPDF_DWORD(0);
    mu_try([&](fz_context *c) { load_named(c, document); });
    return FPDF_DWORD(document->named.size());
  });
}

FPDF_EXPORT FPDF_DEST FPDF_GetNamedDestByName(FPDF_DOCUMENT document, FPDF_BYTESTRING name) {
  return guarded(FPDF_DEST(nullptr), [&] {
    pdf_obj *dest = nullptr;
    if (document && name && *name)
      mu_try([&](fz_context *c) { dest = lookup_named(c, document, name); });
    return reinterpret_cast<FPDF_DEST>(dest);
  });
}

FPDF_EXPORT FPDF_DEST FPDF_GetNamedDest(FPDF_DOCUMENT document, int index, void *buffer,
                                        long *buflen) {
  return guarded(FPDF_DEST(nullptr), [&]() -> FPDF_DEST {
    if (!buflen) return nullptr;
    if (!buffer) *buflen = 0;
    if (!document || index < 0) return nullptr;
    pdf_obj *dest = nullptr;
    std::u16string name;
    mu_try([&](fz_context *c) {
      load_named(c, document);
      if (size_t(index) >= document->named.size()) return;
      const auto &[key, value] = document->named[size_t(index)];
      dest = dest_array(c, value);
      if (dest)
        name =
            utf8_to_utf16(pdf_is_name(c, key) ? std::string(pdf_to_name(c, key)) : text_of(c, key));
    });
    if (!dest) return nullptr;
    const long len = long(name.size() + 1) * 2;
    if (!buffer) {
      *buflen = len;
    } else if (len <= *buflen) {
      put_utf16(name, buffer, (unsigned long)len);
      *buflen = len;
    } else {
      *buflen = -1;
    }
    return reinterpret_cast<FPDF_DEST>(dest);
  });
}

FPDF_EXPORT unsigned long FPDF_GetPageLabel(FPDF_DOCUMENT document, int page_index, void *buffer,
                                            unsigned long buflen) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!document || page_index < 0) return 0;
    bool has = false;
    std::string label;
    mu_try([&](fz_context *c) {
      if (page_index >= pdf_count_pages(c, document->doc)) return;
      pdf_obj *labels = pdf_dict_gets(c, catalog(c, document), "PageLabels");
      if (!pdf_is_dict(c, labels)) return;
      has = true;
      int key = -1;
      pdf_obj *entry = nullptr;
      document->visited.clear();
      find_label(c, labels, page_index, 0, document->visited, key, entry);
      entry = pdf_resolve_indirect(c, entry);
      if (!pdf_is_dict(c, entry)) {
        label = std::to_string(page_index + 1);
        return;
      }
      label = text_of(c, pdf_dict_get(c, entry, PDF_NAME(P)));
      pdf_obj *st = pdf_dict_gets(c, entry, "St");
      const int n = page_index - key + (pdf_is_number(c, st) ? pdf_to_int(c, st) : 1);
      const char *style = pdf_to_name(c, pdf_dict_get(c, entry, PDF_NAME(S)));
      if (!std::strcmp(style, "D"))
        label += std::to_string(n);
      else if (!std::strcmp(style, "R") || !std::strcmp(style, "r"))
        label += roman(n, style[0] == 'R');
      else if (!std::strcmp(style, "A") || !std::strcmp(style, "a"))
        label += letters(n, style[0] == 'A');
    });
    return has ? put_utf16(utf8_to_utf16(label), buffer, buflen) : 0;
  });
}

}  // extern "C"
