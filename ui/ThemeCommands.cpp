#include "ui/ThemeCommands.h"

#include "base/DebugLog.h"
#include "engine/QPDF.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/ClientForm.h"
#include "ui/DocTabs.h"
#include "ui/ExInfo.h"
#include "ui/MainForm.h"
#include "ui/StatusLine.h"
#include "ui/TreeForm.h"
#include "ui/style/DarkFlag.h"
#include "ui/style/MenuDrawStyle.h"
#include "ui/style/Themes.h"
#include "ui/widgets/PanelCaption.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTreeWidget>

namespace {

QColor Theme(TThemeColor c) { return ToQColor(Colors.Theme[c].val); }

// The fourteen tree and list colours in the order the theme hands them on.
std::array<QColor, 14> CurrentTreeColors()
{
    std::array<QColor, 14> c;
    const TThemeColor order[14] = {tvcCustomColor,
                                   tvcCustomBk,
                                   tvcCustomText,
                                   tvcOpenedGlyph,
                                   tvcClosedGlyph,
                                   tvcOpenedHotGlyph,
                                   tvcClosedHotGlyph,
                                   tvcSelectedFocusedText,
                                   tvcSelectedFocusedBk,
                                   tvcSelectedText,
                                   tvcSelectedBk,
                                   tvcHotText,
                                   tvcHotBk,
                                   tvcLines};
    for (size_t i = 0; i < c.size(); ++i)
        c[i] = Theme(order[i]);
    return c;
}

} // namespace

void PaintRole(QWidget *widget, int role, const QColor &color)
{
    if (!widget)
        return;
    QPalette p = widget->palette();
    const auto r = QPalette::ColorRole(role);
    const QColor wanted = color.isValid() ? color : QApplication::palette(widget).color(r);
    if (p.color(r) == wanted && p.isBrushSet(QPalette::Active, r) == color.isValid())
        return;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        p.setColor(g, r, wanted);
    widget->setPalette(p);
    if (r == QPalette::Window)
        widget->setAutoFillBackground(true);
}

void ApplyTreeColors(QAbstractItemView *view)
{
    if (!view)
        return;
    PaintRole(view, QPalette::Base, Theme(tvcCustomBk));
    PaintRole(view, QPalette::Text, Theme(tvcCustomText));
    PaintRole(view, QPalette::Window, Theme(tvcCustomBk));
    view->viewport()->update();
}

TThemeCommands::TThemeCommands(TMainForm &form) : Form(form) {}

void TThemeCommands::Frozen(const std::function<void()> &work)
{
    TClientForm *client = Form.ClientArea();
    const bool shown = Form.isVisible();
    QWidget *frozen = shown ? static_cast<QWidget *>(&Form) : client;
    const bool wasEnabled = frozen && frozen->updatesEnabled();
    if (wasEnabled)
        frozen->setUpdatesEnabled(false);
    if (shown && client && client->isWindow())
        client->setUpdatesEnabled(false);
    work();
    if (shown && client && client->isWindow())
        client->setUpdatesEnabled(true);
    if (wasEnabled)
        frozen->setUpdatesEnabled(true);
    RepaintPageView();
}

void TThemeCommands::RepaintPageView()
{
    if (Form.PageView())
        Form.PageView()->viewport()->update();
}

void TThemeCommands::menuToggleThemeClick()
{
    Prefer.ThemeSelector = Prefer.ThemeSelector == 1 ? 0 : 1;
    const TColTheme &t = Prefer.ColThemes[size_t(Prefer.ThemeSelector)];
    Prefer.ThemeModeIndex = t.ThemeModeIndex;
    Prefer.RenderModeIndex = t.RenderModeIndex;
    Prefer.RenderGray = t.RenderGray;
    Prefer.blendEnabled = t.blendEnabled;
    Frozen([this] {
        ApplyTheme(false);
        UpdateColors();
        Form.SetupView();
        Form.UpdateStatus();
        if (Form.Engine())
            Form.Engine()->UpdateStatus();
    });
}

