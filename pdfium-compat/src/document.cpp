// Loading and closing documents, load errors, security, version, metadata.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "cache.h"
#include "handles.h"

using namespace pdfc;

namespace {

std::atomic<uint64_t> g_next_serial{1};

// The Latin-1 form of a UTF-8 password whose characters all fit, else "".
std::string latin1_of(const char *utf8) {
  std::string out;
  for (char32_t c : utf16_to_utf32(utf8_to_utf16(utf8))) {
    if (c > 0xFF) return std::string();
    out.push_back(char(c));
  }
  return out;
}

// MuPDF's error while opening, as a load error: an unknown security
// handler is a security error, running out of memory an unknown one, and
// anything else means the file is not a readable PDF.
unsigned long load_error(fz_context *c) {
  if (fz_caught(c) == FZ_ERROR_MEMORY) return FPDF_ERR_UNKNOWN;
  const char *msg = fz_caught_message(c);
  if (msg && (std::strstr(msg, "encryption") || std::strstr(msg, "crypt")))
    return FPDF_ERR_SECURITY;
  return FPDF_ERR_FORMAT;
}

// The page tree's count of pages, unless it claims more pages than the file
// has objects (each page is an object of its own): then the number of pages
// the tree can be walked to, so that a forged count of two billion pages
// never reaches the caller, which lays out every page it is told of.
int page_count(fz_context *c, pdf_document *doc) {
  const int claimed = pdf_count_pages(c, doc);
  const int objects = pdf_xref_len(c, doc);
  if (claimed <= objects) return claimed;
  const auto found = [&](int index) {
    return mu_try([&](fz_context *cc) { pdf_lookup_page_obj(cc, doc, index); });
  };
  // Pages below lo are found; no page from hi on can be.
  int lo = 0, hi = objects;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (found(mid))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

// Opens `stm`, taking ownership of it. Null with *error set on failure.
pdf_document *open_pdf(fz_context *c, fz_stream *stm, unsigned long *error) {
  pdf_document *doc = nullptr;
  fz_var(doc);
  fz_try(c) { doc = pdf_open_document_with_stream(c, stm); }
  fz_always(c) { fz_drop_stream(c, stm); }
  fz_catch(c) { *error = load_error(c); }
  return doc;
}

// The pdf_authenticate_password result (0: refused), and whether the
// document has a catalog and a readable page tree.
void authenticate(fz_context *c, pdf_document *doc, const char *pw, const char *alternative,
                  int *auth, bool *valid, unsigned long *error) {
  fz_try(c) {
    bool needs = pdf_needs_password(c, doc);
    if (needs || *pw) {
      *auth = pdf_authenticate_password(c, doc, pw);
      if (!*auth && alternative) *auth = pdf_authenticate_password(c, doc, alternative);
      // A password that does not unlock a document needing none is ignored.
      if (!needs && !*auth) *auth = 1;
    } else {
      *auth = 1;
    }
    if (*auth) {
      pdf_obj *root = pdf_dict_get(c, pdf_trailer(c, doc), PDF_NAME(Root));
      *valid = pdf_is_dict(c, root) && pdf_count_pages(c, doc) >= 0;
    }
  }
  fz_catch(c) {
    *valid = false;
    *error = load_error(c);
  }
}

FPDF_DOCUMENT open_stream(fz_context *c, fz_stream *stm, const char *password) {
  unsigned long error = FPDF_ERR_SUCCESS;
  pdf_document *doc = open_pdf(c, stm, &error);
  if (!doc) {
    set_last_error(error ? error : FPDF_ERR_FORMAT);
    return nullptr;
  }
  const char *pw = password ? password : "";
  const std::string latin1 = latin1_of(pw);
  int auth = 0;
  bool valid = false;
  authenticate(c, doc, pw, (!latin1.empty() && latin1 != pw) ? latin1.c_str() : nullptr, &auth,
               &valid, &error);
  if (!auth || !valid) {
    pdf_drop_document(c, doc);
    set_last_error(!auth ? FPDF_ERR_PASSWORD : (error ? error : FPDF_ERR_FORMAT));
    return nullptr;
  }

  auto *d = new fpdf_document_t__;
  d->doc = doc;
  d->auth = auth;
  d->serial = g_next_serial++;
  set_last_error(FPDF_ERR_SUCCESS);
  return d;
}

FPDF_DOCUMENT load_memory(const void *data, size_t size, const char *password) {
  fz_context *c = ctx();
  if (!data || size == 0) {
    set_last_error(FPDF_ERR_FORMAT);
    return nullptr;
  }
  fz_stream *stm = nullptr;
  fz_try(c) { stm = fz_open_memory(c, static_cast<const unsigned char *>(data), size); }
  fz_catch(c) {
    set_last_error(FPDF_ERR_UNKNOWN);
    return nullptr;
  }
  return open_stream(c, stm, password);
}

pdf_obj *encrypt_dict(fz_context *c, pdf_document *doc) {
  return pdf_dict_get(c, pdf_trailer(c, doc), PDF_NAME(Encrypt));
}

unsigned long permissions(FPDF_DOCUMENT d, bool with_owner) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!d) return 0;
    unsigned long result = 0xFFFFFFFFul;
    mu_try([&](fz_context *c) {
      pdf_obj *enc = encrypt_dict(c, d->doc);
      if (!pdf_is_dict(c, enc)) return;
      uint32_t p = uint32_t(pdf_to_int64(c, pdf_dict_get(c, enc, PDF_NAME(P))));
      if (with_owner && (d->auth & 4)) p = 0xFFFFFFFFu;
      if (pdf_name_eq(c, pdf_dict_get(c, enc, PDF_NAME(Filter)), PDF_NAME(Standard)))
        p = (p & 0xFFFFFFFCu) | 0xFFFFF0C0u;
      result = p;
    });
    return result;
  });
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_DOCUMENT FPDF_LoadDocument(FPDF_STRING file_path, FPDF_BYTESTRING password) {
  return guarded(FPDF_DOCUMENT(nullptr), [&]() -> FPDF_DOCUMENT {
    struct stat st;
    if (!file_path || stat(file_path, &st) != 0 || !S_ISREG(st.st_mode) ||
        access(file_path, R_OK) != 0) {
      set_last_error(FPDF_ERR_FILE);
      return nullptr;
    }
    fz_context *c = ctx();
    fz_stream *stm = nullptr;
    fz_try(c) { stm = fz_open_file(c, file_path); }
    fz_catch(c) {
      set_last_error(FPDF_ERR_FILE);
      return nullptr;
    }
    return open_stream(c, stm, password);
  });
}

