#include "settings/DataFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A buffer holding text as if read from a file.
void Load(TDataFile &df, const QString &text)
{
    df.Init();
    df.Buf = text;
    df.len = int32_t(text.size());
}

QString WithTrailer(const QString &content)
{
    TDataFile df;
    df.Rewrite(16, 0);
    for (const QString &line : content.split('\n', Qt::SkipEmptyParts))
        df.WrStr(line);
    df.WriteTrailer();
    return df.Text().toString();
}

TEST(DataFile, CheckLineOfTheOneLineExample)
{
    TDataFile df;
    df.Rewrite(0, 0);
    df.WrNum(21);
    EXPECT_EQ(df.CheckLine(df.len), QStringLiteral("<<-- $3$1$0$2$3$0$3$ -->>"));
    ASSERT_TRUE(df.WriteTrailer());
    EXPECT_EQ(df.Text(), QStringLiteral("21\n\n<<EOF>>\n<<-- $3$1$0$2$3$0$3$ -->>\n"));
}

TEST(DataFile, CheckLineCountsBlanksDigitsAndLinesByPosition)
{
    // "a 1\r\n7\n": positions 1..7; blank at 2 and CR at 4 before the first LF (k = 0),
    // digit 1 at 3 (k = 0), LF at 5 (k = 1), digit 7 at 6 (k = 1), LF at 7 (k = 2).
    TDataFile df;
    Load(df, QStringLiteral("a 1\r\n7\n"));
    const QString line = df.CheckLine(df.len);
    // C 7, L 2, W 2, D 2, S1 5*1 + 7*2 = 19, S2 (32*0+2) + (13*0+4) = 6, S3 (1*0+3) + (7*1+6) = 16.
    EXPECT_EQ(line, QStringLiteral("<<-- $7$2$2$2$13$6$10$ -->>"));
    EXPECT_EQ(df.linnum, 2);
}

TEST(DataFile, ValuesRoundTripIncludingEmptyStrings)
{
    TDataFile out;
    out.Rewrite(4, 0);
    out.WrStr(QStringLiteral("Segoe UI"));
    out.WrStr(QString());
    out.WrBool(true);
    out.WrNum(-9223372036854775807LL);
    out.WrStr(QStringLiteral("\u2764 text"));
    out.WriteTrailer();

    TDataFile in;
    Load(in, out.Text().toString());
    ASSERT_TRUE(in.CheckData(1, 999, 1, 99));
    in.Reset();
    EXPECT_EQ(in.RdStr(), QStringLiteral("Segoe UI"));
    EXPECT_TRUE(in.EOLN());
    EXPECT_EQ(in.RdStr(), QString());
    EXPECT_TRUE(in.RdBool());
    EXPECT_EQ(in.RdNum(1, 0), -9223372036854775807LL);
    EXPECT_EQ(in.RdStr(), QStringLiteral("\u2764 text"));
    EXPECT_EQ(in.ErrCode, 0);
    EXPECT_TRUE(in.CheckTrailerPos());
}

struct NumberCase {
    const char *line;
    int64_t min, max;
    int64_t value;
    const char *error; // nullptr: no error
};

class DataFileNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DataFileNumbers, ReadsOrRefuses)
{
    const NumberCase &c = GetParam();
    TDataFile df;
    Load(df, QString::fromUtf8(c.line) + '\n');
    EXPECT_EQ(df.RdNum(c.min, c.max), c.value);
    if (c.error) {
        EXPECT_EQ(df.ErrCode, 1);
        EXPECT_EQ(df.ErrString,
                  QString::fromUtf8(c.error) + QStringLiteral(" in line 1\r\nString: ") + QString::fromUtf8(c.line));
    } else {
        EXPECT_EQ(df.ErrCode, 0) << df.ErrString.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataFileNumbers,
    ::testing::Values(NumberCase{"42", 1, 0, 42, nullptr}, NumberCase{"-0", 1, 0, 0, nullptr},
                      NumberCase{"007", 1, 0, 7, nullptr}, NumberCase{"-9223372036854775808", 1, 0, INT64_MIN, nullptr},
                      NumberCase{"-", 1, 0, 0, "Integer expected"}, NumberCase{"+5", 1, 0, 0, "Integer expected"},
                      NumberCase{" 5", 1, 0, 0, "Integer expected"}, NumberCase{"", 1, 0, 0, "Integer expected"},
                      NumberCase{"12345678901234567890", 1, 0, 0, "Integer expected"},
                      NumberCase{"9999999999999999999", 1, 0, 0, "Integer expected"}, // 19 digits beyond 64 bits
                      NumberCase{"22", 0, 21, 0, "Integer out of bounds"},
                      NumberCase{"-1", 3, 21, 3, "Integer out of bounds"}, NumberCase{"21", 0, 21, 21, nullptr}));

TEST(DataFile, BooleansAreExactlyZeroOrOne)
{
    TDataFile df;
    Load(df, QStringLiteral("1\n0\nyes\n1\n"));
    EXPECT_TRUE(df.RdBool());
    EXPECT_FALSE(df.RdBool());
    EXPECT_FALSE(df.RdBool());
    EXPECT_EQ(df.ErrString, QStringLiteral("Boolean out of bounds 0/1 in line 3\r\nString: yes"));
    // Sticky: the next boolean is not read.
    EXPECT_FALSE(df.RdBool());
    EXPECT_EQ(df.linno, 3);
    EXPECT_EQ(df.RdNum(1, 0), 0);
    EXPECT_EQ(df.linno, 3);
    // Strings still read.
    EXPECT_EQ(df.RdStr(), QStringLiteral("1"));
}

TEST(DataFile, LastLineWithoutLineFeedIsAnError)
{
    TDataFile df;
    Load(df, QStringLiteral("a\r\nb"));
    EXPECT_EQ(df.RdStr(), QStringLiteral("a")); // CR before LF is not part of the value
    EXPECT_EQ(df.RdStr(), QString());
    EXPECT_EQ(df.ErrCode, 1);
    EXPECT_EQ(df.ErrString, QStringLiteral("Error reading line 1"));
}

TEST(DataFile, BufferGrowsByDoublingUpToTheLimit)
{
    TDataFile df;
    df.Rewrite(10, 2048);
    ASSERT_TRUE(df.WrStr(QString(20, 'x')));
    EXPECT_EQ(df.Buf.size(), 1024); // max(2 * 10, 21, 1024)
    ASSERT_TRUE(df.WrStr(QString(1500, 'y')));
    EXPECT_EQ(df.Buf.size(), 2048);
    const QString before = df.Text().toString();
    EXPECT_FALSE(df.WrStr(QString(600, 'z'))); // would need 4096 > 2048
    EXPECT_EQ(df.ErrString, QStringLiteral("Output buffer is too small: 2048"));
    EXPECT_EQ(df.Text(), before);
}

TEST(DataFile, TrailerBeyondTheLast999CharactersIsNotFound)
{
    TDataFile df;
    Load(df, WithTrailer(QStringLiteral("x\n")));
    ASSERT_TRUE(df.FindTrailer());
    EXPECT_EQ(df.pos, 3); // the LF that forms the trailer's empty line

    // Pad the check line so that the trailer's empty line is exactly the 999th character
    // from the end, then one character further away.
    for (int extra : {0, 1}) {
        const QString text = QStringLiteral("x\n\n<<EOF>>\n") + QString(989 + extra, 'c') + '\n';
        Load(df, text);
        EXPECT_EQ(df.FindTrailer(), extra == 0) << extra;
    }
}

struct CheckCase {
    const char *name;
    std::function<QString(QString)> damage;
    int32_t minchars, maxchars, minlines, maxlines;
    int32_t error; // 0 = passes, -1 = no trailer found
};

void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.name; }
void PrintTo(const NumberCase &c, std::ostream *os) { *os << '"' << c.line << '"'; }

class DataFileChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DataFileChecks, GiveTheirErrorNumber)
{
    const CheckCase &c = GetParam();
    TDataFile df;
    Load(df, c.damage(WithTrailer(QStringLiteral("21\nSegoe UI\n9\n"))));
    const bool ok = df.CheckData(c.minchars, c.maxchars, c.minlines, c.maxlines);
    EXPECT_EQ(ok, c.error == 0);
    if (c.error > 0) {
        EXPECT_EQ(df.ErrCode, c.error);
    }
}

QString Same(QString s) { return s; }

INSTANTIATE_TEST_SUITE_P(
    Table, DataFileChecks,
    ::testing::Values(
        CheckCase{"good", Same, 1, 999, 1, 99, 0}, CheckCase{"fewChars", Same, 99, 999, 1, 99, 20},
        CheckCase{"manyChars", Same, 1, 10, 1, 99, 21}, CheckCase{"fewLines", Same, 1, 999, 66, 99, 22},
        CheckCase{"manyLines", Same, 1, 999, 1, 2, 23},
        CheckCase{"markerChanged",
                  [](QString s) { return s.replace(QStringLiteral("<<EOF>>"), QStringLiteral("<<END>>")); }, 1, 999, 1,
                  99, 11},
        // The check covers line ends, blanks and digits (letters are not summed).
        CheckCase{"digitEdited", [](QString s) { return s.replace(QStringLiteral("\n9\n"), QStringLiteral("\n8\n")); },
                  1, 999, 1, 99, 12},
        CheckCase{"blankAdded",
                  [](QString s) { return s.replace(QStringLiteral("Segoe UI"), QStringLiteral("Segoe  UI")); }, 1, 999,
                  1, 99, 12},
        CheckCase{"crlf", [](QString s) { return s.replace(QStringLiteral("\n"), QStringLiteral("\r\n")); }, 1, 999, 1,
                  99, 12},
        CheckCase{"lineAfterTrailer", [](QString s) { return s + QStringLiteral("more\n"); }, 1, 999, 1, 99, 11},
        CheckCase{"noFinalLineFeed", [](QString s) { return s.chopped(1); }, 1, 999, 1, 99, 11},
        CheckCase{"truncated", [](QString s) { return s.left(3); }, 1, 999, 1, 99, -1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DataFile, CheckTrailerPosTellsWhetherEverythingWasRead)
{
    TDataFile df;
    Load(df, WithTrailer(QStringLiteral("1\n2\n")));
    df.RdNum(1, 0);
    EXPECT_FALSE(df.CheckTrailerPos());
    EXPECT_EQ(df.pos, 3);
    df.RdNum(1, 0);
    EXPECT_TRUE(df.CheckTrailerPos());
    EXPECT_EQ(df.pos, 5);
}

TEST(DataFile, FileRoundTripIsUtf8WithoutMarkAndReadsAMarkedFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("a.dat"));
    TDataFile out;
    out.Rewrite(65536, 2097152);
    out.WrStr(QStringLiteral("\u00e9\u2764"));
    out.WriteTrailer();
    ASSERT_TRUE(out.WriteFile(name));

    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    EXPECT_TRUE(bytes.startsWith("\xC3\xA9\xE2\x9D\xA4\n"));
    EXPECT_FALSE(bytes.contains('\r'));

    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF" + bytes);
    f.close();
    TDataFile in;
    ASSERT_TRUE(in.ReadFile(name, 0));
    EXPECT_TRUE(in.CheckData(1, 999, 1, 99));
    in.Reset();
    EXPECT_EQ(in.RdStr(), QStringLiteral("\u00e9\u2764"));

    EXPECT_FALSE(in.ReadFile(dir.filePath(QStringLiteral("missing.dat")), 0));
    EXPECT_EQ(in.ErrString,
              QStringLiteral("Error reading file: \"") + dir.filePath(QStringLiteral("missing.dat")) + '"');
}

} // namespace
