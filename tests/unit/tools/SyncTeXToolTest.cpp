// The command-line tool run as a user runs it: its answers, its errors and its batch mode,
// and its forward answers next to those of TeX Live's `synctex view`, recorded for the
// fixtures by tests/fixtures/record-texlive.sh.
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <set>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &args, const QString &input = QString(), const QString &folder = QString())
{
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(binPath("orvalepdf-synctex"), args);
    p.waitForStarted(10000);
    p.write(input.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString repoPath(const QString &relative) { return QDir::cleanPath(fixturePath("../../" + relative)); }
QString canonical(const QString &path) { return QFileInfo(path).canonicalFilePath(); }

} // namespace

TEST(SyncTeXTool, AnswersOneQueryWithNamesRelativeToTheCurrentFolder)
{
    const QString multi = fixturePath("multi");
    const QString stone = canonical(fixturePath("multi/chapters/stone.tex"));
    struct Case {
        QStringList args;
        int exitCode;
        QString out;
    };
    const Case cases[] = {
        // Three typeset lines merged, with the viewer's point of margin.
        {{"view", "multi.pdf", "chapters/stone.tex", "9"}, 0, "Page: 3\nBox: 50.02 271.98 369.50 310.77\n"},
        // A page made of the line's material: the whole page.
        {{"view", "multi.pdf", "chapters/timber.tex", "26"}, 0, "Page: 5\nBox: 0.00 0.00 419.53 595.28\n"},
        {{"view", "./../multi/multi.pdf", multi + "/chapters/../multi.tex", "57"},
         0,
         "Page: 7\nBox: 50.02 179.88 369.50 191.57\n"},
        {{"view", "multi.pdf", "chapters/stone.tex", "30"}, 1, "Error: Input Line not Found in SyncTeX Data!\n"},
        {{"view", "multi.pdf", "../widths/widths.tex", "14"}, 1, "Error: Input File not Found in SyncTeX Data!\n"},
        {{"edit", "multi.pdf", "3", "217.5", "277.8"}, 0, "Input: " + stone + "\nLine: 9\n"},
        {{"edit", "multi.pdf", "12", "100", "100"}, 1, "Error: Page 12 not found.\n"},
        {{"edit", "multi.pdf", "3", "x", "1"}, 1, "Error: PAGE, X and Y must be numbers: 3 x 1\n"},
        {{"view", "missing.pdf", "a.tex", "1"}, 1, "Error: PDF File \"" + multi + "/missing.pdf\" not found.\n"},
        {{"view", "chapters/stone.tex", "chapters/stone.tex", "1"},
         1,
         "Error: PDF File \"" + multi + "/chapters/stone.tex\" could not be opened.\n"},
    };
    for (const Case &c : cases) {
        const ToolRun r = runTool(c.args, QString(), multi);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
    // A PDF without SyncTeX data beside it.
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(fixturePath("widths/widths.pdf"), dir.filePath("w.pdf")));
    const ToolRun none = runTool({"view", "w.pdf", "w.tex", "3"}, QString(), dir.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "Error: SyncTeX File \"\" not found.\n");
}

TEST(SyncTeXTool, ADamagedSyncTeXFileIsNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(fixturePath("multi/multi.pdf"), dir.filePath("m.pdf")));
    QFile packed(fixturePath("multi/multi.synctex.gz"));
    ASSERT_TRUE(packed.open(QIODevice::ReadOnly));
    QFile cut(dir.filePath("m.synctex.gz"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(packed.read(packed.size() / 2));
    cut.close();
    const QString message =
        "Error: SyncTeX File  \"" + dir.filePath("m.synctex.gz") + "\" could not be loaded. The file is damaged.\n";
    for (const QStringList &args :
         {QStringList{"edit", "m.pdf", "3", "217.5", "277.8"}, {"view", "m.pdf", "m.tex", "9"}}) {
        const ToolRun r = runTool(args, QString(), dir.path());
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, message) << args.join(' ').toStdString();
    }
}

TEST(SyncTeXTool, WrongCommandLinesShowTheUsage)
{
    for (const QStringList &args :
         {QStringList{}, {"view", "a.pdf", "a.tex"}, {"edit", "a.pdf", "1", "2"}, {"batch"}, {"find", "a.pdf"}}) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.startsWith("usage: orvalepdf-synctex view FILE.pdf SOURCE LINE\n")) << r.err.toStdString();
    }
}

