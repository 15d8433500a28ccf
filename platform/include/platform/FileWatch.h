#pragma once
// Notice of files closed after writing or renamed into place, so that an open document follows
// its file at once instead of on the next poll. One system watch per folder, shared by every
// file added in it and removed with the last of them.
#include <QString>

#include <functional>
#include <memory>

namespace pl {

class FileWatch {
public:
    FileWatch();
    ~FileWatch();
    FileWatch(const FileWatch &) = delete;
    FileWatch &operator=(const FileWatch &) = delete;

    // False when the system gave no watch (the reason is logged); callers poll instead.
    bool Active() const;
    // Reports writes and renames onto path; counted, so the same path may be added more than
    // once. False when its folder cannot be watched.
    bool Add(const QString &path);
    // Undoes one Add of path.
    void Remove(const QString &path);
    // The folders watched now.
    int FolderCount() const;

    // Called from the event loop, once per file and batch of events, with the file's absolute path.
    std::function<void(const QString &path)> Changed;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace pl
