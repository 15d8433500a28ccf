#include "platform/CodePages.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace pl {
namespace {

// Windows code page numbers as glibc's converters name them.
QByteArray converterName(int cp)
{
    switch (cp) {
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 12000: return "UTF-32LE";
    case 12001: return "UTF-32BE";
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932:
    case 51932: return "EUC-JP";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 50227:
    case 50229: return "ISO-2022-CN";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    default: break;
    }
    if (cp >= 28591 && cp <= 28606)
        return "ISO-8859-" + QByteArray::number(cp - 28590);
    return "CP" + QByteArray::number(cp);
}

class Iconv {
public:
    Iconv(const QByteArray &to, const QByteArray &from) : cd_(::iconv_open(to.constData(), from.constData())) {}
    ~Iconv()
    {
        if (valid())
            ::iconv_close(cd_);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return cd_ != iconv_t(-1); }

    // Converts all of in; an invalid or unmappable input unit of unitSize bytes is replaced by
    // replacement (when given) or ends the conversion with nothing.
    std::optional<QByteArray> run(const QByteArray &in, int unitSize, const QByteArray &replacement, bool &replaced)
    {
        QByteArray out;
        char buffer[4096];
        char *src = const_cast<char *>(in.constData());
        size_t srcLeft = size_t(in.size());
        bool flushed = false;
        while (!flushed) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            // A null source writes the shift sequence that ends a stateful encoding.
            const size_t r = srcLeft > 0 ? ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft)
                                         : ::iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
            const int error = r == size_t(-1) ? errno : 0;
            out.append(buffer, dst - buffer);
            if (error == E2BIG)
                continue;
            if (error == EILSEQ || error == EINVAL) {
                if (replacement.isNull())
                    return std::nullopt;
                replaced = true;
                out.append(replacement);
                const size_t skip = std::min(srcLeft, size_t(unitSize));
                src += skip;
                srcLeft -= skip;
                continue;
            }
            if (error != 0)
                return std::nullopt;
            flushed = srcLeft == 0 && dst == buffer;
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::optional<QByteArray> codePageToUtf16(int codePage, const QByteArray &bytes, const QByteArray &replacement,
                                          bool &replaced)
{
    Iconv conv("UTF-16LE", converterName(codePage));
    if (!conv.valid())
        return std::nullopt;
    return conv.run(bytes, 1, replacement, replaced);
}

std::optional<QByteArray> utf16ToCodePage(int codePage, const QByteArray &utf16, const QByteArray &replacement,
                                          bool &replaced)
{
    Iconv conv(converterName(codePage), "UTF-16LE");
    if (!conv.valid())
        return std::nullopt;
    return conv.run(utf16, 2, replacement, replaced);
}

} // namespace pl
