#include "engine/TextSearch.h"

#include "base/DebugLog.h"
#include "engine/DocumentList.h"
#include "engine/DocumentView.h"
#include "engine/HostLink.h"
#include "engine/Navigator.h"
#include "engine/PageWork.h"
#include "engine/PdfPageSource.h"
#include "engine/Selection.h"
#include "engine/TextMatcher.h"
#include "settings/Prefer.h"

#include <climits>

namespace {

// How long the notes of a step stay.
constexpr int kNoteMs = 2222;

QString Progress(int page, int count)
{
    return QStringLiteral("Searching Text (Page: %1/%2) ...").arg(page).arg(count);
}

} // namespace

void TTextSearch::Reset()
{
    DropMatches();
    matchString.clear();
    matchChr = matchLen = 0;
    findPage = findChar = 0;
    FromMatch = false;
    View.matchCP = 0;
    Host.Window().SetFindCaption(0, -1);
}

void TTextSearch::DropMatches()
{
    ++Generation;
    const bool shown = matchCount > 0;
    matchCount = -1;
    matches.clear();
    matchInd = -1;
    if (shown)
        Host.View().InvalidateView();
}

void TTextSearch::Note(const QString &text)
{
    Host.View().StartInfo(text, QString(), 0, 0);
    Host.View().StopInfo(0, kNoteMs);
}

bool TTextSearch::BringUpInput()
{
    TWindowHost &w = Host.Window();
    if (w.UseToolBarFind()) {
        if (w.FocusFindBox()) {
            Sel.ResetSelection();
            Nav.StorePosition();
        }
        return true;
    }
    if (w.FindDialogVisible()) {
        w.ShowFindDialog();
        return false;
    }
    Sel.ResetSelection();
    Nav.StorePosition();
    w.ShowFindDialog();
    return w.FindDialogVisible();
}

void TTextSearch::ContinueAt(int p, int c)
{
    findPage = p;
    findChar = c;
    FromMatch = false;
}

bool TTextSearch::StartSearch(const QString &s)
{
    if (Running)
        return false;
    DropMatches();
    View.matchCP = View.GetPageView();
    matchChr = matchLen = 0;
    findPage = findChar = 0;
    FromMatch = false;
    matchString = s;
    Host.Window().SetFindCaption(0, -1);
    FoundStrings = true;
    Host.Window().SetSearchString(s);
    return BringUpInput();
}

bool TTextSearch::FindNext(const QString &s) { return Step(s, true); }

bool TTextSearch::FindPrevious(const QString &s) { return Step(s, false); }

std::u32string TTextSearch::ReadPageText(int p)
{
    View.SetSelectedPage(p);
    FPDF_TEXTPAGE text = Source.PageIndex() == p - 1 ? Source.TextPage() : nullptr;
    std::u32string result;
    const int n = text ? DLL.FPDFText_CountChars(text) : 0;
    result.resize(size_t(std::max(n, 0)));
    for (int k = 0; k < n; ++k)
        result[size_t(k)] = char32_t(DLL.FPDFText_GetUnicode(text, k));
    return result;
}

