#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "pdfium_library.h"

namespace {

// Text page 3 of text.pdf, with the characters as one string so that cases
// find their indices by content rather than by fixed numbers.
class TextPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = open_fixture("text.pdf");
    ASSERT_TRUE(doc_);
    page_ = load_page(doc_, 2);
    ASSERT_TRUE(page_);
    text_ = load_text(page_);
    ASSERT_TRUE(text_);
    const int n = lib().FPDFText_CountChars(tp());
    for (int i = 0; i < n; ++i) chars_.push_back(char16_t(lib().FPDFText_GetUnicode(tp(), i)));
  }

  Pdfium &lib() { return pdfium(); }
  FPDF_TEXTPAGE tp() { return text_.get(); }
  int find(const char *s, int from = 0) {
    const size_t at = chars_.find(u16(s), size_t(from));
    EXPECT_NE(at, std::u16string::npos) << s;
    return at == std::u16string::npos ? -1 : int(at);
  }
  std::u16string get_text(int start, int count) {
    std::vector<unsigned short> buf(size_t(count) + 1);
    const int n = lib().FPDFText_GetText(tp(), start, count, buf.data());
    return n > 0 ? std::u16string(buf.begin(), buf.begin() + n - 1) : u"";
  }
  struct Box {
    double l, r, b, t;
  };
  Box box(int i) {
    Box b{};
    EXPECT_TRUE(lib().FPDFText_GetCharBox(tp(), i, &b.l, &b.r, &b.b, &b.t));
    return b;
  }

  Doc doc_;
  Page page_;
  TextPage text_;
  std::u16string chars_;
};

}  // namespace

TEST_F(TextPageTest, LineEndHyphensJoinTheWordHalves) {
  for (const char *before : {"extraordinar", "launch, re"}) {
    const int at = find(before) + int(std::strlen(before));
    EXPECT_EQ(lib().FPDFText_GetUnicode(tp(), at), 2u) << before;
    EXPECT_EQ(lib().FPDFText_IsHyphen(tp(), at), 1) << before;
    EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), at), 0) << before;
    EXPECT_NE(lib().FPDFText_GetUnicode(tp(), at + 1), unsigned('\r')) << before;
    EXPECT_EQ(get_text(at - 2, 4)[2], 0xFFFE) << before;
  }
  EXPECT_EQ(chars_.substr(size_t(find("extraordinar")) + 13, 3), u"ily");
  EXPECT_EQ(chars_.substr(size_t(find("launch, re")) + 11, 4), u"mote");
  // A hyphen inside a line stays a hyphen.
  const int dash = find("x-ray") + 1;
  EXPECT_EQ(lib().FPDFText_GetUnicode(tp(), dash), unsigned('-'));
  EXPECT_EQ(lib().FPDFText_IsHyphen(tp(), dash), 0);
}

TEST_F(TextPageTest, GeneratedSpacesSeparateWordsAndNothingElse) {
  for (const char *line :
       {"The office staff found it difficult to", "AVA Wave x-ray and x2 end."}) {
    const int at = find(line);
    for (int i = at; i < at + int(std::strlen(line)); ++i) {
      const bool space = chars_[size_t(i)] == u' ';
      EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), i), space ? 1 : 0) << line << " @" << i - at;
    }
  }
  EXPECT_EQ(find("AVA") >= 0 && find("Wave") >= 0, true);  // kerned pairs gain no space
}

TEST_F(TextPageTest, LineEndsAreGeneratedCrLfButSuperscriptsStayOnTheLine) {
  const int lines[] = {find("to", find("difficult")) + 2, find("characteristics") + 15,
                       find("fjord") + 5};
  for (int at : lines) {
    EXPECT_EQ(chars_.substr(size_t(at), 2), u"\r\n");
    EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), at), 1);
    EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), at + 1), 1);
    EXPECT_DOUBLE_EQ(lib().FPDFText_GetFontSize(tp(), at), 1.0);
  }
  EXPECT_GE(find("x2 end"), 0);
}

