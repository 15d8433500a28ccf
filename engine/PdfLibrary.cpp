#include "engine/PdfLibrary.h"

#include "base/MessageDialog.h"
#include "engine/InfoNote.h"

namespace {

const QString kLibraryErrorTitle = QStringLiteral("PDFuium Library Error");

void ShowLibraryError(const QString &text) { MessageDialog(kLibraryErrorTitle, text, mtError, MsgButtons({mbOK})); }

} // namespace

bool TPdfLibrary::Bind(const QString &exeFolder)
{
    const QString path = TDPLPDFiumDLL::Locate(exeFolder);
    if (path.isEmpty()) {
        ShowLibraryError(QStringLiteral("Library libpdfium.so does not exist."));
        return false;
    }
    // The binding stays with the engine even when it failed.
    Found = true;
    bool bound = false;
    try {
        bound = Binding->Init(path);
    } catch (...) {
        ShowLibraryError(QStringLiteral("An exception occurred while loading: ") + Quoted(path));
        return false;
    }
    if (!bound) {
        QString text = QStringLiteral("Cannot load: ") + Quoted(path);
        if (!Binding->LoadErrFunction().isEmpty())
            text += QStringLiteral("\r\nFunction: ") + QString::fromLatin1(Binding->LoadErrFunction());
        ShowLibraryError(text);
    }
    return bound;
}
