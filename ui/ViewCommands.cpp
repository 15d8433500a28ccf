#include "ui/ViewCommands.h"

#include "engine/QPDF.h"
#include "settings/Prefer.h"
#include "ui/AboutBox.h"
#include "ui/MainForm.h"
#include "ui/ClientForm.h"
#include "ui/ScrollForm.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>

void TViewCommands::menuMeasuringModeClick()
{
    TScrollForm *view = Form.PageView();
    if (!view || !QPDF || QPDF->SelDoc() < 0)
        return;
    if (view->CoordVisible())
        view->HideCoord();
    else
        view->ShowCoord();
}

void TViewCommands::AfterViewSwitch()
{
    if (Form.PageView())
        Form.PageView()->viewport()->update();
}

void TViewCommands::menuPageViewClick()
{
    QAction *command = Form.RunningCommand();
    if (QPDF && QPDF->SelDoc() >= 0 && command) {
        command->setChecked(true);
        QPDF->Navigator().ChangeView(TPageViewMode(command->data().toInt()));
    }
}

void TViewCommands::menuCountiniousViewClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        Form.RunningCommand()->setChecked(QPDF->Navigator().ToggleContinuousView());
}

void TViewCommands::menuShowBookmarksClick()
{
    // The flag travels with the document; the panel sets it.
    if (QPDF && QPDF->SelDoc() >= 0)
        Form.ShowBookmarksPanel(!QPDF->ShowBookmarks);
}

void TViewCommands::menuPresentationClick() { Form.ClientArea()->SetFullScreenMode(TDisplayState::Presentation); }

void TViewCommands::menuFullScreenClick() { Form.ClientArea()->SetFullScreenMode(TDisplayState::FullScreen); }

void TViewCommands::menuFrameLinksClick()
{
    if (QPDF && QPDF->SelDoc() >= 0) {
        QPDF->FrameLinks = !QPDF->FrameLinks;
        AfterViewSwitch();
    }
}

void TViewCommands::menuRenderAnnotClick()
{
    if (QPDF && QPDF->SelDoc() >= 0) {
        QPDF->RenderAnnot = !QPDF->RenderAnnot;
        AfterViewSwitch();
    }
}

void TViewCommands::menuRotateRightClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetRotate((QPDF->Layout().FRotate + 1) % 4);
}

void TViewCommands::menuRotateLeftClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetRotate((QPDF->Layout().FRotate + 3) % 4);
}

void TViewCommands::menuZoomFitPageClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zfitPage);
}

void TViewCommands::menuZoomActualSizeClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zActualSize);
}

void TViewCommands::menuZoomFitWidthClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zfitWidth);
}

void TViewCommands::menuZoomCustomClick()
{
    if (!QPDF || QPDF->SelDoc() < 0)
        return;
    if (Prefer.ShowToolbar && Form.CoolBar->isVisible()) {
        Form.cbZoom->setFocus(Qt::ShortcutFocusReason);
        Form.cbZoom->lineEdit()->selectAll();
        return;
    }
    QPDF->Navigator().ShowZoomDlg();
}

void TViewCommands::menuZoomInClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().ZoomIn(nullptr);
}

void TViewCommands::menuZoomOutClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().ZoomOut(nullptr);
}

void TViewCommands::menuZoomClick()
{
    if (QPDF && QPDF->SelDoc() >= 0 && Form.RunningCommand())
        QPDF->Navigator().ZoomCustom(Form.RunningCommand()->data().toInt(), nullptr);
}

void TViewCommands::menuShowToolbarClick()
{
    Prefer.ShowToolbar = !Prefer.ShowToolbar;
    Form.SetupView();
}

void TViewCommands::menuShowTabsClick()
{
    Prefer.ShowTabs = !Prefer.ShowTabs;
    Form.TopPanel->setUpdatesEnabled(false);
    Form.SetupView();
    Form.TopPanel->setUpdatesEnabled(true);
}

void TViewCommands::menuShowStatusLineClick()
{
    Prefer.ShowStatusLine = !Prefer.ShowStatusLine;
    Form.SetupView();
}

void TViewCommands::menuShowScrollbarsClick()
{
    Prefer.ShowScrollbars = !Prefer.ShowScrollbars;
    Form.SetupView();
}

void TViewCommands::menuRenderToBitmapClick()
{
    Prefer.RenderToBitmap = !Prefer.RenderToBitmap;
    Form.SetupView();
    AfterViewSwitch();
}

void TViewCommands::menuAboutClick()
{
    TAboutBox box(&Form);
    box.adjustSize();
    box.move(Form.WindowPlacement().CenterOnMainWindow(box.width(), box.height()));
    box.exec();
}
