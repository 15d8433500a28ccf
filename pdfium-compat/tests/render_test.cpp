#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "pdfium_library.h"

namespace {

struct Rgb {
  int r, g, b;
};

// A caller-owned BGRx/BGR/BGRA image, as the viewer passes a QImage.
struct Image {
  int w, h, format, bpp, stride;
  std::vector<unsigned char> mem;
  Bitmap bitmap;

  Image(int w_, int h_, int format_, unsigned char fill, int pad = 0)
      : w(w_),
        h(h_),
        format(format_),
        bpp(format_ == FPDFBitmap_BGR ? 3 : 4),
        stride((w_ * bpp + 3) / 4 * 4 + pad),
        mem(size_t(stride) * h_, fill),
        bitmap(pdfium().FPDFBitmap_CreateEx(w_, h_, format_, mem.data(), stride)) {}
  const unsigned char *at(int x, int y) const { return &mem[size_t(y) * stride + size_t(x) * bpp]; }
  Rgb rgb(int x, int y) const { return {at(x, y)[2], at(x, y)[1], at(x, y)[0]}; }
};

bool is_red(Rgb c) { return c.r > 0xC0 && c.g < 0x40 && c.b < 0x40; }
bool is_dark(Rgb c) { return c.r < 0x40 && c.g < 0x40 && c.b < 0x40; }

// A page rendered by `mutool draw` at 72 dpi, read from its PNM output.
struct Reference {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
};

Reference mutool_render(const std::string &file, int page) {
  char dir[] = "/tmp/pdfium-test-XXXXXX";
  if (!mkdtemp(dir)) return {};
  const std::string out = std::string(dir) + "/ref.pnm";
  const std::string cmd = std::string(PDFIUM_MUTOOL) + " draw -q -r 72 -c rgb -F pnm -o " + out +
                          " " + fixture(file) + " " + std::to_string(page + 1) + " 2>/dev/null";
  Reference ref;
  if (std::system(cmd.c_str()) == 0) {
    std::ifstream in(out, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> ref.w >> ref.h >> maxval;
    in.get();
    ref.rgb.resize(size_t(ref.w) * ref.h * 3);
    in.read(reinterpret_cast<char *>(ref.rgb.data()), std::streamsize(ref.rgb.size()));
    if (magic != "P6" || !in) ref = {};
  }
  std::remove(out.c_str());
  rmdir(dir);
  return ref;
}

int count_if_in(const Image &img, int x0, int y0, int x1, int y1, bool (*pred)(Rgb)) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += pred(img.rgb(x, y));
  return n;
}

}  // namespace

TEST(Render, PartialBitmapIsPlacedAndClippedExactly) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  Page page = load_page(doc, 0);
  for (int format : {FPDFBitmap_BGRx, FPDFBitmap_BGR}) {
    SCOPED_TRACE("format " + std::to_string(format));
    Image img(700, 150, format, 0x11, format == FPDFBitmap_BGR ? 4 : 0);
    lib.FPDF_RenderPageBitmap(img.bitmap.get(), page.get(), -20, -560, 560, 720, 0, 0);
    // The red square's corners map to (60, 100) and (100, 80).
    int red = 0;
    for (int y = 0; y < img.h; ++y)
      for (int x = 0; x < img.w; ++x)
        if (is_red(img.rgb(x, y))) {
          ++red;
          EXPECT_TRUE(x >= 60 && x < 100 && y >= 80 && y < 100) << x << "," << y;
        }
    EXPECT_EQ(red, 40 * 20);
    // Outside the page rectangle (x >= 540) nothing is touched, not even the
    // fourth byte; inside, empty page parts keep their colour.
    for (int y = 0; y < img.h; ++y)
      for (int x = 540; x < img.w; ++x)
        for (int i = 0; i < img.bpp; ++i) ASSERT_EQ(img.at(x, y)[i], 0x11);
    EXPECT_EQ(img.rgb(10, 10).r, 0x11);
    EXPECT_EQ(img.rgb(10, 10).g, 0x11);
    EXPECT_EQ(img.rgb(10, 10).b, 0x11);
    // The padding bytes at the end of each BGR row stay as they were.
    if (format == FPDFBitmap_BGR) {
      EXPECT_EQ(img.mem[size_t(img.stride) - 1], 0x11);
    }
  }
}

