#include "ui/SelectionCommands.h"

#include "base/Clipboard.h"
#include "engine/QPDF.h"
#include "ui/MainForm.h"

bool TSelectionCommands::HasPages() const { return QPDF && Form.HasPages(); }

void TSelectionCommands::menuSelAllClick()
{
    if (HasPages())
        QPDF->SetSelection(smAll, 1, 0, QPDF->Pages().PageCount(), 0, 0);
}

void TSelectionCommands::menuSelPageClick()
{
    if (!HasPages())
        return;
    const int page = QPDF->Layout().SelPage;
    QPDF->SetSelection(smPages, page, 0, page, 0, 0);
}

void TSelectionCommands::menuCopyClick()
{
    if (!HasPages() || QPDF->SelectMode() <= 0)
        return;
    bool cancelled = false;
    const QString text = QPDF->GetSelectedText(&cancelled);
    if (cancelled)
        return;
    ClipboardPutStr(text);
}
