#pragma once
// The text selection of a document: where it started and where it ends now. The ends are
// not ordered: the end may lie before the start, on an earlier page or earlier on the page.

// What is selected: nothing, a range of characters (a drag or a search match), whole pages
// from Page1 to Page2 (Select Page), or every page (Select All).
enum TSelectMode : int { smNone = 0, smRange = 1, smPages = 2, smAll = 3 };

struct TTextSelection {
    TSelectMode SelectMode = smNone;
    // Page (1-based), character index in the page text (0-based) and side: above 0 the
    // boundary lies after the character, else before it.
    int Page1 = 0, Chr1 = 0, Delta1 = 0;
    int Page2 = 0, Chr2 = 0, Delta2 = 0;
};