TEST(Render, MatchesMuPdfsOwnRenderer) {
  Pdfium &lib = pdfium();
  struct {
    const char *file;
    int page;
  } cases[] = {{"geom.pdf", 0}, {"geom.pdf", 1}, {"geom.pdf", 2}, {"geom.pdf", 3}, {"misc.pdf", 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.file) + " page " + std::to_string(c.page));
    const Reference ref = mutool_render(c.file, c.page);
    ASSERT_GT(ref.w, 0) << "mutool draw failed";
    Doc doc = open_fixture(c.file);
    Page page = load_page(doc, c.page);
    ASSERT_EQ(ref.w, int(lib.FPDF_GetPageWidth(page.get())));
    ASSERT_EQ(ref.h, int(lib.FPDF_GetPageHeight(page.get())));
    Image img(ref.w, ref.h, FPDFBitmap_BGRx, 0xFF);
    lib.FPDF_RenderPageBitmap(img.bitmap.get(), page.get(), 0, 0, ref.w, ref.h, 0, FPDF_ANNOT);
    int worst = 0, differing = 0;
    for (int y = 0; y < ref.h; ++y)
      for (int x = 0; x < ref.w; ++x) {
        const unsigned char *r = &ref.rgb[(size_t(y) * ref.w + x) * 3];
        const Rgb got = img.rgb(x, y);
        const int d =
            std::max({std::abs(got.r - r[0]), std::abs(got.g - r[1]), std::abs(got.b - r[2])});
        worst = std::max(worst, d);
        differing += d > 0;
      }
    EXPECT_LE(worst, 2) << differing << " pixels differ";
  }
}

TEST(Render, VisiblePartAndRepeatedRendersEqualTheFullPage) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  Page page = load_page(doc, 2);
  const int w = 630, h = 893;  // 1.5 x 420 x 595, rounded
  Image full(w, h, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmap(full.bitmap.get(), page.get(), 0, 0, w, h, 0, FPDF_ANNOT);
  // The second and third renders of the visible part come from the page's
  // display list.
  for (int round = 0; round < 3; ++round) {
    Image part(300, 200, FPDFBitmap_BGRx, 0xFF);
    lib.FPDF_RenderPageBitmap(part.bitmap.get(), page.get(), -100, -150, w, h, 0, FPDF_ANNOT);
    int differing = 0;
    for (int y = 0; y < part.h; ++y)
      for (int x = 0; x < part.w; ++x)
        differing += std::memcmp(part.at(x, y), full.at(x + 100, y + 150), 3) != 0;
    EXPECT_EQ(differing, 0) << "round " << round;
    EXPECT_GT(count_if_in(part, 0, 0, part.w, part.h, is_dark), 100);
  }
}

TEST(Render, AnnotationsFollowTheRenderPurpose) {
  // misc.pdf: a printable square at x 350..400 and a screen-only square at
  // x 450..500, both at y 650..700 (device y 92..142 at 72 dpi).
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("misc.pdf");
  Page page = load_page(doc, 0);
  struct {
    int flags;
    bool printable, screen_only;
  } cases[] = {
      {FPDF_ANNOT, true, true},
      {FPDF_ANNOT, true, true},
      {FPDF_ANNOT | FPDF_PRINTING, true, false},
      {FPDF_ANNOT | FPDF_PRINTING, true, false},
      {FPDF_ANNOT, true, true},
      {0, false, false},
      {0, false, false},
      {FPDF_PRINTING, false, false},
      {FPDF_ANNOT | FPDF_PRINTING, true, false},
  };
  int round = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE("round " + std::to_string(round++) + " flags " + std::to_string(c.flags));
    Image img(612, 792, FPDFBitmap_BGRx, 0xFF);
    lib.FPDF_RenderPageBitmap(img.bitmap.get(), page.get(), 0, 0, 612, 792, 0, c.flags);
    EXPECT_EQ(count_if_in(img, 355, 97, 395, 137, is_dark) == 40 * 40, c.printable);
    EXPECT_EQ(count_if_in(img, 455, 97, 495, 137, is_dark) == 40 * 40, c.screen_only);
    EXPECT_EQ(count_if_in(img, 455, 97, 495, 137, is_dark) == 0, !c.screen_only);
  }
}

