// Inverse search through the engine: the pointer over a page of a real document, the
// SyncTeX data beside it, and an editor script on PATH that records the arguments it got.
#include "base/MessageDialog.h"
#include "settings/Prefer.h"

#include "EngineFixture.h"
#include "FakeEditor.h"
#include "SyncTeXText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

class PointerHost : public DocumentHost {
public:
    QPoint cursor{-1, -1};
    QStringList syncStatus;
    QPoint CursorPos() const override { return cursor; }
    void ShowViewStatus(const TViewStatus &status) override
    {
        if (status.SyncTeX)
            syncStatus << *status.SyncTeX;
    }
};

class NoDialogs final : public TMessageSink {
public:
    QStringList shown;
    NoDialogs() { SetMessageSink(this); }
    ~NoDialogs() override { SetMessageSink(nullptr); }
    int ShowMessage(const TMessageRequest &request) override
    {
        shown << request.title + ": " + request.text;
        return mrOk;
    }
};

QString canonical(const QString &path) { return QFileInfo(path).canonicalFilePath(); }

struct EngineInverseSearch : EngineFixture {
    PointerHost pointer;
    QString argvFile;
    std::unique_ptr<FakeEditor> editor;
    NoDialogs dialogs;

    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetHost(&pointer);
        App.AppRunning = true; // SyncTeX data loads on the main thread only while the loop runs
        editor = std::make_unique<FakeEditor>(dir.path());
        ASSERT_TRUE(editor->ready());
        argvFile = editor->argvFile();
        Prefer.InverseSearchCmd = FakeEditor::command();
    }
    void TearDown() override
    {
        App.AppRunning = false;
        editor.reset();
        EngineFixture::TearDown();
    }

    // Puts the pointer on the point of page p given in points from its top-left corner.
    void pointAt(int p, double x, double y)
    {
        ASSERT_TRUE(engine->Navigator().GOTOPage(p, nullptr));
        TPageLayout &view = engine->Layout();
        view.SetSelectedPage(p);
        int cx = 0, cy = 0;
        ASSERT_TRUE(view.GetScrCoord(p, x, view.FDocPageHeight - y, cx, cy)) << p;
        pointer.cursor = {cx, cy};
    }
    QString editorArguments() const { return editor->arguments(); }
    QStringList infos() const { return pointer.calls.filter("Info "); }
};

} // namespace

