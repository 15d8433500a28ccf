#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The data file and its backups hold passwords and commands the program runs: owner only.
constexpr uint32_t PrivateFileMode = 0600;

struct TFileTimes {
    int64_t writeTime; // 100 ns units since 1601 (UTC)
    int64_t accessTime;
};

// Replaces the file so that a crash or a full disk never leaves it empty or truncated: the
// bytes go to a new file beside it, which is flushed and then renamed over the old one.
// With times, the new file carries them (a copy keeps its source's times). A symbolic link
// stays a link: the file it names is the one replaced.
bool WriteFileDurably(const QString &path, const QByteArray &bytes, uint32_t mode,
                      const std::optional<TFileTimes> &times = std::nullopt);

// Copies a regular file the same way, keeping the source's write and access times.
bool CopyFileKeepingTimes(const QString &from, const QString &to, uint32_t mode);
