#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <functional>

#include "pdfium_library.h"

namespace {

std::string uri_of(FPDF_DOCUMENT doc, FPDF_ACTION a) {
  const unsigned long n = pdfium().FPDFAction_GetURIPath(doc, a, nullptr, 0);
  std::string s(n, '\0');
  pdfium().FPDFAction_GetURIPath(doc, a, s.data(), n);
  return n ? s.substr(0, n - 1) : "";
}

std::string file_of(FPDF_ACTION a) {
  const unsigned long n = pdfium().FPDFAction_GetFilePath(a, nullptr, 0);
  std::string s(n, '\0');
  pdfium().FPDFAction_GetFilePath(a, s.data(), n);
  return n ? s.substr(0, n - 1) : "";
}

std::u16string title_of(FPDF_BOOKMARK b) {
  return read_u16(
      [&](void *buf, unsigned long n) { return pdfium().FPDFBookmark_GetTitle(b, buf, n); });
}

}  // namespace

// The links of text.pdf page 3, as hyperref wrote them.
TEST(Navigation, LinksWithTargetsColoursAndBorders) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  Page page = load_page(doc, 2);
  struct {
    float rect[4];  // left bottom right top, as stored
    unsigned r, g, b;
    unsigned long type;
    int dest_page;  // -1: no destination
    const char *target;
  } cases[] = {
      {{111.03f, 407.718f, 118.004f, 418.843f}, 255, 0, 0, PDFACTION_GOTO, 2, ""},
      {{141.457f, 407.718f, 169.491f, 418.843f}, 255, 0, 0, PDFACTION_GOTO, 2, ""},
      {{175.307f, 407.718f, 308.058f, 418.843f},
       0,
       0,
       255,
       PDFACTION_URI,
       -1,
       "https://example.com/x?a=1"},
      {{313.875f, 407.718f, 344.371f, 418.843f}, 0, 178, 178, PDFACTION_LAUNCH, -1, "other.pdf"},
      {{350.188f, 407.718f, 363.831f, 418.843f}, 0, 127, 127, PDFACTION_REMOTEGOTO, 0, "other.pdf"},
      {{55.697f, 396.04f, 79.275f, 406.888f}, 0, 127, 127, PDFACTION_REMOTEGOTO, 0, "other.pdf"},
  };
  int pos = 0, i = 0;
  FPDF_LINK link = nullptr;
  while (lib.FPDFLink_Enumerate(page.get(), &pos, &link)) {
    ASSERT_LT(i, 6);
    const auto &c = cases[i++];
    SCOPED_TRACE("link " + std::to_string(i - 1));
    FS_RECTF r{};
    ASSERT_TRUE(lib.FPDFLink_GetAnnotRect(link, &r));
    EXPECT_FLOAT_EQ(r.left, c.rect[0]);
    EXPECT_FLOAT_EQ(r.bottom, c.rect[1]);
    EXPECT_FLOAT_EQ(r.right, c.rect[2]);
    EXPECT_FLOAT_EQ(r.top, c.rect[3]);
    FPDF_ANNOTATION annot = lib.FPDFLink_GetAnnot(page.get(), link);
    ASSERT_NE(annot, nullptr);
    EXPECT_EQ(annot, lib.FPDFLink_GetAnnot(page.get(), link));
    unsigned R, G, B, A;
    ASSERT_TRUE(lib.FPDFAnnot_GetColor(annot, FPDFANNOT_COLORTYPE_Color, &R, &G, &B, &A));
    EXPECT_EQ(R, c.r);
    EXPECT_EQ(G, c.g);
    EXPECT_EQ(B, c.b);
    EXPECT_EQ(A, 255u);
    float hr, vr, width;
    ASSERT_TRUE(lib.FPDFAnnot_GetBorder(annot, &hr, &vr, &width));
    EXPECT_EQ(width, 1.f);
    FPDF_ACTION action = lib.FPDFLink_GetAction(link);
    EXPECT_EQ(lib.FPDFAction_GetType(action), c.type);
    FPDF_DEST dest = lib.FPDFLink_GetDest(doc.get(), link);
    EXPECT_EQ(dest ? lib.FPDFDest_GetDestPageIndex(doc.get(), dest) : -1, c.dest_page);
    if (c.type == PDFACTION_URI) {
      EXPECT_EQ(uri_of(doc.get(), action), c.target);
    }
    if (c.type == PDFACTION_LAUNCH || c.type == PDFACTION_REMOTEGOTO) {
      EXPECT_EQ(file_of(action), c.target);
    }
    EXPECT_EQ(lib.FPDFAction_GetURIPath(doc.get(), action, nullptr, 0) > 0,
              c.type == PDFACTION_URI);
    // The link is found at its own rectangle's corner, and not just outside.
    EXPECT_EQ(lib.FPDFLink_GetLinkAtPoint(page.get(), c.rect[0], c.rect[1]), link);
    EXPECT_EQ(lib.FPDFLink_GetLinkAtPoint(page.get(), c.rect[0] - 0.01, c.rect[1]), nullptr);
  }
  EXPECT_EQ(i, 6);
}

