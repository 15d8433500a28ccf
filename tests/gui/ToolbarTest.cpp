// The toolbar of the main window over a real engine and the images the build draws: its
// buttons bound to the commands, their hints, toggles and states, the document's state image,
// the trim on resizes, and every picture again after a change of density.
#include "app/ToolbarLanguage.h"
#include "settings/ToolbarDefinition.h"
#include "ui/DocTabs.h"
#include "ui/ImageRes.h"
#include "ui/MainCommands.h"
#include "ui/MainForm.h"
#include "ui/Toolbar.h"
#include "ui/widgets/PngSpeedButton.h"

#include "MainFormFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

struct ToolbarTest : MainFormFixture {
    int savedPPI = CurrentPPI;
    TToolbarDefinition savedDefinition = ToolbarDefinition;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        CurrentPPI = 96;
        Prefer.WindowRect = {100, 50, 500, 1250};
        ToolbarDefinition.LoadDefault();
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        CurrentPPI = savedPPI;
        ToolbarDefinition = savedDefinition;
        MainFormFixture::TearDown();
    }
    TPngSpeedButton *Button(const char *name)
    {
        auto *b = form->CoolBar->findChild<TPngSpeedButton *>(QStringLiteral("tb") + QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    void Open(const QString &file)
    {
        ASSERT_TRUE(engine->LoadFile(file)) << file.toStdString();
        form->EnableMenu();
    }
};

TEST_F(ToolbarTest, TheDefaultBindsItsButtonsToTheCommands)
{
    TXToolbar &toolbar = form->Toolbar();
    ASSERT_EQ(toolbar.num(), 29);
    for (int i = 0; i < toolbar.num(); ++i) {
        if (toolbar.items[size_t(i)].xtype == TToolbarItemKind::Button) {
            EXPECT_NE(toolbar.menuitem[size_t(i)], nullptr) << toolbar.items[size_t(i)].name.toStdString();
        }
    }
    EXPECT_EQ(Button("Open")->toolTip(), QStringLiteral("Open...  (Ctrl+O)"));
    EXPECT_EQ(Button("FileList")->toolTip(), QStringLiteral("Recent Files List...  (F2)"));
    EXPECT_EQ(Button("Open")->ImageName(), QStringLiteral("Open"));
    EXPECT_EQ(Button("ShowBookmarks")->ImageName(), QStringLiteral("Bookmark"));
    EXPECT_GE(Button("Open")->ImageIndex(), 0);
    EXPECT_EQ(toolbar.tbDocIcon, Button("DocumentProperties"));
    // Commands without a menu image are toggles; the others are not.
    EXPECT_TRUE(Button("ShowBookmarks")->isCheckable());
    EXPECT_TRUE(Button("ZoomFitWidth")->isCheckable());
    EXPECT_FALSE(Button("ZoomIn")->isCheckable());
    // The strip's height is the toolbar's.
    EXPECT_EQ(form->CoolBar->height(), toolbar.Geometry().stripHeight);
}

TEST_F(ToolbarTest, EveryToolbarWordHasACommand)
{
    QStringList words;
    for (const TMenuEntry &e : MainMenuTable())
        if (e.kind == TMenuEntry::Item && *e.toolbar)
            words << QLatin1String(e.toolbar);
    words.sort();
    QStringList names = TToolbarLanguage::CommandNames();
    names.sort();
    EXPECT_EQ(words, names);
}

TEST_F(ToolbarTest, ButtonsFollowTheirCommandsStates)
{
    EXPECT_TRUE(Button("Open")->isEnabled());
    EXPECT_TRUE(Button("FileList")->isEnabled());
    EXPECT_FALSE(Button("ZoomIn")->isEnabled());
    EXPECT_FALSE(Button("ShowBookmarks")->isEnabled());
    Open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf")));
    EXPECT_TRUE(Button("ZoomIn")->isEnabled());
    TPngSpeedButton *bookmarks = Button("ShowBookmarks");
    ASSERT_TRUE(bookmarks->isEnabled());
    const bool before = form->Command(QStringLiteral("menuShowBookmarks"))->isChecked();
    EXPECT_EQ(bookmarks->isChecked(), before);
    QTest::mouseClick(bookmarks, Qt::LeftButton);
    EXPECT_EQ(form->Command(QStringLiteral("menuShowBookmarks"))->isChecked(), !before);
    EXPECT_EQ(bookmarks->isChecked(), !before);
    QTest::mouseClick(bookmarks, Qt::LeftButton);
    EXPECT_EQ(bookmarks->isChecked(), before);
    // The radio commands of the zoom show as toggles that follow the engine.
    QTest::mouseClick(Button("ZoomFitWidth"), Qt::LeftButton);
    EXPECT_TRUE(Button("ZoomFitWidth")->isChecked());
    EXPECT_FALSE(Button("ZoomFitPage")->isChecked());
}

TEST_F(ToolbarTest, TheDocumentsStateImageShowsOnItsButton)
{
    const TPNGImageList &list = ImageListOf(0);
    EXPECT_EQ(form->Toolbar().tbDocIcon->ImageName(), QStringLiteral("DocInfo"));
    copy(QStringLiteral("multi/multi.synctex.gz"), QStringLiteral("synced.synctex.gz"));
    Open(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("synced.pdf")));
    form->TabControl->UpdateTabImages();
    const QString state = form->TabControl->TabImageName(0);
    EXPECT_EQ(form->Toolbar().tbDocIcon->ImageIndex(), list.GetImageIndex(state)) << state.toStdString();
    EXPECT_EQ(form->Toolbar().tbDocIcon->ImageName(), state);
}

