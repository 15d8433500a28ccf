// The index built while loading changes no answer: every query on the fixtures, and on a
// text with the odd places the index has to get right, is run with and without it.
#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "SyncTeXText.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <map>

namespace {

struct Answer {
    bool ok = false;
    int page = 0, numrect = 0, line = 0;
    QString file, error;
    std::vector<double> rects;

    bool operator==(const Answer &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Answer &a)
{
    os << (a.ok ? "ok" : "failed") << " page " << a.page << " rects " << a.numrect << " file " << a.file.toStdString()
       << " line " << a.line << " error " << a.error.toStdString();
    for (double v : a.rects)
        os << ' ' << v;
    return os;
}

class IndexedAndPlain : public ::testing::Test {
protected:
    TSyncTeX sync;
    int forwardQueries = 0, inverseQueries = 0;

    void SetUp() override { App.AppRunning = true; }
    void TearDown() override { App.AppRunning = false; }

    Answer forward(const QString &file, int line)
    {
        Answer a;
        TFloatRectangles rects;
        a.ok = sync.ForwardSearch(file, line, a.page, a.numrect, rects);
        for (const TFloatRect &r : rects)
            a.rects.insert(a.rects.end(), {r.Left, r.Top, r.Right, r.Bottom});
        a.error = sync.ErrMsg.get();
        return a;
    }
    Answer inverse(int page, double x, double y)
    {
        Answer a;
        a.ok = sync.InverseSearch(page, x, y, a.file, a.line);
        a.error = sync.ErrMsg.get();
        return a;
    }
    template <class Query>
    void both(const std::string &what, Query query)
    {
        sync.ErrMsg = QString();
        sync.UseIndex = true;
        ASSERT_TRUE(sync.Indexed());
        const Answer indexed = query();
        sync.ErrMsg = QString();
        sync.UseIndex = false;
        ASSERT_FALSE(sync.Indexed());
        const Answer plain = query();
        EXPECT_EQ(indexed, plain) << what;
    }

