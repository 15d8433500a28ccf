#pragma once
// Loading one version of a document's file: names with folder macros, files that cannot be
// read yet, passwords, files read into memory or by the library from disk, versions caught
// half-written, and the SyncTeX data beside the file.
#include "engine/Document.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class TDPLPDFiumDLL;
class THostLink;

class TDocumentLoader {
public:
    TDocumentLoader(const TDPLPDFiumDLL &dll, const THostLink &host) : DLL(dll), Host(host) {}

    // A password prompt is showing: periodic work waits until it is answered.
    bool PasswordPrompt() const { return PasswordDialog; }

    // A name that starts with a folder macro (%B, %b, %H, %h, %P and "/" or "\") expanded;
    // empty for any other name.
    static QString ExpandFolderMacro(const QString &FN, const QString &currentFile);
    // The file an open names: a name that does not exist tried with its folder macro
    // expanded (%B, %b, %H, %h, %P), then made canonical; an empty name is currentFile.
    static QString ResolveName(QString FN, const QString &currentFile);
    // False, with a note in the log, for a file that is missing or locked for reading.
    static bool Readable(const QString &FN);

    // One version of a file as read: the document or null, the buffer it reads from, the
    // file's date for the bytes the library parsed, the password it opened with and whether
    // the user wants it kept.
    struct TVersion {
        TPdfDocument Doc;
        QByteArray Buffer;
        int64_t Date = 0;
        QString Password;
        bool Remember = false;
    };
    // Loads FN for slot with the slot's password, asking for another while the library
    // refuses it. A version that does not load is noted in the slot; the user is told why
    // unless they cancelled a prompt or the slot still shows an earlier version.
    TVersion Load(TDocument &slot, const QString &FN);
    // Puts a loaded version (or none) into slot in place of the one it shows.
    static void Install(TDocument &slot, TVersion &&version);
    // A version of the slot's file that did not load: remembered, so that it is not tried
    // again, and the user is told once why when tell is set.
    void NoteFailedVersion(TDocument &slot, int64_t date, bool tell);

    // The SyncTeX data of slot's file, in a loader thread or at once; shown is the data the
    // view uses, which a load at once must fill.
    static void LoadSyncTeX(TDocument &slot, bool inThread, const std::shared_ptr<TSyncTeX> &shown);
    // Loads sync's file again when it is newer than the data loaded from it.
    static void ReloadNewerSyncTeX(const std::shared_ptr<TSyncTeX> &sync, bool inThread);

private:
    TPdfDocument LoadPDF(const QString &FN, QByteArray &buffer, QString &password, bool &remember, int64_t &date,
                         bool &passwordFailed);
    TPdfDocument LoadOnce(const QByteArray &path, const QByteArray &buffer, const QByteArray &password, bool fromFile);

    const TDPLPDFiumDLL &DLL;
    const THostLink &Host;
    bool PasswordDialog = false;
};
