#include "base/FileUtils.h"
#include "base/MinuteTime.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

INSTANTIATE_TEST_SUITE_P(Table, FileParts,
                         ::testing::Values(PartsCase{"/home/u/paper.tex.pdf", "/home/u", "paper.tex", ".pdf"},
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
    EXPECT_TRUE(FileExists(dir.path() + '/')); // tested as a folder
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
    const int64_t t =
        (QDateTime(QDate(2026, 12, 9), QTime(9, 5), Qt::UTC).toSecsSinceEpoch()) * 10000000LL + pl::FileTimeUnixEpoch;
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
    EXPECT_EQ(FileTime64(file), before); // probing never touches the file
}

// A file of another user takes no read lease from us: it counts as being written until its
// size and date have stayed the same for a second of polls; an old file is settled at once.
TEST(FileUtils, WithoutALeaseAFileIsLockedUntilItStopsChanging)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to probe as another user";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(
        dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QString file = dir.filePath(QStringLiteral("theirs.pdf"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    ASSERT_TRUE(
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    const int64_t hourAgo = FileTime64(file) - 3600 * 10000000LL;
    ASSERT_TRUE(pl::files().setTimes(file, hourAgo, hourAgo));

    // Credentials are per thread in the kernel: only this thread becomes the other user.
    std::vector<bool> locked;
    int leaseError = 0;
    std::thread other([&] {
        if (::syscall(SYS_setresgid, 65534, 65534, 65534) != 0 || ::syscall(SYS_setresuid, 65534, 65534, 65534) != 0)
            return;
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) != 0)
            leaseError = errno;
        ::close(fd);
        locked.push_back(FileLocked(file, false, true));
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append))
            f.write("1 0 obj\n");
        f.close();
        locked.push_back(FileLocked(file, false, true));
        locked.push_back(FileLocked(file, false, true));
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        locked.push_back(FileLocked(file, false, true));
    });
    other.join();
    ASSERT_EQ(leaseError, EACCES);
    EXPECT_EQ(locked, (std::vector<bool>{false, true, true, false}))
        << "old file, just grown, polled again at once, unchanged for a second";
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
