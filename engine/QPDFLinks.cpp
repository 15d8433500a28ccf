// Following links and bookmarks: their actions and destinations, the "TEXT: " and "PDF: "
// conventions, and opening URIs and files with the desktop's handler.
#include "engine/QPDF.h"

#include "base/AppState.h"
#include "base/BusyIndicator.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "engine/LaunchText.h"
#include "platform/Shell.h"
#include "synctex/RunCommandLine.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

// Library strings come as UTF-8 bytes with a terminator.
QString FromLibraryBytes(const std::vector<char> &bytes)
{
    QByteArray b(bytes.data(), qsizetype(bytes.size()));
    while (!b.isEmpty() && b.back() == '\0')
        b.chop(1);
    return QString::fromUtf8(b);
}

// The file path of a remote go-to or launch action; empty when it has none or an
// unbelievable length.
QString ActionFilePath(const TDPLPDFiumDLL &dll, FPDF_ACTION action)
{
    const unsigned long len = dll.FPDFAction_GetFilePath(action, nullptr, 0);
    if (len < 2 || len > 999999)
        return QString();
    std::vector<char> bytes(len, 0);
    dll.FPDFAction_GetFilePath(action, bytes.data(), len);
    return FromLibraryBytes(bytes);
}

QString ActionURI(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc, FPDF_ACTION action)
{
    const unsigned long len = dll.FPDFAction_GetURIPath(doc, action, nullptr, 0);
    if (len < 2 || len > 999999)
        return QString();
    std::vector<char> bytes(len, 0);
    dll.FPDFAction_GetURIPath(doc, action, bytes.data(), len);
    return FromLibraryBytes(bytes);
}

// The editor a "TEXT: " link starts: Orvale in the folder above the program's.
QString EditorBesideProgram() { return FileFolder(App.ExeFolder) + QStringLiteral("/Orvale"); }

bool HasControlCharacter(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() < 32 || c.unicode() == 127)
            return true;
    return false;
}

} // namespace

QString TQPDF::GetAnnotHint(FPDF_LINK link) const
{
    const TDPLPDFiumDLL &dll = Library.DLL();
    FPDF_ACTION action = link ? dll.FPDFLink_GetAction(link) : nullptr;
    if (!action || FSelDoc < 0)
        return QString();
    if (dll.FPDFAction_GetType(action) == PDFACTION_URI)
        return ActionURI(dll, Documents[size_t(FSelDoc)].PDFiumDoc.get(), action);
    return ActionFilePath(dll, action);
}

bool TQPDF::ExeAnnotation(FPDF_DOCUMENT doc, FPDF_LINK ann)
{
    if (!doc)
        doc = CurrentPdf();
    if (!doc || !ann)
        return false;
    FPDF_DEST dest = Library.DLL().FPDFLink_GetDest(doc, ann);
    return RunActionThenDest(doc, Library.DLL().FPDFLink_GetAction(ann), dest);
}

bool TQPDF::ExeOutline(FPDF_DOCUMENT doc, FPDF_BOOKMARK bm)
{
    if (!doc)
        doc = CurrentPdf();
    if (!doc || !bm)
        return false;
    FPDF_DEST dest = OutlineRead.BMGetDest(doc, bm);
    return RunActionThenDest(doc, OutlineRead.BMGetAction(bm), dest);
}

bool TQPDF::RunActionThenDest(FPDF_DOCUMENT doc, FPDF_ACTION action, FPDF_DEST dest)
{
    if (action && ExeAction(doc, action))
        return true;
    // The library gives a remote go-to's destination as the link's own; it names a page of
    // the other document, never one of this.
    if (action && Library.DLL().FPDFAction_GetType(action) == PDFACTION_REMOTEGOTO)
        return false;
    return dest && ExeDest(doc, dest);
}

