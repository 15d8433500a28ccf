// The text selection: dragging with the pointer, the copied text of typeset pages (ligatures,
// a line-end hyphen, line breaks), the rectangles that show a selection, and a long copy
// cancelled with Esc (the key state is a fake: a test cannot hold a key of its machine).
#include "platform/fake/ScriptedKeyState.h"

#include "SearchFixture.h"

namespace {

struct Selection : SearchFixture {
    // A press, moves and a release of the primary button, as the page view reports them.
    void press(const QPoint &p)
    {
        host.cursorPos = p;
        host.primaryButtonDown = true;
        engine->ResetSelection();
        if (engine->TrackCursor(false) >= tcOnPage)
            engine->StartSelection(smRange, engine->ptPage, engine->ptChar, engine->ptDelta);
    }
    void drag(const QPoint &p)
    {
        host.cursorPos = p;
        engine->TrackCursor(true);
        engine->ChangeSelection(engine->ptPage, engine->ptChar, engine->ptDelta);
    }
    bool release()
    {
        host.primaryButtonDown = false;
        return engine->StopSelection();
    }
    // The selection's rectangles on page p, in points.
    std::vector<QRectF> boxes(int p)
    {
        FPDF_TEXTPAGE text = textPage(p);
        std::vector<QRectF> out;
        int a = 0, len = -1;
        if (!engine->GetBounds(p, a, len))
            return out;
        const int n = dll().FPDFText_CountRects(text, a, len);
        double l = 0, t = 0, r = 0, b = 0;
        for (int i = 0; engine->GetSelBox(i, n, l, t, r, b);)
            out.push_back(QRectF(QPointF(l, b), QPointF(r, t)));
        return out;
    }
};

QString Visible(QString s) { return s.replace(QLatin1String("\r"), QLatin1String("<CR>")); }

} // namespace

// A typeset paragraph copies as plain text: the letters of ligatures, a word broken by a
// line-end hyphen whole and followed by the line break, a hyphen of the text kept, and the
// engine's CR LF line ends.
TEST_F(Selection, ATypesetPageCopiesAsPlainText)
{
    open("pdfium/text.pdf");
    ASSERT_TRUE(engine->SetSelection(smPages, 3, 0, 3, 0, 0));
    const QString text = engine->GetSelectedText();
    for (const char *word : {"final", "difficult", "affluent", "waffles", "fluff", "fjord", "x-ray"})
        EXPECT_TRUE(text.contains(QLatin1String(word))) << word << " in " << Visible(text).toStdString();
    for (char16_t ligature = 0xFB00; ligature <= 0xFB06; ++ligature)
        EXPECT_FALSE(text.contains(QChar(ligature))) << int(ligature);
    EXPECT_TRUE(text.contains(QLatin1String("figures; extraordinarily\r\nincomprehensible")))
        << Visible(text).toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("remote.\r\nTarget here."))) << Visible(text).toStdString();
    EXPECT_FALSE(text.contains(QChar(2))) << "the library's mark of the hyphen";
    EXPECT_TRUE(text.startsWith(QLatin1String("2 Body")));
    EXPECT_EQ(text.count(QLatin1String("\r\n")), text.count(QLatin1Char('\n'))) << "every line ends in CR LF";
}

// Dragging backwards from the end of page 2 to the start of page 1 copies both pages'
// text, a blank line between them.
TEST_F(Selection, ABackwardDragOverTwoPagesCopiesBoth)
{
    host.clientHeight = 1300;
    open("pdfium/text.pdf");
    const int dot = indexOf(2, QStringLiteral("two.")) + 3;
    // Right of the full stop, then over the page gap, then left of page 1's first character.
    press(besideChar(2, dot, true));
    ASSERT_EQ(engine->SelectMode(), smRange);
    // The full stop, or the line break the library places right after it.
    ASSERT_GE(engine->Selection().Chr1, dot);
    ASSERT_EQ(engine->Selection().Delta1, 1);
    drag(besideChar(2, 0, false));
    drag(besideChar(1, 0, false));
    EXPECT_TRUE(release());
    const TTextSelection &s = engine->Selection();
    EXPECT_EQ(s.Page2, 1);
    EXPECT_EQ(s.Chr2, 0);
    EXPECT_EQ(s.Delta2, -1);
    EXPECT_EQ(engine->GetSelectedText(),
              QStringLiteral("1 Front matter\r\nFront page one.\r\ni\r\n\r\nFront page two."));
    // Both pages show rectangles; the start page only up to the full stop.
    EXPECT_FALSE(boxes(1).empty());
    ASSERT_FALSE(boxes(2).empty());
    double l = 0, r = 0, b = 0, t = 0;
    dll().FPDFText_GetCharBox(textPage(2), dot, &l, &r, &b, &t);
    for (const QRectF &box : boxes(2))
        EXPECT_LE(box.right(), r + 0.01);
}

