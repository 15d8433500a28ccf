#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>

// Whole-file reading and writing of regular files. A FIFO, device or folder is refused
// without blocking. Results: 0 ok, 1 the file cannot be opened (or is not a regular file),
// 2 it does not exist, 3 empty name, 4 read or write error, 5 fewer bytes than expected.
enum TFileResult { frOk = 0, frCannotOpen = 1, frMissing = 2, frNoName = 3, frIoError = 4, frShort = 5 };

// Reads at most limit bytes when limit > 0, else the whole file. writeTime, when given,
// receives the last-write time of the file that was read (file-time units, see FileTime64).
int ReadWholeFile(const QString &name, QByteArray &bytes, qint64 limit = 0, int64_t *writeTime = nullptr);
// Creates or replaces the file.
int WriteWholeFile(const QString &name, const QByteArray &bytes);

// Read whole file, then decode (see DecodeText); true only if both succeeded.
bool ReadTextFile(const QString &name, QString &text, bool detectBom = true, int format = 3, int codepage = 65001,
                  bool verify = false);
// Encode (see EncodeText), then write whole file; true only if both succeeded.
bool WriteTextFile(const QString &name, const QString &text, bool bom, int format, int codepage);
