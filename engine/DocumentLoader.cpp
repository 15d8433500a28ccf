#include "engine/DocumentLoader.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "base/PathMacros.h"
#include "base/TextCodec.h"
#include "engine/DPLPDFiumDLL.h"
#include "engine/InfoNote.h"
#include "engine/OpenFailure.h"
#include "engine/HostLink.h"
#include "settings/Prefer.h"
#include "synctex/SyncTeXLoader.h"

namespace {

// Larger files are read by the library from disk rather than from a copy in memory.
constexpr qint64 kMemoryLimit = 1073741824;
constexpr int kMaxPasswordAttempts = 4;
constexpr unsigned long kPasswordError = 4; // FPDF_ERR_PASSWORD

// A name that starts with a folder macro: %B, %b (the executable's and the data folder),
// %H, %h (their parents) and %P (the current document's folder), followed by a separator.
QString ExpandDocumentMacro(const QString &FN, const QString &currentFile)
{
    if (FN.size() < 4 || FN[0] != QLatin1Char('%') || (FN[2] != QLatin1Char('\\') && FN[2] != QLatin1Char('/')))
        return QString();
    const QString rest = QLatin1Char('/') + FN.mid(3);
    switch (FN[1].unicode()) {
    case 'B':
    case 'b': return ExpandPathMacros(FN.left(2) + rest, App.ExeFolder, App.DataFolder);
    case 'H': return ExpandPathMacros(QStringLiteral("%!B") + rest, App.ExeFolder, App.DataFolder);
    case 'h': return ExpandPathMacros(QStringLiteral("%!b") + rest, App.ExeFolder, App.DataFolder);
    case 'P': return currentFile.isEmpty() ? QString() : FileFolder(currentFile) + rest;
    default: return QString();
    }
}

} // namespace

QString TDocumentLoader::ExpandFolderMacro(const QString &FN, const QString &currentFile)
{
    return ExpandDocumentMacro(FN, currentFile);
}

QString TDocumentLoader::ResolveName(QString FN, const QString &currentFile)
{
    if (FN.isEmpty())
        return currentFile;
    if (!FileExists(FN)) {
        const QString expanded = ExpandDocumentMacro(FN, currentFile);
        if (!expanded.isEmpty() && FileExists(expanded))
            FN = expanded;
    }
    return CanonicalPath(FN);
}

bool TDocumentLoader::Readable(const QString &FN)
{
    if (!FileExists(FN)) {
        DebugLog(QStringLiteral("non-existent..."));
        return false;
    }
    if (FileLocked(FN, false, true)) {
        DebugLog(QStringLiteral("locked for reading..."));
        return false;
    }
    return true;
}

TDocumentLoader::TVersion TDocumentLoader::Load(TDocument &slot, const QString &FN)
{
    TVersion v;
    v.Password = slot.FilePwd;
    v.Remember = !v.Password.isEmpty();
    bool passwordFailed = false;
    v.Doc = LoadPDF(FN, v.Buffer, v.Password, v.Remember, v.Date, passwordFailed);
    DebugLog(QStringLiteral("Loaded Status: ") + QLatin1Char(v.Doc ? '1' : '0'));
    if (v.Doc)
        slot.TriedDate = -1;
    else
        // While the last good version stays on show the tab tells of the change.
        NoteFailedVersion(slot, v.Date, !passwordFailed && !slot.PDFiumDoc);
    return v;
}

void TDocumentLoader::Install(TDocument &slot, TVersion &&version)
{
    // The old document is closed before the buffer it reads from is released. Its date is
    // recorded only with a document, so that a file caught half-written is tried again while
    // the last good one stays shown.
    slot.PDFiumDoc = std::move(version.Doc);
    slot.PDFiumDocBuf = std::move(version.Buffer);
    // The texts of the old version would match at the wrong places.
    slot.PDFiumDocTextPages.clear();
    if (slot.PDFiumDoc)
        slot.FileDate = version.Date;
    slot.FilePwd = version.Remember && slot.PDFiumDoc ? version.Password : QString();
}

