#pragma once
// Small SyncTeX files for tests: a preamble, records as text, gzip and zlib packing.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <zlib.h>

#include <ostream>

// Test messages may name files.
inline std::ostream &operator<<(std::ostream &os, const QString &s) { return os << s.toStdString(); }

inline QByteArray syncPreamble(const QString &mainFile, const QByteArray &keys = "Magnification:1000\nUnit:1\nX Offset:0\nY Offset:0\n")
{
    return "SyncTeX Version:1\nInput:1:" + mainFile.toUtf8() + "\nOutput:pdf\n" + keys + "Content:\n";
}

// windowBits 31 gives a gzip stream, 15 a zlib stream.
inline QByteArray packBytes(const QByteArray &plain, int windowBits)
{
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(plain.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    zs.avail_in = uInt(plain.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}
inline QByteArray gzipBytes(const QByteArray &plain) { return packBytes(plain, 31); }
inline QByteArray zlibBytes(const QByteArray &plain) { return packBytes(plain, 15); }

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
