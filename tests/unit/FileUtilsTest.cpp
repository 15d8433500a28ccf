#include "app/FileUtils.h"
#include "app/MinuteTime.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct PartsCase {
    const char *path, *folder, *name, *extension;
};

void PrintTo(const PartsCase &c, std::ostream *os) { *os << c.path; }

class FileParts : public ::testing::TestWithParam<PartsCase> {};

TEST_P(FileParts, SplitAtTheLastSeparatorAndDot)
{
    const PartsCase &c = GetParam();
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(FileFolder(path), QString::fromUtf8(c.folder));
    EXPECT_EQ(FileNameOnly(path), QString::fromUtf8(c.name));
    EXPECT_EQ(FileExtension(path), QString::fromUtf8(c.extension));
}

INSTANTIATE_TEST_SUITE_P(Table, FileParts, ::testing::Values(
    PartsCase{"/home/u/paper.tex.pdf", "/home/u", "paper.tex", ".pdf"},
    PartsCase{"/home/u.d/README", "/home/u.d", "README", ""},
    PartsCase{"name.synctex.gz", "", "name.synctex", ".gz"},
    PartsCase{"/home/u/", "/home/u", "", ""}));

TEST(FileUtils, OnlyRegularFilesAreFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("12345");
    f.close();

    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(FileExists(dir.path() + '/'));          // tested as a folder
    EXPECT_FALSE(FileExists(QStringLiteral("/dev/null")));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir.path() + '/'));
    EXPECT_EQ(FileSize64(file), 5);
    EXPECT_EQ(FileSize64(dir.filePath(QStringLiteral("missing"))), -1);
    EXPECT_EQ(FileSize64(QStringLiteral("/dev/null")), -1);
}

TEST(FileUtils, FileTimesAreHundredNanosecondsSince1601)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // 2026-12-09 09:05:00 UTC (TZ=UTC in tests).
    const int64_t t = (QDateTime(QDate(2026, 12, 9), QTime(9, 5), Qt::UTC).toSecsSinceEpoch()) * 10000000LL + pl::FileTimeUnixEpoch;
    ASSERT_TRUE(pl::files().setTimes(file, t + 1234567, t));
    EXPECT_EQ(FileTime64(file, ftLastWrite), t + 1234567);
    EXPECT_EQ(FileTime64(file, ftLastAccess), t);
    EXPECT_GT(FileTime64(file, ftCreation), 0);
    EXPECT_EQ(FileTime64(dir.filePath(QStringLiteral("missing"))), -1);
    EXPECT_EQ(FileMinuteTime(file), MinuteTime(2026, 12, 9, 9, 5));
    EXPECT_EQ(FileDateText(file, QString()), QStringLiteral("Wednesday, December 9, 2026 at 9:05"));
    EXPECT_EQ(FileDateText(dir.filePath(QStringLiteral("missing")), QString()), QStringLiteral("Not Saved"));
}

TEST(FileUtils, LockedMeansSomeoneHoldsItOpenForWriting)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    QFile writer(file);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    EXPECT_TRUE(FileLocked(file, false, true));
    writer.close();
    EXPECT_FALSE(FileLocked(file, false, true));
    EXPECT_FALSE(FileLocked(file, true, false));
    EXPECT_FALSE(FileLocked(dir.filePath(QStringLiteral("missing")), false, false));
    const int64_t before = FileTime64(file);
    (void)FileLocked(file, true, true);
    EXPECT_EQ(FileTime64(file), before);   // probing never touches the file
}

TEST(FileUtils, CanonicalPathIsLexical)
{
    EXPECT_EQ(CanonicalPath(QStringLiteral("/home/u/./a/../b.pdf")), QStringLiteral("/home/u/b.pdf"));
    EXPECT_EQ(CanonicalPath(QStringLiteral("b.pdf")), QDir::currentPath() + QStringLiteral("/b.pdf"));
    EXPECT_EQ(CanonicalPath(QStringLiteral("//home//u/")), QStringLiteral("/home/u"));
}

TEST(FileUtils, CurrentDocumentFolderOnlyWhenItExists)
{
    QTemporaryDir dir;
    EXPECT_EQ(CurrentDocFolder(dir.filePath(QStringLiteral("a.pdf"))), dir.path());
    EXPECT_EQ(CurrentDocFolder(dir.filePath(QStringLiteral("gone/a.pdf"))), QString());
    EXPECT_EQ(CurrentDocFolder(QString()), QString());
}

TEST(FileUtils, SpecialFoldersFollowTheXdgVariables)
{
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg-home");
    qputenv("XDG_DATA_HOME", "/tmp/data-home");
    EXPECT_EQ(SpecialFolder(false), QStringLiteral("/tmp/cfg-home"));
    EXPECT_EQ(SpecialFolder(true), QStringLiteral("/tmp/data-home"));
    qputenv("XDG_CONFIG_HOME", config);
    qputenv("XDG_DATA_HOME", data);
}

} // namespace
