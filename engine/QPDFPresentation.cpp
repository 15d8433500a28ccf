// The engine's side of full screen and presentation: the documents' view slots.
#include "engine/QPDF.h"

TDisplayState TQPDF::DisplayState() const
{
    const int state = Host.Window().DisplayState();
    return state == 1 || state == 2 ? TDisplayState(state) : TDisplayState::Normal;
}

void TQPDF::SetFullScreenDocMode(int Doc)
{
    if (Doc < 0 || Doc >= nDocuments)
        return;
    Documents[size_t(Doc)].PrepareSlots();
}

bool TQPDF::RestoreDefaultDocView(int Doc)
{
    if (Doc < 0 || Doc >= nDocuments || DisplayState() == TDisplayState::Normal)
        return false;
    TDocument &d = Documents[size_t(Doc)];
    d.SetViewSettings(d.Slot(TDisplayState::Normal));
    return true;
}

int TQPDF::RestoreDefaultViews()
{
    if (DisplayState() != TDisplayState::Normal) {
        StoreDoc(FSelDoc);
        for (int i = 0; i < nDocuments; ++i)
            RestoreDefaultDocView(i);
    }
    return nDocuments;
}

void TQPDF::SwitchDisplayState(TDisplayState from, TDisplayState to)
{
    if (from == to)
        return;
    StoreDoc(FSelDoc);
    for (int i = 0; i < nDocuments; ++i) {
        TDocument &d = Documents[size_t(i)];
        if (from == TDisplayState::Normal && !d.SlotsPrepared)
            d.PrepareSlots();
        else
            d.Slot(from) = d.ViewSettings();
        d.SetViewSettings(d.Slot(to));
    }
    if (FSelDoc < 0)
        return;
    const TDocument &d = Documents[size_t(FSelDoc)];
    TPosition p{View.SelPage, 0, 0};
    Nav.SavePosition(p.cp, p.Top, p.Left);
    View.FZoom = d.Zoom;
    View.FZoomMode = d.ZoomMode;
    View.AllowScrolling = d.AllowScrolling;
    RenderAnnot = d.RenderAnnot;
    FrameLinks = d.FrameLinks;
    ShowBookmarks = d.ShowBookmarks;
    if (View.FZoomMode == zfitPage)
        p.Top = p.Left = 0;
    View.SetupView();
    Nav.RestorePosition(p.cp, p.Top, p.Left);
}