TPdfDocument TDocumentLoader::LoadOnce(const QByteArray &path, const QByteArray &buffer, const QByteArray &password,
                                       bool fromFile)
{
    const char *pwd = password.isEmpty() ? nullptr : password.constData();
    if (fromFile)
        return AdoptPdf<TPdfDocument>(DLL, DLL.FPDF_LoadDocument(path.constData(), pwd));
    return AdoptPdf<TPdfDocument>(DLL, DLL.FPDF_LoadMemDocument64(buffer.constData(), size_t(buffer.size()), pwd));
}

TPdfDocument TDocumentLoader::LoadPDF(const QString &FN, QByteArray &buffer, QString &password, bool &remember,
                                      int64_t &date, bool &passwordFailed)
{
    passwordFailed = false;
    // Taken before the library reads: a file rewritten meanwhile then differs from it and is
    // reloaded by the next refresh.
    date = FileTime64(FN);
    const QByteArray path = ToUtf8(FN);
    const qint64 size = FileSize64(FN);
    bool fromFile = !Prefer.PDFMemory;
    if (!fromFile && size >= kMemoryLimit) {
        DebugLog(QStringLiteral("File Size too Large: ") + QString::number(size));
        fromFile = true;
    }
    if (!fromFile) {
        if (ReadWholeFile(FN, buffer, 0, &date) != frOk) {
            buffer.clear();
            DebugLog(QStringLiteral("Not Loaded: ") + FN);
            return TPdfDocument();
        }
        DebugLog(QStringLiteral("Loaded: ") + FN);
    }
    TPdfDocument doc = LoadOnce(path, buffer, ToUtf8(password), fromFile);
    for (int attempts = 0; !doc && attempts < kMaxPasswordAttempts;) {
        ++attempts;
        const unsigned long code = DLL.FPDF_GetLastError();
        DebugLog(QStringLiteral("PDFium Errror (%1): ").arg(code) + FN);
        passwordFailed = code == kPasswordError;
        if (!passwordFailed)
            break;
        PasswordDialog = true;
        const bool ok = Host.Window().AskPassword(FN, password, remember);
        PasswordDialog = false;
        if (!ok)
            break;
        // The library opens the file again and reads what is there now.
        if (fromFile)
            date = FileTime64(FN);
        doc = LoadOnce(path, buffer, ToUtf8(password), fromFile);
    }
    if (fromFile) {
        DebugLog(QStringLiteral("Loaded from file: ") + FN);
        if (FileTime64(FN) != date)
            DebugLog(QStringLiteral("Changed while loading: ") + FN);
    }
    return doc;
}

void TDocumentLoader::NoteFailedVersion(TDocument &slot, int64_t date, bool tell)
{
    if (date == slot.TriedDate)
        return;
    slot.TriedDate = date;
    if (!tell)
        return;
    const QString text = OpenFailureText(slot.FileName);
    DebugLog(text);
    Host.View().ShowInfo(text, kInfoNoteMs);
}

void TDocumentLoader::LoadSyncTeX(TDocument &slot, bool inThread, const std::shared_ptr<TSyncTeX> &shown)
{
    const QString syncFile = TSyncTeX::GetSyncFileName(slot.FileName);
    if (syncFile.isEmpty())
        return;
    if (inThread) {
        StartSyncTeXLoader(syncFile, slot.SyncTeX);
    } else if (slot.SyncTeX->LoadSyncData(syncFile, false) && slot.SyncTeX != shown) {
        DebugLog(QStringLiteral("Synctex pointer problem..."));
    }
}

void TDocumentLoader::ReloadNewerSyncTeX(const std::shared_ptr<TSyncTeX> &sync, bool inThread)
{
    if (sync->Loading || !sync->Ready || sync->Data.isEmpty())
        return;
    const QString syncFile = sync->SyncFileName.get();
    if (syncFile.isEmpty() || !FileExists(syncFile) || FileTime64(syncFile) <= sync->SyncFileDate)
        return;
    if (inThread)
        StartSyncTeXLoader(syncFile, sync);
    else if (sync->LoadSyncData(syncFile, false))
        DebugLog(QStringLiteral("SyncTeX has been updated..."));
}
