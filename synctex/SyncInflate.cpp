#include "synctex/SyncInflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
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

// The length of the text that the gzip trailer gives modulo 2^32; 0 when the data is no gzip.
quint32 trailerLength(const QByteArray &packed)
{
    const qsizetype n = packed.size();
    const auto *b = reinterpret_cast<const unsigned char *>(packed.constData());
    if (n < 18 || b[0] != 0x1f || b[1] != 0x8b)
        return 0;
    return quint32(b[n - 4]) | quint32(b[n - 3]) << 8 | quint32(b[n - 2]) << 16 | quint32(b[n - 1]) << 24;
}

qsizetype initialSize(const QByteArray &packed)
{
    const qsizetype n = packed.size();
    // The trailer holds the length modulo 2^32; trusted only where it can be right.
    const quint32 isize = trailerLength(packed);
    if (isize > 0 && qint64(isize) <= qint64(n) * MaxRatio)
        return qsizetype(isize) + 1; // one spare byte: the end is seen without a regrowth
    return std::max<qsizetype>(4 * n, 4096);
}

// The trailer's length when the whole text can be inflated in one call: within the limit,
// within deflate's best ratio, and not shorter than stored blocks would make the data.
// 0 when the stream has to find the length itself.
qsizetype wholeLength(const QByteArray &packed, qsizetype limit)
{
    const qint64 n = packed.size();
    const qint64 isize = trailerLength(packed);
    if (isize == 0 || isize > limit || isize > n * MaxRatio || n > isize + isize / 1000 + 1024)
        return 0;
    return qsizetype(isize);
}

// Inflates a single-member gzip file whose text is length bytes long in one call. False
// when the data is not exactly that (a lying trailer, more members, damage): the stream
// then decides.
bool inflateWhole(const QByteArray &packed, qsizetype length, QByteArray &out)
{
    struct Free {
        void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
    };
    const std::unique_ptr<libdeflate_decompressor, Free> inflater(libdeflate_alloc_decompressor());
    if (!inflater)
        return false;
    out.resize(length);
    size_t in = 0, produced = 0;
    const libdeflate_result r = libdeflate_gzip_decompress_ex(inflater.get(), packed.constData(), size_t(packed.size()),
                                                              out.data(), size_t(length), &in, &produced);
    if (r == LIBDEFLATE_SUCCESS && in == size_t(packed.size()) && produced == size_t(length))
        return true;
    out.clear();
    return false;
}

} // namespace

qsizetype InflateLimit(qsizetype packedSize)
{
    const qsizetype byRatio = std::min(packedSize, MaxSyncTextSize) * MaxSyncTeXRatio;
    return std::min(MaxSyncTextSize, std::max(MinInflateLimit, byRatio));
}

TInflateResult InflateSyncText(const QByteArray &packed, QByteArray &out, const std::function<bool()> &cancelled,
                               const std::function<void(qsizetype)> &progress, TInflateWay way)
{
    out.clear();
    try {
        if (cancelled && cancelled())
            return TInflateResult::Cancelled;
        if (way == TInflateWay::WholeWhenKnown) {
            const qsizetype length = wholeLength(packed, InflateLimit(packed.size()));
            if (length > 0 && inflateWhole(packed, length, out)) {
                if (progress)
                    progress(length);
                return TInflateResult::Done;
            }
        }
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