bool TQPDF::ExeAction(FPDF_DOCUMENT doc, FPDF_ACTION action)
{
    const TDPLPDFiumDLL &dll = Library.DLL();
    if (!doc)
        doc = CurrentPdf();
    if (!action) {
        DebugLog(QStringLiteral("Illegal Action..."));
        return false;
    }
    const unsigned long type = dll.FPDFAction_GetType(action);
    switch (type) {
    case PDFACTION_UNSUPPORTED: DebugLog(QStringLiteral("Unsupported Action...")); return false;
    case PDFACTION_GOTO: {
        FPDF_DEST dest = dll.FPDFAction_GetDest(doc, action);
        return dest && ExeDest(doc, dest);
    }
    case PDFACTION_REMOTEGOTO: {
        QString path = ActionFilePath(dll, action);
        if (RunLaunchText(path))
            return false;
        if (path.isEmpty()) {
            DebugLog(QStringLiteral("Warning! ExeAction no File"));
            return false;
        }
        path = DocumentRelative(path);
        if (!FileExists(path) || !LoadFile(path) || !CurrentPdf()) {
            DebugLog(QStringLiteral("Cannot Open RGOTO File: ") + path);
            return false;
        }
        // The action belongs to the document it came from, which an open may have closed.
        bool sourceOpen = false;
        for (int i = 0; i < nDocuments; ++i)
            sourceOpen |= Documents[size_t(i)].PDFiumDoc.get() == doc;
        FPDF_DEST dest = sourceOpen ? dll.FPDFAction_GetDest(CurrentPdf(), action) : nullptr;
        return !dest || ExeDest(CurrentPdf(), dest);
    }
    case PDFACTION_URI: {
        const QString uri = ActionURI(dll, doc, action);
        if (RunLaunchText(uri))
            return false;
        if (uri.isEmpty()) {
            DebugLog(QStringLiteral("Warning! ExeAction no URL"));
            return false;
        }
        return ShellExec(QStringLiteral("open"), uri);
    }
    case PDFACTION_LAUNCH: {
        const QString path = ActionFilePath(dll, action);
        if (RunLaunchText(path))
            return false;
        if (path.isEmpty()) {
            DebugLog(QStringLiteral("Warning! ExeAction no File to execute"));
            return false;
        }
        return ShellExec(QStringLiteral("open"), path);
    }
    case PDFACTION_EMBEDDEDGOTO: DebugLog(QStringLiteral("Unsupported Action Type (Embedded Goto)")); return false;
    default: DebugLog(QStringLiteral("Unknown Action Type: ") + QString::number(type)); return false;
    }
}

QString TQPDF::DocumentRelative(const QString &name) const
{
    if (name.isEmpty() || QDir::isAbsolutePath(name))
        return name;
    const QString folder = FileFolder(FileName());
    return QDir::cleanPath((folder.isEmpty() ? QStringLiteral("/") : folder) + QLatin1Char('/') + name);
}

std::optional<bool> TQPDF::RunLaunchText(const QString &target)
{
    const TLaunchText t = TLaunchText::Parse(target);
    switch (t.Kind) {
    case TLaunchText::TKind::None: return std::nullopt;
    case TLaunchText::TKind::Editor: {
        if (t.File.isEmpty())
            return false;
        if (t.File.contains(QLatin1Char('"')) || HasControlCharacter(t.File)) {
            DebugLog(QStringLiteral("Editor not started, the file name is refused: ") + t.File);
            return false;
        }
        QStringList argv{EditorBesideProgram()};
        if (t.Reverse)
            argv << QStringLiteral("-R");
        argv << DocumentRelative(t.File);
        QString error;
        if (RunCommandArgs(argv, &error))
            return true;
        DebugLog(QStringLiteral("Error Executing: \"") + argv.join(QStringLiteral("\" \"")) + QStringLiteral("\" ")
                 + error);
        return false;
    }
    case TLaunchText::TKind::Document: {
        QString file = t.File;
        if (file.startsWith(QLatin1String("%P/"))) {
            // A manual beside the program: its documents lie in folders named after them.
            const QString manuals = FileFolder(App.ExeFolder) + QStringLiteral("/Doc/PDF");
            const QFileInfo current(FileName());
            const QFileInfo wanted(file.mid(3));
            const QString n = wanted.completeBaseName();
            const QString ext = wanted.fileName().mid(n.size());
            const QString candidate = manuals + QLatin1Char('/') + n + QLatin1Char('/') + n + ext;
            if (!FileName().isEmpty() && current.path() == manuals + QLatin1Char('/') + current.completeBaseName()
                && FileExists(candidate))
                file = candidate;
        } else if (!file.startsWith(QLatin1Char('%'))) {
            file = DocumentRelative(file);
        }
        return OpenDocument(file, false, t.Text, t.Page, t.Dest);
    }
    }
    return std::nullopt;
}

bool TQPDF::ShellExec(const QString &Action, const QString &Source)
{
    QString target = Source;
    if (target.size() > 2 && (target.startsWith(QLatin1String(".\\")) || target.startsWith(QLatin1String("./")))) {
        target = FileFolder(FileName()) + QLatin1Char('/') + target.mid(2);
    } else if (!target.isEmpty() && !FileExists(DocumentRelative(target))) {
        const QString expanded = target.size() > 3 && QStringLiteral("BHPbh").contains(target[1])
            ? TDocumentLoader::ExpandFolderMacro(target, FileName())
            : QString();
        if (!expanded.isEmpty() && FileExists(expanded))
            target = expanded;
    }
    // Never the current folder: a name without a folder is the document's neighbour.
    if (!pl::Shell::hasScheme(target))
        target = DocumentRelative(target);
    const QString what = Action + QStringLiteral(" (\"") + target + QStringLiteral("\")");
    StartWorking(QStringLiteral("Executing: ") + what);
    pl::ProcessError error;
    const bool started = pl::Shell::open(target, App.InjectedEnvironment, error);
    StopWorking();
    if (started)
        return true;
    DebugLog(QStringLiteral("Error! ShellExecute failed: ") + what + QStringLiteral("\r\n") + error.text);
    MessageDialog(QStringLiteral("Shell Error"),
                  QStringLiteral("Execute Action failed: ") + what + QStringLiteral("\r\n") + error.text, mtError,
                  MsgButtons({mbOK}));
    return false;
}
