// The main window over a real engine: its command table, the enabled and checked states of
// the commands, dropped files, switching between documents, and the settings at close.
#include "settings/PreferStore.h"
#include "ui/MainCommands.h"
#include "ui/ClientForm.h"
#include "ui/MainForm.h"
#include "ui/ScrollForm.h"
#include "ui/StatusLine.h"

#include "MainFormFixture.h"
#include "platform/fake/ScriptedKeyState.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

namespace {

struct MainFormTest : MainFormFixture {
    int writes = 0;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 500, 650}; // top, left, bottom, right
        createForm([this] {
            ++writes;
            return WriteData();
        });
    }

    QAction *cmd(const char *field)
    {
        QAction *a = form->Command(QLatin1String(field));
        EXPECT_NE(a, nullptr) << field;
        return a;
    }
    // The file and its SyncTeX data, when it has some, in the test's folder.
    QString withSyncTeX(const QString &name)
    {
        copy(QStringLiteral("multi/multi.synctex.gz"), name + QStringLiteral(".synctex.gz"));
        return copy(QStringLiteral("multi/multi.pdf"), name + QStringLiteral(".pdf"));
    }
    void open(const QString &file)
    {
        ASSERT_TRUE(engine->LoadFile(file)) << file.toStdString();
        form->EnableMenu();
    }
};

TEST(MainCommandsTest, EveryShortcutParsesAndNoTwoCommandsShareOne)
{
    QSet<QString> seen;
    for (const TMenuEntry &e : MainMenuTable()) {
        if (e.kind != TMenuEntry::Item || !*e.shortcut)
            continue;
        const QKeySequence key = QKeySequence::fromString(QLatin1String(e.shortcut), QKeySequence::PortableText);
        ASSERT_EQ(key.count(), 1) << e.field << " " << e.shortcut;
        EXPECT_NE(key[0].key(), Qt::Key_unknown) << e.field;
        EXPECT_EQ(key, QKeySequence(key.toString(QKeySequence::PortableText))) << e.field;
        EXPECT_FALSE(seen.contains(key.toString())) << e.field << " " << e.shortcut;
        seen << key.toString();
    }
}