// The sources the data names, each resolved as a forward search resolves it: a chapter
// deleted since the run is missing, the others are found in the moved project.
TEST(SyncTeXTool, InputsMarksEachSourceFoundOrMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("chapters"));
    for (const char *name : {"multi.pdf", "multi.synctex.gz", "multi.tex", "chapters/iron.tex", "chapters/stone.tex"})
        ASSERT_TRUE(QFile::copy(fixturePath(QStringLiteral("multi/") + name), dir.filePath(name))) << name;
    const ToolRun r = runTool({"inputs", "multi.pdf"}, QString(), dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    const QString root = canonical(dir.path());
    for (const char *found : {"/multi.tex", "/chapters/iron.tex", "/chapters/stone.tex"})
        EXPECT_TRUE(lines.contains("Found: " + root + found)) << found << "\n" << r.out.toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression("^Missing: .*chapters/timber\\.tex$")).size(), 1) << r.out.toStdString();
    EXPECT_TRUE(lines.filter("timber").filter("Found").isEmpty());

    // Without SyncTeX data: a reason and exit code 1.
    ASSERT_TRUE(QFile::remove(dir.filePath("multi.synctex.gz")));
    const ToolRun none = runTool({"inputs", "multi.pdf"}, QString(), dir.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.startsWith("Error: ")) << none.out.toStdString();
}

TEST(SyncTeXTool, BatchAnswersEveryQueryAndGoesOnAfterErrors)
{
    const QString multi = fixturePath("multi");
    const QString input = "view\tchapters/stone.tex\t9\n"
                          "edit\t5\t200\t300\n"
                          "view\tchapters/stone.tex\t30\n"
                          "bogus\tquery\n"
                          "\n"
                          "view\tmulti.tex\t17\r\n";
    const ToolRun r = runTool({"batch", "multi.pdf"}, input, multi);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "Page: 3\nBox: 50.02 271.98 369.50 310.77\n\n"
              "Input: "
                  + canonical(fixturePath("multi/chapters/timber.tex"))
                  + "\nLine: 26\n\n"
                    "Error: Input Line not Found in SyncTeX Data!\n\n"
                    "Error: Unknown query: bogus query\n\n"
                    "Page: 3\nBox: 50.02 31.07 154.14 41.93\n\n");
}

