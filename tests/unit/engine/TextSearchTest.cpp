// Finding text with the engine: the list of matches of a real document, the steps through it
// with their wrap-around, where a step goes on after scrolling or a press on a page, the find
// input, dropping the list, and a search cancelled with Esc (the key state is a fake: a test
// cannot hold a key of the machine it runs on).
#include "platform/fake/ScriptedKeyState.h"

#include "SearchFixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace {

// search.pdf: "stone" on pages 1, 3 (twice), 7 and 11 of twelve.
const QString kStone = QStringLiteral("stone");
constexpr int kStones = 5;

struct TextSearch : SearchFixture {
    const TTextSearch &search() { return engine->TextSearch(); }
    TMatch match() { return search().matches[size_t(search().matchInd)]; }
    QString note(const QString &text) const { return QStringLiteral("StartInfo 0..0: ") + text + QLatin1Char('|'); }
};

} // namespace

// On a typeset page: a word broken at the line end by a hyphen, and words set with ligatures,
// whose letters the library gives one by one.
TEST_F(TextSearch, TypesetWordsAcrossHyphensAndLigatures)
{
    open("pdfium/text.pdf");
    struct Case {
        QString s;
        int count;
        // The page text of the first match, as the library gives it.
        std::u32string text;
    };
    const Case cases[] = {
        {"extraordinarily", 1, U"extraordinar\x02ily "},
        {"difficult", 1, U"difficult "},
        {"affluent", 1, U"affluent "},
        {"ffl", 2, U"ffl"},
        {"Stra\u00DFe", 1, U"Stra\u00DFe"},
        {"FIGURES;", 1, U"figures; "},
        {"fjord waffles", 1, U"fjord\r\nwaffles"},
        {"x-ray", 1, U"x-ray "},
        {"quartz", 0, U""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.s.toStdString());
        ASSERT_EQ(engine->GetAllMatches(c.s), c.count);
        if (c.count == 0)
            continue;
        const TMatch m = search().matches[1];
        EXPECT_EQ(m.CP, 3);
        EXPECT_EQ(chars(m.CP, m.CC, m.Len), c.text);
    }
    EXPECT_EQ(search().matchInd, -1) << "the list alone selects no match";
}

// The page texts are kept with the document: index k of a kept text is the library's
// character k, also after a letter beyond the 16-bit plane.
TEST_F(TextSearch, PageTextsAreKeptCharacterForCharacter)
{
    open("pdfium/search.pdf");
    ASSERT_EQ(engine->GetAllMatches(QStringLiteral("cat")), 1);
    const TTextPages &pages = current().PDFiumDocTextPages;
    ASSERT_EQ(int(pages.size()), 12);
    EXPECT_EQ(pages[0], chars(1, 0, charCount(1)));
    const TMatch m = search().matches[1];
    EXPECT_EQ(m.CC, indexOf(1, QStringLiteral("cat")));
    EXPECT_EQ(pages[0][size_t(m.CC - 2)], U'\U0001D44E');
}

// Steps go through the matches in document order, select each and say where they are; past
// either end they wrap around with a note.
TEST_F(TextSearch, StepsWrapAroundBothWays)
{
    open("pdfium/search.pdf");
    struct Step {
        bool forward;
        int index, page;
        const char *note;
    };
    const Step steps[] = {
        {true, 1, 1, nullptr},
        {true, 2, 3, nullptr},
        {true, 3, 3, nullptr},
        {true, 4, 7, nullptr},
        {true, 5, 11, nullptr},
        {true, 1, 1, "Wrap around search (forward) ..."},
        {false, 5, 11, "Wrap around search (backward) ..."},
        {false, 4, 7, nullptr},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.index);
        host.calls.clear();
        ASSERT_TRUE(step.forward ? engine->FindNext(kStone) : engine->FindPrevious(kStone));
        EXPECT_EQ(search().matchInd, step.index);
        EXPECT_EQ(match().CP, step.page);
        EXPECT_EQ(host.calls.contains(note(step.note ? QString::fromLatin1(step.note) : QString())),
                  step.note != nullptr)
            << host.calls.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(host.findCaptionInd, step.index);
        EXPECT_EQ(host.findCaptionNum, kStones);
        // The match is the selection, and its page is in view.
        const TTextSelection &sel = engine->Selection();
        EXPECT_EQ(sel.SelectMode, smRange);
        EXPECT_EQ(sel.Page1, step.page);
        EXPECT_EQ(std::min(sel.Chr1, sel.Chr2), match().CC);
        int x = 0, y = 0;
        EXPECT_TRUE(engine->Layout().GetScrCoord(step.page, 20, 160, x, y));
        EXPECT_TRUE(x >= 0 && y >= 0 && x < host.clientWidth && y < host.clientHeight) << x << ", " << y;
    }
    EXPECT_EQ(engine->MatchCount(), kStones);
    EXPECT_TRUE(engine->FoundStringsShown());
    EXPECT_EQ(engine->GetSelectedText(), QStringLiteral("stone")) << "the match on page 7 ends the line";
}

