#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pdfium_library.h"

namespace {

struct MemoryWriter : FPDF_FILEWRITE {
  std::string bytes;
  int fail_after = -1;  // refuse the n-th block
  int blocks = 0;

  MemoryWriter() {
    version = 1;
    WriteBlock = [](FPDF_FILEWRITE *self, const void *data, unsigned long size) -> int {
      auto *w = static_cast<MemoryWriter *>(self);
      if (w->blocks++ == w->fail_after) return 0;
      w->bytes.append(static_cast<const char *>(data), size);
      return 1;
    };
  }
};

}  // namespace

TEST(Save, CopiesReopenWithTheirPagesAndSecurity) {
  Pdfium &lib = pdfium();
  struct {
    const char *file;
    const char *password;
    FPDF_DWORD flags;
    bool encrypted_after;
  } cases[] = {
      {"text.pdf", nullptr, 0, false},
      {"text.pdf", nullptr, FPDF_INCREMENTAL, false},
      {"text.pdf", nullptr, FPDF_NO_INCREMENTAL, false},
      {"text.pdf", nullptr, FPDF_REMOVE_SECURITY, false},
      {"text.pdf", nullptr, 77, false},
      {"enc-r3.pdf", "user", 0, true},
      {"enc-r6.pdf", "user", FPDF_INCREMENTAL, true},
      {"enc-r6.pdf", "user", FPDF_REMOVE_SECURITY, false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.file) + " flags " + std::to_string(c.flags));
    Doc doc = open_fixture(c.file, c.password);
    ASSERT_TRUE(doc);
    MemoryWriter w;
    ASSERT_TRUE(lib.FPDF_SaveAsCopy(doc.get(), &w, c.flags));
    EXPECT_EQ(w.bytes.substr(0, 5), "%PDF-");
    Doc copy(lib.FPDF_LoadMemDocument64(w.bytes.data(), w.bytes.size(), nullptr));
    EXPECT_EQ(bool(copy), !c.encrypted_after);
    if (c.encrypted_after) {
      EXPECT_EQ(lib.FPDF_GetLastError(), unsigned(FPDF_ERR_PASSWORD));
      copy.reset(lib.FPDF_LoadMemDocument64(w.bytes.data(), w.bytes.size(), c.password));
    }
    ASSERT_TRUE(copy);
    EXPECT_EQ(lib.FPDF_GetPageCount(copy.get()), lib.FPDF_GetPageCount(doc.get()));
  }
}

TEST(Save, IncrementalWithoutChangesKeepsTheOriginalBytes) {
  Doc doc = open_fixture("text.pdf");
  MemoryWriter w;
  ASSERT_TRUE(pdfium().FPDF_SaveAsCopy(doc.get(), &w, FPDF_INCREMENTAL));
  const std::vector<unsigned char> original = read_file(fixture("text.pdf"));
  ASSERT_GE(w.bytes.size(), original.size());
  EXPECT_EQ(w.bytes.compare(0, original.size(), std::string(original.begin(), original.end())), 0);
}

TEST(Save, VersionGoesIntoTheHeader) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  MemoryWriter w14, w99;
  ASSERT_TRUE(lib.FPDF_SaveWithVersion(doc.get(), &w14, 0, 14));
  EXPECT_EQ(w14.bytes.substr(0, 8), "%PDF-1.4");
  ASSERT_TRUE(lib.FPDF_SaveWithVersion(doc.get(), &w99, 0, 99));  // out of range: own version
  EXPECT_EQ(w99.bytes.substr(0, 8), "%PDF-1.6");
  int version = 0;
  lib.FPDF_GetFileVersion(doc.get(), &version);
  EXPECT_EQ(version, 16);
}

TEST(Save, RefusedWriteFails) {
  Pdfium &lib = pdfium();
  Doc doc = open_fixture("text.pdf");
  for (FPDF_DWORD flags : {FPDF_DWORD(0), FPDF_DWORD(FPDF_INCREMENTAL)}) {
    MemoryWriter w;
    w.fail_after = 1;
    EXPECT_FALSE(lib.FPDF_SaveAsCopy(doc.get(), &w, flags)) << flags;
  }
  EXPECT_FALSE(lib.FPDF_SaveAsCopy(doc.get(), nullptr, 0));
  // The document is still usable after a failed save.
  EXPECT_EQ(lib.FPDF_GetPageCount(doc.get()), 5);
}

// The incremental update passes through a temporary file, which holds the whole document:
// only its owner may read it, whatever the process umask.
TEST(Save, TheIncrementalTemporaryFileIsPrivate) {
  char folder[] = "/tmp/save-test-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const char *old_tmpdir = std::getenv("TMPDIR");
  const std::string saved_tmpdir = old_tmpdir ? old_tmpdir : "";
  setenv("TMPDIR", folder, 1);
  const mode_t old_umask = umask(0);

  struct Watcher : MemoryWriter {
    std::string folder;
    std::vector<unsigned> modes;  // of the files in the folder at the first block
  } w;
  w.folder = folder;
  w.WriteBlock = [](FPDF_FILEWRITE *self, const void *data, unsigned long size) -> int {
    auto *w = static_cast<Watcher *>(self);
    if (w->blocks++ == 0) {
      if (DIR *d = opendir(w->folder.c_str())) {
        while (const dirent *e = readdir(d)) {
          struct stat st {};
          if (e->d_name[0] != '.' && stat((w->folder + "/" + e->d_name).c_str(), &st) == 0)
            w->modes.push_back(st.st_mode & 07777);
        }
        closedir(d);
      }
    }
    w->bytes.append(static_cast<const char *>(data), size);
    return 1;
  };
  Doc doc = open_fixture("text.pdf");
  const bool saved = pdfium().FPDF_SaveAsCopy(doc.get(), &w, FPDF_INCREMENTAL);

  umask(old_umask);
  if (old_tmpdir)
    setenv("TMPDIR", saved_tmpdir.c_str(), 1);
  else
    unsetenv("TMPDIR");
  ASSERT_TRUE(saved);
  EXPECT_EQ(w.modes, std::vector<unsigned>{0600});
  EXPECT_EQ(rmdir(folder), 0) << "the temporary file is gone";
}