namespace {

// Why the viewer's answer differs from TeX Live's.
enum Difference {
    // The line lies past the file's end: the viewer says so, TeX Live marks the last line.
    PastTheEnd,
    // A blank line: the line boxes of the paragraph it ends carry its number, so the viewer
    // marks that paragraph; TeX Live marks the next line that has glyphs.
    BlankLine,
    // A line that typesets nothing itself (page style, page break, \input, spacing,
    // environment): TeX Live marks the head and page boxes of a page shipped out while the
    // line was read; the viewer marks the next line of the file that has a line box.
    NoMaterial,
    // TeX Live lists first the page boxes of the page shipped out while the heading was read;
    // the viewer marks the heading itself on the next page.
    ShipOut,
};

struct TeXLiveBox {
    int page;
    double left, top, right, bottom;
};

struct Recorded {
    QString pdf, source;
    int line;
    std::vector<TeXLiveBox> boxes;
};

std::vector<Recorded> readRecorded()
{
    QFile f(fixturePath("texlive-view.txt"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    std::vector<Recorded> rows;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#'))
            continue;
        const QStringList fields = QString::fromUtf8(raw).split('\t');
        EXPECT_EQ(fields.size(), 4) << raw.constData();
        Recorded r{fields[0], fields[1], fields[2].toInt(), {}};
        if (fields[3] != "none") {
            for (const QString &box : fields[3].split(' ')) {
                const QStringList pageRest = box.split(':');
                const QStringList v = pageRest.value(1).split(',');
                r.boxes.push_back({pageRest[0].toInt(), v.value(0).toDouble(), v.value(1).toDouble(),
                                   v.value(2).toDouble(), v.value(3).toDouble()});
            }
        }
        rows.push_back(r);
    }
    return rows;
}

} // namespace

// Every line of the fixtures' sources (and one past each end) through the tool: where TeX
// Live answers too, the tool's page is the page of TeX Live's first box and one of the
// tool's boxes overlaps one of TeX Live's on that page, except in the cases named here.
TEST(SyncTeXTool, ForwardAnswersMatchTeXLive)
{
    const std::map<std::pair<QString, int>, Difference> differences = {
        {{"tests/fixtures/multi/multi.tex", 18}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 19}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 20}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 21}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 32}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 33}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 35}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 36}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 42}, BlankLine},
        {{"tests/fixtures/multi/multi.tex", 49}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 50}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 51}, NoMaterial},
        {{"tests/fixtures/multi/multi.tex", 52}, BlankLine},
        {{"tests/fixtures/multi/multi.tex", 56}, BlankLine},
        {{"tests/fixtures/multi/multi.tex", 59}, PastTheEnd},
        {{"tests/fixtures/multi/chapters/stone.tex", 22}, BlankLine},
        {{"tests/fixtures/multi/chapters/stone.tex", 30}, PastTheEnd},
        {{"tests/fixtures/multi/chapters/timber.tex", 7}, BlankLine},
        {{"tests/fixtures/multi/chapters/timber.tex", 11}, BlankLine},
        {{"tests/fixtures/multi/chapters/timber.tex", 16}, BlankLine},
        {{"tests/fixtures/multi/chapters/timber.tex", 21}, BlankLine},
        {{"tests/fixtures/multi/chapters/timber.tex", 24}, BlankLine},
        {{"tests/fixtures/multi/chapters/timber.tex", 27}, PastTheEnd},
        {{"tests/fixtures/multi/chapters/iron.tex", 10}, BlankLine},
        {{"tests/fixtures/multi/chapters/iron.tex", 17}, BlankLine},
        {{"tests/fixtures/multi/chapters/iron.tex", 23}, BlankLine},
        {{"tests/fixtures/multi/chapters/iron.tex", 28}, BlankLine},
        {{"tests/fixtures/multi/chapters/iron.tex", 35}, PastTheEnd},
        {{"tests/fixtures/widths/widths.tex", 16}, BlankLine},
        {{"tests/fixtures/widths/widths.tex", 17}, NoMaterial},
        {{"tests/fixtures/widths/widths.tex", 18}, NoMaterial},
        {{"tests/fixtures/widths/widths.tex", 24}, BlankLine},
        {{"tests/fixtures/widths/widths.tex", 25}, NoMaterial},
        {{"tests/fixtures/widths/widths.tex", 26}, NoMaterial},
        {{"tests/fixtures/widths/widths.tex", 32}, PastTheEnd},
        {{"resources/sample/OrvalePDFSample.tex", 29}, NoMaterial},
        {{"resources/sample/OrvalePDFSample.tex", 45}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 49}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 53}, NoMaterial},
        {{"resources/sample/OrvalePDFSample.tex", 60}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 64}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 76}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 84}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 88}, BlankLine},
        {{"resources/sample/OrvalePDFSample.tex", 89}, ShipOut},
        {{"resources/sample/OrvalePDFSample.tex", 103}, PastTheEnd},
    };
    const std::vector<Recorded> rows = readRecorded();
    ASSERT_GT(rows.size(), 250u);
    std::map<QString, std::vector<const Recorded *>> byPdf;
    for (const Recorded &r : rows)
        byPdf[r.pdf].push_back(&r);
    std::set<std::pair<QString, int>> differing;
    int agreeing = 0;
    for (const auto &[pdf, queries] : byPdf) {
        QString input;
        for (const Recorded *q : queries)
            input += "view\t" + repoPath(q->source) + "\t" + QString::number(q->line) + "\n";
        const ToolRun run = runTool({"batch", repoPath(pdf)}, input);
        ASSERT_EQ(run.exitCode, 0) << pdf.toStdString();
        QStringList answers = run.out.split("\n\n");
        ASSERT_EQ(answers.size(), qsizetype(queries.size()) + 1) << pdf.toStdString();
        for (size_t i = 0; i < queries.size(); ++i) {
            const Recorded &q = *queries[i];
            const std::pair<QString, int> key{q.source, q.line};
            const QStringList lines = answers[qsizetype(i)].split('\n');
            const std::string what = q.source.toStdString() + ":" + std::to_string(q.line);
            const auto named = differences.find(key);
            if (lines[0].startsWith("Error: ")) {
                EXPECT_TRUE(q.boxes.empty() || (named != differences.end() && named->second == PastTheEnd))
                    << what << " " << lines[0].toStdString();
                EXPECT_EQ(lines[0], "Error: Input Line not Found in SyncTeX Data!") << what;
                if (!q.boxes.empty())
                    differing.insert(key);
                continue;
            }
            ASSERT_TRUE(lines[0].startsWith("Page: ")) << what;
            ASSERT_FALSE(q.boxes.empty()) << what << ": TeX Live found nothing";
            const int page = lines[0].mid(6).toInt();
            bool overlap = false;
            for (const QString &line : lines.mid(1)) {
                const QStringList v = line.mid(5).split(' ');
                ASSERT_EQ(v.size(), 4) << what << " " << line.toStdString();
                for (const TeXLiveBox &t : q.boxes)
                    overlap = overlap
                        || (t.page == page && v[0].toDouble() < t.right && t.left < v[2].toDouble()
                            && v[1].toDouble() < t.bottom && t.top < v[3].toDouble());
            }
            if (page == q.boxes.front().page && overlap) {
                ++agreeing;
            } else {
                EXPECT_NE(named, differences.end())
                    << what << ": page " << page << ", TeX Live " << q.boxes.front().page;
                if (named != differences.end()) {
                    EXPECT_NE(named->second, PastTheEnd) << what;
                }
                differing.insert(key);
            }
        }
    }
    // A named case that now agrees has to leave the table.
    for (const auto &[key, why] : differences)
        EXPECT_TRUE(differing.count(key)) << key.first.toStdString() << ":" << key.second << " agrees now";
    EXPECT_GT(agreeing, 200);
}
