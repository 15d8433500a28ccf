#include <gtest/gtest.h>

#include <cstring>

#include "pdfium_library.h"

namespace {

struct LoadCase {
  const char *file;
  const char *password;
  unsigned long error;  // FPDF_ERR_SUCCESS: loads
  int revision;
  unsigned long permissions;
  unsigned long user_permissions;
};

// Permissions: /P as qpdf wrote it, with PDFium's rule for the Standard
// handler ((P & ~3) | 0xFFFFF0C0), and 0xFFFFFFFC after an owner unlock.
const LoadCase kLoadCases[] = {
    {"missing.pdf", nullptr, FPDF_ERR_FILE, 0, 0, 0},
    {"", nullptr, FPDF_ERR_FILE, 0, 0, 0},  // the fixture folder itself
    {"empty.pdf", nullptr, FPDF_ERR_FORMAT, 0, 0, 0},
    {"garbage.pdf", nullptr, FPDF_ERR_FORMAT, 0, 0, 0},
    {"truncated.pdf", nullptr, FPDF_ERR_FORMAT, 0, 0, 0},
    {"unknown-filter.pdf", nullptr, FPDF_ERR_SECURITY, 0, 0, 0},
    {"text.pdf", nullptr, FPDF_ERR_SUCCESS, -1, 0xFFFFFFFF, 0xFFFFFFFF},
    {"enc-r2.pdf", nullptr, FPDF_ERR_PASSWORD, 0, 0, 0},
    {"enc-r2.pdf", "wrong", FPDF_ERR_PASSWORD, 0, 0, 0},
    {"enc-r2.pdf", "user", FPDF_ERR_SUCCESS, 2, 0xFFFFFFC0, 0xFFFFFFC0},
    {"enc-r2.pdf", "owner", FPDF_ERR_SUCCESS, 2, 0xFFFFFFFC, 0xFFFFFFC0},
    {"enc-r3.pdf", "user", FPDF_ERR_SUCCESS, 3, 0xFFFFF7E8, 0xFFFFF7E8},
    {"enc-r4.pdf", "user", FPDF_ERR_SUCCESS, 4, 0xFFFFFFFC, 0xFFFFFFFC},
    {"enc-r6.pdf", "user", FPDF_ERR_SUCCESS, 6, 0xFFFFF7F8, 0xFFFFF7F8},
    {"enc-r6.pdf", "", FPDF_ERR_PASSWORD, 0, 0, 0},
    {"enc-r6-empty.pdf", nullptr, FPDF_ERR_SUCCESS, 6, 0xFFFFF7F8, 0xFFFFF7F8},
    {"enc-r3-empty.pdf", "owner", FPDF_ERR_SUCCESS, 3, 0xFFFFFFFC, 0xFFFFF7E8},
};

void check_loaded(const LoadCase &c, FPDF_DOCUMENT d, const std::string &how) {
  Pdfium &lib = pdfium();
  SCOPED_TRACE(how + " " + c.file + " password " + (c.password ? c.password : "(null)"));
  if (c.error != FPDF_ERR_SUCCESS) {
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(lib.FPDF_GetLastError(), c.error);
    return;
  }
  ASSERT_NE(d, nullptr);
  Doc doc(d);
  EXPECT_EQ(lib.FPDF_GetSecurityHandlerRevision(d), c.revision);
  EXPECT_EQ(lib.FPDF_GetDocPermissions(d), c.permissions);
  EXPECT_EQ(lib.FPDF_GetDocUserPermissions(d), c.user_permissions);
  EXPECT_GT(lib.FPDF_GetPageCount(d), 0);
}

}  // namespace

TEST(Document, LoadResultsErrorsAndPermissions) {
  for (const LoadCase &c : kLoadCases)
    check_loaded(c, pdfium().FPDF_LoadDocument(fixture(c.file).c_str(), c.password), "file");
}

