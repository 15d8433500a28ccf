#pragma once
#include <QByteArray>

#include <functional>

enum class TInflateResult { Done, Failed, Cancelled, TooLarge, NoMemory };

// The longest SyncTeX text that is read: its length has to fit the 32-bit size fields.
constexpr qsizetype MaxSyncTextSize = 0x7fffffff;

// The most text that packedSize bytes of compressed data may give. TeX's SyncTeX files
// inflate to 4 to 5 times their size, deflate reaches 1032 times: a hundred times is left to
// crafted data. Small files keep a floor where any content costs little.
qsizetype InflateLimit(qsizetype packedSize);

// Inflates gzip or zlib data (the header tells which) to at most InflateLimit(packed.size())
// bytes. The output buffer is sized from the gzip trailer's length field when that is
// plausible, else grown by doubling. cancelled is asked between blocks of output; produced is
// told how many bytes of out are written after each block.
TInflateResult InflateSyncText(const QByteArray &packed, QByteArray &out, const std::function<bool()> &cancelled = {},
                               const std::function<void(qsizetype)> &produced = {});
