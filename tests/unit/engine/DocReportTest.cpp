#include "engine/DocReport.h"
#include "engine/ReportFormat.h"
#include "engine/SyncTeXSummary.h"

#include "EngineFixture.h"

#include "platform/Files.h"

#include <QDateTime>
#include <QRegularExpression>

#include <ctime>

namespace {

// File time of a UTC date and time.
int64_t FileTimeAt(const char *isoUtc)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate);
    return pl::FileTimeOf(t.toSecsSinceEpoch(), 0);
}

struct Report : EngineFixture {
    void SetUp() override
    {
        // Dates in the report are local times.
        qputenv("TZ", "UTC");
        tzset();
        EngineFixture::SetUp();
    }
    QString open(const QString &fixture, const QString &name)
    {
        const QString path = copy(fixture, name);
        EXPECT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        return path;
    }
    QString report(bool destinations = false) { return engine->DocumentReport(destinations); }
    // The report's line that begins with label; empty when there is none.
    QString line(const QString &label, bool destinations = false)
    {
        for (const QString &l : report(destinations).split('\n'))
            if (l.startsWith(label))
                return l;
        return QString();
    }
};

} // namespace

TEST_F(Report, InformationEntriesAndFileFacts)
{
    const QString path = open("pdfium/text.pdf", "text.pdf");
    const QString expected = "Path: " + dir.path()
        + "\n"
          "File: text.pdf\n"
          "\n"
          "Title:  Test Title \u00dcber\n"
          "Author: A. Author\n"
          "\n"
          "Subject:  The Subject\n"
          "Keywords: alpha, beta\n"
          "\n"
          "PDF Producer: TeXProducer\n"
          "PDF Creator:  TeXCreator\n"
          "PDF Version:  1.6  (tagged)\n"
          "\n"
          "Pages:     5 (Named Destinations: 13)\n"
          "Page Size: 5.8 x 8.2 in  (148 x 210 mm, 420 x 595 pt)\n"
          "\n"
          "Size:      72.3 KB (74,064 bytes)\n"
          "Created:   2026-12-10  00:18:32\n"
          "Modified:  2026-12-10  00:18:32\n"
          "\n"
          "SyncTeX:   No SyncTeX Data\n";
    EXPECT_EQ(report(), expected);
    EXPECT_EQ(engine->GetMetaText("Trapped"), "False");
    EXPECT_EQ(engine->GetXMPText("XMP"), "");
    EXPECT_EQ(engine->GetDocPermissions(TPermissionKind::Revision), -1);
    EXPECT_EQ(engine->GetDocPermissions(TPermissionKind::User), 0xffffffffLL);
    (void)path;
}

// The library gives the quarter-turned page's size turned; the report shows it upright, as
// the reader sees the page.
TEST_F(Report, TurnedPageReadsLikeAnUprightOne)
{
    open("pdfium/text.pdf", "text.pdf");
    const QString first = line("Page Size: ");
    engine->Layout().SelPage = 4;
    FS_SIZEF turned{0, 0};
    ASSERT_TRUE(engine->Pages().PageSize(3, turned));
    ASSERT_GT(turned.width, turned.height); // the page is quarter-turned
    EXPECT_EQ(line("Page Size: "), first);
    EXPECT_EQ(first, "Page Size: 5.8 x 8.2 in  (148 x 210 mm, 420 x 595 pt)");
}

TEST_F(Report, NamedDestinationsBetweenTwoRules)
{
    open("pdfium/text.pdf", "text.pdf");
    const QString text = report(true);
    const QString rule(65, '=');
    const qsizetype start = text.indexOf("SyncTeX:   No SyncTeX Data\n\n" + rule + "\n\nNamed Destinations: 13\n\n");
    ASSERT_GE(start, 0) << text.toStdString();
    EXPECT_TRUE(text.endsWith(rule + "\n"));
    const QStringList entries = text.mid(text.indexOf("Named Destinations: 13\n\n") + 24)
                                    .chopped(rule.size() + 1)
                                    .split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(entries.size(), 13);
    for (const QString &e : entries)
        EXPECT_TRUE(QRegularExpression("^Page [1-5?] <- .+$").match(e).hasMatch()) << e.toStdString();
    EXPECT_FALSE(report(false).contains(rule));
}

