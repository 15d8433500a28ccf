// Global state shared by every export: the MuPDF context, the library lock,
// the last load error, and the helpers that keep MuPDF's longjmp errors and
// C++ exceptions from crossing the C interface.
#pragma once

#include "fpdf_compat.h"

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

#include <mutex>
#include <string>

namespace pdfc {

std::recursive_mutex &api_mutex();

// The library's context; null before FPDF_InitLibrary and after destroy.
fz_context *ctx();

void set_last_error(unsigned long code);
unsigned long last_error();

// Runs f(ctx) inside fz_try. f must not keep objects with destructors alive
// across MuPDF calls: an error unwinds by longjmp. Returns false when MuPDF
// threw (or f threw a C++ exception).
template <class F>
bool mu_try(F &&f) {
  fz_context *c = ctx();
  if (!c) return false;
  bool cxx_failed = false;
  bool mu_failed = false;
  fz_try(c) {
    try {
      f(c);
    } catch (...) {
      cxx_failed = true;
    }
  }
  fz_catch(c) { mu_failed = true; }
  return !mu_failed && !cxx_failed;
}

// The boundary of every export that needs MuPDF: takes the lock, refuses to
// run before initialisation, and turns any escaping C++ exception into the
// function's failure value.
template <class R, class F>
R guarded(R fail, F &&f) {
  try {
    std::lock_guard<std::recursive_mutex> lock(api_mutex());
    if (!ctx()) return fail;
    return f();
  } catch (...) {
    return fail;
  }
}

template <class F>
void guarded_void(F &&f) {
  try {
    std::lock_guard<std::recursive_mutex> lock(api_mutex());
    if (!ctx()) return;
    f();
  } catch (...) {
  }
}

// ---- Strings -----------------------------------------------------------

std::u16string utf8_to_utf16(const char *s);
std::u16string utf8_to_utf16(const std::string &s);
std::string utf16_to_utf8(const std::u16string &s);
std::u16string widestring(FPDF_WIDESTRING s);
// Simple Unicode case folding for comparisons (Latin, Greek, Cyrillic).
char32_t fold_case(char32_t c);
std::u32string utf16_to_utf32(const std::u16string &s);

// Length in bytes of s as UTF-16LE with its terminator; copies only when the
// whole value fits.
unsigned long put_utf16(const std::u16string &s, void *buffer, unsigned long buflen);
// Bytes plus a NUL, same copy rule.
unsigned long put_bytes(const std::string &s, void *buffer, unsigned long buflen);

// A PDF text string (UTF-16BE/UTF-8 with BOM or PDFDocEncoding) as UTF-8.
std::string text_of(fz_context *c, pdf_obj *obj);

}  // namespace pdfc