TEST_F(TextPageTest, LigaturePiecesShareTheLigatureBox) {
  const int office = find("office");
  const Box f1 = box(office + 1), f2 = box(office + 2), i = box(office + 3);
  EXPECT_EQ(f1.l, f2.l);
  EXPECT_EQ(f1.r, i.r);
  EXPECT_EQ(f1.t, i.t);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), office + k), 0);
  EXPECT_EQ(lib().FPDFText_CountRects(tp(), office, 6), 1);
  EXPECT_EQ(get_text(office, 6), u"office");
}

TEST_F(TextPageTest, CharBoxLooseBoxOriginSizeAngle) {
  // "Deep" is set in CMBX10 at 10 pt (9.963 bp); its FontBBox starts 250
  // units below the baseline.
  const int d = find("Deep");
  const Box tight = box(d);
  FS_RECTF loose{};
  ASSERT_TRUE(lib().FPDFText_GetLooseCharBox(tp(), d, &loose));
  EXPECT_LE(loose.left, tight.l);
  EXPECT_GE(loose.right, tight.r);
  EXPECT_LE(loose.bottom, tight.b);
  EXPECT_GE(loose.top, tight.t);
  double x = 0, y = 0;
  ASSERT_TRUE(lib().FPDFText_GetCharOrigin(tp(), d, &x, &y));
  EXPECT_NEAR(y, 482.95, 0.01);
  const double size = lib().FPDFText_GetFontSize(tp(), d);
  EXPECT_NEAR(size, 9.963, 0.001);
  EXPECT_NEAR(loose.bottom, y - 0.25 * size, 0.1);
  EXPECT_FLOAT_EQ(lib().FPDFText_GetCharAngle(tp(), d), 0.f);
  EXPECT_GT(lib().FPDFText_GetFontWeight(tp(), d),
            lib().FPDFText_GetFontWeight(tp(), find("office")));
  EXPECT_EQ(lib().FPDFText_HasUnicodeMapError(tp(), d), 0);

  // Invalid indices.
  const int n = lib().FPDFText_CountChars(tp());
  double v = -7;
  EXPECT_FALSE(lib().FPDFText_GetCharBox(tp(), n, &v, &v, &v, &v));
  EXPECT_EQ(v, -7);
  EXPECT_EQ(lib().FPDFText_GetUnicode(tp(), -1), 0u);
  EXPECT_EQ(lib().FPDFText_IsGenerated(tp(), n), -1);
  EXPECT_FLOAT_EQ(lib().FPDFText_GetCharAngle(tp(), n), -1.f);
  EXPECT_EQ(lib().FPDFText_CountChars(nullptr), -1);
}

TEST(TextAngles, BaselineRotationIsMeasuredClockwise) {
  Doc doc = open_fixture("misc.pdf");
  Page page = load_page(doc, 0);
  TextPage text = load_text(page);
  const int n = pdfium().FPDFText_CountChars(text.get());
  std::u16string s;
  for (int i = 0; i < n; ++i) s.push_back(char16_t(pdfium().FPDFText_GetUnicode(text.get(), i)));
  struct {
    const char *word;
    float angle;
  } cases[] = {{"Slope", float(M_PI / 4)}, {"Upward", float(3 * M_PI / 2)}, {"Plain", 0.f}};
  for (const auto &c : cases) {
    const size_t at = s.find(u16(c.word));
    ASSERT_NE(at, std::u16string::npos) << c.word;
    EXPECT_NEAR(pdfium().FPDFText_GetCharAngle(text.get(), int(at)), c.angle, 0.001) << c.word;
  }
}

TEST_F(TextPageTest, RectanglesFollowTextObjectsAndLines) {
  const int from = find("fluff");
  const int to = find("notwithstanding") + 15;
  EXPECT_EQ(lib().FPDFText_CountRects(tp(), from, to - from), 3);
  double l, t, r, b;
  ASSERT_TRUE(lib().FPDFText_GetRect(tp(), 0, &l, &t, &r, &b));
  const Box first = box(from), last_of_line = box(find("extraordinar") + 12);
  EXPECT_DOUBLE_EQ(l, first.l);
  EXPECT_DOUBLE_EQ(r, last_of_line.r);
  EXPECT_GT(t, b);

  const int crlf = find("to", find("difficult")) + 2;
  EXPECT_EQ(lib().FPDFText_CountRects(tp(), crlf, 2), 1);
  ASSERT_TRUE(lib().FPDFText_GetRect(tp(), 0, &l, &t, &r, &b));
  EXPECT_EQ(l, 0);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(b, 0);
  EXPECT_FALSE(lib().FPDFText_GetRect(tp(), 1, &l, &t, &r, &b));

  EXPECT_EQ(lib().FPDFText_CountRects(tp(), -1, 5), -1);
  EXPECT_EQ(lib().FPDFText_CountRects(tp(), lib().FPDFText_CountChars(tp()), 5), 0);
  EXPECT_EQ(lib().FPDFText_CountRects(tp(), 0, 0), 0);
  EXPECT_GT(lib().FPDFText_CountRects(tp(), 0, -1), 10);
}