// A click without a movement leaves no selection; a drag over one page selects what lies
// between press and release, whichever way it goes.
TEST_F(Selection, AClickLeavesNoSelection)
{
    open("pdfium/text.pdf");
    const int one = indexOf(1, QStringLiteral("one."));
    press(charPoint(1, one));
    EXPECT_EQ(engine->SelectMode(), smRange);
    EXPECT_FALSE(release());
    EXPECT_EQ(engine->SelectMode(), smNone);
    EXPECT_EQ(engine->GetSelectedText(), QString());

    press(besideChar(1, one + 3, true));
    drag(charPoint(1, one - 5, 0.2));
    EXPECT_TRUE(release());
    EXPECT_EQ(engine->GetSelectedText(), QStringLiteral("page one."));
}

// A selection shows at least 4.97 points high and 4.53 wide, also for a letter set at 2
// points; a range of characters without a box (a line break) shows nothing, not a box at
// the page's corner.
TEST_F(Selection, SelectionRectanglesHaveAVisibleSize)
{
    open("pdfium/search.pdf");
    const int i = charCount(1) - 1;
    ASSERT_EQ(pageText(1, i, 1), QStringLiteral("i"));
    double l = 0, r = 0, b = 0, t = 0;
    dll().FPDFText_GetCharBox(textPage(1), i, &l, &r, &b, &t);
    ASSERT_LT(t - b, 2.0);
    ASSERT_LT(r - l, 1.0);
    engine->SetSelection(smRange, 1, i, 1, i + 1, 0);
    std::vector<QRectF> shown = boxes(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_GE(shown[0].height(), 4.97 - 1e-9);
    EXPECT_GE(shown[0].width(), 4.53 - 1e-9);
    EXPECT_TRUE(shown[0].contains(QPointF((l + r) / 2, (b + t) / 2))) << "grown around the letter";

    const int lf = indexOf(1, QStringLiteral("\n"));
    engine->SetSelection(smRange, 1, lf, 1, lf + 1, 0);
    EXPECT_TRUE(boxes(1).empty());
}

// A letter beyond the 16-bit plane (a mathematical italic) is copied, as a surrogate pair;
// a selection that ends on a line break's CR leaves it out.
TEST_F(Selection, CopiedCharactersBeyondSixteenBitsAndLineEnds)
{
    open("pdfium/search.pdf");
    const int math = indexOf(1, QString::fromUcs4(U"\U0001D44E"));
    ASSERT_GT(math, 0);
    engine->SetSelection(smRange, 1, math, 1, math + 9, 0);
    EXPECT_EQ(engine->GetSelectedText(), QString::fromUcs4(U"\U0001D44E cat sat"));
    const int cr = indexOf(1, QStringLiteral("\r"));
    engine->SetSelection(smRange, 1, cr - 4, 1, cr + 1, 0);
    EXPECT_EQ(engine->GetSelectedText(), QStringLiteral("wall"));
}

// Esc held while everything is copied cancels: nothing is returned, and the caller is told.
TEST_F(Selection, ALongCopyIsCancelledWithEsc)
{
    open("pdfium/search.pdf");
    engine->SetSelection(smAll, 1, 0, pageCount(), 0, 0);
    pl::fake::ScopedKeyState esc;
    esc.keys.script = {true};
    bool cancelled = false;
    EXPECT_EQ(engine->GetSelectedText(&cancelled), QString());
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(callCount(QStringLiteral("SetCancel")), 1);
    EXPECT_EQ(engine->SelectMode(), smAll) << "the selection stays";

    const QString all = engine->GetSelectedText(&cancelled);
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(all.startsWith(QLatin1String("Page one: a stone wall\r\n")));
    EXPECT_TRUE(all.endsWith(QLatin1String("\r\n\r\nPage 12")));
    EXPECT_EQ(all.count(QLatin1String("\r\n\r\n")), 11);
}
