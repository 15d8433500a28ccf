#pragma once
// The open documents in tab order: their slots, which one is current, their order, closing
// them, and the batching of many opens or closes.
#include "engine/Document.h"

#include <QString>

#include <cstdint>
#include <vector>

class TDocumentView;
class THostLink;
class TRecentDocuments;

class TDocumentList {
public:
    TDocumentList(const THostLink &host, TDocumentView &view, TRecentDocuments &recent)
        : Host(host), View(view), Recent(recent)
    {}
    TDocumentList(const TDocumentList &) = delete;
    TDocumentList &operator=(const TDocumentList &) = delete;

    // The engine's parts read these; they change only through the calls below.
    // Used slots first (nDocuments of them), then spare ones that keep their objects.
    std::vector<TDocument> Documents;
    int nDocuments = 0;
    // The current document (-1 none) and the one before it.
    int FSelDoc = -1;
    int FPreviousSelDoc = -1;
    bool FQuickOpen = false;
    bool FQuickClose = false;

    TDocument &Current() { return Documents[size_t(FSelDoc)]; }
    const TDocument &Current() const { return Documents[size_t(FSelDoc)]; }
    // The current document's file name; empty without one.
    QString FileName() const { return FSelDoc >= 0 ? Current().FileName : QString(); }
    void SetSelDoc(int index);
    // The index of the document named FN (exact comparison); -1 none.
    int Find(const QString &FN) const;

    // A slot to an empty document with the default view from the settings.
    static void InitDoc(TDocument &Doc);
    // Fresh SyncTeX data for the slot; a loader thread may still be filling the old object,
    // so it keeps that one to itself.
    static void ResetSyncTeX(TDocument &Doc);
    // A new slot at the end of the list for FN, with the view the recent list remembers; its
    // tab is added and selected. Returns its index.
    int AddDocument(const QString &FN);

    // Moves the document at from to index to in tab order; the ones between shift by one
    // toward from. The current document stays current at its new index. False for an index
    // outside the list.
    bool MoveDocument(int from, int to);
    // Closes the document named FN or, when FN is empty, the one at ind (-1 the current).
    bool CloseFile(const QString &FN, int ind);
    // Closes all but index Sel (-1 all), last first; true when any was closed.
    bool CloseAllFiles(int Sel);
    // Closes every document without telling anyone: the engine is going.
    void Clear();

    // Batching of many opens or closes: the view is laid out and shown once at the end.
    bool SetQuickOpen(bool q);
    bool StopQuickOpen();
    bool SetQuickClose(bool q);

    // The open documents into the recent list, at its top.
    void UpdateDocList();

private:
    void ShowDocument();

    const THostLink &Host;
    TDocumentView &View;
    TRecentDocuments &Recent;
    uint64_t LastSerial = 0;
};