// After scrolling away from the current match, the next step goes on from the page in view;
// a press on a page makes the next step go on from the character pressed.
TEST_F(TextSearch, StepsGoOnFromThePageInViewOrThePressedCharacter)
{
    open("pdfium/search.pdf");
    ASSERT_TRUE(engine->FindNext(kStone));
    ASSERT_EQ(search().matchInd, 1);
    ASSERT_TRUE(engine->Navigator().GOTOPage(9, nullptr));
    ASSERT_EQ(engine->Layout().GetPageView(), 9);
    ASSERT_TRUE(engine->FindNext(kStone));
    EXPECT_EQ(search().matchInd, 5) << "page 11, the first match after page 9";

    ASSERT_TRUE(engine->Navigator().GOTOPage(8, nullptr));
    ASSERT_TRUE(engine->FindPrevious(kStone));
    EXPECT_EQ(search().matchInd, 4) << "page 7, the last match before page 8";

    // A press on the second "stone" of page 3.
    ASSERT_TRUE(engine->Navigator().GOTOPage(3, nullptr));
    const int second = 10;
    ASSERT_EQ(pageText(3, second, 5), kStone);
    host.cursorPos = charPoint(3, second, 0.2);
    host.primaryButtonDown = true;
    EXPECT_EQ(engine->TrackCursor(false), tcText);
    host.primaryButtonDown = false;
    EXPECT_EQ(search().findPage, 3);
    EXPECT_EQ(search().findChar, second);
    ASSERT_TRUE(engine->FindNext(kStone));
    EXPECT_EQ(search().matchInd, 3) << "the match pressed on, not the first of its page";

    // A move with the button up, or a drag that selects, leaves the place alone.
    host.cursorPos = charPoint(3, 0);
    engine->TrackCursor(false);
    host.primaryButtonDown = true;
    engine->TrackCursor(true);
    EXPECT_EQ(search().findChar, match().CC + 1);
}

// An empty string only brings up the find input: the toolbar's box, or the dialog.
TEST_F(TextSearch, AnEmptyStringOnlyBringsUpTheInput)
{
    open("pdfium/search.pdf");
    EXPECT_TRUE(engine->FindNext(QString()));
    EXPECT_EQ(host.calls.filter(QStringLiteral("Find")), QStringList{QStringLiteral("FocusFindBox")});
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_TRUE(current().PDFiumDocTextPages.empty()) << "no page was read";
    EXPECT_EQ(host.searchString, QString());

    host.useToolBarFind = false;
    host.calls.clear();
    EXPECT_TRUE(engine->FindPrevious(QString())) << "the dialog is shown";
    EXPECT_EQ(host.calls.filter(QStringLiteral("Find")), QStringList{QStringLiteral("ShowFindDialog")});
    EXPECT_FALSE(engine->StartSearch(kStone)) << "a dialog already shown only takes the focus";
    EXPECT_EQ(host.searchString, kStone);
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_TRUE(current().PDFiumDocTextPages.empty());
}

// A changed option drops the list: the next step searches again with the new option.
TEST_F(TextSearch, AnOptionChangeDropsTheList)
{
    open("pdfium/search.pdf");
    const QString part = QStringLiteral("ston");
    ASSERT_TRUE(engine->FindNext(part));
    ASSERT_EQ(engine->MatchCount(), kStones);
    Prefer.FindWholeWords = true;
    EXPECT_TRUE(engine->FindNext(part)) << "the old list still serves";
    EXPECT_EQ(search().matchInd, 2);

    engine->DropMatches();
    EXPECT_EQ(engine->MatchCount(), -1);
    host.calls.clear();
    EXPECT_TRUE(engine->FindNext(part)) << "the find box is brought up";
    EXPECT_EQ(engine->MatchCount(), 0);
    EXPECT_TRUE(host.calls.contains(note(QStringLiteral("No matches found ..."))))
        << host.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(host.calls.contains(QStringLiteral("FocusFindBox")));
    EXPECT_FALSE(engine->FoundStringsShown());
    EXPECT_EQ(engine->SelectMode(), smNone);
    EXPECT_EQ(host.findCaptionNum, 0);
}

