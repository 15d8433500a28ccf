#pragma once
#include <QString>

#include <cstdint>

// File and path services shared by the settings, the document list and the shell commands.
// Files are regular files only: folders, FIFOs, sockets and devices are not files.

bool FolderExists(const QString &path); // a trailing "/" is ignored
bool FileExists(const QString &path);   // a path ending in "/" is tested as a folder
// Someone holds the file open for writing; with writeFlag also a file this user may not
// write. False when the file does not exist. (Sharing modes do not exist here, so the share
// flag of the callers has no effect.)
bool FileLocked(const QString &path, bool writeFlag, bool shareFlag);

QString FileFolder(const QString &path);    // before the last "/", empty without one
QString FileNameOnly(const QString &path);  // after the last "/" up to its last "."
QString FileExtension(const QString &path); // from the last "." of the name, with the "."

int64_t FileSize64(const QString &path); // -1 when missing
enum TFileTimeKind { ftLastWrite = 0, ftCreation = 1, ftLastAccess = 2 };
// 100 ns units since 1601-01-01 UTC; -1 when missing.
int64_t FileTime64(const QString &path, int which = ftLastWrite);
// The file time in local minutes since 1601; the present time when the file is missing.
int64_t FileMinuteTime(const QString &path, int which = ftLastWrite);
// The file time in local time, formatted; "File Access Denied!" when the file cannot be
// examined, "Not Saved" when there is no such file.
QString FileDateText(const QString &path, const QString &format, int which = ftLastWrite);

// One spelling per path: absolute and lexically cleaned, symbolic links kept.
QString CanonicalPath(const QString &path);
// The file a symbolic link finally names (also one that does not exist yet), else the path
// itself: a save replaces that file, so that the link stays a link.
QString LinkTarget(const QString &path);
// Paths already use "/" here; kept as the one place callers normalise separators.
inline QString Slashes(const QString &path) { return path; }
// The folder of the given current document when it exists, else empty.
QString CurrentDocFolder(const QString &currentDocument);
// The per-user local data folder when local is asked, else the per-user configuration folder.
QString SpecialFolder(bool local);
