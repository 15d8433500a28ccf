#include "engine/ReportFormat.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>

TEST(ReportFormat, ByteSizes)
{
    const struct {
        int64_t bytes;
        const char *text;
    } cases[] = {
        {0, "0 bytes"},
        {999, "999 bytes"},
        {1023, "1,023 bytes"},
        {1024, "1.0 KB (1,024 bytes)"},
        {1536, "1.5 KB (1,536 bytes)"},
        {2047, "1.9 KB (2,047 bytes)"}, // cut, not rounded
        {1048575, "1023.9 KB (1,048,575 bytes)"},
        {1048576, "1.0 MB (1,048,576 bytes)"},
        {111111111, "105.9 MB (111,111,111 bytes)"},
        {5000000000LL, "4768.3 MB (5,000,000,000 bytes)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
}

// The locale's separators never reach the report, also where they differ from ours.
TEST(ReportFormat, SizesIgnoreTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(FormatByteSize(1234567), "1.1 MB (1,234,567 bytes)");
    EXPECT_EQ(FormatPageSize(612, 792), "8.5 x 11.0 in  (216 x 279 mm, 612 x 792 pt)");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

TEST(ReportFormat, MetadataDates)
{
    const struct {
        const char *value;
        const char *text;
    } cases[] = {
        {"D:20261210001832Z", "2026-12-10  00:18:32"},
        {"D:20261210001832+01'00'", "2026-12-10  00:18:32"},
        {"x:20261210001832", "2026-12-10  00:18:32"}, // a colon second marks a PDF date too
        {"2026-12-09T22:58:42+01:00", "2026-12-09  22:58:42"},
        {"2026-12-10t08:15:30Z", "2026-12-10  08:15:30"},
        {"2026-12-10 08:15:30", "2026-12-10   08:15:3"}, // no "T" to skip: the next eight as they are
        {"2026-12-10T08:15", "2026-12-10  08:15"},
        {"D:202612100018", ""},  // 14 characters
        {"2026-12-10T08:1", ""}, // 15 characters
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatMetaDate(QString::fromLatin1(c.value)), c.text) << c.value;
}

TEST(ReportFormat, PageSizes)
{
    const struct {
        double w, h;
        const char *text;
    } cases[] = {
        {419.528, 595.276, "5.8 x 8.2 in  (148 x 210 mm, 420 x 595 pt)"}, // A5
        {595.276, 841.89, "8.2 x 11.6 in  (210 x 297 mm, 595 x 842 pt)"}, // A4
        {612, 792, "8.5 x 11.0 in  (216 x 279 mm, 612 x 792 pt)"},        // Letter
        {71.99, 72, "0.9 x 1.0 in  (25 x 25 mm, 72 x 72 pt)"},            // inches cut
        {2.5, 3.5, "0.0 x 0.0 in  (1 x 1 mm, 2 x 4 pt)"},                 // points: halves to even
        {85.0394, 85.0394, "1.1 x 1.1 in  (30 x 30 mm, 85 x 85 pt)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatPageSize(c.w, c.h), c.text) << c.w << " x " << c.h;
}
