#pragma once
// Small SyncTeX files for tests: a preamble, records as text, gzip and zlib packing.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <zlib.h>

#include <ostream>

// Test messages may name files.
inline std::ostream &operator<<(std::ostream &os, const QString &s) { return os << s.toStdString(); }

inline QByteArray syncPreamble(const QString &mainFile,
                               const QByteArray &keys = "Magnification:1000\nUnit:1\nX Offset:0\nY Offset:0\n")
{
    return "SyncTeX Version:1\nInput:1:" + mainFile.toUtf8() + "\nOutput:pdf\n" + keys + "Content:\n";
}

// windowBits 31 gives a gzip stream, 15 a zlib stream.
inline QByteArray packBytes(const QByteArray &plain, int windowBits, int level = Z_BEST_SPEED)
{
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
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

// Gzip data of megabytes MiB of "x" without a line break, about a thousandth of that size
// and made in a moment: one block of 1 MiB packed on its own, repeated, and a true trailer.
inline QByteArray gzipOfManyX(int megabytes)
{
    const QByteArray block(1 << 20, 'x');
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray packed(int(deflateBound(&zs, uLong(block.size()))) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
    zs.avail_in = uInt(block.size());
    zs.next_out = reinterpret_cast<Bytef *>(packed.data());
    zs.avail_out = uInt(packed.size());
    deflate(&zs, Z_FULL_FLUSH); // byte-aligned, and nothing after it refers back into it
    const qsizetype blockSize = qsizetype(zs.total_out);
    deflate(&zs, Z_FINISH); // the final, empty block
    packed.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    const uLong blockCrc = crc32(0, reinterpret_cast<const Bytef *>(block.constData()), uInt(block.size()));
    uLong crc = blockCrc;
    for (int i = 1; i < megabytes; ++i)
        crc = crc32_combine(crc, blockCrc, block.size());
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03", 10);
    for (int i = 0; i < megabytes; ++i)
        out.append(packed.constData(), blockSize);
    out += packed.mid(blockSize);
    const quint32 size = quint32(quint64(megabytes) << 20);
    for (const quint32 v : {quint32(crc), size})
        for (int b = 0; b < 4; ++b)
            out += char(v >> (8 * b) & 0xff);
    return out;
}
inline QByteArray zlibBytes(const QByteArray &plain) { return packBytes(plain, 15); }

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
