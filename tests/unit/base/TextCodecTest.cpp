#include "base/TextCodec.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

const QString kSample = QStringLiteral("A\u00E9\u20AC"); // "A", e acute, euro sign

struct Decoded {
    QString text;
    int format, codepage, status;
    QString message;
};

Decoded decode(const QByteArray &in, bool detectBom, int format, int codepage, bool verify = false)
{
    Decoded d{};
    d.format = format;
    d.codepage = codepage;
    d.text = DecodeText(in, detectBom, d.format, d.codepage, verify, &d.status);
    d.message = LastConversionMessage();
    return d;
}

} // namespace

TEST(EncodeText, FormatsAndMarks)
{
    const struct {
        bool bom;
        int format, codepage;
        QByteArray expected;
    } cases[] = {
        {true, tfUtf16LE, 0, bytes({0xFF, 0xFE, 'A', 0, 0xE9, 0, 0xAC, 0x20})},
        {false, tfUtf16BE, 0, bytes({0, 'A', 0, 0xE9, 0x20, 0xAC})},
        {true, tfUtf16BE, 0, bytes({0xFE, 0xFF, 0, 'A', 0, 0xE9, 0x20, 0xAC})},
        {true, tfUtf8, 0, bytes({0xEF, 0xBB, 0xBF, 'A', 0xC3, 0xA9, 0xE2, 0x82, 0xAC})},
        {false, tfCodePage, CpUtf8, bytes({'A', 0xC3, 0xA9, 0xE2, 0x82, 0xAC})},
        {false, tfCodePage, CpSystem, bytes({'A', 0xE9, 0x80})}, // the system code page is Windows-1252
        {false, tfCodePage, -4, bytes({'A', 0xE9, 0x80})},       // negative means the system code page
        {false, tfCodePage, CpWindows1252, bytes({'A', 0xE9, 0x80})},
        {false, tfCodePage, 28605, bytes({'A', 0xE9, 0xA4})}, // ISO-8859-15 through the system converter
    };
    for (const auto &c : cases) {
        int status = -1;
        EXPECT_EQ(EncodeText(kSample, c.bom, c.format, c.codepage, true, &status), c.expected)
            << c.format << "/" << c.codepage;
        EXPECT_EQ(status, 0) << c.format << "/" << c.codepage;
        EXPECT_EQ(LastConversionMessage(), "");
    }
}

TEST(EncodeText, LossesAndFailures)
{
    const QString loneSurrogate = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    const struct {
        QString text;
        int format, codepage, status;
        QByteArray expected;
        const char *message;
    } cases[] = {
        {kSample, tfCodePage, CpAscii, 1, bytes({'A', 0xE9, 0xAC}),
         "Some characters were lost while converting from UNICODE to ASCII."},
        {QStringLiteral("x\u0100"), tfCodePage, CpSystem, 1, bytes({'x', '?'}),
         "Some characters were lost while converting from UNICODE to CP 0."},
        {QStringLiteral("x\u0100"), tfCodePage, 1251, 1, bytes({'x', '?'}),
         "Some characters were lost while converting from UNICODE to CP 1251."},
        {loneSurrogate, tfUtf8, 0, 1, QByteArray(), "Some characters were lost while converting from UNICODE to UTF8."},
        {QStringLiteral("ab\u00E9"), tfCodePage, 99999, 2, bytes({'a', 'b', 0xE9}),
         "Error converting from UNICODE to CP 99999. Using ASCII format."},
    };
    for (const auto &c : cases) {
        int status = -1;
        const QByteArray out = EncodeText(c.text, false, c.format, c.codepage, false, &status);
        if (!c.expected.isNull()) {
            EXPECT_EQ(out, c.expected) << c.message;
        }
        EXPECT_EQ(status, c.status) << c.message;
        EXPECT_EQ(LastConversionMessage(), QString::fromUtf8(c.message));
    }
}

