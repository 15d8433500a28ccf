#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>

namespace pl {

// File times are kept as 100 ns units since 1601-01-01 UTC, so that equality tests and the
// minute arithmetic of the callers see the same numbers everywhere.
constexpr int64_t FileTimeUnixEpoch = 116444736000000000LL;

// A POSIX time stamp in those units.
constexpr int64_t FileTimeOf(int64_t sec, int64_t nsec) { return sec * 10000000LL + nsec / 100 + FileTimeUnixEpoch; }

enum class FileKind : uint8_t { Missing, Regular, Directory, Other };

// Outcome of reading or writing a whole file.
enum class WholeFile : uint8_t {
    Ok,
    CannotOpen, // cannot be opened, or is no regular file
    Missing,    // the name or a folder on its path does not exist
    IoError,
    Short, // fewer bytes than expected
};

struct FileStatus {
    FileKind kind = FileKind::Missing;
    bool accessDenied = false; // the entry may exist, but it cannot be examined
    int64_t size = -1;
    int64_t writeTime = -1;    // 100 ns units since 1601 (UTC)
    int64_t creationTime = -1; // birth time where the file system keeps one, else the write time
    int64_t accessTime = -1;
    uint32_t mode = 0;        // permission bits
    bool ownedByUser = false; // owned by the effective user
};

class Files;

// An open file for writing; closed when it goes out of scope.
class FileHandle {
public:
    FileHandle() = default;
    FileHandle(Files *owner, int fd) : owner_(owner), fd_(fd) {}
    FileHandle(FileHandle &&other) noexcept : owner_(other.owner_), fd_(other.fd_) { other.fd_ = -1; }
    FileHandle &operator=(FileHandle &&other) noexcept;
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { reset(); }

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void reset();
    // Writes through the file system that opened it, whichever is installed now.
    bool write(const QByteArray &bytes);
    int release() // gives up ownership without closing
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    Files *owner_ = nullptr;
    int fd_ = -1;
};

// The file system as the program needs it. Tests may install a decorator that injects
// failures and forwards the rest to the production implementation.
class Files {
public:
    virtual ~Files() = default;

    // followLinks false examines a symbolic link itself.
    virtual FileStatus status(const QString &path, bool followLinks = true) = 0;
    // Someone holds the file open for writing (read-lease probe; where no lease can be placed,
    // its size or date changed within the last second of polls); with writeFlag also a file
    // this user may not write counts as locked. Never opens the file for writing.
    virtual bool isLocked(const QString &path, bool writeFlag) = 0;
    // Creates the folder and its missing parents; created folders get 0700 when privateMode.
    virtual bool makeFolders(const QString &path, bool privateMode) = 0;
    virtual bool setMode(const QString &path, uint32_t mode) = 0;
    virtual bool setTimes(const QString &path, int64_t writeTime, int64_t accessTime) = 0;
    // Opens for writing without following a final symbolic link; truncates an existing file
    // unless exclusive, which fails when the name exists.
    virtual FileHandle create(const QString &path, uint32_t mode, bool exclusive) = 0;
    virtual bool write(FileHandle &file, const QByteArray &bytes) = 0;
    virtual bool sync(FileHandle &file) = 0;
    virtual void close(int fd) = 0;
    virtual bool rename(const QString &from, const QString &to) = 0;
    virtual bool remove(const QString &path) = 0;
    virtual bool syncFolder(const QString &path) = 0;
    // Reads a regular file whole, or its first limit bytes when limit > 0. A FIFO, device or
    // folder is refused without blocking. writeTime, when given, receives the last-write time
    // of the file that was read.
    virtual WholeFile readWhole(const QString &path, QByteArray &bytes, int64_t limit, int64_t *writeTime) = 0;
    // Creates or replaces a regular file (0666 before the umask) with the bytes. Anything else
    // at the name is refused before it is opened: opening a device may already act on it.
    virtual WholeFile writeWhole(const QString &path, const QByteArray &bytes) = 0;
};

Files &files();
void setFiles(Files *f); // nullptr restores the production implementation

inline void FileHandle::reset()
{
    if (fd_ >= 0 && owner_)
        owner_->close(fd_);
    fd_ = -1;
}

inline bool FileHandle::write(const QByteArray &bytes) { return fd_ >= 0 && owner_ && owner_->write(*this, bytes); }

inline FileHandle &FileHandle::operator=(FileHandle &&other) noexcept
{
    if (this != &other) {
        reset();
        owner_ = other.owner_;
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

} // namespace pl