TEST(MainCommandsTest, ZoomPresetsFromTheSettingText)
{
    const struct {
        const char *text;
        QList<int> presets;
    } cases[] = {
        {"400,300,200,100,50", {400, 300, 200, 100, 50}},
        {"3,20000,150", {150}},
        {"", {}},
        {"0400 x75%,abc12", {400, 75, 12}},
        {"4", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZoomMenuPresets(QLatin1String(c.text)), c.presets) << c.text;
}

TEST_F(MainFormTest, MenuBarHoldsEveryCommandWithItsShortcuts)
{
    // Every item of the table is reachable by its name and no key starts two actions.
    QHash<QString, QString> owner;
    for (QAction *a : form->CommandActions())
        for (const QKeySequence &k : a->shortcuts()) {
            EXPECT_FALSE(owner.contains(k.toString()))
                << a->objectName().toStdString() << " and " << owner.value(k.toString()).toStdString();
            owner.insert(k.toString(), a->objectName());
        }
    const auto ownerOf = [&](const char *key) { return owner.value(QKeySequence(QLatin1String(key)).toString()); };
    EXPECT_EQ(ownerOf("Ctrl+L"), QStringLiteral("menuPresentation"));
    EXPECT_EQ(ownerOf("Shift+Ctrl+L"), QStringLiteral("menuFullScreen"));
    EXPECT_EQ(ownerOf("Ctrl+Alt+O"), QStringLiteral("menuOpenAdobe"));
    EXPECT_EQ(cmd("menuPresentation")->shortcut(), QKeySequence(QStringLiteral("F5"))); // the menu shows the first
    EXPECT_EQ(cmd("menuOpen")->text(), QStringLiteral("&Open..."));
    EXPECT_FALSE(cmd("menuFindOpt")->isVisible());
    EXPECT_TRUE(cmd("menuThemes")->isVisible());

    Prefer.ShowThemesMenu = false;
    Prefer.AdobeInMenu = false;
    Prefer.AdobeMenu = QStringLiteral("Open in Viewer...");
    form->BuildMenu();
    EXPECT_FALSE(cmd("menuThemes")->isVisible());
    EXPECT_FALSE(cmd("menuOpenAdobe")->isVisible());
    EXPECT_EQ(cmd("menuOpenAdobe")->text(), QStringLiteral("Open in Viewer..."));
}

TEST_F(MainFormTest, HiddenItemsSecondShortcutsFire)
{
    open(copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const struct {
        Qt::KeyboardModifiers mods;
        TDisplayState state;
    } cases[] = {
        {Qt::ControlModifier, TDisplayState::Presentation},
        {Qt::ControlModifier | Qt::ShiftModifier, TDisplayState::FullScreen},
    };
    for (const auto &c : cases) {
        // The second press comes to the full-screen window and toggles back.
        QTest::keyClick(form.get(), Qt::Key_L, c.mods);
        EXPECT_EQ(form->ClientArea()->PresentationState(), c.state);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->ClientArea()));
        QTest::keyClick(form->ClientArea(), Qt::Key_L, c.mods);
        EXPECT_EQ(form->ClientArea()->PresentationState(), TDisplayState::Normal);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
}

TEST_F(MainFormTest, ShortcutRunsTheEngineCommand)
{
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(engine->Layout().FRotate, 1);
    QTest::keyClick(form.get(), Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(form.get(), Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(engine->Layout().FRotate, 3);
    QTest::keyClick(form.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(engine->Layout().FZoomMode, zfitWidth);
    EXPECT_TRUE(cmd("menuZoomFitWidth")->isChecked());
    QTest::keyClick(form.get(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(engine->DocumentCount(), 0);
}

// Back and Forward from the keyboard at the ends of the history do nothing, neither turn a
// page nor change what the history holds.
TEST_F(MainFormTest, HistoryKeysAtTheEndsDoNothing)
{
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QWidget *view = form->PageView();
    view->setFocus();
    TNavigator &nav = engine->Navigator();
    const auto key = [&](int k, Qt::KeyboardModifiers mods) {
        QTest::keyClick(view, Qt::Key(k), mods);
        return page();
    };
    ASSERT_TRUE(nav.GOTOPage(3, nullptr));
    ASSERT_TRUE(nav.GOTOPage(6, nullptr));
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        int page;
    };
    const Step steps[] = {
        {Qt::Key_Left, Qt::AltModifier, 3},     {Qt::Key_Right, Qt::AltModifier, 6},
        {Qt::Key_Right, Qt::AltModifier, 6},    {Qt::Key_Backspace, Qt::ShiftModifier, 6},
        {Qt::Key_Left, Qt::AltModifier, 3},     {Qt::Key_Backspace, Qt::ShiftModifier, 6},
        {Qt::Key_Backspace, Qt::NoModifier, 3}, {Qt::Key_Left, Qt::AltModifier, 1},
        {Qt::Key_Left, Qt::AltModifier, 1},     {Qt::Key_Backspace, Qt::NoModifier, 1},
        {Qt::Key_Right, Qt::AltModifier, 3},    {Qt::Key_Right, Qt::AltModifier, 6},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const TPositionHistory before = nav.History;
        const bool atAnEnd = steps[i].page == page();
        EXPECT_EQ(key(steps[i].key, steps[i].mods), steps[i].page) << "step " << i;
        if (atAnEnd) {
            EXPECT_EQ(nav.History.CPos, before.CPos) << "step " << i;
            for (size_t j = 0; j < before.Positions.size(); ++j)
                EXPECT_EQ(nav.History.Positions[j].cp, before.Positions[j].cp) << "step " << i << " slot " << j;
        }
    }
}

// Enabled (E) and checked (C) states of commands in four situations.
TEST_F(MainFormTest, CommandStatesFollowTheDocument)
{
    struct Expect {
        const char *field;
        bool none, noPages, plain, sync;
    };
    const Expect enabled[] = {
        {"menuOpen", true, true, true, true},
        {"menuFileList", true, true, true, true},
        {"menuSave", false, false, true, true},
        {"menuPrint", false, false, true, true},
        {"menuDocumentProperties", false, true, true, true},
        {"menuReload", false, true, true, true},
        {"menuClose", false, true, true, true},
        {"menuCloseAll", false, true, true, true},
        {"menuOpenHomeFolder", false, true, true, true},
        {"menuNewInstance", false, true, true, true},
        {"menuSelAll", false, false, true, true},
        {"menuCopy", false, false, false, false},
        {"menuMeasuringMode", false, true, true, true},
        {"menuFind", false, false, true, true},
        {"menuFindNext", false, false, false, false},
        {"menuInverseSearch", false, false, false, true},
        {"menuGoToPage", false, false, true, true},
        {"menuSetMark", false, true, true, true},
        {"menuGotoMark", false, false, false, false},
        {"menuNextDoc", false, false, false, true},
        {"menuToggleDoc", false, false, false, true},
        {"menuSinglePage", false, true, true, true},
        {"menuRotateRight", false, true, true, true},
        {"menuZoomFitPage", false, true, true, true},
        {"menuZoomIn", false, true, true, true},
        {"menuPreferences", true, true, true, true},
        {"menuShowToolbar", true, true, true, true},
        {"menuAbout", true, true, true, true},
    };
    const Expect checked[] = {
        {"menuSinglePage", false, true, true, true},        {"menuShowToolbar", true, true, true, true},
        {"menuShowStatusLine", false, false, false, false}, {"menuRenderToBitmap", true, true, true, true},
        {"menuDefaultTheme", true, true, true, true},
    };
    const auto verify = [&](int column, const char *situation) {
        form->EnableMenu();
        for (const Expect &e : enabled) {
            const bool want[] = {e.none, e.noPages, e.plain, e.sync};
            EXPECT_EQ(cmd(e.field)->isEnabled(), want[column]) << situation << ": " << e.field << " enabled";
        }
        for (const Expect &e : checked) {
            const bool want[] = {e.none, e.noPages, e.plain, e.sync};
            EXPECT_EQ(cmd(e.field)->isChecked(), want[column]) << situation << ": " << e.field << " checked";
        }
    };
    Prefer.AllowScrolling = true;
    Prefer.PageView = TPageViewMode::Single;

    verify(0, "no document");
    EXPECT_FALSE(form->cbZoom->isEnabled());
    EXPECT_FALSE(form->edPageGoto->isEnabled());

    open(copy(QStringLiteral("mainwin/nopages.pdf"), QStringLiteral("nopages.pdf")));
    ASSERT_EQ(engine->Pages().PageCount(), 0);
    verify(1, "document without pages");
    EXPECT_TRUE(form->cbZoom->isEnabled());
    EXPECT_FALSE(form->edPageGoto->isEnabled());
    engine->CloseAllFiles(-1);

    open(copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text.pdf")));
    verify(2, "document");
    EXPECT_TRUE(form->edPageGoto->isEnabled());

    open(withSyncTeX(QStringLiteral("multi")));
    verify(3, "document with SyncTeX");

    // Typing a search text enables the next and previous match.
    form->edFindString->setText(QStringLiteral("chapter"));
    EXPECT_TRUE(cmd("menuFindNext")->isEnabled());
    EXPECT_TRUE(cmd("menuFindPrev")->isEnabled());

    // A position in the history enables Back; a mark away from the view enables Goto Mark.
    EXPECT_FALSE(cmd("menuBack")->isEnabled());
    cmd("menuSetMark")->trigger();
    EXPECT_FALSE(cmd("menuGotoMark")->isEnabled());
    engine->Navigator().GOTOPage(5, nullptr);
    form->EnableMenu();
    EXPECT_TRUE(cmd("menuGotoMark")->isEnabled());
    EXPECT_TRUE(cmd("menuBack")->isEnabled());
    cmd("menuBack")->trigger();
    EXPECT_TRUE(cmd("menuForward")->isEnabled());

    // Without its file the document can no longer be reloaded.
    QFile::remove(engine->FileName());
    form->EnableMenu();
    EXPECT_FALSE(cmd("menuReload")->isEnabled());
    EXPECT_TRUE(cmd("menuClose")->isEnabled());
}

TEST_F(MainFormTest, ViewCommandsCheckWhatTheEngineShows)
{
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    cmd("menuBookView")->trigger();
    EXPECT_EQ(engine->Layout().PageView, TPageViewMode::Book);
    EXPECT_TRUE(cmd("menuBookView")->isChecked());
    EXPECT_FALSE(cmd("menuSinglePage")->isChecked());

    const bool continuous = engine->Layout().AllowScrolling;
    cmd("menuCountiniousView")->trigger();
    EXPECT_EQ(engine->Layout().AllowScrolling, !continuous);
    EXPECT_EQ(cmd("menuCountiniousView")->isChecked(), !continuous);

    const bool frames = engine->FrameLinks;
    cmd("menuFrameLinks")->trigger();
    EXPECT_EQ(engine->FrameLinks, !frames);
    EXPECT_EQ(cmd("menuFrameLinks")->isChecked(), !frames);

    cmd("menuZoomActualSize")->trigger();
    EXPECT_EQ(engine->Layout().FZoomMode, zActualSize);
    EXPECT_TRUE(cmd("menuZoomActualSize")->isChecked());
    EXPECT_FALSE(cmd("menuZoomFitWidth")->isChecked());

    // Presets from the settings; choosing one sets that zoom.
    Prefer.ZoomMenu = true;
    Prefer.ZoomMenuValues = QStringLiteral("300,50");
    form->CreateZoomMenu();
    QMenu *zoom = cmd("menuZoom")->menu();
    QAction *preset = nullptr;
    QStringList captions;
    for (QAction *a : zoom->actions())
        if (a->data().toInt() > 0) {
            captions << a->text();
            preset = a;
        }
    EXPECT_EQ(captions, QStringList({QStringLiteral("300%"), QStringLiteral("50%")}));
    ASSERT_TRUE(preset);
    preset->trigger();
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 50);
    Prefer.ZoomMenu = false;
    form->CreateZoomMenu();
    for (QAction *a : zoom->actions())
        EXPECT_LE(a->data().toInt(), 0) << a->text().toStdString();
}

TEST_F(MainFormTest, ToolbarBoxesGoToThePageAndSetTheZoom)
{
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(form->edPageGoto->hasFocus());
    form->edPageGoto->setText(QStringLiteral(" 4"));
    QTest::keyClick(form->edPageGoto, Qt::Key_Return);
    EXPECT_EQ(page(), 4);

    // Typing "%" applies the zoom at once.
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(form->cbZoom->lineEdit()->hasFocus());
    form->cbZoom->lineEdit()->clear();
    QTest::keyClicks(form->cbZoom->lineEdit(), QStringLiteral("150%"));
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 150);
    // Esc leaves the box.
    QTest::keyClick(form->cbZoom->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(form->cbZoom->lineEdit()->hasFocus());
}

// Ctrl+wheel, Alt+arrows and the zoom box share one range, and the box shows its ends whole.
TEST_F(MainFormTest, ZoomBoxWheelAndKeysShareOneRange)
{
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto *view = form->findChild<QAbstractScrollArea *>(QStringLiteral("PageView"));
    ASSERT_NE(view, nullptr);
    QLineEdit *box = form->cbZoom->lineEdit();
    const auto send = [&](QEvent &e) { QApplication::sendEvent(view->viewport(), &e); };
    for (int i = 0; i < 40; ++i) {
        QWheelEvent wheel(QPointF(100, 100), view->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        send(wheel);
    }
    engine->UpdateStatus();
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, kMaxZoom);
    EXPECT_EQ(box->text(), QStringLiteral("10000%"));
    // QLineEdit keeps two pixels on either side of its text and one for the cursor.
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), box->contentsRect().width() - 5) << "shown whole";

    const auto altKey = [&](int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::AltModifier);
        QApplication::sendEvent(view, &e);
        return engine->Layout().FZoom;
    };
    EXPECT_DOUBLE_EQ(altKey(Qt::Key_Up), kMaxZoom);
    ASSERT_TRUE(engine->Navigator().doSetZoom(QStringLiteral("5")));
    EXPECT_DOUBLE_EQ(altKey(Qt::Key_Down), kMinZoom);

    // What the wheel reached can be typed.
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(box->hasFocus());
    box->clear();
    QTest::keyClicks(box, QStringLiteral("10000%"));
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, kMaxZoom);
}

// Without a document the status line stays at the window's bottom edge.
TEST_F(MainFormTest, StatusLineSitsAtTheBottomWithoutADocument)
{
    Prefer.ShowStatusLine = true;
    form->SetupView();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_EQ(engine->DocumentCount(), 0);
    ASSERT_TRUE(form->StatusBar->isVisible());
    const QWidget *body = form->centralWidget();
    EXPECT_EQ(form->StatusBar->geometry().bottom(), body->rect().bottom());
    EXPECT_LE(form->StatusBar->height(), form->StatusLine->sizeHint().height() + 2) << "not stretched";

    open(copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text.pdf")));
    form->SetupView();
    QApplication::processEvents();
    EXPECT_EQ(form->StatusBar->geometry().bottom(), body->rect().bottom());
    EXPECT_EQ(form->MainClientPanel->geometry().bottom() + 1, form->StatusBar->geometry().top());
}

TEST_F(MainFormTest, DroppedFilesOpenButNotFoldersOrOtherAddresses)
{
    const QString pdf = copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text.pdf"));
    const QList<QUrl> urls{QUrl::fromLocalFile(dir.path()), QUrl(QStringLiteral("https://example.org/a.pdf")),
                           QUrl::fromLocalFile(dir.filePath("missing.pdf")), QUrl::fromLocalFile(pdf)};
    // A drag enters the window, then drops there.
    const auto drop = [&](const QList<QUrl> &list) {
        QMimeData data;
        data.setUrls(list);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &dropped);
    };
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    drop(urls);
    ASSERT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(engine->FileName(), pdf);

    drop({QUrl::fromLocalFile(dir.path())});
    EXPECT_EQ(engine->DocumentCount(), 1);
}

TEST_F(MainFormTest, EscapeStopsALongDrop)
{
    QList<QUrl> urls;
    for (const char *name : {"a.pdf", "b.pdf", "c.pdf"})
        urls << QUrl::fromLocalFile(copy(QStringLiteral("pdfium/text.pdf"), QLatin1String(name)));
    pl::fake::ScopedKeyState keys;
    keys.keys.script = {false, true};
    EXPECT_EQ(form->OpenDroppedFiles(urls), 1);
    EXPECT_EQ(engine->DocumentCount(), 1);
}

TEST_F(MainFormTest, SwitchingMovesBetweenDocuments)
{
    QStringList files;
    for (const char *name : {"a.pdf", "b.pdf", "c.pdf"}) {
        files << copy(QStringLiteral("multi/multi.pdf"), QLatin1String(name));
        open(files.last());
    }
    ASSERT_EQ(engine->SelDoc(), 2);
    const auto current = [&] { return engine->FileName(); };

    cmd("menuNextDoc")->trigger();
    EXPECT_EQ(current(), files[0]);
    cmd("menuPrevDoc")->trigger(); // from the first to the last
    EXPECT_EQ(current(), files[2]);
    cmd("menuPrevDoc")->trigger();
    EXPECT_EQ(current(), files[1]);
    cmd("menuToggleDoc")->trigger(); // back to the one before
    EXPECT_EQ(current(), files[2]);
    cmd("menuToggleDoc")->trigger();
    EXPECT_EQ(current(), files[1]);

    // Each document keeps its own page.
    engine->Navigator().GOTOPage(6, nullptr);
    cmd("menuNextDoc")->trigger();
    EXPECT_EQ(page(), 1);
    cmd("menuPrevDoc")->trigger();
    EXPECT_EQ(current(), files[1]);
    EXPECT_EQ(page(), 6);
}

TEST_F(MainFormTest, ClosingWritesTheSettingsWithTheWindowRectangle)
{
    App.DataFile = dir.filePath("OrvalePDF.dat");
    App.DataFolder = dir.path();
    open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->pos(), QPoint(50, 100));
    EXPECT_EQ(form->size(), QSize(600, 400));
    form->move(70, 80);
    form->resize(640, 480);
    QApplication::processEvents();
    form->close();
    EXPECT_EQ(writes, 1);

    Prefer = TPrefer();
    ASSERT_TRUE(ReadData());
    EXPECT_EQ(Prefer.WindowRect, (TWindowRect{80, 70, 80 + 480, 70 + 640}));
    EXPECT_FALSE(Prefer.Maximized);
    ASSERT_GE(Prefer.DocListCount, 1);
    EXPECT_EQ(Prefer.DocList[0].FileName, dir.filePath("multi.pdf"));
    EXPECT_EQ(Prefer.DocList[0].wasOpened, 2);
}