    // Every line of every input file (and a few past the last), and a grid of points on every
    // page and one page past the last.
    void compareAll(const QString &syncFile, int pages)
    {
        ASSERT_TRUE(sync.LoadSyncData(syncFile, false)) << sync.ErrMsg.get().toStdString();
        std::map<int, int> lastLine; // per tag
        for (const QByteArray &row : sync.Data.split('\n')) {
            if (row.size() < 2 || !QByteArray("$(gkx").contains(row[0]))
                continue;
            const QList<QByteArray> f = row.mid(1).split(':').value(0).split(',');
            if (f.size() == 2)
                lastLine[f[0].toInt()] = std::max(lastLine[f[0].toInt()], f[1].toInt());
        }
        ASSERT_FALSE(lastLine.empty());
        for (const auto &[tag, last] : lastLine) {
            QString file;
            if (!sync.FindInputName(tag, sync.MainPath, file))
                continue;
            for (int line = 0; line <= last + 2; ++line) {
                both(file.toStdString() + ":" + std::to_string(line), [&] { return forward(file, line); });
                ++forwardQueries;
            }
        }
        for (int page = 1; page <= pages + 1; ++page)
            for (double y = -10; y < 620; y += 17)
                for (double x = -10; x < 620; x += 41) {
                    both("page " + std::to_string(page) + " (" + std::to_string(x) + ", " + std::to_string(y) + ")",
                         [&] { return inverse(page, x, y); });
                    ++inverseQueries;
                }
    }
};

TEST_F(IndexedAndPlain, FixtureDocumentsGiveTheSameAnswers)
{
    const struct {
        QString syncFile;
        int pages;
    } documents[] = {
        {fixturePath("multi/multi.synctex.gz"), 7},
        {fixturePath("widths/widths.synctex.gz"), 3},
        {QDir::cleanPath(fixturePath("../../resources/sample/OrvalePDFSample.synctex.gz")), 3},
    };
    for (const auto &d : documents)
        compareAll(d.syncFile, d.pages);
    EXPECT_GT(forwardQueries, 250);
    EXPECT_GT(inverseQueries, 9000);
}

// A page set in two blocks with another page between them, an Input record and stray
// records between pages, a page whose number does not read, records that do not read, a
// file whose lines appear only in glyph records, and a later page of a line that dominates.
TEST_F(IndexedAndPlain, OddlyShapedDataGivesTheSameAnswers)
{
    QTemporaryDir dir;
    for (const char *name : {"main.tex", "a.tex", "b.tex"})
        ASSERT_TRUE(writeBytes(dir.filePath(name), "x\n"));
    const QByteArray body = "Input:2:./a.tex\n"
                            "{1\n"
                            "[1,1:0,0:30000000,40000000,0\n"
                            "(2,5:3000000,5000000:20000000,600000,200000\n"
                            "x2,5:3000000,5000000\n"
                            "x3,40:3100000,5000000\n"
                            ")\n"
                            "(1,3:3000000,7000000:20000000,600000,200000\n"
                            "g1,4:3000000,7000000\n"
                            ")\n"
                            "]\n"
                            "}1\n"
                            "Input:3:./b.tex\n"
                            "x2,9:3000000,5000000\n"
                            "(2,30:3000000,5000000:20000000,600000,200000\n"
                            ")\n"
                            "{2\n"
                            "[1,1:0,0:30000000,40000000,0\n"
                            "(2,9:3000000,5000000:20000000,600000,200000\n"
                            "k2,10:3000000,5000000:100000\n"
                            "(2,x:bad\n"
                            "$3,12:3000000,5000000\n"
                            ")\n"
                            "]\n"
                            "}2\n"
                            "{1\n"
                            "(2,7:3000000,9000000:20000000,600000,200000\n"
                            "x2,7:3000000,9000000\n"
                            "x2,7:4000000,9000000\n"
                            ")\n"
                            "}1\n"
                            "{zz\n"
                            "(2,8:3000000,9000000:20000000,600000,200000\n"
                            ")\n"
                            "}zz\n"
                            "{3\n"
                            "(1,20:3000000,5000000:20000000,600000,200000\n"
                            "x1,20:3000000,5000000\n"
                            "x3,41:3000000,5000000\n"
                            ")\n"
                            "(2,9:3000000,7000000:20000000,600000,200000\n"
                            "x2,9:3000000,7000000\n"
                            "x2,9:3000000,7000000\n"
                            "x2,9:3000000,7000000\n"
                            ")\n"
                            "}3\n"
                            "Postamble:\n";
    const QString file = dir.filePath("odd.synctex");
    ASSERT_TRUE(writeBytes(file, syncPreamble("./main.tex") + body));
    compareAll(file, 3);
    EXPECT_GT(forwardQueries, 40);
}

// Data of several megabytes is indexed block by block while it is inflated; lines that
// straddle two blocks are read whole.
TEST_F(IndexedAndPlain, DataIndexedWhileInflatingGivesTheSameAnswers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("main.tex"), "x\n"));
    QByteArray body;
    int line = 1;
    for (int page = 1; page <= 300; ++page) {
        body += "{" + QByteArray::number(page) + "\n[1,1:0,0:30000000,40000000,0\n";
        for (int row = 0; row < 40; ++row, ++line) {
            const QByteArray y = QByteArray::number(3000000 + row * 900000);
            body += "(1," + QByteArray::number(line + 1) + ":3000000," + y + ":20000000,600000,200000\n";
            for (int k = 0; k < 12; ++k)
                body +=
                    "x1," + QByteArray::number(line) + ":" + QByteArray::number(3000000 + k * 1500000) + "," + y + "\n";
            body += ")\n";
        }
        body += "]\n}" + QByteArray::number(page) + "\n";
    }
    const QString file = dir.filePath("big.synctex.gz");
    ASSERT_TRUE(writeBytes(file, gzipBytes(syncPreamble("./main.tex") + body + "Postamble:\n")));
    ASSERT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get().toStdString();
    ASSERT_GT(sync.Data.size(), 3 << 20); // several blocks of output
    const QString main = dir.filePath("main.tex");
    for (int l = 0; l <= line + 1; l += 37)
        both("main.tex:" + std::to_string(l), [&] { return forward(main, l); });
    for (int page = 1; page <= 301; page += 7)
        for (double y = 40; y < 620; y += 90)
            both("page " + std::to_string(page), [&] { return inverse(page, 150, y); });
}

TEST_F(IndexedAndPlain, TheIndexGoesWithItsText)
{
    ASSERT_TRUE(sync.LoadSyncData(fixturePath("multi/multi.synctex.gz"), false));
    EXPECT_TRUE(sync.Indexed());
    EXPECT_GT(sync.IndexMemory(), 0u);
    EXPECT_LT(sync.IndexMemory(), size_t(sync.Data.size() / 20));
    // Another text in Data is read without it.
    sync.Data = QByteArray(sync.Data.constData(), sync.Data.size());
    EXPECT_FALSE(sync.Indexed());
    sync.Init();
    EXPECT_FALSE(sync.Indexed());
    EXPECT_EQ(sync.IndexMemory(), 0u);
}

} // namespace
