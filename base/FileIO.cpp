#include "base/FileIO.h"

#include "base/TextCodec.h"
#include "platform/Files.h"

#include <QFile>

#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // close() reports late write errors (full disk on a network file system).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

int openError(int error) { return error == ENOENT || error == ENOTDIR ? frMissing : frCannotOpen; }

bool isRegular(int fd)
{
    struct stat sb {};
    return ::fstat(fd, &sb) == 0 && S_ISREG(sb.st_mode);
}

} // namespace

int ReadWholeFile(const QString &name, QByteArray &bytes, qint64 limit, int64_t *writeTime)
{
    bytes.clear();
    if (name.isEmpty())
        return frNoName;
    // Non-blocking, so that opening a FIFO returns at once; it is then refused as not a file.
    Fd fd(::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return openError(errno);
    struct stat sb {};
    if (::fstat(fd.get(), &sb) != 0 || !S_ISREG(sb.st_mode))
        return frCannotOpen;
    if (writeTime)
        *writeTime = pl::FileTimeOf(sb.st_mtim.tv_sec, sb.st_mtim.tv_nsec);
    qint64 expected = sb.st_size;
    if (limit > 0 && limit < expected)
        expected = limit;
    if (expected > qint64(std::numeric_limits<qsizetype>::max() / 2))
        return frIoError;
    bytes.resize(expected);
    qint64 done = 0;
    while (done < expected) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, size_t(expected - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            return frIoError;
        }
        if (n == 0)
            break;
        done += n;
    }
    if (done < expected) {
        bytes.truncate(done);
        return frShort;
    }
    return frOk;
}

int WriteWholeFile(const QString &name, const QByteArray &bytes)
{
    if (name.isEmpty())
        return frNoName;
    const QByteArray path = QFile::encodeName(name);
    // Checked before opening: opening a device or FIFO for writing may already act on it.
    struct stat sb {};
    if (::stat(path.constData(), &sb) == 0 && !S_ISREG(sb.st_mode))
        return frCannotOpen;
    Fd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
    if (!fd.valid())
        return openError(errno);
    if (!isRegular(fd.get()))
        return frCannotOpen;
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return frIoError;
        if (n == 0)
            return frShort;
        p += n;
        left -= n;
    }
    return fd.close() ? frOk : frIoError;
}

bool ReadTextFile(const QString &name, QString &text, bool detectBom, int format, int codepage, bool verify)
{
    QByteArray bytes;
    if (ReadWholeFile(name, bytes) != frOk)
        return false;
    // Decoding always yields a text: its last fallback takes every byte.
    text = DecodeText(bytes, detectBom, format, codepage, verify);
    return true;
}

bool WriteTextFile(const QString &name, const QString &text, bool bom, int format, int codepage)
{
    int status = 0;
    const QByteArray bytes = EncodeText(text, bom, format, codepage, false, &status);
    // A lossy result is still written (it is the best this encoding can hold) but reported.
    if (status == 3)
        return false;
    return WriteWholeFile(name, bytes) == frOk && status == 0;
}
