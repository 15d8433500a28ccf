#include "platform/Files.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <limits>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace pl {
namespace {

int64_t fileTimeOf(const struct statx_timestamp &t) { return FileTimeOf(t.tv_sec, t.tv_nsec); }

struct timespec timespecOf(int64_t fileTime)
{
    const int64_t units = fileTime - FileTimeUnixEpoch;
    int64_t sec = units / 10000000LL;
    int64_t rest = units % 10000000LL;
    if (rest < 0) {
        rest += 10000000LL;
        --sec;
    }
    struct timespec ts {};
    ts.tv_sec = static_cast<time_t>(sec);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}

QByteArray native(const QString &path) { return QFile::encodeName(path); }

// Owns a descriptor of the whole-file calls.
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

WholeFile openError(int error)
{
    return error == ENOENT || error == ENOTDIR ? WholeFile::Missing : WholeFile::CannotOpen;
}

// A lease break is announced by SIGIO, whose default action ends the process.
void ignoreLeaseBreaks()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGIO, SIG_IGN); });
}

// Where no read lease can be placed (a file of another user, a file system without leases),
// a file counts as being written until its size and date stay the same over two polls at
// least a second apart. A file whose date is older than that has not been written since.
class SettledFiles {
public:
    bool changing(const QByteArray &name, const struct stat &sb)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        const Sample sample{sb.st_size, sb.st_mtim.tv_sec, sb.st_mtim.tv_nsec};
        std::lock_guard lock(mutex_);
        auto it = seen_.find(name);
        if (it == seen_.end()) {
            if (seen_.size() >= kMaxFiles)
                seen_.clear();
            // Seen for the first time: settled when its date is older than a poll's distance.
            const bool recent = ::time(nullptr) - sb.st_mtim.tv_sec <= kSettle.count();
            seen_.emplace(name, Seen{sample, recent ? now : now - kSettle});
            return recent;
        }
        if (!(it->second.sample == sample)) {
            it->second = Seen{sample, now};
            return true;
        }
        return now - it->second.since < kSettle;
    }

private:
    struct Sample {
        off_t size;
        time_t sec;
        long nsec;
        bool operator==(const Sample &) const = default;
    };
    struct Seen {
        Sample sample;
        std::chrono::steady_clock::time_point since; // when this size and date were first seen
    };
    static constexpr std::chrono::seconds kSettle{1};
    static constexpr size_t kMaxFiles = 256;
    std::mutex mutex_;
    std::map<QByteArray, Seen> seen_;
};

class PosixFiles final : public Files {
public:
    FileStatus status(const QString &path, bool followLinks) override
    {
        FileStatus st;
        if (path.isEmpty())
            return st;
        struct statx sx {};
        const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
        if (::statx(AT_FDCWD, native(path).constData(), flags,
                    STATX_TYPE | STATX_MODE | STATX_UID | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME, &sx)
            != 0) {
            st.accessDenied = errno == EACCES;
            return st;
        }
        if (S_ISREG(sx.stx_mode))
            st.kind = FileKind::Regular;
        else if (S_ISDIR(sx.stx_mode))
            st.kind = FileKind::Directory;
        else
            st.kind = FileKind::Other;
        st.size = static_cast<int64_t>(sx.stx_size);
        st.writeTime = fileTimeOf(sx.stx_mtime);
        st.accessTime = fileTimeOf(sx.stx_atime);
        st.creationTime = (sx.stx_mask & STATX_BTIME) ? fileTimeOf(sx.stx_btime) : st.writeTime;
        st.mode = sx.stx_mode & 07777;
        st.ownedByUser = sx.stx_uid == ::geteuid();
        return st;
    }

    bool isLocked(const QString &path, bool writeFlag) override
    {
        const QByteArray name = native(path);
        struct stat sb {};
        if (path.isEmpty() || ::stat(name.constData(), &sb) != 0)
            return false;
        ignoreLeaseBreaks();
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return true;
        bool locked = false;
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
        else if (errno == EAGAIN)
            locked = true; // a writer holds it open
        else
            locked = settled_.changing(name, sb);
        ::close(fd);
        if (!locked && writeFlag)
            locked = ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0;
        return locked;
    }