TEST(Navigation, OverlappingLinksQuadPointsAndBorders) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("misc.pdf");
  Page page = load_page(doc, 0);
  FPDF_LINK top = lib.FPDFLink_GetLinkAtPoint(page.get(), 125, 125);  // both links overlap here
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(uri_of(doc.get(), lib.FPDFLink_GetAction(top)), "https://example.org/top");
  float hr, vr, w;
  EXPECT_FALSE(
      lib.FPDFAnnot_GetBorder(lib.FPDFLink_GetAnnot(page.get(), top), &hr, &vr, &w));  // /BS only
  EXPECT_EQ(lib.FPDFLink_CountQuadPoints(top), 0);

  FPDF_LINK under = lib.FPDFLink_GetLinkAtPoint(page.get(), 75, 75);
  ASSERT_NE(under, nullptr);
  EXPECT_EQ(lib.FPDFLink_CountQuadPoints(under), 1);
  FS_QUADPOINTSF q{};
  ASSERT_TRUE(lib.FPDFLink_GetQuadPoints(under, 0, &q));
  EXPECT_EQ(q.x1, 50);
  EXPECT_EQ(q.y1, 150);
  EXPECT_EQ(q.x4, 150);
  EXPECT_EQ(q.y4, 50);
  EXPECT_FALSE(lib.FPDFLink_GetQuadPoints(under, 1, &q));
  FPDF_DEST dest = lib.FPDFLink_GetDest(doc.get(), under);
  ASSERT_NE(dest, nullptr);
  FPDF_BOOL hx, hy, hz;
  float x, y, z;
  ASSERT_TRUE(lib.FPDFDest_GetLocationInPage(dest, &hx, &hy, &hz, &x, &y, &z));
  EXPECT_TRUE(hx && hy);
  EXPECT_FALSE(hz);  // zoom 0 counts as absent
  EXPECT_EQ(y, 792);
  // Square annotations with an appearance report no colour.
  unsigned R, G, B, A;
  int pos = 0;
  FPDF_LINK first = nullptr;
  ASSERT_TRUE(lib.FPDFLink_Enumerate(page.get(), &pos, &first));
  EXPECT_EQ(pos, 3);  // the two squares before it are skipped
  EXPECT_TRUE(lib.FPDFAnnot_GetColor(lib.FPDFLink_GetAnnot(page.get(), first),
                                     FPDFANNOT_COLORTYPE_Color, &R, &G, &B, &A));
}