TEST_F(Report, ValuesFromTheXmpPacket)
{
    open("pdfium/xmp.pdf", "xmp.pdf");
    const QString text = report();
    const char *const lines[] = {
        "\nTitle:  Salt & Iron\n",
        "\nAuthor: Ada Quill, Ben Stroke\n",
        "\nRights: All rights kept\n",
        "\nSubject:  A study of salt and iron\n",
        "\nPDF Producer: Hand Press 2.1\n",
        "\nPDF Creator:  Quill TeX 3\n",
        "\nPDF Version:  1.5  <x:xmpmeta>\n",
        "\nCreated:   2026-12-09  22:58:42\n",
        "\nModified:  2026-12-10  08:15:30\n",
    };
    for (const char *l : lines)
        EXPECT_TRUE(text.contains(QString::fromUtf8(l))) << l << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Keywords:"));
    EXPECT_EQ(engine->GetMetaText("Title"), "Salt & Iron");
    EXPECT_EQ(engine->GetXMPText("XMP"), "XMP");
}

// A document read from its file, not held in memory, shows its XMP values as well.
TEST_F(Report, XmpOfADocumentNotHeldInMemory)
{
    Prefer.PDFMemory = false;
    open("pdfium/xmp.pdf", "xmp.pdf");
    ASSERT_TRUE(current().PDFiumDocBuf.isEmpty());
    EXPECT_EQ(line("Title:  "), "Title:  Salt & Iron");
    EXPECT_EQ(line("PDF Version:  "), "PDF Version:  1.5  <x:xmpmeta>");
    EXPECT_TRUE(current().PDFiumDocBuf.isEmpty()); // the copy is gone again
}

// Reading stops at the packet's first error and keeps what came before it; the information
// entry comes first where there is one.
TEST_F(Report, BrokenPacket)
{
    open("pdfium/xmp-broken.pdf", "broken.pdf");
    EXPECT_EQ(line("Title:  "), "Title:  Salt & Iron");
    EXPECT_EQ(line("Author: "), "Author: Info Author");
    EXPECT_EQ(line("PDF Producer: "), "PDF Producer: Hand Press 2.1"); // an attribute before the error
    EXPECT_EQ(line("PDF Creator:  "), "PDF Creator:  N/A");
    EXPECT_EQ(line("Created:   "), "Created:   N/A");
    EXPECT_EQ(line("Modified:  "), "Modified:  N/A");
    EXPECT_EQ(line("Rights: "), "");
    EXPECT_EQ(line("Subject:  "), "");
    EXPECT_EQ(line("PDF Version:  "), "PDF Version:  1.5  <x:xmpmeta>");

    open("pdfium/xmp-unended.pdf", "unended.pdf");
    EXPECT_EQ(line("Title:  "), "Title:  N/A");
    EXPECT_EQ(line("Author: "), "Author: Info Author");
    EXPECT_EQ(line("PDF Producer: "), "PDF Producer: N/A");
    EXPECT_EQ(line("PDF Version:  "), "PDF Version:  1.5");
}

// The user's permissions name what is restricted: printing is bit 3 ($04), copying bit 5
// ($10).
TEST_F(Report, SecurityLine)
{
    const struct {
        const char *fixture;
        const char *password;
        const char *security;
    } cases[] = {
        {"pdfium/enc-r3-empty.pdf", "", "Security: Restricted Printing and Extracting"},
        {"pdfium/enc-r6-empty.pdf", "", "Security: Restricted Printing Permissions"},
        {"pdfium/enc-r4.pdf", "user", "Security: Restricted Permissions"},
        {"pdfium/text.pdf", "", ""},
    };
    int n = 0;
    for (const auto &c : cases) {
        host.passwords = {QString::fromLatin1(c.password)};
        open(c.fixture, QString("doc%1.pdf").arg(++n));
        EXPECT_EQ(line("Security: "), c.security) << c.fixture;
    }
    // The line stands in a group of its own.
    EXPECT_TRUE(engine->DocumentReport(false).contains("File: doc4.pdf\n\nTitle:  "));
    engine->SetSelDoc(2);
    EXPECT_TRUE(engine->DocumentReport(false).contains("\n\nSecurity: Restricted Permissions\n\nTitle:  N/A\n"));
}

