#include <gtest/gtest.h>

#include "pdfium_library.h"

// geom.pdf: MediaBox [100 200 400 600], CropBox [110 220 390 580], page k
// has /Rotate 90k. The display rectangle starts at (30, 40) and is twice the
// displayed page size.
TEST(Geometry, PageToDeviceAcrossPageAndCallerRotation) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  ASSERT_TRUE(doc);
  struct {
    int page, rotate;
    int x, y;                // (150, 250) on the device
    int corner_x, corner_y;  // the box corner (110, 220) on the device
  } cases[] = {
      {0, 0, 110, 700, 30, 760},  {0, 1, 90, 120, 30, 40},    {0, 2, 510, 100, 590, 40},
      {0, 3, 690, 520, 750, 600}, {1, 0, 90, 120, 30, 40},    {1, 3, 110, 700, 30, 760},
      {2, 0, 510, 100, 590, 40},  {3, 0, 690, 520, 750, 600},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE("page " + std::to_string(c.page) + " rotate " + std::to_string(c.rotate));
    Page page = load_page(doc, c.page);
    ASSERT_TRUE(page);
    const double w = lib.FPDF_GetPageWidth(page.get()), h = lib.FPDF_GetPageHeight(page.get());
    const bool swap = c.rotate % 2 == 1;
    const int sx = int(2 * (swap ? h : w)), sy = int(2 * (swap ? w : h));
    int dx = 0, dy = 0;
    ASSERT_TRUE(lib.FPDF_PageToDevice(page.get(), 30, 40, sx, sy, c.rotate, 150, 250, &dx, &dy));
    EXPECT_EQ(dx, c.x);
    EXPECT_EQ(dy, c.y);
    ASSERT_TRUE(lib.FPDF_PageToDevice(page.get(), 30, 40, sx, sy, c.rotate, 110, 220, &dx, &dy));
    EXPECT_EQ(dx, c.corner_x);
    EXPECT_EQ(dy, c.corner_y);
  }
}

TEST(Geometry, DeviceToPageInvertsPageToDeviceInAllRotations) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  for (int p = 0; p < 4; ++p) {
    Page page = load_page(doc, p);
    for (int rotate = 0; rotate < 4; ++rotate) {
      for (auto [ux, uy] : {std::pair{150.0, 250.0}, {387.5, 221.25}, {110.0, 580.0}}) {
        int dx, dy;
        lib.FPDF_PageToDevice(page.get(), -7, 13, 560, 720, rotate, ux, uy, &dx, &dy);
        double px, py;
        ASSERT_TRUE(lib.FPDF_DeviceToPage(page.get(), -7, 13, 560, 720, rotate, dx, dy, &px, &py));
        // One device pixel is at most 0.5 pt here; rounding loses half of it.
        EXPECT_NEAR(px, ux, 0.26) << "page " << p << " rotate " << rotate;
        EXPECT_NEAR(py, uy, 0.26) << "page " << p << " rotate " << rotate;
      }
    }
  }
}

TEST(Geometry, NegativeRotationMapsEverythingToTheOrigin) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  Page page = load_page(doc, 0);
  int dx = -1, dy = -1;
  ASSERT_TRUE(lib.FPDF_PageToDevice(page.get(), 30, 40, 560, 720, -1, 150, 250, &dx, &dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
}

TEST(Geometry, PageSizesFollowCropBoxAndRotation) {
  Pdfium &lib = pdfium();
  struct {
    const char *file;
    int page;
    float w, h;
  } cases[] = {
      // Sizes as pdfinfo reports them (rotation applied).
      {"text.pdf", 0, 419.528f, 595.276f}, {"text.pdf", 3, 595.276f, 419.528f},
      {"text.pdf", 4, 300, 440},           {"geom.pdf", 0, 280, 360},
      {"geom.pdf", 1, 360, 280},           {"geom.pdf", 2, 280, 360},
      {"geom.pdf", 3, 360, 280},           {"misc.pdf", 0, 612, 792},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.file) + " page " + std::to_string(c.page));
    Doc doc = open_fixture(c.file);
    FS_SIZEF by_index{};
    ASSERT_TRUE(lib.FPDF_GetPageSizeByIndexF(doc.get(), c.page, &by_index));
    EXPECT_NEAR(by_index.width, c.w, 0.01);
    EXPECT_NEAR(by_index.height, c.h, 0.01);
    Page page = load_page(doc, c.page);
    EXPECT_EQ(lib.FPDF_GetPageWidthF(page.get()), by_index.width);
    EXPECT_EQ(lib.FPDF_GetPageHeightF(page.get()), by_index.height);
  }
  Doc doc = open_fixture("geom.pdf");
  FS_SIZEF size{};
  EXPECT_FALSE(lib.FPDF_GetPageSizeByIndexF(doc.get(), 4, &size));
  EXPECT_FALSE(lib.FPDF_GetPageSizeByIndexF(doc.get(), -1, &size));
  EXPECT_EQ(lib.FPDF_LoadPage(doc.get(), 4), nullptr);
}

TEST(Geometry, BoxesAreReadFromThePageItself) {
  Pdfium &lib = pdfium();
  Doc geom = open_fixture("geom.pdf");
  Page page = load_page(geom, 1);
  FS_RECTF box{};
  ASSERT_TRUE(lib.FPDF_GetPageBoundingBox(page.get(), &box));
  EXPECT_EQ(box.left, 110);
  EXPECT_EQ(box.top, 580);
  EXPECT_EQ(box.right, 390);
  EXPECT_EQ(box.bottom, 220);
  float l = -1, b = -1, r = -1, t = -1;
  EXPECT_FALSE(lib.FPDFPage_GetCropBox(page.get(), &l, &b, &r, &t));  // inherited only
  EXPECT_EQ(l, -1);
  EXPECT_FALSE(lib.FPDFPage_GetTrimBox(page.get(), &l, &b, &r, &t));

  Doc text = open_fixture("text.pdf");
  Page cropped = load_page(text, 4);
  ASSERT_TRUE(lib.FPDFPage_GetCropBox(cropped.get(), &l, &b, &r, &t));
  EXPECT_EQ(l, 50);
  EXPECT_EQ(b, 60);
  EXPECT_EQ(r, 350);
  EXPECT_EQ(t, 500);
  int dx, dy;
  lib.FPDF_PageToDevice(cropped.get(), 30, 40, 600, 880, 0, 50, 60, &dx, &dy);
  EXPECT_EQ(dx, 30);
  EXPECT_EQ(dy, 920);
}

TEST(Geometry, SetCropBoxChangesTheSizeAtOnce) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("geom.pdf");
  Page page = load_page(doc, 1);  // /Rotate 90
  lib.FPDFPage_SetCropBox(page.get(), 150, 250, 250, 300);
  EXPECT_EQ(lib.FPDF_GetPageWidthF(page.get()), 50);
  EXPECT_EQ(lib.FPDF_GetPageHeightF(page.get()), 100);
  float l, b, r, t;
  ASSERT_TRUE(lib.FPDFPage_GetCropBox(page.get(), &l, &b, &r, &t));
  EXPECT_EQ(r, 250);
  FS_SIZEF size{};
  ASSERT_TRUE(lib.FPDF_GetPageSizeByIndexF(doc.get(), 1, &size));
  EXPECT_EQ(size.width, 50);
  // Other pages keep their inherited box.
  ASSERT_TRUE(lib.FPDF_GetPageSizeByIndexF(doc.get(), 0, &size));
  EXPECT_EQ(size.width, 280);
}