FPDF_EXPORT FPDF_DOCUMENT FPDF_LoadMemDocument(const void *data_buf, int size,
                                               FPDF_BYTESTRING password) {
  return guarded(FPDF_DOCUMENT(nullptr), [&]() -> FPDF_DOCUMENT {
    if (size < 0) {
      set_last_error(FPDF_ERR_FORMAT);
      return nullptr;
    }
    return load_memory(data_buf, size_t(size), password);
  });
}

FPDF_EXPORT FPDF_DOCUMENT FPDF_LoadMemDocument64(const void *data_buf, size_t size,
                                                 FPDF_BYTESTRING password) {
  return guarded(FPDF_DOCUMENT(nullptr),
                 [&]() -> FPDF_DOCUMENT { return load_memory(data_buf, size, password); });
}

FPDF_EXPORT void FPDF_CloseDocument(FPDF_DOCUMENT document) {
  guarded_void([&] {
    if (!document) return;
    PageCache::instance().drop_document(document->serial);
    for (auto &[name, value] : document->named) {
      pdf_drop_obj(ctx(), name);
      pdf_drop_obj(ctx(), value);
    }
    pdf_drop_document(ctx(), document->doc);
    delete document;
  });
}

FPDF_EXPORT int FPDF_GetPageCount(FPDF_DOCUMENT document) {
  return guarded(0, [&] {
    int n = 0;
    if (document) mu_try([&](fz_context *c) { n = page_count(c, document->doc); });
    return n;
  });
}

FPDF_EXPORT int FPDF_GetSecurityHandlerRevision(FPDF_DOCUMENT document) {
  return guarded(-1, [&] {
    int r = -1;
    if (document)
      mu_try([&](fz_context *c) {
        pdf_obj *enc = encrypt_dict(c, document->doc);
        if (pdf_is_dict(c, enc)) r = pdf_to_int(c, pdf_dict_get(c, enc, PDF_NAME(R)));
      });
    return r;
  });
}

FPDF_EXPORT unsigned long FPDF_GetDocPermissions(FPDF_DOCUMENT document) {
  return permissions(document, true);
}

FPDF_EXPORT unsigned long FPDF_GetDocUserPermissions(FPDF_DOCUMENT document) {
  return permissions(document, false);
}

FPDF_EXPORT FPDF_BOOL FPDF_GetFileVersion(FPDF_DOCUMENT doc, int *fileVersion) {
  return guarded(0, [&] {
    if (fileVersion) *fileVersion = 0;
    if (!doc || !fileVersion) return 0;
    int version = doc->doc->version;
    mu_try([&](fz_context *c) {
      pdf_obj *root = pdf_dict_get(c, pdf_trailer(c, doc->doc), PDF_NAME(Root));
      const char *v = pdf_to_name(c, pdf_dict_get(c, root, PDF_NAME(Version)));
      if (std::strlen(v) == 3 && v[0] >= '0' && v[0] <= '9' && v[1] == '.' && v[2] >= '0' &&
          v[2] <= '9')
        version = (v[0] - '0') * 10 + (v[2] - '0');
    });
    *fileVersion = version;
    return 1;
  });
}

FPDF_EXPORT unsigned long FPDF_GetMetaText(FPDF_DOCUMENT document, FPDF_BYTESTRING tag,
                                           void *buffer, unsigned long buflen) {
  return guarded(0ul, [&]() -> unsigned long {
    if (!document || !tag) return 0;
    bool has_info = false;
    std::string value;
    mu_try([&](fz_context *c) {
      pdf_obj *info = pdf_dict_get(c, pdf_trailer(c, document->doc), PDF_NAME(Info));
      if (!pdf_is_dict(c, info)) return;
      has_info = true;
      pdf_obj *v = pdf_dict_gets(c, info, tag);
      if (pdf_is_string(c, v))
        value = text_of(c, v);
      else if (pdf_is_name(c, v))
        value = pdf_to_name(c, v);
    });
    if (!has_info) return 0;
    return put_utf16(utf8_to_utf16(value), buffer, buflen);
  });
}

FPDF_EXPORT FPDF_BOOL FPDFCatalog_IsTagged(FPDF_DOCUMENT document) {
  return guarded(0, [&] {
    int tagged = 0;
    if (document)
      mu_try([&](fz_context *c) {
        pdf_obj *root = pdf_dict_get(c, pdf_trailer(c, document->doc), PDF_NAME(Root));
        pdf_obj *marked = pdf_dict_gets(c, pdf_dict_gets(c, root, "MarkInfo"), "Marked");
        if (pdf_is_bool(c, marked))
          tagged = pdf_to_bool(c, marked);
        else if (pdf_is_number(c, marked))
          tagged = pdf_to_real(c, marked) != 0;
      });
    return tagged;
  });
}

}  // extern "C"