TEST_F(TextPageTest, HitTestingWithTolerances) {
  const int d = find("Deep");
  const Box b = box(d);
  const double cx = (b.l + b.r) / 2, cy = (b.b + b.t) / 2;
  struct {
    double x, y, xtol, ytol;
    int expected;  // -2: any character
  } cases[] = {
      {cx, cy, 0, 0, d},            // inside the glyph
      {b.l, b.t, 0, 0, d},          // on its edge
      {cx, b.t + 1.4, 0, 0, -1},    // just above the line
      {cx, b.t + 1.4, 0, 2.6, -1},  // half of the tolerance is not enough
      {cx, b.t + 1.4, 0, 3.0, d},   // now it is
      {95, 495, 0, 0, -1},
      {95, 495, 420, 596, -2},  // a page-sized tolerance finds the nearest
  };
  for (const auto &c : cases) {
    const int got = lib().FPDFText_GetCharIndexAtPos(tp(), c.x, c.y, c.xtol, c.ytol);
    if (c.expected == -2) {
      EXPECT_GE(got, 0);
    } else {
      EXPECT_EQ(got, c.expected) << c.x << "," << c.y << " tol " << c.xtol << "," << c.ytol;
    }
  }
  EXPECT_EQ(lib().FPDFText_GetCharIndexAtPos(nullptr, 0, 0, 0, 0), -3);
}

TEST_F(TextPageTest, TextIndicesAndBoundedText) {
  const int n = lib().FPDFText_CountChars(tp());
  for (int i = 0; i < n; i += 17) {
    EXPECT_EQ(lib().FPDFText_GetTextIndexFromCharIndex(tp(), i), i);
    EXPECT_EQ(lib().FPDFText_GetCharIndexFromTextIndex(tp(), i), i);
  }
  EXPECT_EQ(lib().FPDFText_GetCharIndexFromTextIndex(tp(), n), -1);
  unsigned short buf[8];
  EXPECT_EQ(lib().FPDFText_GetText(tp(), n, 3, buf), 0);

  const Box d = box(find("Deep")), p = box(find("Deep") + 3);
  const double mid = (d.b + d.t) / 2;
  const int len =
      lib().FPDFText_GetBoundedText(tp(), d.l - 0.5, mid + 1, p.r + 0.5, mid - 1, nullptr, 0);
  std::vector<unsigned short> out(size_t(len) + 1);
  lib().FPDFText_GetBoundedText(tp(), d.l - 0.5, mid + 1, p.r + 0.5, mid - 1, out.data(), len + 1);
  EXPECT_EQ(std::u16string(out.begin(), out.begin() + len), u"Deep");
}

