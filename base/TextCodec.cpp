#include "base/TextCodec.h"

#include "platform/CodePages.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// Per thread: SyncTeX loaders convert text while the GUI thread does too.
thread_local QString lastMessage;

// Windows-1252 between 0x80 and 0x9F; the five unassigned bytes keep their C1 controls, and
// every other byte is its Latin-1 character.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isCp1252(int cp) { return cp == CpSystem || cp == CpWindows1252; }

QString decodeCp1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes.at(i));
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encodeCp1252(const QString &text, bool &lost)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            b = char(c);
        else if (const auto *hit = std::find(std::begin(kCp1252High), std::end(kCp1252High), c);
                 hit != std::end(kCp1252High))
            b = char(0x80 + (hit - kCp1252High));
        else
            lost = true;
        bytes[i] = b;
    }
    return bytes;
}

// Code page 9: each character's low byte, and back one to one.
QByteArray encodeLowBytes(const QString &text, bool &lost)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        lost = lost || c > 0xFF;
        bytes[i] = char(c & 0xFF);
    }
    return bytes;
}

// Strict decoding fails on invalid sequences; lenient decoding turns them into U+FFFD.
// A mark at the start belongs to the text here; the callers decide about marks.
std::optional<QString> decodeUtf8(const QByteArray &bytes, bool strict)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (strict && decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray encodeUtf8(const QString &text, bool &lost)
{
    lost = lost || !QStringView(text).isValidUtf16();
    return text.toUtf8();
}

QString fromUtf16(const QByteArray &bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    const int low = bigEndian ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(uchar(bytes.at(2 * i + low)) | (uchar(bytes.at(2 * i + 1 - low)) << 8)));
    return text;
}

QByteArray toUtf16(const QString &text, bool bigEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bytes[2 * i + (bigEndian ? 1 : 0)] = char(c & 0xFF);
        bytes[2 * i + (bigEndian ? 0 : 1)] = char(c >> 8);
    }
    return bytes;
}

// Decodes with the code page; strict fails on invalid bytes, else each becomes U+FFFD.
// Nothing when the code page is unknown.
std::optional<QString> decodeCodePage(const QByteArray &bytes, int cp, bool strict)
{
    if (isCp1252(cp))
        return decodeCp1252(bytes);
    if (cp == CpAscii)
        return QString::fromLatin1(bytes);
    if (cp == CpUtf8)
        return decodeUtf8(bytes, strict);
    bool replaced = false;
    const auto out = pl::codePageToUtf16(cp, bytes, strict ? QByteArray() : QByteArray("\xFD\xFF", 2), replaced);
    if (!out)
        return std::nullopt;
    return fromUtf16(*out, false);
}

// Encodes with the code page; unmappable characters become "?" and set lost. Nothing when
// the code page is unknown.
std::optional<QByteArray> encodeCodePage(const QString &text, int cp, bool &lost)
{
    if (isCp1252(cp))
        return encodeCp1252(text, lost);
    if (cp == CpAscii)
        return encodeLowBytes(text, lost);
    if (cp == CpUtf8)
        return encodeUtf8(text, lost);
    return pl::utf16ToCodePage(cp, toUtf16(text, false), QByteArray("?"), lost);
}

QByteArray byteOrderMark(int format)
{
    switch (format) {
    case tfUtf16LE: return QByteArray("\xFF\xFE", 2);
    case tfUtf16BE: return QByteArray("\xFE\xFF", 2);
    case tfUtf8: return QByteArray("\xEF\xBB\xBF", 3);
    default: return QByteArray();
    }
}

// The platform's "is this UTF-16?" test: only bytes with zeros count; zeros mostly in the
// high bytes of little-endian units mean LE.
std::optional<int> guessUtf16(const QByteArray &bytes)
{
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes.at(i) == 0)
            ++(i % 2 ? odd : even);
    if (even + odd == 0)
        return std::nullopt;
    return odd >= even ? tfUtf16LE : tfUtf16BE;
}

bool isUncheckedCodePage(int cp)
{
    return cp == 42 || (cp >= 50220 && cp <= 50222) || cp == 50225 || cp == 50227 || cp == 50229
        || (cp >= 57002 && cp <= 57011) || cp == 65000;
}

// Lenient UTF-8 that keeps a text with a few bad sequences when the rest looks like UTF-8.
std::optional<QString> decodeUtf8Tolerant(const QByteArray &body, qsizetype byteCount)
{
    const QString text = *decodeUtf8(body, false);
    const qsizetype length = text.size();
    const qsizetype n = text.count(QChar(QChar::ReplacementCharacter));
    if (length <= 15 || length + byteCount >= 255)
        return std::nullopt;
    const QString ch = QString(QChar(QChar::ReplacementCharacter));
    lastMessage = n == 1
        ? QStringLiteral("Error loading from UTF-8 (one illegal character: ") + ch + QStringLiteral(").")
        : QStringLiteral("Error loading from UTF-8 (up to ") + QString::number(n)
            + QStringLiteral(" illegal characters: ") + ch + QStringLiteral(").");
    if (n <= 8 && 2 * n + 9 < length && 2 * n + 9 < byteCount - length)
        return text;
    return std::nullopt;
}

} // namespace

