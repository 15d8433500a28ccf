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

// How the text is inflated: in one call when the gzip trailer gives a length the data can
// have (a single member), the stream being the fallback; or by the stream alone, in blocks.
enum class TInflateWay { WholeWhenKnown, Stream };

// Inflates gzip or zlib data (the header tells which) to at most InflateLimit(packed.size())
// bytes. The stream sizes its buffer from the gzip trailer's length field when that is
// plausible, else grows it by doubling; it asks cancelled between blocks of output and tells
// produced how many bytes of out are written after each block. Inflated in one call, the
// text is cancelled only before it starts, and produced hears of it once.
TInflateResult InflateSyncText(const QByteArray &packed, QByteArray &out, const std::function<bool()> &cancelled = {},
                               const std::function<void(qsizetype)> &produced = {},
                               TInflateWay way = TInflateWay::WholeWhenKnown);
