#pragma once
// An engine showing a document at 100 % in the continuous view, one pixel a point, with the
// helpers the search and selection tests share: the client point of a character, the page
// text of a range.
#include "EngineFixture.h"

#include <QPoint>

#include <algorithm>
#include <string>

struct SearchFixture : EngineFixture {
    void SetUp() override
    {
        EngineFixture::SetUp();
        Prefer.ZoomMode = zActualSize;
        Prefer.Zoom = 100;
        Prefer.ZoomAuto = false;
        Prefer.AllowScrolling = true;
        Prefer.FindCaseSensitive = false;
        Prefer.FindWholeWords = false;
        Prefer.FindOption3 = true;
    }

    void open(const QString &fixture)
    {
        ASSERT_TRUE(engine->OpenDocument(fixturePath(fixture), false, QString(), 0, TDestType::ForwardSearch));
        ASSERT_GT(pageCount(), 0);
    }
    const TDPLPDFiumDLL &dll() { return *engine->PDFium(); }
    // The loaded text page of page p (1-based).
    FPDF_TEXTPAGE textPage(int p)
    {
        engine->Layout().SetSelectedPage(p);
        return engine->Pages().TextPage();
    }
    // The client point of a place in character index's box of page p: fx and fy are
    // fractions of its width from the left and of its height from the bottom (outside the box
    // below 0 or above 1).
    QPoint charPoint(int p, int index, double fx = 0.5, double fy = 0.5)
    {
        double l = 0, r = 0, b = 0, t = 0;
        EXPECT_TRUE(dll().FPDFText_GetCharBox(textPage(p), index, &l, &r, &b, &t));
        int x = 0, y = 0;
        EXPECT_TRUE(engine->Layout().GetScrCoord(p, l + fx * (r - l), b + fy * (t - b), x, y)) << "page " << p;
        return {x, y};
    }
    // The client point half a point beyond the right edge (after) or the left edge of
    // character index's loose box on page p, at its middle height: a pointer beside it.
    QPoint besideChar(int p, int index, bool after)
    {
        FS_RECTF box{0, 0, 0, 0};
        EXPECT_TRUE(dll().FPDFText_GetLooseCharBox(textPage(p), index, &box));
        const double x = after ? std::max(box.left, box.right) + 0.5 : std::min(box.left, box.right) - 0.5;
        int cx = 0, cy = 0;
        EXPECT_TRUE(engine->Layout().GetScrCoord(p, x, (box.top + box.bottom) / 2, cx, cy)) << "page " << p;
        return {cx, cy};
    }
    // The characters of page p from index a, len of them, as the library gives them.
    std::u32string chars(int p, int a, int len)
    {
        FPDF_TEXTPAGE text = textPage(p);
        std::u32string s;
        for (int k = a; k < a + len; ++k)
            s += char32_t(dll().FPDFText_GetUnicode(text, k));
        return s;
    }
    QString pageText(int p, int a, int len) { return QString::fromStdU32String(chars(p, a, len)); }
    int charCount(int p) { return dll().FPDFText_CountChars(textPage(p)); }
    // The character index where c first occurs in page p's text; -1 none.
    int indexOf(int p, const QString &c)
    {
        const size_t at = chars(p, 0, charCount(p)).find(c.toStdU32String());
        return at == std::u32string::npos ? -1 : int(at);
    }
    int callCount(const QString &prefix) const
    {
        int n = 0;
        for (const QString &c : host.calls)
            n += c.startsWith(prefix) ? 1 : 0;
        return n;
    }
};
