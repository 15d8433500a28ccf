#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "pdfium_library.h"

namespace {

struct TempFile {
  std::string path;
  explicit TempFile(const std::vector<unsigned char> &bytes) {
    char name[] = "/tmp/pdfium-test-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path = name;
    write(bytes);
  }
  ~TempFile() { std::remove(path.c_str()); }
  void write(const std::vector<unsigned char> &bytes) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
  }
};

// Everything the viewer does with a page; must not crash whatever the file.
void use_every_page(FPDF_DOCUMENT doc) {
  Pdfium &lib = pdfium();
  const int n = lib.FPDF_GetPageCount(doc);
  for (int i = 0; i < n; ++i) {
    Page page(lib.FPDF_LoadPage(doc, i));
    if (!page) continue;
    std::vector<unsigned char> mem(200 * 200 * 4, 0xFF);
    Bitmap bmp(lib.FPDFBitmap_CreateEx(200, 200, FPDFBitmap_BGRx, mem.data(), 800));
    for (int round = 0; round < 2; ++round)
      lib.FPDF_RenderPageBitmap(bmp.get(), page.get(), 0, 0, 200, 280, 0, FPDF_ANNOT);
    TextPage text(lib.FPDFText_LoadPage(page.get()));
    if (text) lib.FPDFText_CountRects(text.get(), 0, -1);
    int pos = 0;
    FPDF_LINK link;
    while (lib.FPDFLink_Enumerate(page.get(), &pos, &link)) lib.FPDFLink_GetDest(doc, link);
  }
  for (FPDF_BOOKMARK b = lib.FPDFBookmark_GetFirstChild(doc, nullptr); b;
       b = lib.FPDFBookmark_GetNextSibling(doc, b))
    lib.FPDFBookmark_GetDest(doc, b);
}

}  // namespace

TEST(Robustness, TruncatedFilesAreRepairedOrRefused) {
  const std::vector<unsigned char> whole = read_file(fixture("text.pdf"));
  for (double part : {0.3, 0.6, 0.9, 0.99}) {
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(whole.size() * part));
    Doc doc(pdfium().FPDF_LoadMemDocument64(cut.data(), cut.size(), nullptr));
    if (doc) {
      use_every_page(doc.get());
    } else {
      EXPECT_EQ(pdfium().FPDF_GetLastError(), unsigned(FPDF_ERR_FORMAT)) << part;
    }
  }
}

TEST(Robustness, FileRewrittenWhileOpen) {
  // TeX rewrites its output in place while the viewer has it open.
  const std::vector<unsigned char> whole = read_file(fixture("text.pdf"));
  TempFile file(whole);
  Doc doc(pdfium().FPDF_LoadDocument(file.path.c_str(), nullptr));
  ASSERT_TRUE(doc);
  file.write(std::vector<unsigned char>(whole.begin(), whole.begin() + long(whole.size() / 2)));
  use_every_page(doc.get());
  std::vector<unsigned char> garbage(whole.size(), 'x');
  file.write(garbage);
  use_every_page(doc.get());
  file.write({});
  use_every_page(doc.get());
}

TEST(Robustness, SecondThreadReadingBookmarksWhileRendering) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  ASSERT_TRUE(doc);
  auto bookmark_pages = [&] {
    std::vector<int> pages;
    std::function<void(FPDF_BOOKMARK)> walk = [&](FPDF_BOOKMARK parent) {
      for (FPDF_BOOKMARK b = lib.FPDFBookmark_GetFirstChild(doc.get(), parent); b;
           b = lib.FPDFBookmark_GetNextSibling(doc.get(), b)) {
        pages.push_back(
            lib.FPDFDest_GetDestPageIndex(doc.get(), lib.FPDFBookmark_GetDest(doc.get(), b)));
        walk(b);
      }
    };
    walk(nullptr);
    return pages;
  };
  auto render = [&] {
    Page page(lib.FPDF_LoadPage(doc.get(), 2));
    std::vector<unsigned char> mem(420 * 595 * 4, 0xFF);
    Bitmap bmp(lib.FPDFBitmap_CreateEx(420, 595, FPDFBitmap_BGRx, mem.data(), 420 * 4));
    lib.FPDF_RenderPageBitmap(bmp.get(), page.get(), 0, 0, 420, 595, 0, FPDF_ANNOT);
    TextPage text(lib.FPDFText_LoadPage(page.get()));
    return std::make_pair(mem, lib.FPDFText_CountChars(text.get()));
  };
  const std::vector<int> expected_pages = bookmark_pages();
  const auto expected_render = render();

  std::atomic<bool> stop{false};
  std::atomic<int> bad{0}, rounds{0};
  std::thread reader([&] {
    while (!stop) {
      if (bookmark_pages() != expected_pages) ++bad;
      ++rounds;
    }
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
  int renders = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (render() != expected_render) ++bad;
    ++renders;
  }
  stop = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  EXPECT_GT(rounds, 0);
  EXPECT_GT(renders, 0);
}