// The outline as hyperref wrote it; destinations in user space.
TEST(Navigation, OutlineTitlesAndDestinations) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  struct Item {
    const char *title;
    int depth, page;
    float y;
  };
  const Item expected[] = {
      {"Front matter", 0, 0, 538.583f}, {"Body Über Straße", 0, 2, 538.583f},
      {"Sub one", 1, 2, 512.498f},      {"Deep", 2, 2, 494.905f},
      {"Rotated page", 0, 3, 538.583f}, {"Cropped page", 0, 4, 538.583f},
  };
  std::vector<std::pair<FPDF_BOOKMARK, int>> seen;
  std::function<void(FPDF_BOOKMARK, int)> walk = [&](FPDF_BOOKMARK parent, int depth) {
    for (FPDF_BOOKMARK b = lib.FPDFBookmark_GetFirstChild(doc.get(), parent); b;
         b = lib.FPDFBookmark_GetNextSibling(doc.get(), b)) {
      seen.emplace_back(b, depth);
      walk(b, depth + 1);
    }
  };
  walk(nullptr, 0);
  ASSERT_EQ(seen.size(), std::size(expected));
  for (size_t i = 0; i < seen.size(); ++i) {
    const Item &e = expected[i];
    FPDF_BOOKMARK b = seen[i].first;
    SCOPED_TRACE(e.title);
    EXPECT_EQ(title_of(b), u16(e.title));
    EXPECT_EQ(seen[i].second, e.depth);
    EXPECT_EQ(lib.FPDFAction_GetType(lib.FPDFBookmark_GetAction(b)), unsigned(PDFACTION_GOTO));
    FPDF_DEST dest = lib.FPDFBookmark_GetDest(doc.get(), b);  // from the action
    ASSERT_NE(dest, nullptr);
    EXPECT_EQ(lib.FPDFDest_GetDestPageIndex(doc.get(), dest), e.page);
    FPDF_BOOL hx, hy, hz;
    float x, y, z;
    ASSERT_TRUE(lib.FPDFDest_GetLocationInPage(dest, &hx, &hy, &hz, &x, &y, &z));
    EXPECT_TRUE(hx && hy && !hz);
    EXPECT_NEAR(x, 56.693, 0.01);
    EXPECT_NEAR(y, e.y, 0.01);
  }
  EXPECT_EQ(lib.FPDFBookmark_GetTitle(seen[1].first, nullptr, 0), 34u);
  const std::u16string wanted = u16("body ÜBER straße");
  std::vector<unsigned short> w(wanted.begin(), wanted.end());
  w.push_back(0);
  EXPECT_EQ(lib.FPDFBookmark_Find(doc.get(), w.data()), seen[1].first);
  const unsigned short empty[] = {0};
  EXPECT_EQ(lib.FPDFBookmark_Find(doc.get(), empty), nullptr);
}

TEST(Navigation, NamedDestinations) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  ASSERT_EQ(lib.FPDF_CountNamedDests(doc.get()), 13u);
  std::vector<std::u16string> names;
  for (int i = 0; i < 13; ++i) {
    long len = 0;
    ASSERT_NE(lib.FPDF_GetNamedDest(doc.get(), i, nullptr, &len), nullptr);
    std::vector<char16_t> buf(size_t(len) / 2);
    long small = len - 1;
    EXPECT_NE(lib.FPDF_GetNamedDest(doc.get(), i, buf.data(), &small), nullptr);
    EXPECT_EQ(small, -1);
    ASSERT_NE(lib.FPDF_GetNamedDest(doc.get(), i, buf.data(), &len), nullptr);
    names.emplace_back(buf.data());
  }
  EXPECT_EQ(names.front(), u"Doc-Start");
  EXPECT_NE(std::find(names.begin(), names.end(), u"subsubsection.2.1.1"), names.end());
  long len = 0;
  EXPECT_EQ(lib.FPDF_GetNamedDest(doc.get(), 13, nullptr, &len), nullptr);

  struct {
    const char *name;
    int page;
  } cases[] = {{"section.2", 2}, {"mytarget", 2}, {"page.i", 0}, {"page.3", 4}, {"section.4", 4}};
  for (const auto &c : cases) {
    FPDF_DEST dest = lib.FPDF_GetNamedDestByName(doc.get(), c.name);
    ASSERT_NE(dest, nullptr) << c.name;
    EXPECT_EQ(lib.FPDFDest_GetDestPageIndex(doc.get(), dest), c.page) << c.name;
  }
  EXPECT_EQ(lib.FPDF_GetNamedDestByName(doc.get(), "nonexistent"), nullptr);
  EXPECT_EQ(lib.FPDF_GetNamedDestByName(doc.get(), ""), nullptr);
}

TEST(Navigation, PageLabels) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  const char *expected[] = {"i", "ii", "1", "2", "3"};
  for (int i = 0; i < 5; ++i) {
    auto get = [&](void *b, unsigned long n) { return lib.FPDF_GetPageLabel(doc.get(), i, b, n); };
    EXPECT_EQ(read_u16(get), u16(expected[i])) << i;
  }
  EXPECT_EQ(lib.FPDF_GetPageLabel(doc.get(), 5, nullptr, 0), 0u);
  EXPECT_EQ(lib.FPDF_GetPageLabel(doc.get(), -1, nullptr, 0), 0u);
  Doc geom = open_fixture("geom.pdf");
  EXPECT_EQ(lib.FPDF_GetPageLabel(geom.get(), 0, nullptr, 0), 0u);
}
