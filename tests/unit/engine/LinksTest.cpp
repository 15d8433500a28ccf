// Following links and bookmarks against the real library: go-to, URI, launch and remote
// links of a TeX document, the "TEXT: " and "PDF: " conventions, and the targets the desktop's
// handler is never given. A script first on PATH stands for xdg-open and the editor.
#include "base/MessageDialog.h"
#include "engine/PdfHandles.h"
#include "platform/Shell.h"

#include "RecordingSink.h"
#include "EngineFixture.h"
#include "FakeProgram.h"
#include "PdfWriter.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>

#include <vector>

namespace {

// Centres of the links on the third page of text.pdf, in page points.
constexpr double kLinkY = 413;
constexpr double kSectionX = 114, kUriX = 240, kLaunchX = 330, kRemoteX = 357;

} // namespace

struct LinksTest : EngineFixture {
    RecordingSink sink;
    QString bin;
    std::unique_ptr<FakeProgram> xdgOpen;
    std::unique_ptr<ScopedPath> path;
    std::vector<TPdfPage> pages;

    void SetUp() override
    {
        EngineFixture::SetUp();
        bin = dir.filePath("bin");
        xdgOpen = std::make_unique<FakeProgram>(bin + "/xdg-open");
        ASSERT_TRUE(xdgOpen->ready());
        path = std::make_unique<ScopedPath>(bin);
    }
    void TearDown() override
    {
        pages.clear();
        path.reset();
        EngineFixture::TearDown();
    }
    const TDPLPDFiumDLL &dll() { return *engine->PDFium(); }
    FPDF_DOCUMENT doc() { return current().PDFiumDoc.get(); }
    // The link at (x, y) of page (1-based) of the current document; its page stays loaded.
    FPDF_LINK linkAt(int page, double x, double y)
    {
        pages.emplace_back(dll().FPDF_LoadPage(doc(), page - 1), TPdfCloser<&TDPLPDFiumDLL::FPDF_ClosePage>(dll()));
        return dll().FPDFLink_GetLinkAtPoint(pages.back().get(), x, y);
    }
    // text.pdf with other.pdf (a copy of multi.pdf) beside it.
    QString openText()
    {
        const QString text = copy("pdfium/text.pdf", "text.pdf");
        copy("multi/multi.pdf", "other.pdf");
        EXPECT_TRUE(engine->OpenDocument(text, false, QString(), 0, TDestType::ForwardSearch));
        return text;
    }
    QString started() const { return xdgOpen->arguments(); }
    QString xdgArgs(const QString &target) const { return "[" + target + "]\n"; }
};

TEST_F(LinksTest, GoToLinkJumpsToTheSectionAndBackReturns)
{
    openText();
    ASSERT_EQ(page(), 1);
    FPDF_LINK link = linkAt(3, kSectionX, kLinkY);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(engine->GetAnnotHint(link), QString());
    EXPECT_TRUE(engine->ExeAnnotation(nullptr, link));
    EXPECT_EQ(page(), 3);
    EXPECT_TRUE(engine->Navigator().PrevPosition());
    EXPECT_EQ(page(), 1);
}

TEST_F(LinksTest, UriLinkHandsTheAddressToXdgOpenAlone)
{
    openText();
    FPDF_LINK link = linkAt(3, kUriX, kLinkY);
    EXPECT_EQ(engine->GetAnnotHint(link), "https://example.com/x?a=1");
    EXPECT_TRUE(engine->ExeAnnotation(nullptr, link));
    EXPECT_EQ(started(), xdgArgs("https://example.com/x?a=1"));
    EXPECT_TRUE(sink.shown.isEmpty());
}

TEST_F(LinksTest, LaunchLinkOpensTheNeighbourByItsAbsolutePath)
{
    openText();
    FPDF_LINK link = linkAt(3, kLaunchX, kLinkY);
    EXPECT_EQ(engine->GetAnnotHint(link), "other.pdf");
    EXPECT_TRUE(engine->ExeAnnotation(nullptr, link));
    EXPECT_EQ(started(), xdgArgs(dir.filePath("other.pdf")));
}

TEST_F(LinksTest, LaunchLinkToAProgramIsRefused)
{
    struct Case {
        const char *name;
        QByteArray content;
        bool executable;
    };
    const Case cases[] = {
        {"executable", EngineFixture::fixture("multi/multi.pdf"), true},
        {"desktop entry", "[Desktop Entry]\nType=Application\nExec=/bin/true\n", false},
        {"script", "#!/bin/sh\necho hi\n", false},
    };
    openText();
    const QString other = dir.filePath("other.pdf");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sink.shown.clear();
        ASSERT_TRUE(writeBytes(other, c.content));
        QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner;
        if (c.executable)
            mode |= QFile::ExeOwner;
        QFile::setPermissions(other, mode);
        EXPECT_FALSE(engine->ExeAnnotation(nullptr, linkAt(3, kLaunchX, kLinkY)));
        ASSERT_EQ(sink.shown.size(), 1);
        EXPECT_EQ(sink.texts()[0],
                  "Shell Error: Execute Action failed: open (\"" + other + "\")\r\n" + pl::Shell::programRefused());
        EXPECT_TRUE(log().contains("Error! ShellExecute failed: open (\"" + other + "\")"));
    }
    EXPECT_EQ(xdgOpen->arguments(300), QString());
}