void TThemeCommands::menuThemeChangedClick()
{
    const QAction *a = Form.RunningCommand();
    const int mode = a ? a->data().toInt() : Prefer.ThemeModeIndex;
    if (mode == Prefer.ThemeModeIndex)
        return;
    Prefer.ThemeModeIndex = mode;
    Frozen([this] {
        ApplyTheme(false);
        UpdateColors();
        Form.SetupView();
    });
}

void TThemeCommands::menuRenderChangedClick()
{
    const QAction *a = Form.RunningCommand();
    const int mode = a ? a->data().toInt() : Prefer.RenderModeIndex;
    if (mode == Prefer.RenderModeIndex)
        return;
    Prefer.RenderModeIndex = mode;
    UpdateColors();
    RepaintPageView();
}

void TThemeCommands::menuColorRangeClick()
{
    Prefer.blendEnabled = !Prefer.blendEnabled;
    CheckThemesMenu();
    RepaintPageView();
}

void TThemeCommands::menuGrayShadesClick()
{
    Prefer.RenderGray = !Prefer.RenderGray;
    CheckThemesMenu();
    RepaintPageView();
}

void TThemeCommands::ApplyTheme(bool force)
{
    ApplyThemeMode(Prefer.ThemeModeIndex, force, [this] { UpdateStyledControls(); });
    EnableOwnerDrawnMenus(Prefer.CustomMenuDraw, Prefer.ThemeModeIndex > 0);
}

void TThemeCommands::UpdateStyledControls()
{
    // The controls have no style of their own: they follow the application's; the tab sizes
    // depend on its metrics.
    if (Form.DocTabs())
        Form.DocTabs()->UpdateDocTabs();
    for (QWidget *w : {static_cast<QWidget *>(Form.cbZoom), static_cast<QWidget *>(Form.edPageGoto),
                       static_cast<QWidget *>(Form.edFindString), static_cast<QWidget *>(Form.ClientArea()),
                       static_cast<QWidget *>(Form.PageView())})
        if (w)
            w->update();
}

