#pragma once
#include "platform/Files.h"

#include <QStringList>

#include <algorithm>

namespace pl::fake {

// Real files with injected faults: writes stop after a byte budget (a full disk or a process
// killed in the middle of a save), and renames can be refused. Everything else goes to the
// production implementation. Installed for its lifetime.
class FailingFiles final : public Files {
public:
    qint64 writeBudget = -1; // bytes that may still be written; -1 = unlimited
    bool failRename = false;
    QStringList renamed; // targets of successful renames, in order

    FailingFiles() : real_(files()) { setFiles(this); }
    ~FailingFiles() override { setFiles(nullptr); }
    FailingFiles(const FailingFiles &) = delete;
    FailingFiles &operator=(const FailingFiles &) = delete;

    FileStatus status(const QString &path, bool followLinks) override { return real_.status(path, followLinks); }
    bool isLocked(const QString &path, bool writeFlag) override { return real_.isLocked(path, writeFlag); }
    bool makeFolders(const QString &path, bool privateMode) override { return real_.makeFolders(path, privateMode); }
    bool setMode(const QString &path, uint32_t mode) override { return real_.setMode(path, mode); }
    bool setTimes(const QString &path, int64_t w, int64_t a) override { return real_.setTimes(path, w, a); }
    FileHandle create(const QString &path, uint32_t mode, bool exclusive) override
    {
        // Re-own the descriptor so that writes come through this object.
        const int fd = real_.create(path, mode, exclusive).release();
        return fd < 0 ? FileHandle() : FileHandle(this, fd);
    }
    bool write(FileHandle &file, const QByteArray &bytes) override
    {
        if (writeBudget < 0)
            return real_.write(file, bytes);
        const qint64 n = std::min<qint64>(writeBudget, bytes.size());
        writeBudget -= n;
        if (n > 0 && !real_.write(file, bytes.left(n)))
            return false;
        return n == bytes.size();
    }
    bool sync(FileHandle &file) override { return real_.sync(file); }
    void close(int fd) override { real_.close(fd); }
    bool rename(const QString &from, const QString &to) override
    {
        if (failRename || !real_.rename(from, to))
            return false;
        renamed << to;
        return true;
    }
    bool remove(const QString &path) override { return real_.remove(path); }
    bool syncFolder(const QString &path) override { return real_.syncFolder(path); }
    WholeFile readWhole(const QString &path, QByteArray &bytes, int64_t limit, int64_t *writeTime) override
    {
        return real_.readWhole(path, bytes, limit, writeTime);
    }
    WholeFile writeWhole(const QString &path, const QByteArray &bytes) override
    {
        return real_.writeWhole(path, bytes);
    }

private:
    Files &real_;
};

} // namespace pl::fake