QString LastConversionMessage() { return lastMessage; }

QByteArray EncodeText(const QString &text, bool bom, int format, int codepage, bool verify, int *status)
{
    lastMessage.clear();
    int st = 0;
    const int cp = std::max(codepage, 0);
    const bool utf8 = format == tfUtf8 || (format != tfUtf16LE && format != tfUtf16BE && cp == CpUtf8);
    QByteArray bytes = bom ? byteOrderMark(utf8 ? int(tfUtf8) : format) : QByteArray();
    bool lost = false;
    if (format == tfUtf16LE || format == tfUtf16BE) {
        bytes += toUtf16(text, format == tfUtf16BE);
    } else if (utf8) {
        bytes += encodeUtf8(text, lost);
        if (lost) {
            st = 1;
            lastMessage = QStringLiteral("Some characters were lost while converting from UNICODE to UTF8.");
        }
    } else {
        const QString cpText = QString::number(cp);
        std::optional<QByteArray> encoded = encodeCodePage(text, cp, lost);
        if (!encoded) {
            st = 2;
            lastMessage = QStringLiteral("Error converting from UNICODE to CP ") + cpText
                + QStringLiteral(". Using ASCII format.");
            bool ignored = false;
            encoded = encodeLowBytes(text, ignored);
        } else if (encoded->isEmpty() && !text.isEmpty()) {
            st = 3;
            lastMessage = QStringLiteral("Error converting from UNICODE to CP ") + cpText
                + QStringLiteral(". The string is empty!");
        } else {
            if (verify && !lost)
                lost = decodeCodePage(*encoded, cp, false) != text;
            if (lost) {
                st = 1;
                lastMessage = QStringLiteral("Some characters were lost while converting from UNICODE to ")
                    + (cp == CpAscii ? QStringLiteral("ASCII.") : QStringLiteral("CP ") + cpText + QLatin1Char('.'));
            }
        }
        bytes += *encoded;
    }
    if (status)
        *status = st;
    return bytes;
}

QString DecodeText(const QByteArray &bytes, bool detectBom, int &format, int &codepage, bool verify, int *status)
{
    lastMessage.clear();
    qsizetype start = 0;
    const qsizetype count = bytes.size();
    if (count >= 2 && detectBom && codepage != CpAscii) {
        const bool even = count % 2 == 0;
        const uchar b0 = uchar(bytes.at(0)), b1 = uchar(bytes.at(1));
        if (b0 == 0xFF && b1 == 0xFE && even) {
            format = tfUtf16LE;
            start = 2;
        } else if (b0 == 0xFE && b1 == 0xFF && even) {
            format = tfUtf16BE;
            start = 2;
        } else if (count > 2 && b0 == 0xEF && b1 == 0xBB && uchar(bytes.at(2)) == 0xBF) {
            format = tfUtf8;
            start = 3;
        }
    }
    const QByteArray body = bytes.mid(start);
    if (status)
        *status = 0;
    if (body.isEmpty())
        return QString();

    if (body.size() % 2 == 0) {
        std::optional<int> utf16;
        if (format == tfUtf16LE || format == tfUtf16BE)
            utf16 = format;
        else if (codepage < 0)
            utf16 = guessUtf16(body);
        if (utf16) {
            format = *utf16;
            return fromUtf16(body, format == tfUtf16BE);
        }
    }

    std::optional<QString> text;
    if (format == tfUtf8 || format == tfUtf16LE || format == tfUtf16BE || codepage < 0) {
        text = decodeUtf8(body, true);
        if (!text && verify)
            text = decodeUtf8Tolerant(body, count);
        if (text) {
            format = tfUtf8;
            codepage = CpUtf8;
        }
    }
    if (!text && codepage == CpAscii) {
        text = QString::fromLatin1(body);
        format = tfCodePage;
    }
    if (!text && codepage > 0) {
        text = decodeCodePage(body, codepage, !isUncheckedCodePage(codepage));
        if (text && verify) {
            bool lost = false;
            if (encodeCodePage(*text, codepage, lost) != body)
                text.reset();
        } else if (!text) {
            lastMessage = QStringLiteral("Error converting from CP ") + QString::number(codepage)
                + QStringLiteral(" to UNICODE.");
            text = decodeCodePage(body, codepage, false);
        }
        if (text)
            format = tfCodePage;
    }
    if (!text) {
        // Every byte has a character in the system code page, so this always succeeds.
        text = decodeCp1252(body);
        format = tfCodePage;
        codepage = CpSystem;
    }
    if (status && !lastMessage.isEmpty())
        *status = 1;
    return *text;
}

QByteArray ToUtf8(const QString &text)
{
    if (QStringView(text).isValidUtf16())
        return text.toUtf8();
    bool lost = false;
    return encodeCp1252(text, lost);
}

QString FromUtf8(const QByteArray &bytes)
{
    if (std::optional<QString> text = decodeUtf8(bytes, true))
        return *text;
    return decodeCp1252(bytes);
}
