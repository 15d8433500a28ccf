#include "ui/NavigationCommands.h"

#include "engine/QPDF.h"
#include "settings/Prefer.h"
#include "ui/MainForm.h"

#include <QLineEdit>

void TNavigationCommands::menuGoToPageClick()
{
    if (!Form.HasPages())
        return;
    if (Prefer.ShowToolbar && Form.CoolBar->isVisible()) {
        Form.edPageGoto->setFocus(Qt::ShortcutFocusReason);
        Form.edPageGoto->selectAll();
        return;
    }
    QPDF->Navigator().ShowGotoPageDlg();
}

void TNavigationCommands::menuSetMarkClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetMark();
}

void TNavigationCommands::menuGotoMarkClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().GotoMark();
}

void TNavigationCommands::menuBackClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().PrevPosition();
}

void TNavigationCommands::menuForwardClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().NextPosition();
}

void TNavigationCommands::menuInverseSearchClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->InverseSearch();
}