TEST_F(EngineInverseSearch, AWordOnThePageOpensItsSourceLine)
{
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    pointAt(3, 217.5, 277.8); // "single", typeset from chapters/stone.tex line 9
    EXPECT_TRUE(engine->InverseSearch());
    EXPECT_EQ(editorArguments(), "[--line]\n[9]\n[" + canonical(fixturePath("multi/chapters/stone.tex")) + "]\n");
    EXPECT_EQ(engine->Layout().SelPage, 3);
    EXPECT_TRUE(infos().isEmpty()) << infos().join('\n');
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(EngineInverseSearch, APointerOutsideThePagesDoesNothing)
{
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    pointAt(3, 217.5, 277.8);
    const QPoint onPage = pointer.cursor;
    // The workspace right of the page, at the same height.
    TPageLayout &view = engine->Layout();
    const int count = view.GetLayoutView();
    ASSERT_GT(count, 0);
    int right = 0;
    for (int i = 0; i < count; ++i)
        right = std::max(right, view.Layout[size_t(i)].destLeft + view.Layout[size_t(i)].width);
    ASSERT_LT(right, pointer.clientWidth - 1) << "the page fills the window";
    const QPoint cases[] = {{-1, -1}, {0, onPage.y()}, {onPage.x(), pointer.clientHeight}, {right, onPage.y()}};
    for (const QPoint &p : cases) {
        pointer.cursor = p;
        EXPECT_FALSE(engine->InverseSearch()) << p.x() << "," << p.y();
    }
    EXPECT_TRUE(infos().isEmpty()) << infos().join('\n');
    EXPECT_FALSE(QFile::exists(argvFile));
}

// A source name with a blank and double quotes reaches the editor as one argument.
TEST_F(EngineInverseSearch, ASourceNameWithQuotesAndBlanksIsOneArgument)
{
    const QString pdf = copy("widths/widths.pdf", "doc.pdf");
    const QString source = dir.filePath("my \"odd\" file.tex");
    ASSERT_TRUE(writeBytes(source, "x\n"));
    ASSERT_TRUE(writeBytes(
        dir.filePath("doc.synctex"),
        syncPreamble("./my \"odd\" file.tex")
            + "{1\n[1,1:0,0:100,100,0\n(1,7:3000000,6000000:20000000,600000,200000\nx1,7:3000000,6000000\n)\n]\n}1\n"));
    ASSERT_TRUE(engine->OpenDocument(pdf, false, QString(), 0, TDestType::ForwardSearch));
    pointAt(1, 50, 85);
    EXPECT_TRUE(engine->InverseSearch());
    EXPECT_EQ(editorArguments(), "[--line]\n[7]\n[" + canonical(source) + "]\n");
}

// A recorded name that is no file starts nothing, where an editor would take "+cmd" for a command.
TEST_F(EngineInverseSearch, ASourceThatDoesNotExistStartsNothing)
{
    const QString pdf = copy("widths/widths.pdf", "doc.pdf");
    ASSERT_TRUE(writeBytes(dir.filePath("doc.synctex"),
                           syncPreamble("./doc.tex")
                               + "Input:2:+!touch X\n"
                                 "{1\n[1,1:0,0:100,100,0\n(2,7:3000000,6000000:20000000,600000,200000\n"
                                 "x2,7:3000000,6000000\n)\n]\n}1\n"));
    ASSERT_TRUE(engine->OpenDocument(pdf, false, QString(), 0, TDestType::ForwardSearch));
    pointAt(1, 50, 85);
    EXPECT_FALSE(engine->InverseSearch());
    EXPECT_EQ(infos(), QStringList{"Info 2777: No source link found on page 1"});
    EXPECT_TRUE(
        log().contains("No source link found on page 1. Source file not found: \"" + dir.filePath("+!touch X") + "\""))
        << log();
    QThread::msleep(200);
    EXPECT_FALSE(QFile::exists(argvFile));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(EngineInverseSearch, WithoutSourceOrDataTheUserIsTold)
{
    const QString pdf = copy("widths/widths.pdf", "doc.pdf");
    ASSERT_TRUE(engine->OpenDocument(pdf, false, QString(), 0, TDestType::ForwardSearch));
    pointAt(1, 50, 85);
    EXPECT_FALSE(engine->InverseSearch());
    EXPECT_EQ(infos(), QStringList{"Info 2777: No SyncTeX Data for: \"doc\""});
    EXPECT_TRUE(log().contains("No SyncTeX Data: \"\""));

    // Data whose page 1 holds no record.
    pointer.calls.clear();
    const QString sync = dir.filePath("doc.synctex");
    ASSERT_TRUE(writeBytes(sync, syncPreamble(dir.filePath("doc.tex")) + "{1\n[1,1:0,0:100,100,0\n]\n}1\n"));
    ASSERT_TRUE(engine->OpenDocument(pdf, true, QString(), 0, TDestType::ForwardSearch));
    pointAt(1, 50, 85);
    EXPECT_FALSE(engine->InverseSearch());
    EXPECT_EQ(infos(), QStringList{"Info 2777: No source link found on page 1"});
    EXPECT_TRUE(log().contains("No source link found on page 1."));
    EXPECT_EQ(engine->SyncTeX()->ErrMsg.get(), "No source data found on this page!");

    // Data that a loader thread holds.
    pointer.calls.clear();
    ASSERT_TRUE(engine->SyncTeX()->ClaimLoading());
    EXPECT_FALSE(engine->InverseSearch());
    EXPECT_EQ(infos(), QStringList{"Info 2777: No SyncTeX Data: \"" + sync + "\""});
    engine->SyncTeX()->Loading = false;
    EXPECT_FALSE(QFile::exists(argvFile));
}

TEST_F(EngineInverseSearch, TheStatusFieldFollowsTheCurrentDocument)
{
    const auto field = [&] {
        pointer.syncStatus.clear();
        engine->UpdateSync();
        return pointer.syncStatus.join('|');
    };
    EXPECT_EQ(field(), "");
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(field(), "SyncTeX.gz: Ready");
    ASSERT_TRUE(
        engine->OpenDocument(copy("widths/widths.pdf", "doc.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(field(), "No SyncTeX Data");
    // Nothing once the event loop has ended.
    App.AppRunning = false;
    EXPECT_EQ(field(), "");
    EXPECT_TRUE(pointer.syncStatus.isEmpty());
}
