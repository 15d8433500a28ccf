#include "base/FileIO.h"

#include "base/TextCodec.h"
#include "platform/Files.h"

namespace {

int resultOf(pl::WholeFile r)
{
    switch (r) {
    case pl::WholeFile::Ok: return frOk;
    case pl::WholeFile::CannotOpen: return frCannotOpen;
    case pl::WholeFile::Missing: return frMissing;
    case pl::WholeFile::IoError: return frIoError;
    case pl::WholeFile::Short: return frShort;
    }
    return frIoError;
}

} // namespace

int ReadWholeFile(const QString &name, QByteArray &bytes, qint64 limit, int64_t *writeTime)
{
    bytes.clear();
    if (name.isEmpty())
        return frNoName;
    return resultOf(pl::files().readWhole(name, bytes, limit, writeTime));
}

int WriteWholeFile(const QString &name, const QByteArray &bytes)
{
    if (name.isEmpty())
        return frNoName;
    return resultOf(pl::files().writeWhole(name, bytes));
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