TEST_F(ToolbarTest, ResizingTrimsWholeLevels)
{
    const auto visible = [this](const char *name) { return Button(name)->isVisible(); };
    form->resize(1600, form->height());
    QCoreApplication::processEvents();
    EXPECT_TRUE(visible("FindNext"));
    EXPECT_TRUE(form->edFindString->isVisible());
    form->resize(500, form->height());
    QCoreApplication::processEvents();
    EXPECT_FALSE(visible("FindNext"));
    EXPECT_FALSE(form->edFindString->isVisible());
    EXPECT_FALSE(visible("ZoomIn"));
    EXPECT_TRUE(visible("Open"));
    EXPECT_TRUE(form->cbZoom->isVisible());
    // Items stay inside the strip's height.
    for (QWidget *w : form->CoolBar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisible()) {
            EXPECT_LE(w->geometry().bottom(), form->CoolBar->height()) << w->objectName().toStdString();
        }
    }
}

TEST_F(ToolbarTest, OnlyTheFlagsApplyWhenOnlyTheSearchChoiceChanges)
{
    form->resize(1600, form->height());
    QCoreApplication::processEvents();
    ToolbarDefinition.SearchToolbar = false;
    form->UpdateToolbar(true);
    EXPECT_FALSE(Button("FindNext")->isVisible());
    EXPECT_TRUE(Button("Find")->isVisible());
    ToolbarDefinition.ReadFromString(QStringLiteral("9 Open\r\n|\r\n9 Print\r\n"));
    form->UpdateToolbar(false);
    EXPECT_EQ(form->Toolbar().num(), 3);
    EXPECT_EQ(form->CoolBar->findChild<QWidget *>(QStringLiteral("tbFind")), nullptr);
}

// Every picture of the windows after the density changed: its own image at the new size.
TEST_F(ToolbarTest, AfterADensityChangeEveryPictureIsItsOwnAtTheNewSize)
{
    form->DpiChanged(144);
    ASSERT_EQ(CurrentPPI, 144);
    const TPNGImageList &small = ImageListOf(1);
    ASSERT_EQ(small.Size(), 24);
    int checked = 0;
    for (const TMenuEntry &e : MainMenuTable()) {
        if (e.kind != TMenuEntry::Item || !*e.image)
            continue;
        QAction *a = form->Command(QLatin1String(e.field));
        ASSERT_NE(a, nullptr);
        const int index = small.GetImageIndex(QLatin1String(e.image));
        ASSERT_GE(index, 0) << e.image;
        EXPECT_EQ(a->icon().pixmap(QSize(24, 24)).toImage(), small.Pixmap(index).toImage()) << e.field;
        ++checked;
    }
    EXPECT_GT(checked, 30);
    EXPECT_EQ(form->menuBar()->style()->pixelMetric(QStyle::PM_SmallIconSize), 24);
    for (TPngSpeedButton *b : form->CoolBar->findChildren<TPngSpeedButton *>()) {
        EXPECT_EQ(b->ImageList().Size(), 24);
        if (!b->ImageName().isEmpty()) {
            EXPECT_GE(b->ImageIndex(), 0) << b->objectName().toStdString();
        }
    }
    EXPECT_EQ(form->TabControl->Images()->Size(), 24);
    EXPECT_EQ(form->TabControl->Images(), &small);
}

} // namespace