TEST_F(TextPageTest, SearchMatchesWordsAcrossGeneratedSpaces) {
  struct {
    const char *pattern;
    unsigned long flags;
    const char *expected_at;  // text the match starts with; nullptr: no match
    int count;
  } cases[] = {
      {"difficult", 0, "difficult", 9},
      {"OFFICE   staff", 0, "office staff", 12},
      {"office staff", FPDF_MATCHCASE, "office staff", 12},
      {"OFFICE", FPDF_MATCHCASE, nullptr, 0},
      {"luff", FPDF_MATCHWHOLEWORD, nullptr, 0},
      {"fluff", FPDF_MATCHWHOLEWORD, "fluff", 5},
      {"to fluff", 0, "to\r\nfluff", 9},
  };
  for (const auto &c : cases) {
    const std::u16string pattern = u16(c.pattern);
    std::vector<unsigned short> w(pattern.begin(), pattern.end());
    w.push_back(0);
    FPDF_SCHHANDLE h = lib().FPDFText_FindStart(tp(), w.data(), c.flags, 0);
    ASSERT_NE(h, nullptr);
    const bool found = lib().FPDFText_FindNext(h);
    EXPECT_EQ(found, c.expected_at != nullptr) << c.pattern;
    if (found && c.expected_at) {
      EXPECT_EQ(lib().FPDFText_GetSchResultIndex(h), find(c.expected_at)) << c.pattern;
      EXPECT_EQ(lib().FPDFText_GetSchCount(h), c.count) << c.pattern;
    }
    lib().FPDFText_FindClose(h);
  }
  // Forward and back over the two "the" of the paragraph.
  const std::u16string the = u"the";
  std::vector<unsigned short> w(the.begin(), the.end());
  w.push_back(0);
  FPDF_SCHHANDLE h = lib().FPDFText_FindStart(tp(), w.data(), FPDF_MATCHWHOLEWORD, 0);
  ASSERT_TRUE(lib().FPDFText_FindNext(h));
  const int first = lib().FPDFText_GetSchResultIndex(h);
  ASSERT_TRUE(lib().FPDFText_FindNext(h));
  const int second = lib().FPDFText_GetSchResultIndex(h);
  EXPECT_GT(second, first);
  ASSERT_TRUE(lib().FPDFText_FindPrev(h));
  EXPECT_EQ(lib().FPDFText_GetSchResultIndex(h), first);
  lib().FPDFText_FindClose(h);
}

// controls.pdf: "ab\2cd ab\2cd abcd", where U+0002 is a character but no part of the
// text, so from the first one on character and text indices differ. Start indices and
// results are character indices.
TEST(TextSearch, StartIndicesAndResultsCountCharacters) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("controls.pdf");
  ASSERT_TRUE(doc);
  Page page = load_page(doc, 0);
  TextPage text = load_text(page);
  ASSERT_TRUE(text);
  ASSERT_EQ(lib.FPDFText_CountChars(text.get()), 16);
  ASSERT_EQ(lib.FPDFText_GetTextIndexFromCharIndex(text.get(), 3), 2);
  struct {
    int start;
    bool forward;
    int expected;  // character index of the match; -1: none
    int count;
  } cases[] = {
      {0, true, 0, 5},   {1, true, 6, 5},   {6, true, 6, 5},   {8, true, 12, 4},
      {12, true, 12, 4}, {13, true, -1, 0}, {14, false, 6, 5}, {15, false, 12, 4},
      {10, false, 6, 5}, {9, false, 0, 5},  {4, false, 0, 5},  {3, false, -1, 0},
  };
  const std::u16string pattern = u"abcd";
  std::vector<unsigned short> w(pattern.begin(), pattern.end());
  w.push_back(0);
  for (const auto &c : cases) {
    FPDF_SCHHANDLE h = lib.FPDFText_FindStart(text.get(), w.data(), 0, c.start);
    ASSERT_NE(h, nullptr);
    const bool found = c.forward ? lib.FPDFText_FindNext(h) : lib.FPDFText_FindPrev(h);
    EXPECT_EQ(found, c.expected >= 0) << c.start << (c.forward ? " forward" : " back");
    if (found && c.expected >= 0) {
      EXPECT_EQ(lib.FPDFText_GetSchResultIndex(h), c.expected) << c.start;
      EXPECT_EQ(lib.FPDFText_GetSchCount(h), c.count) << c.start;
    }
    lib.FPDFText_FindClose(h);
  }
}

TEST(TextCache, TextPagesOutliveTheirPageAndShareTheStream) {
  Doc doc = open_fixture("text.pdf");
  Page page = load_page(doc, 2);
  TextPage a = load_text(page);
  TextPage b = load_text(page);
  page.reset();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(pdfium().FPDFText_CountChars(a.get()), pdfium().FPDFText_CountChars(b.get()));
  // Rectangles are per handle.
  EXPECT_EQ(pdfium().FPDFText_CountRects(a.get(), 0, -1) > 1, true);
  EXPECT_EQ(pdfium().FPDFText_CountRects(b.get(), 0, 0), 0);
  double l, t, r, bo;
  EXPECT_TRUE(pdfium().FPDFText_GetRect(a.get(), 1, &l, &t, &r, &bo));
}
