#pragma once
// Finding a string in the current document. The first step for a string collects every match
// of the whole document into a list (reading each page's text once, kept with the document);
// later steps move through the list, select the current match and scroll it into view,
// wrapping around at either end. Long searches show their progress, let the windows run every
// 100 pages and stop when Esc is held.
#include <QString>

#include <vector>

class TDocumentList;
class TDocumentView;
class TDPLPDFiumDLL;
class THostLink;
class TNavigator;
class TPageLayout;
class TPdfPageSource;
class TSelection;

// One match: page (1-based), first character in the page text (0-based) and length.
struct TMatch {
    int CP = 0;
    int CC = 0;
    int Len = 0;
};

class TTextSearch {
public:
    TTextSearch(const TDPLPDFiumDLL &dll, TDocumentList &docs, TDocumentView &shown, TPageLayout &view,
                TPdfPageSource &source, TNavigator &nav, TSelection &sel, const THostLink &host)
        : DLL(dll), Docs(docs), Shown(shown), View(view), Source(source), Nav(nav), Sel(sel), Host(host)
    {}
    TTextSearch(const TTextSearch &) = delete;
    TTextSearch &operator=(const TTextSearch &) = delete;

    // A new search for s: no list, the marks on, s into the find input, which is brought up.
    // True when the toolbar's find box is the input, or the find dialog was shown now.
    bool StartSearch(const QString &s);
    // One step to the next (previous) match, after building the list when there is none. An
    // empty s only brings up the find input. True when a match was selected (or the input
    // brought up); false when the search was cancelled.
    bool FindNext(const QString &s);
    bool FindPrevious(const QString &s);
    // Builds the list of every match of s in the current document: the number of matches,
    // or -1 when the search was cancelled with Esc or cut short by a change of the document,
    // which leaves no list, so that the next step searches again.
    int GetAllMatches(const QString &s);
    // The string or an option changed: the list goes (the next step searches again).
    void DropMatches();
    // A press on page p (1-based) near character c: the next step goes on from there.
    void ContinueAt(int p, int c);
    // Another document, or none: the whole state goes, the find caption shows no list.
    void Reset();

    // The state the windows and the painting read.
    QString matchString;
    // Number of matches; -1 no list.
    int matchCount = -1;
    // 1-based: entry 0 stays empty.
    std::vector<TMatch> matches;
    // The current match, -1 none; its character and length (its page is the layout's matchCP).
    int matchInd = -1;
    int matchChr = 0;
    int matchLen = 0;
    // Where the next step goes on: the page of the current match (or of a press on a page)
    // and the character after (before) its start.
    int findPage = 0;
    int findChar = 0;
    // All matches are marked (cleared by Esc in the page view).
    bool FoundStrings = false;
    // A search is running: a step asked for meanwhile (from the events it lets run) does
    // nothing.
    bool Searching() const { return Running; }

private:
    bool Step(const QString &s, bool forward);
    // Brings up the find input: the toolbar's box when it is in use, else the find dialog.
    bool BringUpInput();
    // The text of page p (1-based), read from the library: empty when it does not load.
    std::u32string ReadPageText(int p);
    void Note(const QString &text);

    const TDPLPDFiumDLL &DLL;
    TDocumentList &Docs;
    TDocumentView &Shown;
    TPageLayout &View;
    TPdfPageSource &Source;
    TNavigator &Nav;
    TSelection &Sel;
    const THostLink &Host;
    bool Running = false;
    // The place to go on from is the current match (not a press): a step in the other
    // direction then starts beside the match instead of finding it again.
    bool FromMatch = false;
    // Counts the drops of the list: a search that sees it change while the windows run has
    // been overtaken and ends without a list.
    unsigned Generation = 0;
};
