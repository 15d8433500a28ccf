// The theme of the main window and its dialogs, offscreen: the desktop's palette is the
// recording fake's (a test cannot change the desktop's theme), everything else is real.
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/ClientForm.h"
#include "ui/MainForm.h"
#include "ui/ScrollForm.h"
#include "ui/StatusLine.h"
#include "ui/ThemeCommands.h"
#include "ui/style/DarkFlag.h"
#include "ui/style/MenuDrawStyle.h"
#include "ui/style/Themes.h"

#include "MainFormFixture.h"
#include "RecordingSystemLook.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>

namespace {

QPalette SystemPalette(bool dark)
{
    QPalette p = QStyleFactory::create(QStringLiteral("fusion"))->standardPalette();
    if (dark) {
        p.setColor(QPalette::Button, QColor(0x303030));
        p.setColor(QPalette::Window, QColor(0x303030));
        p.setColor(QPalette::Base, QColor(0x101010));
        p.setColor(QPalette::Text, QColor(0xEEEEEE));
        p.setColor(QPalette::Dark, QColor(0x111111));
    }
    return p;
}

QColor PixelOf(QWidget *w, QPoint at) { return w->grab().toImage().pixelColor(at); }

struct ThemeTest : MainFormFixture {
    pl::fake::ScopedSystemLook look;
    QPalette saved = QApplication::palette();

    void SetUp() override
    {
        MainFormFixture::SetUp();
        look.look.palette = SystemPalette(false);
        RememberSystemLook();
        LoadColorDefaults();
        Prefer.ThemeModeIndex = 0;
        Prefer.CustomMenuDraw = false;
        Prefer.ShowThemesMenu = true;
    }
    void TearDown() override
    {
        MainFormFixture::TearDown();
        look.look.palette = saved;
        RememberSystemLook();
        ApplyThemeMode(0, true);
    }
    void showForm()
    {
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::processEvents();
    }
    void trigger(const char *name)
    {
        QAction *a = form->Command(QLatin1String(name));
        ASSERT_TRUE(a) << name;
        a->trigger();
        QApplication::processEvents();
    }
    bool lastVariantDark() const { return !look.look.variants.empty() && look.look.variants.back().second; }
};

struct TThemeCase {
    const char *name;
    int mode;
    bool darkSystem;
    bool dark;
};

TEST_F(ThemeTest, EveryModeColoursTheWindowsMenusAndFrame)
{
    const TThemeCase cases[] = {
        {"system light", 0, false, false},
        {"system dark", 0, true, true},
        {"dark", 1, false, true},
        {"light", 2, true, false},
    };
    for (const TThemeCase &c : cases) {
        SCOPED_TRACE(c.name);
        look.look.palette = SystemPalette(c.darkSystem);
        RememberSystemLook();
        Prefer.ThemeModeIndex = c.mode;
        Prefer.CustomMenuDraw = true;
        showForm();
        EXPECT_EQ(DarkFlag(), c.dark);
        EXPECT_EQ(QApplication::palette(), ThemePalette(c.mode));
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible()) {
                EXPECT_EQ(w->palette().color(QPalette::Text), ThemePalette(c.mode).color(QPalette::Text))
                    << w->metaObject()->className();
            }
        // Toolbar, status line and workspace in the interface colours of the mode.
        EXPECT_EQ(PixelOf(form->CoolBar, QPoint(1, 1)), ToQColor(Colors.Theme[tbcCustomBk].val));
        EXPECT_EQ(form->ClientArea()->ClientPanel->palette().color(QPalette::Window),
                  ToQColor(Colors.Theme[cclAppWorkspace].val));
        form->StatusLine->setVisible(true);
        EXPECT_EQ(PixelOf(form->StatusLine, QPoint(form->StatusLine->width() / 2, 3)),
                  ToQColor(Colors.Theme[slcBkColor].val));
        // A dialog: black when dark, button face when light.
        QDialog dialog;
        dialog.resize(80, 60);
        ThemeForm(&dialog, false);
        EXPECT_EQ(PixelOf(&dialog, QPoint(40, 30)),
                  c.dark ? QColor(Qt::black) : ThemePalette(c.mode).color(QPalette::Button));
        // A menu drawn by the program.
        QMenu *file = form->menuBar()->actions().first()->menu();
        ASSERT_TRUE(file);
        file->popup(QPoint(10, 10));
        QApplication::processEvents();
        const QImage menu = file->grab().toImage();
        EXPECT_EQ(menu.pixelColor(menu.width() - 4, menu.height() / 2), c.dark ? QColor(0x202020) : QColor(Qt::white));
        file->hide();
        // The frame variant asked of the window manager.
        EXPECT_EQ(lastVariantDark(), c.dark);
        form.reset();
    }
}

