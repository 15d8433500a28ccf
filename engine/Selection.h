#pragma once
// The text selection of the current document: made by dragging, by Select Page and Select
// All, or by a search step; the rectangles that show it; and its text for the clipboard.
#include "engine/TextSelection.h"

#include <QString>

class TDocumentList;
class TDocumentView;
class TDPLPDFiumDLL;
class TForwardMark;
class THostLink;
class TNavigator;
class TPageLayout;
class TPdfPageSource;
class TTextSearch;

class TSelection {
public:
    TSelection(const TDPLPDFiumDLL &dll, TDocumentList &docs, TDocumentView &shown, TPageLayout &view,
               TPdfPageSource &source, TNavigator &nav, TForwardMark &mark, TTextSearch &search, const THostLink &host)
        : DLL(dll), Docs(docs), Shown(shown), View(view), Source(source), Nav(nav), Mark(mark), Search(search),
          Host(host)
    {}
    TSelection(const TSelection &) = delete;
    TSelection &operator=(const TSelection &) = delete;

    // Begins a selection with both ends at (p1, c1, d1); true when there was none before.
    bool StartSelection(TSelectMode mode, int p1, int c1, int d1);
    // Moves the end; true when it moved.
    bool ChangeSelection(int p2, int c2, int d2);
    // Ends a drag: a selection whose ends are equal goes. True when a selection remains.
    bool StopSelection();
    // Sets a whole selection. Mode smRange with a direction (> 0 forward, < 0 backward) and
    // p1 = p2 selects match c1 of the search's list and scrolls it into view.
    bool SetSelection(TSelectMode mode, int p1, int c1, int p2, int c2, int direction);
    // Removes the selection (and a forward-search mark still showing).
    bool ResetSelection();

    // The selected characters of page (1-based), whose text page is the loaded one: the
    // caller passes a = 0 and len = -1 or the page's character count, and gets the range
    // narrowed. False when nothing of the page is selected.
    bool GetBounds(int page, int &a, int &len) const;
    // The next rectangle, in page points (top > bottom), of the loaded text page's rectangles
    // a .. b - 1 (b from FPDFText_CountRects; start with a = 0): grown to a visible size,
    // rectangles of no area skipped. False when none is left.
    bool GetSelBox(int &a, int b, double &left, double &top, double &right, double &bottom) const;
    // The selected text with CR LF line breaks; empty without a selection. Long extractions
    // show their progress and stop when Esc is held: then cancelled (when given) is set and
    // the result is empty.
    QString GetSelectedText(bool *cancelled = nullptr);

    TTextSelection State;

private:
    // The text of the selected part of page p (1-based).
    QString PageText(int p);
    void Changed(bool invalidate);

    const TDPLPDFiumDLL &DLL;
    TDocumentList &Docs;
    TDocumentView &Shown;
    TPageLayout &View;
    TPdfPageSource &Source;
    TNavigator &Nav;
    TForwardMark &Mark;
    TTextSearch &Search;
    const THostLink &Host;
    // An extraction is running (the windows run inside it).
    bool Extracting = false;
};