int TTextSearch::GetAllMatches(const QString &s)
{
    if (Running)
        return -1;
    DropMatches();
    matchString = s;
    matchCount = 0;
    matches.resize(1);
    if (s.isEmpty() || Docs.FSelDoc < 0 || !Source.Document())
        return 0;
    Running = true;
    const unsigned generation = Generation;
    const uint64_t serial = Docs.Current().Serial;
    const void *doc = Source.Document();
    const int count = Source.PageCount();
    const int selected = View.SelectedPage();
    TPageWork work(Host, count, QStringLiteral("Searching..."), QStringLiteral("Searching ..."),
                   QStringLiteral(" Text (Page: 0000/9999) ..."), 1, count);
    if (int(Docs.Current().PDFiumDocTextPages.size()) != count)
        InitTextPages(count, Docs.Current().PDFiumDocTextPages);
    const TTextMatcher matcher(s, {Prefer.FindCaseSensitive, Prefer.FindWholeWords, Prefer.FindOption3});
    bool complete = true;
    bool cancelled = false;
    for (int p = 1; p <= count; ++p) {
        // The windows ran meanwhile: the document may have been closed, replaced or switched,
        // or the list dropped.
        if (Docs.FSelDoc < 0 || Docs.Current().Serial != serial || Source.Document() != doc
            || int(Docs.Current().PDFiumDocTextPages.size()) != count || Generation != generation) {
            DebugLog(QStringLiteral("Doc Changed while searching..."));
            complete = false;
            break;
        }
        std::u32string &text = Docs.Current().PDFiumDocTextPages[size_t(p - 1)];
        if (text.empty())
            text = ReadPageText(p);
        int pos = 0, start = 0, len = 0;
        while (matcher.Find(text, pos, start, len))
            matches.push_back({p, start, len});
        if (!work.Step(p, p, Progress(p, count))) {
            cancelled = true;
            break;
        }
    }
    Running = false;
    if (cancelled) {
        DropMatches();
        work.Cancel();
        if (Source.Document() == doc && selected > 0)
            View.SetSelectedPage(selected);
        return -1;
    }
    if (!complete) {
        // What was found belongs to a document that is no longer shown as it was.
        DropMatches();
        work.Abandon();
        return -1;
    }
    work.Finish(QStringLiteral("Searching Done (Page: %1/%1) ...").arg(count), count);
    matchCount = int(matches.size()) - 1;
    Shown.UpdateStatus();
    if (selected > 0)
        View.SetSelectedPage(selected);
    return matchCount;
}

bool TTextSearch::Step(const QString &s, bool forward)
{
    if (s.isEmpty())
        return StartSearch(s);
    if (Running || Docs.FSelDoc < 0)
        return false;
    if (matchCount < 0) {
        if (GetAllMatches(s) < 0) {
            // Cancelled: the note says so, and the next step searches again.
            FoundStrings = false;
            Host.Window().SetFindCaption(0, -1);
            Host.View().InvalidateView();
            return false;
        }
        FoundStrings = matchCount > 0;
        Host.Window().SetFindCaption(0, matchCount);
    }
    if (matchCount <= 0) {
        Note(QStringLiteral("No matches found ..."));
        Sel.ResetSelection();
        return BringUpInput();
    }
    int a = View.GetPageView();
    int from = forward ? 0 : INT_MAX;
    if (s == matchString && a == View.matchCP && matchLen > 0)
        from = forward ? matchChr + 1 : matchChr - 1;
    int x = 0, y = 0;
    if (s == matchString && findPage > 0 && View.GetScrCoord(findPage, 0, 0, x, y)) {
        a = findPage;
        from = FromMatch ? (forward ? matchChr + 1 : matchChr - 1) : findChar;
    }
    int found = 0;
    if (forward) {
        for (int i = 1; i <= matchCount && found == 0; ++i)
            if (matches[size_t(i)].CP > a || (matches[size_t(i)].CP == a && matches[size_t(i)].CC >= from))
                found = i;
    } else {
        for (int i = matchCount; i >= 1 && found == 0; --i)
            if (matches[size_t(i)].CP < a || (matches[size_t(i)].CP == a && matches[size_t(i)].CC <= from))
                found = i;
    }
    if (found == 0) {
        Note(forward ? QStringLiteral("Wrap around search (forward) ...")
                     : QStringLiteral("Wrap around search (backward) ..."));
        found = forward ? 1 : matchCount;
    }
    const TMatch m = matches[size_t(found)];
    matchInd = found;
    Sel.SetSelection(smRange, m.CP, found, m.CP, found, forward ? 1 : -1);
    View.matchCP = m.CP;
    matchChr = m.CC;
    matchLen = m.Len;
    findPage = m.CP;
    findChar = forward ? m.CC + 1 : m.CC - 1;
    FromMatch = true;
    matchString = s;
    Host.Window().SetFindCaption(matchInd, matchCount);
    return true;
}