    bool makeFolders(const QString &path, bool privateMode) override
    {
        const QString clean = QDir::cleanPath(path);
        if (clean.isEmpty())
            return false;
        const mode_t mode = privateMode ? 0700 : 0777;
        int from = clean.startsWith('/') ? 1 : 0;
        for (;;) {
            const int slash = clean.indexOf('/', from);
            const QString part = slash < 0 ? clean : clean.left(slash);
            if (!part.isEmpty() && ::mkdir(native(part).constData(), mode) != 0 && errno != EEXIST)
                return false;
            if (slash < 0)
                break;
            from = slash + 1;
        }
        struct stat sb {};
        return ::stat(native(clean).constData(), &sb) == 0 && S_ISDIR(sb.st_mode);
    }

    bool setMode(const QString &path, uint32_t mode) override
    {
        return ::chmod(native(path).constData(), static_cast<mode_t>(mode)) == 0;
    }

    bool setTimes(const QString &path, int64_t writeTime, int64_t accessTime) override
    {
        const struct timespec times[2] = {timespecOf(accessTime), timespecOf(writeTime)};
        return ::utimensat(AT_FDCWD, native(path).constData(), times, 0) == 0;
    }

    FileHandle create(const QString &path, uint32_t mode, bool exclusive) override
    {
        const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
        const int fd = ::open(native(path).constData(), flags, static_cast<mode_t>(mode));
        return fd < 0 ? FileHandle() : FileHandle(this, fd);
    }

    bool write(FileHandle &file, const QByteArray &bytes) override
    {
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(file.fd(), p, static_cast<size_t>(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            left -= n;
        }
        return true;
    }

    bool sync(FileHandle &file) override { return file.isOpen() && ::fsync(file.fd()) == 0; }

    void close(int fd) override { ::close(fd); }

    bool rename(const QString &from, const QString &to) override
    {
        return ::rename(native(from).constData(), native(to).constData()) == 0;
    }

    bool remove(const QString &path) override { return ::unlink(native(path).constData()) == 0; }

    bool syncFolder(const QString &path) override
    {
        const int fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool ok = ::fsync(fd) == 0;
        ::close(fd);
        return ok;
    }

    WholeFile readWhole(const QString &path, QByteArray &bytes, int64_t limit, int64_t *writeTime) override
    {
        bytes.clear();
        // Non-blocking, so that opening a FIFO returns at once; it is then refused as not a file.
        Fd fd(::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!fd.valid())
            return openError(errno);
        struct stat sb {};
        if (::fstat(fd.get(), &sb) != 0 || !S_ISREG(sb.st_mode))
            return WholeFile::CannotOpen;
        if (writeTime)
            *writeTime = FileTimeOf(sb.st_mtim.tv_sec, sb.st_mtim.tv_nsec);
        int64_t expected = sb.st_size;
        if (limit > 0 && limit < expected)
            expected = limit;
        if (expected > int64_t(std::numeric_limits<qsizetype>::max() / 2))
            return WholeFile::IoError;
        bytes.resize(expected);
        int64_t done = 0;
        while (done < expected) {
            const ssize_t n = ::read(fd.get(), bytes.data() + done, size_t(expected - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                bytes.clear();
                return WholeFile::IoError;
            }
            if (n == 0)
                break;
            done += n;
        }
        if (done < expected) {
            bytes.truncate(done);
            return WholeFile::Short;
        }
        return WholeFile::Ok;
    }

    WholeFile writeWhole(const QString &path, const QByteArray &bytes) override
    {
        const QByteArray name = native(path);
        struct stat sb {};
        if (::stat(name.constData(), &sb) == 0 && !S_ISREG(sb.st_mode))
            return WholeFile::CannotOpen;
        Fd fd(::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
        if (!fd.valid())
            return openError(errno);
        if (::fstat(fd.get(), &sb) != 0 || !S_ISREG(sb.st_mode))
            return WholeFile::CannotOpen;
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd.get(), p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return WholeFile::IoError;
            if (n == 0)
                return WholeFile::Short;
            p += n;
            left -= n;
        }
        return fd.close() ? WholeFile::Ok : WholeFile::IoError;
    }

private:
    SettledFiles settled_;
};

PosixFiles posixFiles;
Files *currentFiles = &posixFiles;

} // namespace

Files &files() { return *currentFiles; }
void setFiles(Files *f) { currentFiles = f ? f : &posixFiles; }

} // namespace pl