void TThemeCommands::UpdateColors()
{
    TClientForm *client = Form.ClientArea();
    if (!client)
        return;
    // 1. The colour sets of the modes.
    const bool oldDark = FDark;
    SelectPdfColors(Prefer.RenderModeIndex);
    SelectThemeColors(Prefer.ThemeModeIndex);
    const QColor workspace = Theme(cclAppWorkspace);
    // 2. The workspace behind the pages and panels.
    PaintRole(Form.PageView(), QPalette::Window, workspace);
    PaintRole(&Form, QPalette::Window, workspace);
    // The menu bar is part of the frame, not of the workspace.
    Form.menuBar()->setPalette(QApplication::palette(Form.menuBar()));
    const bool blackout =
        Form.DisplayState() == int(TDisplayState::Presentation) && client->Blackout() != TClientForm::TBlackout::None;
    if (!blackout)
        PaintRole(client, QPalette::Window, workspace);
    PaintRole(client->ClientPanel, QPalette::Window, workspace);
    PaintRole(client->LeftPanel, QPalette::Window, workspace);
    PaintRole(client->LeftSplitter, QPalette::Window, Theme(cclSplitter));
    // Only its handle takes the colour: the splitter spans the client area, which a
    // presentation's blackout must cover alone.
    if (client->LeftSplitter)
        client->LeftSplitter->setAutoFillBackground(false);
    // 3. Tabs and toolbar.
    PaintRole(Form.TabPanel, QPalette::Window, Theme(dtcCustomPanel));
    const QColor toolbar = Theme(tbcCustomBk);
    PaintRole(Form.TopPanel, QPalette::Window, toolbar);
    PaintRole(Form.CoolBar, QPalette::Window, toolbar);
    for (QWidget *edit : {static_cast<QWidget *>(Form.edPageGoto), static_cast<QWidget *>(Form.edFindString),
                          static_cast<QWidget *>(Form.cbZoom)}) {
        PaintRole(edit, QPalette::Base, toolbar);
        PaintRole(edit, QPalette::Button, toolbar);
        PaintRole(edit, QPalette::Text, Theme(tbcCustomText));
        PaintRole(edit, QPalette::ButtonText, Theme(tbcCustomText));
        // The style draws the edits' frames a shade darker than their window colour, which
        // on a dark toolbar leaves them without a visible frame.
        PaintRole(edit, QPalette::Window, toolbar.isValid() && toolbar.lightness() < 96 ? QColor(0x7A7A7A) : QColor());
        edit->setAutoFillBackground(false);
    }
    for (QLabel *label : {Form.edPageLabel, Form.edPages, Form.edZoom, Form.edFindLabel, Form.edFoundLabel})
        PaintRole(label, QPalette::WindowText, Theme(tbcCustomLabelText));
    if (Form.cbZoom && Form.cbZoom->lineEdit())
        Form.cbZoom->lineEdit()->deselect();
    if (Form.CoolBevel)
        Form.CoolBevel->setFixedHeight(1);
    // 4. The dark flag and the docked panels' caption colours.
    FDark = DarkFlag();
    PanelCaptionColors = CaptionColors(FDark);
    // 5. The frame, and the full-screen window's while it stands for the program.
    SetWindowFrame(&Form, Form.isActiveWindow());
    if (client->isWindow())
        SetWindowFrame(client, client->isActiveWindow());
    // 6. The bookmarks tree.
    const std::array<QColor, 14> tree = CurrentTreeColors();
    TTreeForm *panel = Form.BookmarksPanel();
    if (panel)
        for (TPanelCaption *caption :
             panel->parentWidget() ? panel->parentWidget()->findChildren<TPanelCaption *>() : QList<TPanelCaption *>())
            caption->update();
    if (panel && panel->Tree && (tree != TreeColors || !ColorsApplied)) {
        ApplyTreeColors(panel->Tree);
        panel->ApplyLineColor();
        PaintRole(panel, QPalette::Window, Theme(tvcCustomBk));
        if (panel->isVisible())
            panel->Tree->viewport()->update();
    }
    TreeColors = tree;
    // The tree draws its items anew for the other look.
    if (panel && DarkFlag() != oldDark && ColorsApplied)
        panel->RestoreTree();
    // 7. and 10. The status line derives its border and separator from its background.
    // 8. The menus.
    EnableOwnerDrawnMenus(Prefer.CustomMenuDraw, Prefer.ThemeModeIndex >= 1);
    // 9. What depends on the dark flag alone.
    if (FDark != oldDark || !ColorsApplied) {
        if (Form.PageView())
            Form.PageView()->SetDarkTheme(FDark);
        if (Form.PageViewHost() && Form.PageViewHost()->ExInfo())
            Form.PageViewHost()->ExInfo()->SetDarkTheme(FDark);
        ThemeForm(client, true);
        Form.menuBar()->update();
    }
    ColorsApplied = true;
    if (Form.StatusLine)
        Form.StatusLine->UpdateColors();
    CheckThemesMenu();
}

void TThemeCommands::CheckThemesMenu()
{
    if (Prefer.ThemeSelector < 0 || Prefer.ThemeSelector > 1) {
        DebugLog(QStringLiteral("Theme Index: ") + QString::number(Prefer.ThemeSelector));
        Prefer.ThemeSelector = 0;
    }
    if (QAction *themes = Form.Command(QStringLiteral("menuThemes")))
        themes->setVisible(Prefer.ShowThemesMenu);
    Form.EnableMenu();
}

void TThemeCommands::EnableOwnerDrawnMenus(bool customDraw, bool themed)
{
    Form.SetOwnerDrawnMenus(customDraw || themed);
}

void TThemeCommands::SystemThemeRefresh()
{
    QCoreApplication::processEvents();
    RereadSystemLook();
    ApplyTheme(true);
    UpdateColors();
    Form.BuildMenu();
    Form.InitToolbar();
    if (Form.StatusLine)
        Form.StatusLine->InitStatusLine(Form.font());
    Form.SetupView();
    Form.EnableMenu();
    if (Form.DocTabs())
        Form.DocTabs()->UpdateTabImages();
    Form.UpdateStatus();
    DebugLog(QStringLiteral("Theme refresh done..."));
}