// Esc held while searching cancels: no list is left (not an empty one), so the step says
// only "Cancel ..." and the next step searches the document again.
TEST_F(TextSearch, ACancelledSearchIsSearchedAgainByTheNextStep)
{
    open("pdfium/search.pdf");
    pl::fake::ScopedKeyState esc;
    // Esc is looked at after page 10; then it is released.
    esc.keys.script = {true};
    EXPECT_FALSE(engine->FindNext(kStone));
    EXPECT_EQ(esc.keys.queries, 2) << "once at page 10, once for its release";
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_EQ(search().matchInd, -1);
    EXPECT_FALSE(engine->FoundStringsShown());
    EXPECT_EQ(host.findCaptionNum, -1);
    EXPECT_EQ(callCount(QStringLiteral("SetCancel")), 1);
    EXPECT_EQ(callCount(QStringLiteral("StopInfo 2222")), 1);
    EXPECT_FALSE(host.calls.contains(note(QStringLiteral("No matches found ..."))))
        << host.calls.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(engine->SelectMode(), smNone);

    EXPECT_TRUE(engine->FindNext(kStone));
    EXPECT_EQ(engine->MatchCount(), kStones);
    EXPECT_EQ(search().matchInd, 1);
}

// Another document ends the search and its marks; a reload forgets the kept page texts.
TEST_F(TextSearch, ADocumentChangeEndsTheSearch)
{
    const QString path = copy("pdfium/search.pdf", "search.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(engine->FindNext(kStone));
    ASSERT_FALSE(current().PDFiumDocTextPages.empty());
    rewrite(path, fixture("pdfium/search.pdf"));
    ASSERT_TRUE(engine->ReloadFile(path));
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_EQ(search().matchInd, -1);
    EXPECT_EQ(host.findCaptionNum, -1);
    EXPECT_TRUE(current().PDFiumDocTextPages.empty());

    ASSERT_TRUE(engine->FindNext(kStone));
    open("pdfium/text.pdf");
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_EQ(engine->TextSearch().matchString, QString());
    EXPECT_FALSE(engine->Document(0).PDFiumDocTextPages.empty()) << "the texts stay with their document";
}

namespace {

// 108 pages: search.pdf nine times, put together with qpdf.
struct LongSearch : TextSearch {
    QString path;
    void SetUp() override
    {
        TextSearch::SetUp();
        path = dir.filePath("long.pdf");
        QStringList args{QStringLiteral("--empty"), QStringLiteral("--pages")};
        for (int i = 0; i < 9; ++i)
            args << fixturePath("pdfium/search.pdf") << QStringLiteral("1-12");
        args << QStringLiteral("--") << path;
        QProcess qpdf;
        qpdf.start(QStringLiteral("qpdf"), args);
        ASSERT_TRUE(qpdf.waitForFinished(60000) && qpdf.exitCode() == 0) << qpdf.readAllStandardError().toStdString();
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        ASSERT_EQ(pageCount(), 108);
    }
};

} // namespace

// From 100 pages the information window shows the progress, every 10 pages.
TEST_F(LongSearch, ShowsItsProgress)
{
    host.calls.clear();
    EXPECT_EQ(engine->GetAllMatches(kStone), 9 * kStones);
    const QStringList info = host.calls.filter(QRegularExpression(QStringLiteral("^(StartInfo|SetInfo|SetPos|Stop)")));
    ASSERT_EQ(info.size(), 1 + 10 * 2 + 3) << info.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(info.first(), QStringLiteral("StartInfo 1..108: Searching ...| Text (Page: 0000/9999) ..."));
    EXPECT_EQ(info[1], QStringLiteral("SetInfo -1: Searching Text (Page: 10/108) ..."));
    EXPECT_EQ(info[2], QStringLiteral("SetPos 10"));
    EXPECT_EQ(info.mid(info.size() - 3),
              (QStringList{QStringLiteral("SetInfo -1: Searching Done (Page: 108/108) ..."),
                           QStringLiteral("SetPos 108"), QStringLiteral("StopInfo 2222")}));
}

// The windows run every 100 pages; a document closed meanwhile ends the search without a
// list, and the log says why.
TEST_F(LongSearch, ADocumentClosedWhileSearchingLeavesNoList)
{
    open("pdfium/text.pdf");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    QTimer::singleShot(0, [this] { engine->CloseFile(QString(), -1); });
    EXPECT_FALSE(engine->FindNext(kStone));
    EXPECT_EQ(engine->MatchCount(), -1);
    EXPECT_TRUE(log().contains(QLatin1String("Doc Changed while searching..."))) << log().toStdString();
    EXPECT_EQ(engine->FileName(), fixturePath("pdfium/text.pdf"));
    EXPECT_TRUE(engine->FindNext(QStringLiteral("difficult"))) << "the document now shown is searched";
}
