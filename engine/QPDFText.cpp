// The engine's calls for finding, selecting and copying text, and for what lies under the
// pointer: each needs a document.
#include "engine/QPDF.h"

bool TQPDF::StartSearch(const QString &s) { return FSelDoc >= 0 && Search.StartSearch(s); }

bool TQPDF::FindNext(const QString &s) { return FSelDoc >= 0 && Search.FindNext(s); }

bool TQPDF::FindPrevious(const QString &s) { return FSelDoc >= 0 && Search.FindPrevious(s); }

int TQPDF::GetAllMatches(const QString &s) { return FSelDoc >= 0 ? Search.GetAllMatches(s) : 0; }

void TQPDF::SetFoundStringsShown(bool shown)
{
    if (Search.FoundStrings == shown)
        return;
    Search.FoundStrings = shown;
    Host.View().InvalidateView();
}

QString TQPDF::GetSelectedText(bool *cancelled) { return Sel.GetSelectedText(cancelled); }

TCursorCode TQPDF::TrackCursor(bool isSel)
{
    return Tracker.TrackCursor(FSelDoc >= 0 && Source.Document() != nullptr, isSel);
}
