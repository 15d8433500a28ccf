#include "core.h"

#include <pthread.h>

#include <cstring>

#include "cache.h"

namespace pdfc {
namespace {

fz_context *g_ctx = nullptr;
thread_local unsigned long t_last_error = FPDF_ERR_SUCCESS;

// MuPDF's own locks: the global API lock already serialises every call, but
// a context created with real locks stays valid for cloned contexts.
pthread_mutex_t g_mu_locks[FZ_LOCK_MAX];

void lock_cb(void *, int lock) { pthread_mutex_lock(&g_mu_locks[lock]); }
void unlock_cb(void *, int lock) { pthread_mutex_unlock(&g_mu_locks[lock]); }

// MuPDF prints every warning and error to stderr unless told otherwise; a
// library must stay quiet.
void quiet(void *, const char *) {}

}  // namespace

std::recursive_mutex &api_mutex() {
  static std::recursive_mutex m;
  return m;
}

fz_context *ctx() { return g_ctx; }

void set_last_error(unsigned long code) { t_last_error = code; }
unsigned long last_error() { return t_last_error; }

static void init_library() {
  std::lock_guard<std::recursive_mutex> lock(api_mutex());
  if (g_ctx) return;
  for (auto &m : g_mu_locks) pthread_mutex_init(&m, nullptr);
  static fz_locks_context locks = {nullptr, lock_cb, unlock_cb};
  fz_context *c = fz_new_context(nullptr, &locks, FZ_STORE_DEFAULT);
  if (!c) return;
  fz_set_error_callback(c, quiet, nullptr);
  fz_set_warning_callback(c, quiet, nullptr);
  fz_set_aa_level(c, 8);
  g_ctx = c;
}

static void destroy_library() {
  std::lock_guard<std::recursive_mutex> lock(api_mutex());
  if (!g_ctx) return;
  PageCache::instance().clear();
  fz_drop_context(g_ctx);
  g_ctx = nullptr;
  for (auto &m : g_mu_locks) pthread_mutex_destroy(&m);
}

// ---- Strings -------------------------------------------------------------

std::u16string utf8_to_utf16(const char *s) {
  std::u16string out;
  if (!s) return out;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(s);
  while (*p) {
    char32_t c;
    int n;
    if (*p < 0x80) {
      c = *p, n = 1;
    } else if ((*p & 0xE0) == 0xC0) {
      c = *p & 0x1F, n = 2;
    } else if ((*p & 0xF0) == 0xE0) {
      c = *p & 0x0F, n = 3;
    } else if ((*p & 0xF8) == 0xF0) {
      c = *p & 0x07, n = 4;
    } else {
      c = 0xFFFD, n = 1;
      ++p;
      out.push_back(char16_t(c));
      continue;
    }
    int i = 1;
    for (; i < n; ++i) {
      if ((p[i] & 0xC0) != 0x80) break;
      c = (c << 6) | (p[i] & 0x3F);
    }
    if (i < n) {
      out.push_back(u'\uFFFD');
      p += i;
      continue;
    }
    p += n;
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(char16_t(0xD800 + (c >> 10)));
      out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(char16_t(c));
    }
  }
  return out;
}

std::u16string utf8_to_utf16(const std::string &s) { return utf8_to_utf16(s.c_str()); }

std::u32string utf16_to_utf32(const std::u16string &s) {
  std::u32string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    out.push_back(c);
  }
  return out;
}

std::string utf16_to_utf8(const std::u16string &s) {
  std::string out;
  for (char32_t c : utf16_to_utf32(s)) {
    if (c < 0x80) {
      out.push_back(char(c));
    } else if (c < 0x800) {
      out.push_back(char(0xC0 | (c >> 6)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(char(0xE0 | (c >> 12)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (c >> 18)));
      out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string widestring(FPDF_WIDESTRING s) {
  std::u16string out;
  if (s)
    for (; *s; ++s) out.push_back(char16_t(*s));
  return out;
}

char32_t fold_case(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (odd_upper) return (c & 1) ? c + 1 : c;
    return (c & 1) ? c : c + 1;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

unsigned long put_utf16(const std::u16string &s, void *buffer, unsigned long buflen) {
  unsigned long len = (s.size() + 1) * 2;
  if (buffer && buflen >= len) {
    unsigned char *b = static_cast<unsigned char *>(buffer);
    for (size_t i = 0; i < s.size(); ++i) {
      b[2 * i] = s[i] & 0xFF;
      b[2 * i + 1] = s[i] >> 8;
    }
    b[len - 2] = b[len - 1] = 0;
  }
  return len;
}

unsigned long put_bytes(const std::string &s, void *buffer, unsigned long buflen) {
  unsigned long len = s.size() + 1;
  if (buffer && buflen >= len) std::memcpy(buffer, s.c_str(), len);
  return len;
}

std::string text_of(fz_context *c, pdf_obj *obj) {
  const char *t = pdf_to_text_string(c, obj);
  return t ? std::string(t) : std::string();
}

}  // namespace pdfc

extern "C" {

FPDF_EXPORT void FPDF_InitLibraryWithConfig(const FPDF_LIBRARY_CONFIG *) {
  // No configuration field changes anything here: fonts come from MuPDF's
  // built-in set, there is no JavaScript engine and one renderer.
  try {
    pdfc::init_library();
  } catch (...) {
  }
}

FPDF_EXPORT void FPDF_InitLibrary(void) { FPDF_InitLibraryWithConfig(nullptr); }

FPDF_EXPORT void FPDF_DestroyLibrary(void) {
  try {
    pdfc::destroy_library();
  } catch (...) {
  }
}

FPDF_EXPORT unsigned long FPDF_GetLastError(void) { return pdfc::last_error(); }

}  // extern "C"
