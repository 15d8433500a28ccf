#include "pdfium_library.h"

#include <dlfcn.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

Pdfium::Pdfium(const char *path) {
  handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return;
#define PDFIUM_RESOLVE(name)                                     \
  name = reinterpret_cast<decltype(name)>(dlsym(handle, #name)); \
  if (name)                                                      \
    ++resolved;                                                  \
  else if (first_missing.empty())                                \
    first_missing = #name;
  PDFIUM_FUNCTIONS(PDFIUM_RESOLVE)
#undef PDFIUM_RESOLVE
}

Pdfium::~Pdfium() {
  if (handle) dlclose(handle);
}

Pdfium &pdfium() {
  static Pdfium *lib = [] {
    auto *p = new Pdfium(PDFIUM_LIBRARY);
    if (!p->handle || !p->first_missing.empty())
      throw std::runtime_error("cannot bind " PDFIUM_LIBRARY ": " + p->first_missing);
    FPDF_LIBRARY_CONFIG config{};
    config.version = 2;
    p->FPDF_InitLibraryWithConfig(&config);
    return p;
  }();
  return *lib;
}

std::string fixture(const std::string &name) { return std::string(PDFIUM_FIXTURES) + "/" + name; }

std::vector<unsigned char> read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

Doc open_fixture(const std::string &name, const char *password) {
  return Doc(pdfium().FPDF_LoadDocument(fixture(name).c_str(), password));
}

Page load_page(const Doc &doc, int index) { return Page(pdfium().FPDF_LoadPage(doc.get(), index)); }

TextPage load_text(const Page &page) { return TextPage(pdfium().FPDFText_LoadPage(page.get())); }

std::u16string u16(const char *utf8) {
  std::u16string out;
  const auto *p = reinterpret_cast<const unsigned char *>(utf8);
  while (*p) {
    char32_t c = *p;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
    ++p;
    for (; extra > 0 && *p; --extra, ++p) c = (c << 6) | (*p & 0x3F);
    if (c >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(c));
    }
  }
  return out;
}