TEST_F(LinksTest, RemoteLinkOpensTheOtherDocumentAtItsDestination)
{
    openText();
    engine->Navigator().GOTOPage(3, nullptr);
    EXPECT_TRUE(engine->ExeAnnotation(nullptr, linkAt(3, kRemoteX, kLinkY)));
    EXPECT_EQ(engine->FileName(), dir.filePath("other.pdf"));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(engine->DocumentCount(), 2);
}

TEST_F(LinksTest, RemoteLinkToAMissingFileIsLogged)
{
    openText();
    engine->Navigator().GOTOPage(3, nullptr);
    QFile::remove(dir.filePath("other.pdf"));
    EXPECT_FALSE(engine->ExeAnnotation(nullptr, linkAt(3, kRemoteX, kLinkY)));
    EXPECT_TRUE(log().contains("Cannot Open RGOTO File: " + dir.filePath("other.pdf")));
    EXPECT_EQ(engine->DocumentCount(), 1);
    // Not a page of this document either.
    EXPECT_EQ(page(), 3);
}

TEST_F(LinksTest, HostileTargetsAreRefusedWithTheirReason)
{
    openText();
    const QString folder = dir.filePath("folder");
    QDir().mkpath(folder);
    const QString fifo = dir.filePath("pipe.pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString exe = dir.filePath("setup.exe");
    ASSERT_TRUE(writeBytes(exe, QByteArray("MZ\x90\0\x03\0\0\0\x04\0\0\0\xff\xff\0\0", 16) + QByteArray(200, '\0')));
    const QString jar = dir.filePath("tool.jar");
    ASSERT_TRUE(
        writeBytes(jar, QByteArray("PK\x03\x04\x14\0\x08\0", 8) + "META-INF/MANIFEST.MF" + QByteArray(64, '\0')));
    struct Case {
        QString target;
        QString reason;
    };
    const Case cases[] = {
        {"file:///etc/passwd", pl::Shell::schemeRefused()},
        {"javascript:alert(1)", pl::Shell::schemeRefused()},
        {"smb://server/share/x.pdf", pl::Shell::schemeRefused()},
        {folder, pl::Shell::notRegular()},
        {fifo, pl::Shell::notRegular()},
        {exe, pl::Shell::programRefused()},
        {jar, pl::Shell::programRefused()},
        {dir.filePath("missing.txt"), pl::systemErrorText(ENOENT)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        sink.shown.clear();
        EXPECT_FALSE(engine->ShellExec("open", c.target));
        ASSERT_EQ(sink.shown.size(), 1);
        EXPECT_EQ(sink.texts()[0], "Shell Error: Execute Action failed: open (\"" + c.target + "\")\r\n" + c.reason);
    }
    EXPECT_EQ(xdgOpen->arguments(300), QString());
}

TEST_F(LinksTest, OpenedTargets)
{
    openText();
    App.ExeFolder = dir.filePath("prog/bin");
    QDir().mkpath(App.ExeFolder);
    ASSERT_TRUE(writeBytes(App.ExeFolder + "/x.txt", "notes\n"));
    ASSERT_TRUE(writeBytes(dir.filePath("notes.txt"), "notes\n"));
    struct Case {
        QString source, handed;
    };
    const Case cases[] = {
        {"%B/x.txt", App.ExeFolder + "/x.txt"},
        {"%B\\x.txt", App.ExeFolder + "/x.txt"},
        {"./notes.txt", dir.filePath("notes.txt")},
        {".\\notes.txt", dir.filePath("notes.txt")},
        // Never the current folder: the document's.
        {"notes.txt", dir.filePath("notes.txt")},
        {"HTTPS://example.com/", "HTTPS://example.com/"},
        {"mailto:a@example.com?subject=Hi&attach=/etc/passwd&Attachment=x", "mailto:a@example.com?subject=Hi"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        xdgOpen->forget();
        EXPECT_TRUE(engine->ShellExec("open", c.source));
        EXPECT_EQ(started(), xdgArgs(c.handed));
    }
    EXPECT_TRUE(sink.shown.isEmpty());
}

TEST_F(LinksTest, WithoutXdgOpenTheBoxEndsWithTheSystemsText)
{
    openText();
    const ScopedPath empty(dir.filePath("nothing-here"));
    EXPECT_FALSE(engine->ShellExec("open", "https://example.com/"));
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_TRUE(sink.texts()[0].startsWith("Shell Error: Execute Action failed: open (\"https://example.com/\")"));
    EXPECT_TRUE(sink.texts()[0].endsWith("\r\n" + pl::systemErrorText(ENOENT)));
}

// ---- The conventions and bookmarks, on a document of our own making ------------------------

struct LinkConventionsTest : LinksTest {
    // One page whose links carry the given URIs, one a row from the top.
    QString writeLinks(const QStringList &uris, const QString &name = "links.pdf")
    {
        PdfWriter w;
        w.addPage();
        for (int i = 0; i < uris.size(); ++i)
            w.links.push_back(
                {0, 72, 700.0 - 30 * i, 300, 720.0 - 30 * i, "<< /S /URI /URI (" + uris[i].toLatin1() + ") >>"});
        const QString file = dir.filePath(name);
        EXPECT_TRUE(w.write(file));
        return file;
    }
    bool runLink(int row) { return engine->ExeAnnotation(nullptr, linkAt(1, 100, 710.0 - 30 * row)); }
};

TEST_F(LinkConventionsTest, TextStartsTheEditorBesideTheProgram)
{
    App.ExeFolder = dir.filePath("prog/bin");
    FakeProgram editor(dir.filePath("prog/Orvale"));
    ASSERT_TRUE(editor.ready());
    const QString source = dir.filePath("src/chapter one.tex");
    const QString links = writeLinks({"TEXT: -R \"" + source + "\"", "TEXT: -R a\"b.tex", "TEXT:  part.tex"});
    ASSERT_TRUE(engine->OpenDocument(links, false, QString(), 0, TDestType::ForwardSearch));

    // The action ends with the convention: the link reports no success of its own.
    runLink(0);
    EXPECT_EQ(editor.arguments(), "[-R]\n[" + source + "]\n");

    editor.forget();
    runLink(1);
    EXPECT_TRUE(log().contains("file name is refused: a\"b.tex"));
    runLink(2);
    // A relative source is the document's neighbour.
    EXPECT_EQ(editor.arguments(), "[" + dir.filePath("part.tex") + "]\n");
    EXPECT_EQ(xdgOpen->arguments(100), QString());
}

TEST_F(LinkConventionsTest, PdfOpensTheDocumentWhereTheSwitchesSay)
{
    copy("multi/multi.pdf", "other.pdf");
    copy("pdfium/text.pdf", "text.pdf");
    PdfWriter many;
    for (int i = 0; i < 14; ++i)
        many.addPage().add(72, 700, QString("Page %1").arg(i + 1));
    ASSERT_TRUE(many.write(dir.filePath("many pages.pdf")));
    const QString links = writeLinks({"PDF: -L=ii other.pdf", "PDF: -P=12 \"many pages.pdf\"",
                                      "PDF: -D=section.2 text.pdf", "PDF: -L=ii -P=5 other.pdf"});
    struct Case {
        int row;
        QString file;
        int page;
    };
    const Case cases[] = {
        {0, "other.pdf", 2},
        {1, "many pages.pdf", 12},
        {2, "text.pdf", 3},
        {3, "other.pdf", 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        ASSERT_TRUE(engine->OpenDocument(links, false, QString(), 0, TDestType::ForwardSearch));
        runLink(c.row);
        EXPECT_EQ(engine->FileName(), dir.filePath(c.file));
        EXPECT_EQ(page(), c.page);
    }
}

TEST_F(LinkConventionsTest, BookmarkRunsItsActionAndItsDestinationOnlyWhenTheActionFails)
{
    PdfWriter w;
    for (int i = 0; i < 4; ++i)
        w.addPage();
    PdfWriter::OutlineItem web{"Web", 2, "<< /S /URI /URI (https://example.com/b) >>", -1, 1, -1};
    PdfWriter::OutlineItem named{"Named", 3, "<< /S /Named /N /NextPage >>", -1, -1, -1};
    w.outline = {web, named};
    const QString file = dir.filePath("marks.pdf");
    ASSERT_TRUE(w.write(file));
    ASSERT_TRUE(engine->OpenDocument(file, false, QString(), 0, TDestType::ForwardSearch));
    const std::shared_ptr<TTree> tree = engine->Tree();
    ASSERT_EQ(engine->BuildTree(tree), 2);

    EXPECT_TRUE(engine->ExeOutline(nullptr, tree->Items[0].BM));
    EXPECT_EQ(started(), xdgArgs("https://example.com/b"));
    EXPECT_EQ(page(), 1);

    EXPECT_TRUE(engine->ExeOutline(nullptr, tree->Items[1].BM));
    EXPECT_TRUE(log().contains("Unsupported Action..."));
    EXPECT_EQ(page(), 4);
}
