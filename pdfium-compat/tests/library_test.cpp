#include <gtest/gtest.h>

#include "pdfium_library.h"

TEST(Library, ResolvesAllFunctionsByName) {
  Pdfium &lib = pdfium();
  EXPECT_EQ(lib.resolved, 98);
  EXPECT_EQ(lib.first_missing, "");
}

TEST(Library, TestVariantLacksExactlyIsGenerated) {
  Pdfium variant(PDFIUM_MISSING_EXPORT_LIBRARY);
  ASSERT_NE(variant.handle, nullptr);
  EXPECT_EQ(variant.first_missing, "FPDFText_IsGenerated");
  EXPECT_EQ(variant.resolved, 97);
}

TEST(Library, InitTwiceDestroyAndInitAgain) {
  Pdfium &lib = pdfium();
  lib.FPDF_InitLibrary();  // already initialised: no effect
  {
    Doc doc = open_fixture("geom.pdf");
    ASSERT_TRUE(doc);
  }
  lib.FPDF_DestroyLibrary();
  lib.FPDF_DestroyLibrary();
  // Calls after destroy fail cleanly instead of crashing.
  EXPECT_EQ(lib.FPDF_LoadDocument(fixture("geom.pdf").c_str(), nullptr), nullptr);
  FPDF_LIBRARY_CONFIG config{};
  config.version = 2;
  lib.FPDF_InitLibraryWithConfig(&config);
  Doc doc = open_fixture("geom.pdf");
  ASSERT_TRUE(doc);
  EXPECT_EQ(lib.FPDF_GetPageCount(doc.get()), 4);
}

TEST(Library, BitmapsFollowFormatAndStrideRules) {
  Pdfium &lib = pdfium();
  struct Case {
    int w, h, format, stride;
    bool ok;
    int expected_stride;
  } cases[] = {
      {10, 3, FPDFBitmap_BGR, 0, true, 32},  {10, 3, FPDFBitmap_BGRx, 0, true, 40},
      {10, 3, FPDFBitmap_Gray, 0, true, 12}, {10, 3, FPDFBitmap_BGR, 29, false, 0},
      {10, 3, FPDFBitmap_BGR, 30, true, 30}, {10, 3, 5, 0, false, 0},
      {0, 3, FPDFBitmap_BGRx, 0, false, 0},  {10, -1, FPDFBitmap_BGRx, 0, false, 0},
  };
  for (const Case &c : cases) {
    Bitmap b(lib.FPDFBitmap_CreateEx(c.w, c.h, c.format, nullptr, c.stride));
    EXPECT_EQ(bool(b), c.ok) << c.w << "x" << c.h << " format " << c.format << " stride "
                             << c.stride;
    if (b) {
      EXPECT_EQ(lib.FPDFBitmap_GetStride(b.get()), c.expected_stride);
    }
  }
  Bitmap a(lib.FPDFBitmap_Create(5, 2, 1));
  EXPECT_EQ(lib.FPDFBitmap_GetFormat(a.get()), FPDFBitmap_BGRA);
  EXPECT_EQ(lib.FPDFBitmap_GetStride(a.get()), 20);
  EXPECT_EQ(lib.FPDFBitmap_GetFormat(nullptr), FPDFBitmap_Unknown);
}

TEST(Library, FillRectClipsAndWritesColourAndAlpha) {
  Pdfium &lib = pdfium();
  unsigned char mem[4 * 4 * 4];
  std::fill(std::begin(mem), std::end(mem), 0x11);
  Bitmap bgra(lib.FPDFBitmap_CreateEx(4, 4, FPDFBitmap_BGRA, mem, 16));
  EXPECT_TRUE(lib.FPDFBitmap_FillRect(bgra.get(), -2, 3, 4, 10, 0x80102030));
  const unsigned char want[4] = {0x30, 0x20, 0x10, 0x80};
  EXPECT_TRUE(std::equal(want, want + 4, mem + 3 * 16 + 0));
  EXPECT_TRUE(std::equal(want, want + 4, mem + 3 * 16 + 4));
  EXPECT_EQ(mem[3 * 16 + 8], 0x11);                                   // clipped at x = 2
  EXPECT_EQ(mem[2 * 16], 0x11);                                       // row above untouched
  EXPECT_TRUE(lib.FPDFBitmap_FillRect(bgra.get(), 10, 10, 5, 5, 0));  // empty intersection

  Bitmap bgrx(lib.FPDFBitmap_CreateEx(4, 4, FPDFBitmap_BGRx, mem, 16));
  lib.FPDFBitmap_FillRect(bgrx.get(), 0, 0, 1, 1, 0x00FFFFFF);
  EXPECT_EQ(mem[3], 0xFF);  // BGRx is opaque whatever alpha is given
  EXPECT_FALSE(lib.FPDFBitmap_FillRect(nullptr, 0, 0, 1, 1, 0));
}
