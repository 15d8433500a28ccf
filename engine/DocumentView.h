#pragma once
// What the parts of the engine that handle whole documents ask of the view that shows the
// current one: moving its state into a document's slot and back, and being told when the
// shown document changes or goes.

class TDocumentView {
public:
    // The current view into slot Doc, and back: RestoreDoc makes it the shown document.
    virtual void StoreDoc(int Doc) = 0;
    virtual void RestoreDoc(int Doc) = 0;
    // Another document (or none) is about to be shown: its mark and loaded page go.
    virtual void DocChanged() = 0;
    // The shown document is about to be closed: nothing may read its pages any more.
    virtual void ReleasePages() = 0;
    // No document is left: the view takes the defaults of the settings and drops the last
    // document's SyncTeX data.
    virtual void ResetToDefaults() = 0;
    // Status line, toolbar boxes and tab state after a change.
    virtual void UpdateStatus() = 0;

protected:
    ~TDocumentView() = default;
};
