// The client area in the main window: the docked bookmarks panel and its splitter, and full
// screen and presentation with their per-document views and the blackout keys.
#include "app/CmdLine.h"
#include "app/Placement.h"
#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "ui/ClientForm.h"
#include "ui/MainForm.h"
#include "ui/MsgForm.h"
#include "ui/ScrollForm.h"
#include "ui/TreeForm.h"
#include "ui/WindowPlacement.h"

#include "MainFormFixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>
#include <QTimer>

namespace {

struct ClientForm : MainFormFixture {
    TClientForm *client = nullptr;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 500, 850}; // top, left, bottom, right
        Prefer.BookmarksWidth = 200;
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
        client = form->ClientArea();
        ASSERT_NE(client, nullptr);
    }
    QString open(const QString &name)
    {
        const QString path = copy("multi/multi.pdf", name);
        EXPECT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        QApplication::processEvents();
        return path;
    }
    void command(const char *name)
    {
        QAction *a = form->Command(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr);
        a->trigger();
        QApplication::processEvents();
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(form->PageView(), Qt::Key(k), m);
        QApplication::processEvents();
    }
    TDisplayState state() const { return client->PresentationState(); }
};

} // namespace

TEST_F(ClientForm, FullScreenTwiceReturnsToTheMainWindow)
{
    open("a.pdf");
    const QRect before = form->geometry();
    command("menuFullScreen");
    EXPECT_EQ(state(), TDisplayState::FullScreen);
    EXPECT_TRUE(client->isWindow());
    EXPECT_TRUE(client->isVisible());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(client->geometry(), form->screen()->geometry());
    EXPECT_TRUE(form->Command("menuFullScreen")->isChecked());

    command("menuFullScreen");
    EXPECT_EQ(state(), TDisplayState::Normal);
    EXPECT_FALSE(client->isWindow());
    EXPECT_EQ(client->parentWidget(), form->MainClientPanel);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->geometry(), before);
    EXPECT_FALSE(form->Command("menuFullScreen")->isChecked());
}

