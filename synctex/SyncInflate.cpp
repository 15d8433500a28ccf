#include "synctex/SyncInflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Output is produced in blocks of this size, so a cancel request is seen quickly.
constexpr qsizetype BlockSize = qsizetype(1) << 20;
// Deflate cannot compress better than about 1032 to 1.
constexpr qint64 MaxRatio = 1032;
constexpr qint64 MaxSyncTeXRatio = 100;
constexpr qsizetype MinInflateLimit = qsizetype(32) << 20;

class InflateStream {
public:
    InflateStream() { ok_ = inflateInit2(&zs, 15 + 32) == Z_OK; }
    ~InflateStream()
    {
        if (ok_)
            inflateEnd(&zs);
    }
    InflateStream(const InflateStream &) = delete;
    InflateStream &operator=(const InflateStream &) = delete;
    bool ok() const { return ok_; }
    z_stream zs{};

private:
    bool ok_ = false;
};

qsizetype initialSize(const QByteArray &packed)
{
    const qsizetype n = packed.size();
    const auto *b = reinterpret_cast<const unsigned char *>(packed.constData());
    if (n >= 18 && b[0] == 0x1f && b[1] == 0x8b) {
        // The trailer holds the length modulo 2^32; trusted only where it can be right.
        const quint32 isize =
            quint32(b[n - 4]) | quint32(b[n - 3]) << 8 | quint32(b[n - 2]) << 16 | quint32(b[n - 1]) << 24;
        if (isize > 0 && qint64(isize) <= qint64(n) * MaxRatio)
            return qsizetype(isize) + 1; // one spare byte: the end is seen without a regrowth
    }
    return std::max<qsizetype>(4 * n, 4096);
}

} // namespace

qsizetype InflateLimit(qsizetype packedSize)
{
    const qsizetype byRatio = std::min(packedSize, MaxSyncTextSize) * MaxSyncTeXRatio;
    return std::min(MaxSyncTextSize, std::max(MinInflateLimit, byRatio));
}

TInflateResult InflateSyncText(const QByteArray &packed, QByteArray &out, const std::function<bool()> &cancelled,
                               const std::function<void(qsizetype)> &progress)
{
    out.clear();
    try {
        InflateStream stream;
        if (!stream.ok() || packed.isEmpty())
            return TInflateResult::Failed;
        z_stream &zs = stream.zs;
        const auto *in = reinterpret_cast<const Bytef *>(packed.constData());
        qsizetype inLeft = packed.size();
        qsizetype produced = 0;
        // One byte beyond the limit shows that the text goes on past it.
        const qsizetype limit = InflateLimit(packed.size());
        out.resize(std::min(initialSize(packed), limit + 1));
        for (;;) {
            if (cancelled && cancelled()) {
                out.clear();
                return TInflateResult::Cancelled;
            }
            if (produced == out.size())
                out.resize(std::min(out.size() * 2, limit + 1));
            if (zs.avail_in == 0 && inLeft > 0) {
                const uInt chunk = uInt(std::min<qsizetype>(inLeft, qsizetype(1) << 30));
                zs.next_in = const_cast<Bytef *>(in);
                zs.avail_in = chunk;
                in += chunk;
                inLeft -= chunk;
            }
            const uInt room = uInt(std::min(out.size() - produced, BlockSize));
            zs.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
            zs.avail_out = room;
            const int ret = inflate(&zs, Z_NO_FLUSH);
            produced += room - zs.avail_out;
            if (progress)
                progress(produced);
            if (produced > limit) {
                out = QByteArray();
                return TInflateResult::TooLarge;
            }
            if (ret == Z_STREAM_END)
                break;
            // There is always room for output, so Z_BUF_ERROR means the input was cut short.
            if (ret != Z_OK)
                throw std::runtime_error("inflate");
        }
        out.resize(produced);
        return TInflateResult::Done;
    } catch (const std::bad_alloc &) {
        out = QByteArray();
        return TInflateResult::NoMemory;
    } catch (...) {
        out = QByteArray();
        return TInflateResult::Failed;
    }
}