TEST_F(ThemeTest, ToggleAlternatesTheStoredThemes)
{
    Prefer.ColThemes[0] = TColTheme{0, 0, false, false};
    Prefer.ColThemes[1] = TColTheme{1, 2, true, true};
    Prefer.ThemeSelector = 0;
    showForm();
    trigger("menuToggleTheme");
    EXPECT_EQ(Prefer.ThemeSelector, 1);
    EXPECT_EQ(Prefer.ThemeModeIndex, 1);
    EXPECT_EQ(Prefer.RenderModeIndex, 2);
    EXPECT_TRUE(Prefer.RenderGray);
    EXPECT_TRUE(Prefer.blendEnabled);
    EXPECT_TRUE(DarkFlag());
    EXPECT_TRUE(form->Command(QStringLiteral("menuToggleTheme"))->isChecked());
    EXPECT_TRUE(form->Command(QStringLiteral("menuDarkTheme"))->isChecked());
    trigger("menuToggleTheme");
    EXPECT_EQ(Prefer.ThemeSelector, 0);
    EXPECT_EQ(Prefer.ColThemes[0],
              (TColTheme{Prefer.ThemeModeIndex, Prefer.RenderModeIndex, Prefer.RenderGray, Prefer.blendEnabled}));
    EXPECT_FALSE(DarkFlag());
}

TEST_F(ThemeTest, ThemesMenuChangesOnlyTheMode)
{
    Prefer.ColThemes[0] = TColTheme{0, 0, false, false};
    Prefer.ColThemes[1] = TColTheme{1, 1, false, false};
    Prefer.ThemeSelector = 0;
    showForm();
    const auto themes = Prefer.ColThemes;
    trigger("menuDarkTheme");
    EXPECT_EQ(Prefer.ThemeModeIndex, 1);
    EXPECT_EQ(Prefer.ThemeSelector, 0);
    EXPECT_EQ(Prefer.ColThemes, themes);
    EXPECT_EQ(QApplication::palette(), DarkPalette());
    trigger("menuLightTheme");
    EXPECT_EQ(Prefer.ThemeModeIndex, 2);
    EXPECT_EQ(QApplication::palette(), LightPalette());
    trigger("menuColorRange");
    EXPECT_TRUE(Prefer.blendEnabled);
    EXPECT_TRUE(form->Command(QStringLiteral("menuColorRange"))->isChecked());
    trigger("menuGrayShades");
    EXPECT_TRUE(Prefer.RenderGray);
    trigger("menuInvertRGB");
    EXPECT_EQ(Prefer.RenderModeIndex, 2);
    EXPECT_EQ(Prefer.ThemeModeIndex, 2);
}

TEST_F(ThemeTest, RenderModeChangesThePage)
{
    showForm();
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    QApplication::processEvents();
    QWidget *view = form->PageView()->viewport();
    const QImage before = view->grab().toImage();
    trigger("menuInvertRGB");
    QApplication::processEvents();
    const QImage after = view->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    EXPECT_NE(before, after);
}