// Presentation shows single whole pages without the panel; leaving brings back the view and
// the panel the document had.
TEST_F(ClientForm, PresentationHasItsOwnView)
{
    open("a.pdf");
    engine->Navigator().SetContinuousView(true);
    engine->Navigator().SetZoomMode(zfitWidth);
    form->ShowBookmarksPanel(true);
    ASSERT_TRUE(client->LeftPanel->isVisible());

    command("menuPresentation");
    EXPECT_EQ(state(), TDisplayState::Presentation);
    EXPECT_FALSE(engine->Layout().AllowScrolling);
    EXPECT_EQ(engine->Layout().FZoomMode, zfitPage);
    EXPECT_FALSE(client->LeftPanel->isVisible());
    EXPECT_FALSE(engine->ShowBookmarks);
    // The pages reach the monitor's edges: no frame of the window's colour around them.
    EXPECT_EQ(form->PageView()->viewport()->mapTo(client, QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(form->PageView()->viewport()->size(), client->size());

    // F5 reaches the commands from the full-screen window too.
    QTest::keyClick(client, Qt::Key_F5);
    QApplication::processEvents();
    EXPECT_EQ(state(), TDisplayState::Normal);
    EXPECT_TRUE(engine->Layout().AllowScrolling);
    EXPECT_EQ(engine->Layout().FZoomMode, zfitWidth);
    EXPECT_TRUE(client->LeftPanel->isVisible());
}

TEST_F(ClientForm, FullScreenZoomComesBack)
{
    open("a.pdf");
    command("menuFullScreen");
    engine->Navigator().SetZoom(175);
    command("menuFullScreen");
    EXPECT_NE(engine->Layout().FZoom, 175);
    command("menuFullScreen");
    EXPECT_EQ(engine->Layout().FZoomMode, zCustom);
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 175);
}

TEST_F(ClientForm, BlackoutKeys)
{
    using B = TClientForm::TBlackout;
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        B blackout;
        TDisplayState state;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
    };
    const TDisplayState P = TDisplayState::Presentation;
    const Case cases[] = {
        {"B then B", {{Qt::Key_B, Qt::NoModifier, B::Black, P}, {Qt::Key_B, Qt::NoModifier, B::None, P}}},
        {"W", {{Qt::Key_W, Qt::NoModifier, B::White, P}}},
        {"period", {{Qt::Key_Period, Qt::NoModifier, B::Black, P}}},
        {"Shift+period as greater", {{Qt::Key_Greater, Qt::ShiftModifier, B::White, P}}},
        {"Shift+period", {{Qt::Key_Period, Qt::ShiftModifier, B::White, P}}},
        {"black then white", {{Qt::Key_B, Qt::NoModifier, B::Black, P}, {Qt::Key_W, Qt::NoModifier, B::White, P}}},
        {"Esc ends it, then leaves",
         {{Qt::Key_B, Qt::NoModifier, B::Black, P},
          {Qt::Key_Escape, Qt::NoModifier, B::None, P},
          {Qt::Key_Escape, Qt::NoModifier, B::None, TDisplayState::Normal}}},
    };
    open("a.pdf");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        client->SetFullScreenMode(TDisplayState::Presentation);
        ASSERT_EQ(state(), P);
        for (const Step &s : c.steps) {
            key(s.key, s.modifiers);
            EXPECT_EQ(client->Blackout(), s.blackout);
            EXPECT_EQ(state(), s.state);
            EXPECT_EQ(client->ClientPanel->isHidden(), s.blackout != B::None);
        }
        client->SetFullScreenMode(TDisplayState::Normal);
        EXPECT_EQ(client->Blackout(), B::None);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// Without a document nothing leaves the main window; the last one closed ends the state.
TEST_F(ClientForm, NoDocumentMeansNormal)
{
    client->SetFullScreenMode(TDisplayState::Presentation);
    EXPECT_EQ(state(), TDisplayState::Normal);
    EXPECT_FALSE(client->isWindow());

    const QString path = open("a.pdf");
    command("menuPresentation");
    ASSERT_EQ(state(), TDisplayState::Presentation);
    ASSERT_TRUE(engine->CloseFile(path, -1));
    form->EnableMenu();
    QApplication::processEvents();
    EXPECT_EQ(state(), TDisplayState::Normal);
    EXPECT_TRUE(form->isVisible());
}

// The panel keeps 32 px (scaled) and leaves the page view 32 px.
TEST_F(ClientForm, SplitterClamp)
{
    open("a.pdf");
    form->ShowBookmarksPanel(true);
    const int width = client->LeftSplitter->width();
    const int margin = Scaled(32);
    struct Case {
        int asked;
        int expected;
    };
    const Case cases[] = {{0, margin}, {margin - 1, margin}, {150, 150}, {width, width - margin}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(client->GetBMWidth(c.asked), c.expected);
    }
}

// The measuring box lies over the page view in the client panel, as wide as its text within
// 100 and 300 px (scaled); a click on it ends the measuring.
TEST_F(ClientForm, MeasuringBox)
{
    open("a.pdf");
    QLineEdit *box = client->edCoord;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(form->PageView()->CoordBox(), box);
    EXPECT_EQ(box->parentWidget(), client->ClientPanel);
    EXPECT_EQ(box->text(), " Cursor: 100.0 x 100.0 mm");
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->alignment(), Qt::AlignCenter);
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(box->isHidden());

    QTest::mouseMove(form->PageView()->viewport(), form->PageView()->viewport()->rect().center());
    form->PageView()->ShowCoord();
    QApplication::processEvents();
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(form->PageView()->CoordVisible());
    EXPECT_GE(box->width(), Scaled(100));
    EXPECT_LE(box->width(), Scaled(300));
    EXPECT_LT(box->y(), form->PageView()->height() / 2);

    QTest::mouseClick(box, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(form->PageView()->CoordVisible());

    // Esc in the box ends the measuring too, and the page view has the keys again.
    form->PageView()->ShowCoord();
    QApplication::processEvents();
    ASSERT_TRUE(box->isVisible());
    QTest::keyClick(box, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(form->PageView()->CoordVisible());
    EXPECT_EQ(QApplication::focusWidget(), form->PageView());
}

// While the splitter is dragged the page view is not redrawn at every step; the drop redraws it.
TEST_F(ClientForm, SplitterDragHoldsThePageViewsDrawing)
{
    open("a.pdf");
    form->ShowBookmarksPanel(true);
    QWidget *handle = client->LeftSplitter->handle(1);
    ASSERT_TRUE(handle->isVisible());
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    EXPECT_FALSE(client->ClientPanel->updatesEnabled());
    QTest::mouseMove(handle, grip + QPoint(40, 0));
    EXPECT_FALSE(client->ClientPanel->updatesEnabled());
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
    EXPECT_TRUE(client->ClientPanel->updatesEnabled());

    // Before the start-up has finished nothing is held.
    App.AppRunning = false;
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    EXPECT_TRUE(client->ClientPanel->updatesEnabled());
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip);
    App.AppRunning = true;
}

// A restore of the window clamps a stored panel width wider than the window allows, and keeps it.
TEST_F(ClientForm, RestoreClampsTheStoredPanelWidth)
{
    open("a.pdf");
    form->ShowBookmarksPanel(true);
    const int before = client->LeftSplitter->sizes().value(0);
    Prefer.BookmarksWidth = 5000;
    form->WindowPlacement().ResizeMainWindow(false);
    const int widest = client->LeftSplitter->width() - Scaled(32);
    EXPECT_EQ(Prefer.BookmarksWidth, widest);
    // Applied: the panel widens as far as the page view's own minimum lets it.
    EXPECT_GT(client->LeftSplitter->sizes().value(0), before);
    EXPECT_GE(client->LeftSplitter->sizes().value(1), Scaled(32));
}

// Dialogs belong to the full-screen window while it stands for the program, centred on it, so
// that a window manager keeps them above it.
TEST_F(ClientForm, DialogsBelongToTheFullScreenWindow)
{
    TMsgFormSink sink([this] { return form.get(); });
    SetMessageSink(&sink);
    open("a.pdf");
    command("menuFullScreen");
    ASSERT_TRUE(client->isWindow());
    QWidget *parent = nullptr;
    QRect shown;
    const auto inspect = [&] {
        QWidget *dlg = QApplication::activeModalWidget();
        if (!dlg)
            return;
        parent = dlg->parentWidget();
        shown = dlg->frameGeometry();
        dlg->close();
    };
    QTimer::singleShot(0, inspect);
    MessageDialog(QStringLiteral("Title"), QStringLiteral("Text"), mtInformation, {mbOK}, mbOK);
    EXPECT_EQ(parent, client);
    // Centred up to the rounding of odd sizes.
    EXPECT_LE((shown.center() - client->frameGeometry().center()).manhattanLength(), 4);

    parent = nullptr;
    QTimer::singleShot(0, inspect);
    command("menuDocumentProperties");
    EXPECT_EQ(parent, client);

    command("menuFullScreen");
    parent = nullptr;
    QTimer::singleShot(0, inspect);
    MessageDialog(QStringLiteral("Title"), QStringLiteral("Text"), mtInformation, {mbOK}, mbOK);
    EXPECT_EQ(parent, form.get());
    SetMessageSink(nullptr);
}

// A document handed over by a second start's command line during presentation shows there, in
// the presentation's view.
TEST_F(ClientForm, ACommandLineDocumentShowsInPresentation)
{
    open("a.pdf");
    command("menuPresentation");
    ASSERT_EQ(state(), TDisplayState::Presentation);
    const QString second = copy("multi/multi.pdf", "b.pdf");
    ASSERT_TRUE(ExeCmdLine(*engine, {second}));
    QApplication::processEvents();
    EXPECT_EQ(state(), TDisplayState::Presentation);
    EXPECT_TRUE(client->isWindow());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(engine->FileName(), second);
    EXPECT_FALSE(engine->Layout().AllowScrolling);
    EXPECT_EQ(engine->Layout().FZoomMode, zfitPage);
    EXPECT_TRUE(form->PageView()->isVisible());
}

// A panel width dragged with the splitter is saved with the settings when the window closes and
// is the panel's width in the next window.
TEST_F(ClientForm, TheDraggedPanelWidthSurvivesARestart)
{
    App.DataFolder = dir.path();
    App.DataFile = dir.filePath("OrvalePDF.dat");
    open("a.pdf");
    form->ShowBookmarksPanel(true);
    QWidget *handle = client->LeftSplitter->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(60, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(60, 0));
    const int dragged = client->LeftPanel->width();
    ASSERT_NE(dragged, 200);
    EXPECT_EQ(Prefer.BookmarksWidth, dragged);
    form->close();
    form.reset();
    ASSERT_TRUE(WriteData());

    LoadPreferDefaults(Prefer);
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.BookmarksWidth, dragged);
    Prefer.Maximized = false;
    Prefer.WindowRect = {100, 50, 500, 850};
    createForm();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    client = form->ClientArea();
    open("a.pdf");
    form->ShowBookmarksPanel(true);
    QApplication::processEvents();
    EXPECT_EQ(client->LeftPanel->width(), dragged);
    App.DataFile.clear();
    App.DataFolder.clear();
}