TEST(Render, FlattenDrawsPrintableAnnotationsIntoTheContent) {
  Pdfium &lib = pdfium();
  struct {
    int usage;
    bool printable, screen_only;
  } cases[] = {{FLAT_PRINT, true, false}, {FLAT_NORMALDISPLAY, true, true}};
  for (const auto &c : cases) {
    Doc doc = open_fixture("misc.pdf");
    Page page = load_page(doc, 0);
    // Render once with annotations so that a display list exists.
    for (int i = 0; i < 2; ++i) {
      Image before(612, 792, FPDFBitmap_BGRx, 0xFF);
      lib.FPDF_RenderPageBitmap(before.bitmap.get(), page.get(), 0, 0, 612, 792, 0, FPDF_ANNOT);
    }
    EXPECT_EQ(lib.FPDFPage_Flatten(page.get(), c.usage), FLATTEN_SUCCESS);
    EXPECT_EQ(lib.FPDFPage_Flatten(page.get(), c.usage), FLATTEN_NOTHINGTODO);
    for (int flags : {0, FPDF_ANNOT}) {
      Image img(612, 792, FPDFBitmap_BGRx, 0xFF);
      lib.FPDF_RenderPageBitmap(img.bitmap.get(), page.get(), 0, 0, 612, 792, 0, flags);
      EXPECT_EQ(count_if_in(img, 355, 97, 395, 137, is_dark) == 40 * 40, c.printable) << flags;
      EXPECT_EQ(count_if_in(img, 455, 97, 495, 137, is_dark) == 40 * 40, c.screen_only) << flags;
    }
    int pos = 0;
    FPDF_LINK link = nullptr;
    EXPECT_FALSE(lib.FPDFLink_Enumerate(page.get(), &pos, &link));  // links are gone too
  }
  EXPECT_EQ(lib.FPDFPage_Flatten(nullptr, FLAT_PRINT), FLATTEN_FAIL);
}

TEST(Render, FlagsAndMatrixVariant) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  Page page = load_page(doc, 0);
  Image plain(280, 360, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmap(plain.bitmap.get(), page.get(), 0, 0, 280, 360, 0, 0);
  ASSERT_TRUE(is_red(plain.rgb(50, 325)));

  Image swapped(280, 360, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmap(swapped.bitmap.get(), page.get(), 0, 0, 280, 360, 0,
                            FPDF_REVERSE_BYTE_ORDER);
  EXPECT_GT(swapped.at(50, 325)[0], 0xC0);  // red in the first byte
  EXPECT_LT(swapped.at(50, 325)[2], 0x40);

  Image gray(280, 360, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmap(gray.bitmap.get(), page.get(), 0, 0, 280, 360, 0, FPDF_GRAYSCALE);
  const Rgb g = gray.rgb(50, 325);
  EXPECT_TRUE(g.r == g.g && g.g == g.b && g.r < 0xC0);

  const FS_MATRIX identity{1, 0, 0, 1, 0, 0};
  const FS_RECTF all{0, 0, 280, 360};
  Image matrix(280, 360, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmapWithMatrix(matrix.bitmap.get(), page.get(), &identity, &all, 0);
  EXPECT_EQ(matrix.mem, plain.mem);
  Image unclipped(280, 360, FPDFBitmap_BGRx, 0xFF);
  lib.FPDF_RenderPageBitmapWithMatrix(unclipped.bitmap.get(), page.get(), &identity, nullptr, 0);
  EXPECT_EQ(count_if_in(unclipped, 0, 0, 280, 360, is_red), 0);  // no clip: nothing drawn

  Image bgra(280, 360, FPDFBitmap_BGRA, 0x00);
  lib.FPDF_RenderPageBitmap(bgra.bitmap.get(), page.get(), 0, 0, 280, 360, 0, 0);
  EXPECT_EQ(bgra.at(50, 325)[3], 0xFF);                          // opaque where the page draws
  EXPECT_EQ(bgra.at(5, 5)[3], 0x00);                             // transparent where it does not
  lib.FPDF_RenderPage(nullptr, page.get(), 0, 0, 10, 10, 0, 0);  // accepted, draws nothing
}
