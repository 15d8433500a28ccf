#include "base/NumberParse.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <limits>

namespace {

struct IntCase {
    const char *text;
    qint64 value;
};

constexpr qint64 kMin = std::numeric_limits<qint64>::min();
constexpr qint64 kMax = std::numeric_limits<qint64>::max();

} // namespace

TEST(ParseInteger, AcceptedForms)
{
    const IntCase cases[] = {
        {"12", 12},
        {"-12", -12},
        {"+7", 7},
        {"$FF", 255}, // the runtime's hexadecimal forms
        {"0x1F", 31},
        {"0X1f", 31},
        {"-0x10", -16},
        {"#FF0000", 0x0000FF}, // colours: red and blue trade places
        {"#123456", 0x563412},
        {"#  0000FF", 0xFF0000}, // blanks between prefix and digits
        {"$ ff", 255},
        {"%101", 5},
        {"##101", 5},
        {"$$1111", 15},
        {" - 12 ", -12}, // blanks around the sign and after the number
        {"\t 42\t", 42},
        {"-#FF0000", -255},
        {"9223372036854775807", kMax},
        {"-9223372036854775808", kMin},
        {"$7FFFFFFFFFFFFFFF", kMax},
    };
    for (const IntCase &c : cases) {
        qint64 v = -999;
        EXPECT_TRUE(ParseInteger(QString::fromUtf8(c.text), kMin, kMax, v))
            << c.text << ": " << LastParseError().toStdString();
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(LastParseError(), "") << c.text;
    }
}

TEST(ParseInteger, ErrorsLeaveTheValueAlone)
{
    const struct {
        const char *text;
        const char *error;
    } cases[] = {
        {"12a", "Illegal Character(s) following the number..."},
        {"12 3", "Illegal Character(s) following the number..."},
        {"0x", "Illegal Character(s) following the number..."},
        {"%102", "Illegal Character(s) following the number..."},
        {"", "Integer Constant Syntax Error"},
        {"   ", "Integer Constant Syntax Error"},
        {"-", "Integer Constant Syntax Error"},
        {"#", "Integer Constant Syntax Error"},
        {"abc", "Integer Constant Syntax Error"},
        {"12345678901234567890", "Integer Overflow"},
        {"9223372036854775808", "Integer Overflow"},
        {"-9223372036854775809", "Integer Overflow"},
        {"$FFFFFFFFFFFFFFFFF", "Integer Overflow"},
        {"%11111111111111111111111111111111111111111111111111111111111111111", "Integer Overflow"},
    };
    for (const auto &c : cases) {
        qint64 v = 77;
        EXPECT_FALSE(ParseInteger(QString::fromUtf8(c.text), kMin, kMax, v)) << c.text;
        EXPECT_EQ(v, 77) << c.text;
        EXPECT_EQ(LastParseError(), QString::fromUtf8(c.error)) << c.text;
    }
}

TEST(ParseInteger, RangeCheck)
{
    int v = 5;
    EXPECT_FALSE(ParseInteger(QStringLiteral("101"), 0, 100, v));
    EXPECT_EQ(v, 5);
    EXPECT_EQ(LastParseError(), "Range Check: 0 <= 101 <= 100");
    EXPECT_FALSE(ParseInteger(QStringLiteral("-3"), -2, 2, v));
    EXPECT_EQ(LastParseError(), "Range Check: -2 <= -3 <= 2");
    EXPECT_TRUE(ParseInteger(QStringLiteral("100"), 0, 100, v));
    EXPECT_EQ(v, 100);
    // A colour fits an int.
    EXPECT_TRUE(ParseInteger(QStringLiteral("#FFFFFF"), 0, 0xFFFFFF, v));
    EXPECT_EQ(v, 0xFFFFFF);
}

TEST(ParseReal, FormsAndRange)
{
    const struct {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        {"12.5", true, 12.5}, {"  -0.25  ", true, -0.25}, {"+3", true, 3},   {"7.", true, 7},
        {".5", true, 0.5},    {"0.1", true, 0.1},         {".", false, 0},   {"", false, 0},
        {"1,5", false, 0},    {"1e3", false, 0},          {"- 1", false, 0}, {"1.2.3", false, 0},
        {"200", false, 0},    {"-200", false, 0},
    };
    for (const auto &c : cases) {
        double v = 42;
        EXPECT_EQ(ParseReal(QString::fromUtf8(c.text), -100, 100, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 42) << c.text;
    }
}

TEST(FormatReal, CutNotRounded)
{
    const struct {
        double x;
        int digits, width;
        const char *text;
    } cases[] = {
        {12.3456, 2, 0, "12.34"},     {12.3499, 2, 0, "12.34"},
        {-0.5, 1, 0, "-0.5"},         {2.3, 1, 0, "2.3"}, // just below 2.3 in binary, still "2.3"
        {12.5, 3, 0, "12.500"},       {7, 2, 0, "7.00"},
        {3.75, 1, 6, "    3.7"},   // padding covers the text before the fraction digits
        {-3.75, 1, 6, "-    3.7"}, // the sign goes in front of the padding
        {123456.5, 1, 3, "123456.5"}, {0.999, 2, 0, "0.99"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatReal(c.x, c.digits, c.width), QString::fromUtf8(c.text)) << c.x;
}

// Qt applications run with the user's locale for the C library; reals must not follow it.
TEST(FormatReal, IgnoresTheProcessLocale)
{
    struct Restore {
        std::string saved = setlocale(LC_NUMERIC, nullptr);
        ~Restore()
        {
            setlocale(LC_NUMERIC, saved.c_str());
            qunsetenv("LOCPATH");
        }
    } restore;
    QTemporaryDir localeDir;
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        // Not installed: compile it for this test.
        QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", localeDir.filePath("de_DE.UTF-8")});
        qputenv("LOCPATH", QFile::encodeName(localeDir.path()));
        if (!setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            GTEST_SKIP() << "no German locale available";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5"); // the C library now writes a decimal comma
    double v = 0;
    EXPECT_TRUE(ParseReal(QStringLiteral("1.5"), 0, 2, v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(ParseReal(QStringLiteral("1,5"), 0, 2, v));
    EXPECT_EQ(FormatReal(1.5, 1, 0), "1.5");
}
