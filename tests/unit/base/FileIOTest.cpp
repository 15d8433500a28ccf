#include "base/FileIO.h"

#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileIOFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QByteArray contents(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

// Runs op on a worker and fails the test if it has not returned after a few seconds;
// unblock then releases a reader stuck on the FIFO so that the test can end.
template <class Op, class Unblock>
int withoutHanging(Op op, Unblock unblock)
{
    auto result = std::async(std::launch::async, op);
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "the call blocked";
        unblock();
    }
    return result.get();
}

} // namespace

TEST_F(FileIOFixture, WriteAndReadBack)
{
    const QByteArray data("line 1\r\nline 2\0tail", 19);
    EXPECT_EQ(WriteWholeFile(path("a.bin"), data), frOk);
    EXPECT_EQ(contents("a.bin"), data);
    QByteArray read;
    EXPECT_EQ(ReadWholeFile(path("a.bin"), read), frOk);
    EXPECT_EQ(read, data);
    EXPECT_EQ(ReadWholeFile(path("a.bin"), read, 6), frOk);
    EXPECT_EQ(read, "line 1");
    // Replacing with less leaves nothing of the old content.
    EXPECT_EQ(WriteWholeFile(path("a.bin"), "x"), frOk);
    EXPECT_EQ(contents("a.bin"), "x");
    EXPECT_EQ(WriteWholeFile(path("empty"), QByteArray()), frOk);
    EXPECT_EQ(ReadWholeFile(path("empty"), read), frOk);
    EXPECT_TRUE(read.isEmpty());
}

TEST_F(FileIOFixture, ResultCodes)
{
    QByteArray read = "old";
    EXPECT_EQ(ReadWholeFile(QString(), read), frNoName);
    EXPECT_EQ(ReadWholeFile(path("missing"), read), frMissing);
    EXPECT_TRUE(read.isEmpty());
    EXPECT_EQ(ReadWholeFile(path("missing/below"), read), frMissing);
    EXPECT_EQ(ReadWholeFile(dir.path(), read), frCannotOpen);
    EXPECT_EQ(ReadWholeFile("/dev/zero", read), frCannotOpen);
    EXPECT_EQ(WriteWholeFile(QString(), "x"), frNoName);
    EXPECT_EQ(WriteWholeFile(path("no/such/folder/f"), "x"), frMissing);
    EXPECT_EQ(WriteWholeFile(dir.path(), "x"), frCannotOpen);
    EXPECT_EQ(WriteWholeFile("/dev/null", "x"), frCannotOpen);

    // A link to a device is no file either.
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero")));
    EXPECT_EQ(ReadWholeFile(path("zero"), read), frCannotOpen);

    ASSERT_EQ(WriteWholeFile(path("secret"), "x"), frOk);
    QFile::setPermissions(path("secret"), QFileDevice::Permissions());
    if (::geteuid() != 0) {
        EXPECT_EQ(ReadWholeFile(path("secret"), read), frCannotOpen);
    }
}

TEST_F(FileIOFixture, FifoIsRefusedWithoutBlocking)
{
    const QByteArray fifo = QFile::encodeName(path("fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const auto releaseReader = [&] {
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    };
    QByteArray read;
    EXPECT_EQ(withoutHanging([&] { return ReadWholeFile(path("fifo"), read); }, releaseReader), frCannotOpen);
    const auto releaseWriter = [&] {
        const int fd = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    };
    EXPECT_EQ(withoutHanging([&] { return WriteWholeFile(path("fifo"), "x"); }, releaseWriter), frCannotOpen);
}

TEST_F(FileIOFixture, TextFiles)
{
    ASSERT_EQ(WriteWholeFile(path("bom.txt"),
                             QByteArray("\xEF\xBB\xBF"
                                        "caf\xC3\xA9")),
              frOk);
    QString text;
    EXPECT_TRUE(ReadTextFile(path("bom.txt"), text));
    EXPECT_EQ(text, QStringLiteral("caf\u00E9"));

    EXPECT_TRUE(WriteTextFile(path("link.tmp"), QStringLiteral("-B \u00E9"), false, tfUtf16LE, -1));
    EXPECT_EQ(contents("link.tmp"), QByteArray("-\0B\0 \0\xE9\0", 8));
    EXPECT_TRUE(ReadTextFile(path("link.tmp"), text, false, tfUtf16LE, -1));
    EXPECT_EQ(text, QStringLiteral("-B \u00E9"));

    // A text the code page cannot hold is written as well as it can be, and reported.
    EXPECT_FALSE(WriteTextFile(path("ascii.txt"), QStringLiteral("a\u0100"), false, tfCodePage, CpSystem));
    EXPECT_EQ(contents("ascii.txt"), "a?");

    EXPECT_FALSE(ReadTextFile(path("missing.txt"), text));
    EXPECT_FALSE(WriteTextFile(path("no/folder.txt"), "x", false, tfUtf8, CpUtf8));
}