TEST(EncodeText, OtherCodePagesThroughTheSystemConverter)
{
    int status = -1;
    EXPECT_EQ(EncodeText(QStringLiteral("\u0416\u0443\u043A"), false, tfCodePage, 1251, true, &status),
              bytes({0xC6, 0xF3, 0xEA}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(EncodeText(QStringLiteral("\u3042"), false, tfCodePage, 932, true, &status), bytes({0x82, 0xA0}));
    EXPECT_EQ(status, 0);
}

TEST(DecodeText, ByteOrderMarks)
{
    const QByteArray utf8Text = bytes({'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F}); // "Grüß"
    const QString gruss = QStringLiteral("Gr\u00FC\u00DF");

    Decoded d = decode(bytes({0xEF, 0xBB, 0xBF}) + utf8Text, true, tfUtf8, CpUtf8);
    EXPECT_EQ(d.text, gruss);
    EXPECT_EQ(d.format, tfUtf8);
    EXPECT_EQ(d.codepage, CpUtf8);
    EXPECT_EQ(d.status, 0);

    // The mark selects UTF-8 even when the caller expected a code page.
    d = decode(bytes({0xEF, 0xBB, 0xBF}) + utf8Text, true, tfCodePage, 0);
    EXPECT_EQ(d.text, gruss);
    EXPECT_EQ(d.format, tfUtf8);

    // Without detection the mark stays in the text.
    d = decode(bytes({0xEF, 0xBB, 0xBF}) + utf8Text, false, tfUtf8, CpUtf8);
    EXPECT_EQ(d.text, QChar(0xFEFF) + gruss);
    d = decode(bytes({0xEF, 0xBB, 0xBF, 'a', 0xFF}), false, tfUtf8, CpUtf8);
    EXPECT_EQ(d.text, QStringLiteral("\uFEFFa\uFFFD"));

    d = decode(bytes({0xFF, 0xFE, 'h', 0, 'i', 0, 0xAC, 0x20}), true, tfCodePage, 0);
    EXPECT_EQ(d.text, QStringLiteral("hi\u20AC"));
    EXPECT_EQ(d.format, tfUtf16LE);

    d = decode(bytes({0xFE, 0xFF, 0, 'h', 0, 'i', 0x20, 0xAC}), true, tfCodePage, 0);
    EXPECT_EQ(d.text, QStringLiteral("hi\u20AC"));
    EXPECT_EQ(d.format, tfUtf16BE);

    // An odd byte count is no UTF-16 mark: the system code page takes the bytes.
    d = decode(bytes({0xFF, 0xFE, 'h'}), true, tfCodePage, 0);
    EXPECT_EQ(d.text, QStringLiteral("\u00FF\u00FEh"));
    EXPECT_EQ(d.format, tfCodePage);

    // Code page 9 never looks for a mark.
    d = decode(bytes({0xFF, 0xFE, 'h', 0}), true, tfCodePage, CpAscii);
    EXPECT_EQ(d.text, QStringLiteral("\u00FF\u00FEh") + QChar(0));
}

TEST(DecodeText, Utf16WithoutMark)
{
    // The instance link's file: UTF-16LE, no mark.
    Decoded d = decode(bytes({'-', 0, 'B', 0, 0x3B, 0x04}), false, tfUtf16LE, -1);
    EXPECT_EQ(d.text, QStringLiteral("-B\u043B"));
    EXPECT_EQ(d.format, tfUtf16LE);

    // With a negative code page the bytes are examined: zeros first in each pair mean BE.
    d = decode(bytes({0, 'a', 0, 'b'}), true, tfCodePage, -1);
    EXPECT_EQ(d.text, "ab");
    EXPECT_EQ(d.format, tfUtf16BE);
    d = decode(bytes({'a', 0, 'b', 0}), true, tfCodePage, -1);
    EXPECT_EQ(d.text, "ab");
    EXPECT_EQ(d.format, tfUtf16LE);
    // Without zero bytes the guess does not count, and plain UTF-8 is found.
    d = decode(bytes({0xC3, 0xA9}), true, tfCodePage, -1);
    EXPECT_EQ(d.text, QStringLiteral("\u00E9"));
    EXPECT_EQ(d.format, tfUtf8);
    EXPECT_EQ(d.codepage, CpUtf8);
}

TEST(DecodeText, SystemCodePageAndFallbacks)
{
    // Byte 0x80 is the euro sign in the system code page.
    Decoded d = decode(bytes({0x80}), true, tfCodePage, CpSystem);
    EXPECT_EQ(d.text, QStringLiteral("\u20AC"));
    EXPECT_EQ(d.status, 0);

    // Not UTF-8 and no code page given: the system code page, silently.
    d = decode(bytes({'a', 0x80, 0xE9, 'b'}), true, tfCodePage, -1);
    EXPECT_EQ(d.text, QStringLiteral("a\u20AC\u00E9b"));
    EXPECT_EQ(d.format, tfCodePage);
    EXPECT_EQ(d.codepage, CpSystem);
    EXPECT_EQ(d.status, 0);

    // How the data file is read: expected UTF-8, but the bytes are not. Nothing is lost.
    d = decode(bytes({'a', 0x80, 'b'}), true, tfUtf8, CpUtf8);
    EXPECT_EQ(d.text, QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.message, "Error converting from CP 65001 to UNICODE.");

    // Code page 9: one to one.
    d = decode(bytes({0x80, 'z'}), true, tfCodePage, CpAscii);
    EXPECT_EQ(d.text, QChar(0x80) + QStringLiteral("z"));
    EXPECT_EQ(d.format, tfCodePage);

    // Other code pages.
    d = decode(bytes({0xC6, 0xF3, 0xEA}), true, tfCodePage, 1251, true);
    EXPECT_EQ(d.text, QStringLiteral("\u0416\u0443\u043A"));
    EXPECT_EQ(d.status, 0);
    d = decode(bytes({'x', 0x82, 0xA0}), true, tfCodePage, 932);
    EXPECT_EQ(d.text, QStringLiteral("x\u3042"));
    // A cut-off double-byte character fails the strict pass; the rest is kept.
    d = decode(bytes({'x', 0x82, 0xA0, 0x82}), true, tfCodePage, 932);
    EXPECT_EQ(d.text, QStringLiteral("x\u3042\uFFFD"));
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.message, "Error converting from CP 932 to UNICODE.");
    // An unknown code page ends in the system code page.
    d = decode(bytes({'a', 0x80}), true, tfCodePage, 99999);
    EXPECT_EQ(d.text, QStringLiteral("a\u20AC"));
    EXPECT_EQ(d.codepage, CpSystem);
    EXPECT_EQ(d.message, "Error converting from CP 99999 to UNICODE.");

    d = decode(QByteArray(), true, tfUtf8, CpUtf8);
    EXPECT_EQ(d.text, "");
    EXPECT_EQ(d.status, 0);
}

TEST(DecodeText, VerifiedUtf8KeepsFewBadCharactersInRealUtf8)
{
    const QByteArray umlauts = QString(16, QChar(0xE4)).toUtf8(); // 16 characters in 32 bytes
    // One bad byte among many multi-byte characters: kept, with the message.
    Decoded d = decode(umlauts + bytes({0xFF}), true, tfUtf8, CpUtf8, true);
    EXPECT_EQ(d.text, QString(16, QChar(0xE4)) + QChar(0xFFFD));
    EXPECT_EQ(d.format, tfUtf8);
    EXPECT_EQ(d.status, 1);
    EXPECT_EQ(d.message, QStringLiteral("Error loading from UTF-8 (one illegal character: \uFFFD)."));

    // Two bad bytes in plain ASCII: not UTF-8 after all; the system code page takes over.
    const QByteArray ascii = QByteArray(20, 'a');
    d = decode(ascii + bytes({0xE9, 0xE8}), true, tfUtf8, -1, true);
    EXPECT_EQ(d.text, QString(20, QChar('a')) + QStringLiteral("\u00E9\u00E8"));
    EXPECT_EQ(d.format, tfCodePage);
    EXPECT_EQ(d.message, QStringLiteral("Error loading from UTF-8 (up to 2 illegal characters: \uFFFD)."));

    // More than 8 bad characters are never kept.
    QByteArray many = QString(40, QChar(0x4E2D)).toUtf8();
    for (int i = 0; i < 9; ++i)
        many += char(0xFF);
    d = decode(many, true, tfUtf8, -1, true);
    EXPECT_EQ(d.format, tfCodePage);
    EXPECT_EQ(d.message, QStringLiteral("Error loading from UTF-8 (up to 9 illegal characters: \uFFFD)."));

    // Short texts are decoded without comment through the system code page.
    d = decode(bytes({'a', 0xE9}), true, tfUtf8, -1, true);
    EXPECT_EQ(d.text, QStringLiteral("a\u00E9"));
    EXPECT_EQ(d.message, "");

    // Without verify a single bad byte is enough to leave UTF-8.
    d = decode(umlauts + bytes({0xFF}), true, tfUtf8, -1, false);
    EXPECT_EQ(d.format, tfCodePage);
}

TEST(TextCodec, Utf8ForLibraryNames)
{
    EXPECT_EQ(ToUtf8(QStringLiteral("\u00E9")), bytes({0xC3, 0xA9}));
    // A lone surrogate cannot be UTF-8: the system code page is used.
    EXPECT_EQ(ToUtf8(QChar(0xDC00) + QStringLiteral("\u00E9")), bytes({'?', 0xE9}));
    EXPECT_EQ(FromUtf8(bytes({0xC3, 0xA9})), QStringLiteral("\u00E9"));
    EXPECT_EQ(FromUtf8(bytes({0xE9, 0x80})), QStringLiteral("\u00E9\u20AC"));
}

TEST(TextCodec, RoundTripsEveryFormat)
{
    const QString text = QStringLiteral("Line 1\r\n\u00C4\u00D6\u00DC \u20AC \U0001F600");
    for (int format : {tfUtf16LE, tfUtf16BE, tfUtf8}) {
        for (bool bom : {false, true}) {
            int status = -1;
            const QByteArray encoded = EncodeText(text, bom, format, 0, false, &status);
            ASSERT_EQ(status, 0);
            int f = format, cp = 0;
            EXPECT_EQ(DecodeText(encoded, true, f, cp, true), text) << format << bom;
            EXPECT_EQ(f, format);
        }
    }
}