TEST_F(MainFormTest, DeferredStartRunsOnceAfterTheFirstShow)
{
    int runs = 0;
    bool visibleThen = false;
    form->DeferredStart = [&] {
        ++runs;
        visibleThen = form->isVisible();
    };
    form->show();
    EXPECT_EQ(runs, 0); // posted, not called from the show
    QApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(visibleThen);
    form->hide();
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(runs, 1);
}

TEST_F(MainFormTest, CaptionNamesTheDocument)
{
    EXPECT_TRUE(form->ChangeCaption(QStringLiteral("/tmp/a.pdf")));
    EXPECT_EQ(form->windowTitle(), App.InstanceName + QStringLiteral(" - [/tmp/a.pdf]"));
    EXPECT_FALSE(form->ChangeCaption(QStringLiteral("/tmp/a.pdf")));
    EXPECT_TRUE(form->ChangeCaption(QString()));
    EXPECT_EQ(form->windowTitle(), App.InstanceName);
}

TEST_F(MainFormTest, TopPanelFollowsToolbarAndTabSettings)
{
    Prefer.ShowTabs = true;
    Prefer.AutoHideTabs = true;
    Prefer.ShowToolbar = true;
    open(copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text.pdf")));
    form->SetupView();
    EXPECT_FALSE(form->TopPanel->isHidden());
    EXPECT_TRUE(form->TabPanel->isHidden()); // one document, tabs hide themselves
    Prefer.ShowToolbar = false;
    form->SetupView();
    EXPECT_TRUE(form->TopPanel->isHidden());
    open(copy(QStringLiteral("pdfium/text.pdf"), QStringLiteral("text2.pdf")));
    form->SetupView();
    EXPECT_FALSE(form->TopPanel->isHidden());
    EXPECT_FALSE(form->TabPanel->isHidden());
}

TEST_F(MainFormTest, MainFontHeightInPixels)
{
    const struct {
        int ppi, size, tenths, pixels;
    } cases[] = {{96, 9, 0, 12}, {120, 9, 0, 15}, {144, 10, 5, 21}, {96, 8, 5, 11}};
    const int saved = CurrentPPI;
    for (const auto &c : cases) {
        CurrentPPI = c.ppi;
        Prefer.FontSize = c.size;
        Prefer.FontSizeTenths = c.tenths;
        form->UpdateMainFont();
        EXPECT_EQ(form->font().pixelSize(), c.pixels) << c.ppi << " " << c.size << "." << c.tenths;
    }
    CurrentPPI = saved;
    EXPECT_EQ(QFontInfo(form->font()).family(), QStringLiteral("DejaVu Sans"));
}

TEST_F(MainFormTest, ADensityChangeScalesTheStoredPlacement)
{
    const int saved = CurrentPPI;
    CurrentPPI = 96;
    Prefer.BookmarksWidth = 256;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->DpiChanged(144);
    EXPECT_EQ(CurrentPPI, 144);
    EXPECT_EQ(Prefer.BookmarksWidth, 384);
    EXPECT_EQ(Prefer.WindowRect, (TWindowRect{150, 75, 750, 975}));
    EXPECT_EQ(form->size(), QSize(900, 600));
    EXPECT_EQ(form->minimumSize(), QSize(342, 162));
    EXPECT_EQ(form->font().pixelSize(), 18);
    CurrentPPI = saved;
}

} // namespace
