#pragma once
// One open document: its file, the library's handle, the view it had when it was last
// current, its SyncTeX data and its status flags.
#include "engine/DestType.h"
#include "engine/Outline.h"
#include "engine/PdfHandles.h"
#include "engine/Position.h"
#include "engine/PositionHistory.h"
#include "engine/Presentation.h"
#include "engine/TextPages.h"
#include "engine/TextSelection.h"
#include "engine/ZoomMode.h"
#include "settings/PageViewMode.h"
#include "synctex/SyncTeX.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// Where to go in a document: a forward search when SRC names a source file (lnum its line),
// page index lnum, page label SRC or named destination SRC.
struct TNavRequest {
    QString SRC;
    int lnum = 0;
    TDestType dest_type = TDestType::ForwardSearch;
    bool Asked() const { return dest_type != TDestType::ForwardSearch || !SRC.isEmpty(); }
};

struct TDocument {
    QString FileName;       // canonical path; the document's identity (exact comparison)
    QString FilePwd;        // kept only when the user asked to remember it
    int64_t FileDate = 0;   // last-write time of the bytes loaded, 100 ns units since 1601; 0 never
    int64_t TriedDate = -1; // the date of the last version that did not load; -1 none
    uint64_t Serial = 0;    // tells apart the documents one slot holds over time; 0 spare
    // The last navigation asked for while the file could not be read (missing, being
    // written, damaged); it runs when a version of the file loads.
    TNavRequest Deferred;
    // The library reads from the buffer for the document's lifetime: declared first, so that
    // the document is closed before its buffer goes.
    QByteArray PDFiumDocBuf; // the whole file when loaded into memory, else empty
    TPdfDocument PDFiumDoc;
    // The outline as the bookmarks panel last showed it; the panel may hold it a while
    // after the document closed.
    std::shared_ptr<TTree> Tree = std::make_shared<TTree>();
    // Shared with loader threads, which may still hold it after the slot is recycled.
    std::shared_ptr<TSyncTeX> SyncTeX;

    TZoomMode ZoomMode = zActualSize;
    double Zoom = 100;
    int32_t Rotate = 0;
    TPageViewMode PageView = TPageViewMode::Single;
    bool AllowScrolling = true;
    bool RenderAnnot = false;
    bool FrameLinks = true;
    bool ShowBookmarks = false;
    bool TrackBookmarks = false;
    // The view above for each display state while full screen or presentation is on; slot 0
    // keeps the normal view meanwhile.
    TPresentations Presentations;
    // The slots were prepared: later full-screen and presentation views come back as left.
    bool SlotsPrepared = false;

    TPresentation ViewSettings() const
    {
        return {AllowScrolling, ShowBookmarks, RenderAnnot, FrameLinks, ZoomMode, Zoom};
    }
    void SetViewSettings(const TPresentation &p)
    {
        AllowScrolling = p.AllowScrolling;
        ShowBookmarks = p.ShowBookmarks;
        RenderAnnot = p.RenderAnnot;
        FrameLinks = p.FrameLinks;
        ZoomMode = p.ZoomMode;
        Zoom = p.Zoom;
    }
    // The slots from the view (a state begins, or the document opens during one).
    void PrepareSlots()
    {
        const TPresentation normal = ViewSettings();
        Presentations = {normal, FullScreenView(normal), PresentationView(normal)};
        SlotsPrepared = true;
    }
    TPresentation &Slot(TDisplayState state) { return Presentations[size_t(state)]; }

    // The view above came from the recent list: it is shown as it was left.
    bool ViewRemembered = false;

    TPosition Position;
    TPosition Mark;
    TPositionHistory History;
    TTextSelection Selection;
    // The page texts searches have read; emptied whenever the document is replaced.
    TTextPages PDFiumDocTextPages;

    bool Exists = true;
    bool Locked = false;
    bool Modified = false;
    bool Error = false;
    bool Sync = false;
    bool PDF = true;
};
