// Saving through the caller's FPDF_FILEWRITE.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "handles.h"

using namespace pdfc;

namespace {

struct Sink {
  FPDF_FILEWRITE *fw;
  int64_t written;
};

bool write_block(FPDF_FILEWRITE *fw, const void *data, size_t n) {
  try {
    return fw->WriteBlock(fw, data, (unsigned long)n) != 0;
  } catch (...) {
    return false;
  }
}

void sink_write(fz_context *c, void *state, const void *data, size_t n) {
  Sink *s = static_cast<Sink *>(state);
  if (n && !write_block(s->fw, data, n))
    fz_throw(c, FZ_ERROR_GENERIC, "the writer refused the data");
  s->written += int64_t(n);
}

int64_t sink_tell(fz_context *, void *state) { return static_cast<Sink *>(state)->written; }

// A full rewrite straight into the caller's writer.
bool write_full(fz_context *c, pdf_document *doc, FPDF_FILEWRITE *fw,
                const pdf_write_options *opts) {
  Sink sink{fw, 0};
  fz_output *out = nullptr;
  bool ok = true;
  fz_var(out);
  fz_try(c) {
    out = fz_new_output(c, 8192, &sink, sink_write, nullptr, nullptr);
    out->tell = sink_tell;
    pdf_write_document(c, doc, out, opts);
    fz_close_output(c, out);
  }
  fz_always(c) { fz_drop_output(c, out); }
  fz_catch(c) { ok = false; }
  return ok;
}

// MuPDF reads an incremental update back from its output, which only works
// for files: write to a temporary file, then pass its bytes on.
bool write_incremental(fz_context *c, pdf_document *doc, FPDF_FILEWRITE *fw,
                       const pdf_write_options *opts) {
  const char *dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/pdfium-save-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return false;
  close(fd);
  fz_output *out = nullptr;
  bool ok = true;
  fz_var(out);
  fz_try(c) {
    // Appending writes into the private file mkstemp made; otherwise MuPDF removes it and
    // creates a new one with the process umask's permissions.
    out = fz_new_output_with_path(c, path.c_str(), 1);
    pdf_write_document(c, doc, out, opts);
    fz_close_output(c, out);
  }
  fz_always(c) { fz_drop_output(c, out); }
  fz_catch(c) { ok = false; }
  if (ok) {
    FILE *f = std::fopen(path.c_str(), "rb");
    ok = f != nullptr;
    char buf[65536];
    size_t n;
    while (ok && (n = std::fread(buf, 1, sizeof buf, f)) > 0) ok = write_block(fw, buf, n);
    if (f && std::ferror(f)) ok = false;
    if (f) std::fclose(f);
  }
  unlink(path.c_str());
  return ok;
}

FPDF_BOOL save(FPDF_DOCUMENT document, FPDF_FILEWRITE *fw, FPDF_DWORD flags, int version) {
  return guarded(0, [&]() -> FPDF_BOOL {
    if (!document || !fw || !fw->WriteBlock) return 0;
    fz_context *c = ctx();
    pdf_document *doc = document->doc;
    pdf_write_options opts = pdf_default_write_options;
    opts.do_encrypt = flags == FPDF_REMOVE_SECURITY ? PDF_ENCRYPT_NONE : PDF_ENCRYPT_KEEP;
    const int old_version = doc->version;
    if (version >= 10 && version <= 17) doc->version = version;
    bool ok;
    int incremental = 0;
    if (flags == FPDF_INCREMENTAL)
      mu_try([&](fz_context *cc) { incremental = pdf_can_be_saved_incrementally(cc, doc); });
    if (incremental) {
      opts.do_incremental = 1;
      ok = write_incremental(c, doc, fw, &opts);
    } else {
      // Repaired files cannot take an incremental update: rewrite them.
      ok = write_full(c, doc, fw, &opts);
    }
    doc->version = old_version;
    return ok ? 1 : 0;
  });
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_BOOL FPDF_SaveAsCopy(FPDF_DOCUMENT document, FPDF_FILEWRITE *pFileWrite,
                                      FPDF_DWORD flags) {
  return save(document, pFileWrite, flags, 0);
}

FPDF_EXPORT FPDF_BOOL FPDF_SaveWithVersion(FPDF_DOCUMENT document, FPDF_FILEWRITE *pFileWrite,
                                           FPDF_DWORD flags, int fileVersion) {
  return save(document, pFileWrite, flags, fileVersion);
}

}  // extern "C"