TEST(Document, MemoryLoadingGivesTheSameResults) {
  for (const LoadCase &c : kLoadCases) {
    if (c.error == FPDF_ERR_FILE) continue;
    const std::vector<unsigned char> data = read_file(fixture(c.file));
    check_loaded(c, pdfium().FPDF_LoadMemDocument(data.data(), int(data.size()), c.password),
                 "memory");
    check_loaded(c, pdfium().FPDF_LoadMemDocument64(data.data(), data.size(), c.password),
                 "memory64");
  }
  EXPECT_EQ(pdfium().FPDF_LoadMemDocument(nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(pdfium().FPDF_GetLastError(), unsigned(FPDF_ERR_FORMAT));
}

TEST(Document, MemoryDocumentReadsTheCallersBuffer) {
  // Pages are read lazily from the caller's buffer, which must stay valid.
  std::vector<unsigned char> data = read_file(fixture("text.pdf"));
  Doc doc(pdfium().FPDF_LoadMemDocument64(data.data(), data.size(), nullptr));
  ASSERT_TRUE(doc);
  EXPECT_EQ(pdfium().FPDF_GetPageCount(doc.get()), 5);
  Page page = load_page(doc, 4);
  ASSERT_TRUE(page);
  EXPECT_FLOAT_EQ(pdfium().FPDF_GetPageWidthF(page.get()), 300.f);
}

TEST(Document, MetadataFollowsTheUtf16Protocol) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  ASSERT_TRUE(doc);
  struct {
    const char *tag;
    const char *value;
  } cases[] = {{"Title", "Test Title Über"}, {"Author", "A. Author"},
               {"Subject", "The Subject"},   {"Keywords", "alpha, beta"},
               {"Creator", "TeXCreator"},    {"Producer", "TeXProducer"}};
  for (const auto &c : cases) {
    auto get = [&](void *b, unsigned long n) {
      return lib.FPDF_GetMetaText(doc.get(), c.tag, b, n);
    };
    EXPECT_EQ(read_u16(get), u16(c.value)) << c.tag;
  }
  EXPECT_EQ(lib.FPDF_GetMetaText(doc.get(), "Title", nullptr, 0), 32u);
  EXPECT_EQ(lib.FPDF_GetMetaText(doc.get(), "NoSuchKey", nullptr, 0), 2u);
  EXPECT_EQ(lib.FPDF_GetMetaText(doc.get(), nullptr, nullptr, 0), 0u);

  // A buffer one byte too small is left untouched.
  unsigned char canary[31];
  std::memset(canary, 0xAB, sizeof canary);
  EXPECT_EQ(lib.FPDF_GetMetaText(doc.get(), "Title", canary, sizeof canary), 32u);
  for (unsigned char ch : canary) ASSERT_EQ(ch, 0xAB);

  auto get_date = [&](void *b, unsigned long n) {
    return lib.FPDF_GetMetaText(doc.get(), "CreationDate", b, n);
  };
  EXPECT_EQ(read_u16(get_date).substr(0, 4), u"D:20");

  Doc geom = open_fixture("geom.pdf");  // no Info dictionary at all
  EXPECT_EQ(lib.FPDF_GetMetaText(geom.get(), "Title", nullptr, 0), 0u);
}

TEST(Document, VersionAndTagging) {
  Pdfium &lib = pdfium();
  struct {
    const char *file;
    int version;
    bool tagged;
  } cases[] = {{"text.pdf", 16, true}, {"geom.pdf", 14, false}, {"misc.pdf", 17, false}};
  for (const auto &c : cases) {
    Doc doc = open_fixture(c.file);
    int version = -1;
    EXPECT_TRUE(lib.FPDF_GetFileVersion(doc.get(), &version));
    EXPECT_EQ(version, c.version) << c.file;
    EXPECT_EQ(bool(lib.FPDFCatalog_IsTagged(doc.get())), c.tagged) << c.file;
  }
  int version = 99;
  EXPECT_FALSE(lib.FPDF_GetFileVersion(nullptr, &version));
  EXPECT_EQ(version, 0);
}
