#include "ui/ShellCommands.h"

#include "base/FileUtils.h"
#include "engine/QPDF.h"
#include "shell/ExternalPrograms.h"
#include "shell/MapiMail.h"

QString TShellCommands::ExistingFile() const
{
    if (!QPDF || QPDF->DocumentCount() < 1)
        return QString();
    const QString file = QPDF->FileName();
    return FileExists(file) ? file : QString();
}

int TShellCommands::PageInView() const { return QPDF ? QPDF->Layout().SelPage : 0; }

void TShellCommands::menuSendMailClick() { SendDocumentMail(ExistingFile()); }

void TShellCommands::menuOpenHomeFolderClick()
{
    const QString file = QPDF && QPDF->DocumentCount() > 0 ? QPDF->FileName() : QString();
    OpenFolderInFileManager(file.isEmpty() ? QString() : FileFolder(file));
}

void TShellCommands::menuOpenAdobeClick() { OpenInExternalViewer(ExistingFile(), PageInView()); }

void TShellCommands::menuNewInstanceClick() { StartNewInstance(ExistingFile(), PageInView()); }
