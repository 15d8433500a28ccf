#include "ui/DocumentCommands.h"

#include "base/FileUtils.h"
#include "engine/QPDF.h"
#include "ui/MainForm.h"

void TDocumentCommands::TabControlChange(int index)
{
    if (!QPDF || index < 0 || index >= QPDF->DocumentCount())
        return;
    QPDF->DocChanged();
    Form.FocusPageView();
    QPDF->StoreDoc(QPDF->SelDoc());
    QPDF->RestoreDoc(index);
    const TDocument &d = QPDF->Document(index);
    if (FileExists(d.FileName) && FileTime64(d.FileName) != d.FileDate && !FileLocked(d.FileName, true, true))
        QPDF->LoadFile(QString(d.FileName));
    QPDF->SetSelDoc(index);
}

void TDocumentCommands::menuNextDocClick()
{
    const int count = Form.DocumentCount();
    if (count < 1)
        return;
    int index = QPDF->SelDoc();
    if (count > 1)
        index = (index + 1) % count;
    TabControlChange(index);
}

void TDocumentCommands::menuPrevDocClick()
{
    const int count = Form.DocumentCount();
    if (count < 1)
        return;
    int index = QPDF->SelDoc();
    if (count > 1)
        index = index > 0 ? index - 1 : count - 1;
    TabControlChange(index);
}

void TDocumentCommands::menuToggleDocClick()
{
    const int count = Form.DocumentCount();
    if (count < 2)
        return;
    const int current = QPDF->SelDoc();
    int index = QPDF->PreviousSelDoc();
    if (index == current)
        index = current - 1;
    if (index < 0 || index >= count)
        index = current == count - 1 ? 0 : count - 1;
    TabControlChange(index);
}