TEST_F(Report, MissingFileAndFolderAreMarked)
{
    const QString path = open("pdfium/text.pdf", "text.pdf");
    ASSERT_TRUE(QFile::remove(path));
    const QString text = report();
    EXPECT_TRUE(text.contains("\nFile: ? text.pdf\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\nPDF File does not exist ...\n\nSyncTeX:   No SyncTeX Data\n"));
    EXPECT_FALSE(text.contains("Size:      "));
    EXPECT_TRUE(text.contains("\nTitle:  Test Title \u00dcber\n")); // the document is still loaded
}

TEST_F(Report, WithoutADocument)
{
    EXPECT_EQ(report(), "No document is currently selected ...");
    EXPECT_EQ(engine->GetMetaText("Title"), "");
    EXPECT_EQ(engine->GetDocPermissions(TPermissionKind::Document), 0);
    EXPECT_FALSE(engine->ForgetPassword());
}

TEST_F(Report, ForgetPassword)
{
    host.passwords = {"user"};
    host.rememberAnswer = true;
    open("pdfium/enc-r4.pdf", "enc.pdf");
    ASSERT_EQ(current().FilePwd, "user");
    EXPECT_TRUE(engine->ForgetPassword());
    EXPECT_EQ(current().FilePwd, "");
    EXPECT_FALSE(engine->ForgetPassword());
}

// The SyncTeX summary by the state of the data and the dates of the files.
TEST_F(Report, SyncTeXSummaries)
{
    const QString pdf = copy("multi/multi.pdf", "doc.pdf");
    ASSERT_TRUE(pl::files().setTimes(pdf, FileTimeAt("2026-06-01T12:00:00Z"), FileTimeAt("2026-06-01T12:00:00Z")));
    EXPECT_EQ(SyncTeXSummary(pdf, nullptr), "No SyncTeX Data");

    const QString gz = copy("multi/multi.synctex.gz", "doc.synctex.gz");
    ASSERT_TRUE(pl::files().setTimes(gz, FileTimeAt("2026-06-01T12:00:05Z"), FileTimeAt("2026-06-01T12:00:05Z")));
    TSyncTeX sync;
    const QString gzSize = FormatByteSize(FileSize64(gz));
    const QString created = "Created:   " + FileDateText(gz, "yyyy-mm-dd  hh:mm:ss", ftCreation);
    EXPECT_EQ(SyncTeXSummary(pdf, &sync),
              "not Loaded (OK)\nData Size: 0 bytes\nGZ Size:   " + gzSize + "\n" + created
                  + "\nModified:  2026-06-01  12:00:05");
    EXPECT_TRUE(
        QRegularExpression("^Created:   \\d{4}-\\d\\d-\\d\\d  \\d\\d:\\d\\d:\\d\\d$").match(created).hasMatch());

    sync.Pending = true;
    EXPECT_TRUE(SyncTeXSummary(pdf, &sync).startsWith("Pending (OK)\n"));
    sync.Pending = false;
    // The main thread loads only while the program runs.
    const bool running = App.AppRunning;
    App.AppRunning = true;
    const bool loaded = sync.LoadSyncData(gz, false);
    App.AppRunning = running;
    ASSERT_TRUE(loaded) << sync.ErrMsg.get().toStdString();
    ASSERT_TRUE(sync.Ready);
    EXPECT_TRUE(SyncTeXSummary(pdf, &sync)
                    .startsWith("Loaded (OK)\nData Size: " + FormatByteSize(sync.DataSize) + "\nGZ Size:   "));
    EXPECT_GT(sync.DataSize, 1024);

    // A plain SyncTeX file newer than the compressed one is read; one older than the PDF is
    // flagged.
    const QString plain = dir.filePath("doc.synctex");
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1536, 'x'));
    f.close();
    ASSERT_TRUE(pl::files().setTimes(plain, FileTimeAt("2026-06-01T12:00:10Z"), FileTimeAt("2026-06-01T12:00:10Z")));
    ASSERT_TRUE(pl::files().setTimes(pdf, FileTimeAt("2026-06-01T12:00:20Z"), FileTimeAt("2026-06-01T12:00:20Z")));
    const QString old = SyncTeXSummary(pdf, nullptr);
    EXPECT_TRUE(old.startsWith("not Loaded (old!)\nData Size: 0 bytes\nCreated:   ")) << old.toStdString();
    EXPECT_TRUE(old.endsWith("\nModified:  2026-06-01  12:00:10"));
    EXPECT_FALSE(old.contains("GZ Size:"));
}