TEST_F(ThemeTest, OwnerDrawnMenusOnlyWhileWantedOrThemed)
{
    const auto drawn = [this] { return qobject_cast<const TMenuDrawStyle *>(form->menuBar()->style()) != nullptr; };
    showForm();
    EXPECT_FALSE(drawn());
    Prefer.CustomMenuDraw = true;
    form->ThemeCommands().ApplyTheme(false);
    EXPECT_TRUE(drawn());
    Prefer.CustomMenuDraw = false;
    form->ThemeCommands().ApplyTheme(false);
    EXPECT_FALSE(drawn());
    trigger("menuLightTheme");
    EXPECT_TRUE(drawn());
    // Every menu, also one another window shows.
    QMenu other;
    other.addAction(QStringLiteral("&Other"));
    other.popup(QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_TRUE(qobject_cast<const TMenuDrawStyle *>(other.style()));
    other.hide();
    trigger("menuDefaultTheme");
    EXPECT_FALSE(drawn());
    EXPECT_FALSE(qobject_cast<const TMenuDrawStyle *>(other.style()));
}

TEST_F(ThemeTest, SubmenuItemShowsArrowAndUnderlinedAccelerator)
{
    Prefer.ThemeModeIndex = 2;
    TMenuDrawStyle style;
    QMenu menu;
    menu.setStyle(&style);
    QMenu sub(QStringLiteral("&Sub"));
    sub.addAction(QStringLiteral("Inner"));
    menu.addMenu(&sub);
    menu.addAction(QStringLiteral("&Plain"));
    menu.popup(QPoint(0, 0));
    QApplication::processEvents();
    const QImage img = menu.grab().toImage();
    const QRect subRect = menu.actionGeometry(menu.actions()[0]);
    const QRect plainRect = menu.actionGeometry(menu.actions()[1]);
    const TMenuItemColors c = MenuItemColors(false, false, false, false);
    const auto count = [&](const QRect &r, const std::function<bool(QColor)> &is) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += is(img.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    const auto inked = [&](QColor p) { return p != c.background; };
    // The arrow column: ink beside a submenu, none beside a plain item.
    const int column = 24;
    const QRect subArrow(subRect.right() - column, subRect.top(), column, subRect.height());
    const QRect plainArrow(plainRect.right() - column, plainRect.top(), column, plainRect.height());
    EXPECT_GT(count(subArrow, inked), 0);
    EXPECT_EQ(count(plainArrow, inked), 0);
    // The accelerator underlined in its own colour: a run of pixels of exactly that colour.
    EXPECT_GE(count(plainRect, [&](QColor p) { return p == c.accelerator; }), 3);
    menu.hide();
}

TEST_F(ThemeTest, SeveralThemeChangesGiveOneRefreshAfterQueuedEvents)
{
    showForm();
    look.look.palette = SystemPalette(true);
    bool refreshedBeforeQueued = true;
    QTimer::singleShot(0, form.get(), [&] { refreshedBeforeQueued = QApplication::palette() == SystemPalette(true); });
    for (int i = 0; i < 3; ++i) {
        QEvent e(QEvent::ThemeChange);
        QApplication::sendEvent(form.get(), &e);
    }
    for (int i = 0; i < 30; ++i)
        QApplication::processEvents();
    EXPECT_FALSE(refreshedBeforeQueued);
    EXPECT_EQ(log().count(QStringLiteral("wmThemeChanged handler...")), 3);
    EXPECT_EQ(log().count(QStringLiteral("Theme refresh done...")), 1);
    // Mode 0 follows the desktop's new palette: dark now.
    EXPECT_EQ(QApplication::palette(), SystemPalette(true));
    EXPECT_TRUE(DarkFlag());
    EXPECT_TRUE(form->updatesEnabled());
    EXPECT_TRUE(form->TopPanel->updatesEnabled());
}

TEST_F(ThemeTest, ThemeSwitchesNeverStartARefresh)
{
    showForm();
    trigger("menuDarkTheme");
    trigger("menuLightTheme");
    trigger("menuDefaultTheme");
    for (int i = 0; i < 30; ++i)
        QApplication::processEvents();
    EXPECT_EQ(log().count(QStringLiteral("wmThemeChanged handler...")), 0);
}

TEST_F(ThemeTest, EveryDialogTakesTheThemeWhenShown)
{
    showForm();
    trigger("menuDarkTheme");
    QDialog dialog(form.get());
    dialog.resize(60, 40);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.grab().toImage().pixelColor(30, 20), QColor(Qt::black));
    const auto &v = look.look.variants;
    const auto own =
        std::find_if(v.rbegin(), v.rend(), [&](const auto &e) { return e.first == dialog.windowHandle(); });
    ASSERT_NE(own, v.rend());
    EXPECT_TRUE(own->second);
    dialog.hide();
}

// The presentation window stands for the program: F7 while it shows reaches its palette, its
// frame and the page it shows.
TEST_F(ThemeTest, PresentationWindowFollowsF7)
{
    Prefer.ColThemes[0] = TColTheme{2, 0, false, false};
    Prefer.ColThemes[1] = TColTheme{1, 1, false, false};
    Prefer.ThemeSelector = 0;
    Prefer.ThemeModeIndex = 2;
    showForm();
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    QApplication::processEvents();
    trigger("menuPresentation");
    TClientForm *client = form->ClientArea();
    ASSERT_TRUE(client->isWindow());
    const auto ownVariant = [&] {
        const auto &v = look.look.variants;
        const auto own =
            std::find_if(v.rbegin(), v.rend(), [&](const auto &e) { return e.first == client->windowHandle(); });
        return own == v.rend() ? -1 : int(own->second);
    };
    QWidget *view = form->PageView()->viewport();
    const QImage light = view->grab().toImage();
    const QPoint paper(view->width() / 2, 4); // the page's top margin
    EXPECT_EQ(light.pixelColor(paper), QColor(Qt::white));
    EXPECT_EQ(client->palette().color(QPalette::WindowText), LightPalette().color(QPalette::WindowText));
    trigger("menuToggleTheme");
    ASSERT_TRUE(client->isWindow());
    EXPECT_EQ(client->palette().color(QPalette::WindowText), DarkPalette().color(QPalette::WindowText));
    EXPECT_EQ(ownVariant(), 1);
    EXPECT_EQ(view->grab().toImage().pixelColor(paper), QColor(Qt::black));
    trigger("menuToggleTheme");
    EXPECT_EQ(ownVariant(), 0);
    EXPECT_EQ(view->grab().toImage(), light);
    trigger("menuPresentation");
    EXPECT_FALSE(client->isWindow());
}

TEST_F(ThemeTest, FrameNeedsANativeWindow)
{
    QWidget never;
    EXPECT_FALSE(SetWindowFrame(&never, false));
    EXPECT_TRUE(look.look.variants.empty());
    EXPECT_FALSE(SetWindowFrame(nullptr, false));
}

} // namespace
