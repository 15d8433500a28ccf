#include "ui/FileCommands.h"

#include "base/AppState.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "engine/QPDF.h"
#include "ui/MainForm.h"

void TFileCommands::menuOpenClick()
{
    if (!QPDF || !Form.ChooseOpenFiles)
        return;
    const QStringList files = Form.ChooseOpenFiles();
    for (const QString &file : files)
        if (!QPDF->LoadFile(file)) {
            MessageDialog(QStringLiteral("PDF Error"), QStringLiteral("Error loading \"") + file + QLatin1Char('"'),
                          mtError, MsgButtons({mbOK}));
            break;
        }
    Form.SetupView();
}

void TFileCommands::menuSaveClick()
{
    if (!QPDF || !Form.HasPages() || !Form.ChooseSaveFile)
        return;
    const QString folder = FileFolder(QPDF->FileName());
    const QString name = Form.ChooseSaveFile(FolderExists(folder) ? folder : QString());
    if (name.isEmpty())
        return;
    if (!QPDF->SaveFile(name))
        MessageDialog(QStringLiteral("PDF Error"), QStringLiteral("PDF Error saving \"") + name + QLatin1Char('"'),
                      mtError, MsgButtons({mbOK}));
}

void TFileCommands::menuReloadClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->ReloadFile(QPDF->FileName());
}

void TFileCommands::menuCloseClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->CloseFile(QString(), -1);
    Form.SetupView();
}

void TFileCommands::menuCloseAllClick()
{
    if (QPDF && QPDF->DocumentCount() > 0)
        QPDF->CloseAllFiles(-1);
    Form.SetupView();
}

void TFileCommands::menuManualClick()
{
    if (!QPDF)
        return;
    const QString tail = QStringLiteral("/Doc/PDFSync.pdf");
    const QString local = App.DataFolder + tail;
    QPDF->LoadFile(FileExists(local) ? local : App.ExeFolder + tail);
    Form.SetupView();
}
