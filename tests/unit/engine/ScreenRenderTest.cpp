// Painting of the page view on real rendered pages: the render modes, the overlays and the
// order they are applied in, the partial rendering, and the fading of the forward-search mark.
#include "settings/Colors.h"
#include "engine/PixelPasses.h"

#include "EngineFixture.h"

#include <QImage>
#include <QPainter>

#include <deque>
#include <tuple>

namespace {

using Rgb = std::tuple<int, int, int>;

Rgb At(const QImage &img, int x, int y)
{
    const QColor c = img.pixelColor(x, y);
    return {c.red(), c.green(), c.blue()};
}

// Places on the colour page (100 x 60 points, one pixel a point at 72 pixels per inch and
// 100 %), from its top-left corner.
constexpr int kWhiteX = 90, kWhiteY = 10;
constexpr int kBlackX = 20, kBlackY = 30;
constexpr int kRedX = 45, kRedY = 30;
constexpr int kGrayX = 70, kGrayY = 30;       // 0.4 gray: 102
constexpr int kFramedLinkX = 10, kLinkY = 52; // left edge of the link with a border width of 2
constexpr int kPlainLinkX = 50;               // left edge of the link with border width 0
constexpr int kFrameX = 0, kFrameY = 30;      // the page frame's left side

struct ScreenRender : EngineFixture {
    void SetUp() override
    {
        EngineFixture::SetUp();
        Prefer.ZoomMode = zActualSize;
        Prefer.Zoom = 100;
        Prefer.ZoomAuto = false;
        Prefer.AllowScrolling = true;
        Prefer.RenderModeIndex = 0;
        Prefer.RenderGray = false;
        Prefer.blendEnabled = false;
        LoadColorDefaults();
        engine->SetHost(&host);
    }
    void TearDown() override
    {
        LoadColorDefaults();
        EngineFixture::TearDown();
    }

    void openColors()
    {
        ASSERT_TRUE(
            engine->OpenDocument(fixturePath("render/colors.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    }

    // The whole client area painted over a workspace colour.
    QImage paint()
    {
        QImage dest(host.clientWidth, host.clientHeight, QImage::Format_BGR888);
        dest.fill(QColor(1, 2, 3));
        painted =
            engine->RefreshScreen(host.vertPos, host.horzPos, host.clientHeight, host.clientWidth, dest.rect(), dest);
        return dest;
    }
    // A pixel of page cp in the last paint, from the page's top-left corner.
    Rgb Page(const QImage &dest, int x, int y, int cp = 1)
    {
        TPageLayout &view = engine->Layout();
        for (int i = 0; i < view.LayoutCount; ++i) {
            const TLayout &e = view.Layout[size_t(i)];
            if (e.cp == cp)
                return At(dest, e.destLeft - e.srcLeft + x, e.destTop - e.srcTop + y);
        }
        ADD_FAILURE() << "page " << cp << " was not painted";
        return {};
    }

    bool painted = false;
};

// Every render mode on the same page: white, black, pure red, a gray, the framed link's edge
// and the page frame.
TEST_F(ScreenRender, RenderModesTurnThePixelsAsTheModeSays)
{
    openColors();
    struct Case {
        const char *name;
        int mode;
        bool grayShades;
        bool blend;
        int32_t rangeB, rangeW; // 0xRRGGBB
        Rgb white, black, red, gray, link, frame;
    };
    const Case cases[] = {
        {"normal",
         0,
         false,
         false,
         0,
         0,
         {255, 255, 255},
         {0, 0, 0},
         {255, 0, 0},
         {102, 102, 102},
         {0, 0, 255},
         {216, 216, 216}},
        {"invert RGB",
         2,
         false,
         false,
         0,
         0,
         {0, 0, 0},
         {255, 255, 255},
         {0, 255, 255},
         {153, 153, 153},
         {255, 255, 0},
         {96, 96, 96}},
        // The hue of red stays; a gray becomes its target brightness.
        {"invert brightness",
         1,
         false,
         false,
         0,
         0,
         {0, 0, 0},
         {255, 255, 255},
         {255, 100, 100},
         {169, 169, 169},
         {119, 119, 255},
         {96, 96, 96}},
        // Link frames come after the gray pass, in their own colour.
        {"gray shades",
         0,
         true,
         false,
         0,
         0,
         {255, 255, 255},
         {0, 0, 0},
         {54, 54, 54},
         {102, 102, 102},
         {0, 0, 255},
         {216, 216, 216}},
        // Black to B and white to W; where W is below B the division leaves one short.
        {"colour range",
         0,
         false,
         true,
         0x283CC8,
         0xFA1E78,
         {250, 31, 121},
         {40, 60, 200},
         {250, 60, 200},
         {124, 49, 169},
         {40, 60, 121},
         {216, 216, 216}},
        // Gray first: red is gray 54 before the range maps it.
        {"gray, then colour range",
         0,
         true,
         true,
         0x000000,
         0xC86432,
         {200, 100, 50},
         {0, 0, 0},
         {42, 21, 11},
         {80, 40, 20},
         {0, 0, 50},
         {216, 216, 216}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Prefer.RenderModeIndex = c.mode;
        Prefer.RenderGray = c.grayShades;
        Prefer.blendEnabled = c.blend;
        Colors.Pdf[cc_ColorRange].B = RgbColor(uint32_t(c.rangeB));
        Colors.Pdf[cc_ColorRange].W = RgbColor(uint32_t(c.rangeW));
        const QImage dest = paint();
        ASSERT_TRUE(painted);
        EXPECT_EQ(Page(dest, kWhiteX, kWhiteY), c.white);
        EXPECT_EQ(Page(dest, kBlackX, kBlackY), c.black);
        EXPECT_EQ(Page(dest, kRedX, kRedY), c.red);
        EXPECT_EQ(Page(dest, kGrayX, kGrayY), c.gray);
        EXPECT_EQ(Page(dest, kFramedLinkX, kLinkY), c.link);
        EXPECT_EQ(Page(dest, kFrameX, kFrameY), c.frame);
    }
}

// Only a link whose border has a width gets a frame, and only its outline.
TEST_F(ScreenRender, LinkFramesOnlyForLinksWithABorderWidth)
{
    openColors();
    QImage dest = paint();
    EXPECT_EQ(Page(dest, kFramedLinkX, kLinkY), Rgb(0, 0, 255));
    EXPECT_EQ(Page(dest, 39, kLinkY), Rgb(0, 0, 255)) << "right side";
    EXPECT_EQ(Page(dest, 25, 46), Rgb(0, 0, 255)) << "top side";
    EXPECT_EQ(Page(dest, 25, kLinkY), Rgb(255, 255, 255)) << "inside";
    EXPECT_EQ(Page(dest, kPlainLinkX, kLinkY), Rgb(255, 255, 255));
    EXPECT_EQ(Page(dest, 65, 46), Rgb(255, 255, 255));

    engine->FrameLinks = false;
    dest = paint();
    EXPECT_EQ(Page(dest, kFramedLinkX, kLinkY), Rgb(255, 255, 255));
}

// The library's first row is the image's first row: no flip for Qt's top-down images, in
// every format the renderer accepts.
TEST_F(ScreenRender, APageRendersUprightIntoTheImagesOwnRows)
{
    openColors();
    FPDF_DOCUMENT doc = engine->Document(engine->SelDoc()).PDFiumDoc.get();
    for (QImage::Format format : {QImage::Format_BGR888, QImage::Format_RGB32, QImage::Format_RGB888}) {
        SCOPED_TRACE(int(format));
        QImage img(100, 60, format);
        img.fill(Qt::black);
        ASSERT_TRUE(engine->RenderPageBitmap(img, doc, 1, 0, 0, 100, 60, 0, 0));
        EXPECT_EQ(At(img, 0, 0), Rgb(255, 0, 0)) << "the marker at the page's top-left";
        EXPECT_EQ(At(img, 1, 58), Rgb(255, 255, 255));
        EXPECT_EQ(At(img, kBlackX, kBlackY), Rgb(0, 0, 0));
        EXPECT_EQ(img.pixelColor(kWhiteX, kWhiteY).alpha(), 255);
        EXPECT_EQ(img.format(), format == QImage::Format_RGB32 ? format : QImage::Format_BGR888);
    }
    QImage empty;
    EXPECT_FALSE(engine->RenderPageBitmap(empty, doc, 1, 0, 0, 100, 60, 0, 0));
    QImage img(10, 10, QImage::Format_BGR888);
    EXPECT_FALSE(engine->RenderPageBitmap(img, nullptr, 1, 0, 0, 100, 60, 0, 0));
    EXPECT_FALSE(engine->RenderPageBitmap(img, doc, 7, 0, 0, 100, 60, 0, 0)) << "no such page";
}

// Drawing through a painter gives the same pixels at the painter's place.
TEST_F(ScreenRender, RenderingThroughAPainterPlacesThePage)
{
    openColors();
    FPDF_DOCUMENT doc = engine->Document(engine->SelDoc()).PDFiumDoc.get();
    QImage canvas(150, 100, QImage::Format_RGB32);
    canvas.fill(Qt::green);
    {
        QPainter painter(&canvas);
        ASSERT_TRUE(engine->RenderPage(painter, doc, 1, 30, 20, 100, 60, 0, 0));
    }
    EXPECT_EQ(At(canvas, 30, 20), Rgb(255, 0, 0));
    EXPECT_EQ(At(canvas, 30 + kBlackX, 20 + kBlackY), Rgb(0, 0, 0));
    EXPECT_EQ(At(canvas, 29, 20), Rgb(0, 255, 0));
    EXPECT_EQ(At(canvas, 130, 80), Rgb(0, 255, 0));
}

// A paint of part of the client area gives exactly the pixels of a whole paint there, at
// the part's origin, and leaves the rest of the destination alone.
TEST_F(ScreenRender, APartialPaintMatchesTheWholePaint)
{
    Prefer.ZoomMode = zCustom;
    Prefer.Zoom = 250;
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().GOTOPage(3, nullptr);
    host.horzPos = 40;
    const QImage whole = paint();
    ASSERT_TRUE(painted);
    const QRect part(123, 77, 301, 211);
    QImage dest(part.size(), QImage::Format_BGR888);
    dest.fill(QColor(1, 2, 3));
    ASSERT_TRUE(engine->RefreshScreen(host.vertPos, host.horzPos, host.clientHeight, host.clientWidth, part, dest));
    EXPECT_EQ(dest, whole.copy(part));
    // Any other destination format gets the same pixels drawn over it.
    QImage other(part.size(), QImage::Format_RGB32);
    other.fill(QColor(1, 2, 3));
    ASSERT_TRUE(engine->RefreshScreen(host.vertPos, host.horzPos, host.clientHeight, host.clientWidth, part, other));
    EXPECT_EQ(other.convertToFormat(QImage::Format_BGR888), whole.copy(part));
}

TEST_F(ScreenRender, NothingIsPaintedWithoutADocument)
{
    const QImage dest = paint();
    EXPECT_FALSE(painted);
    EXPECT_EQ(At(dest, 5, 5), Rgb(1, 2, 3));
}

// The measuring origin is a cross at the same page point on every page, while the
// coordinate display is shown.
TEST_F(ScreenRender, TheMeasuringOriginIsACrossWhileTheDisplayIsShown)
{
    struct MeasuringHost : DocumentHost {
        bool shown = false;
        int refreshes = 0;
        bool CoordinatesVisible() const override { return shown; }
        QPointF MeasureOrigin() const override { return {60, 10}; }
        void RefreshCoordinates() override { ++refreshes; }
    } measuring;
    engine->SetHost(&measuring);
    host.clientWidth = measuring.clientWidth;
    host.clientHeight = measuring.clientHeight;
    openColors();
    const Rgb origin(255, 0, 255);
    // (60, 10) from the top-left, a pixel lower; arms of 9 pixels at 96 per inch (7 here).
    QImage dest(measuring.clientWidth, measuring.clientHeight, QImage::Format_BGR888);
    auto paintHere = [&] {
        dest.fill(Qt::black);
        engine->RefreshScreen(measuring.vertPos, measuring.horzPos, measuring.clientHeight, measuring.clientWidth,
                              dest.rect(), dest);
    };
    paintHere();
    EXPECT_EQ(Page(dest, 60, 11), Rgb(255, 255, 255));
    EXPECT_EQ(measuring.refreshes, 1);

    measuring.shown = true;
    paintHere();
    EXPECT_EQ(Page(dest, 60, 11), origin);
    EXPECT_EQ(Page(dest, 53, 11), origin);
    EXPECT_EQ(Page(dest, 67, 11), origin);
    EXPECT_EQ(Page(dest, 60, 4), origin);
    EXPECT_EQ(Page(dest, 60, 18), origin);
    EXPECT_EQ(Page(dest, 61, 12), Rgb(255, 255, 255));
    engine->SetHost(&host);
}

// The text selection and the found strings on search.pdf (200 x 200 point pages, "stone" on
// pages 1, 3, 7 and 11): the white behind selected text takes the W colour of its pair.
struct TextOverlays : ScreenRender {
    void SetUp() override
    {
        ScreenRender::SetUp();
        ASSERT_TRUE(
            engine->OpenDocument(fixturePath("pdfium/search.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    }
    static Rgb W(TQPDFColor pair)
    {
        const QColor c = ToQColor(Colors.Pdf[pair].W);
        return {c.red(), c.green(), c.blue()};
    }
    // Pixels of colour c in the last paint inside the client rectangle r.
    static int Count(const QImage &img, const Rgb &c, const QRect &r)
    {
        int n = 0;
        const QRect in = r & img.rect();
        for (int y = in.top(); y <= in.bottom(); ++y)
            for (int x = in.left(); x <= in.right(); ++x)
                n += At(img, x, y) == c ? 1 : 0;
        return n;
    }
    // The client rectangle of characters [a, a + len) of page p.
    QRect Chars(int p, int a, int len)
    {
        engine->Layout().SetSelectedPage(p);
        const TDPLPDFiumDLL &dll = *engine->PDFium();
        FPDF_TEXTPAGE text = engine->Pages().TextPage();
        double l = 1e9, r = -1e9, b = 1e9, t = -1e9;
        for (int k = a; k < a + len; ++k) {
            double cl = 0, cr = 0, cb = 0, ct = 0;
            dll.FPDFText_GetCharBox(text, k, &cl, &cr, &cb, &ct);
            l = std::min(l, cl), r = std::max(r, cr), b = std::min(b, cb), t = std::max(t, ct);
        }
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        engine->Layout().GetScrCoord(p, l, t, x1, y1);
        engine->Layout().GetScrCoord(p, r, b, x2, y2);
        return QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    }
};

TEST_F(TextOverlays, TheSelectionTakesItsColours)
{
    const Rgb selected = W(cc_TextSelect);
    // "stone and stone" on page 3, the second word selected.
    engine->SetSelection(smRange, 3, 10, 3, 15, 0);
    QImage dest = paint();
    const QRect word = Chars(3, 10, 5);
    EXPECT_GT(Count(dest, selected, word), word.width() * word.height() / 4);
    EXPECT_EQ(Count(dest, selected, dest.rect()), Count(dest, selected, word.adjusted(-2, -4, 2, 4)))
        << "nothing else is marked";
    EXPECT_EQ(Count(dest, selected, Chars(3, 0, 5)), 0);

    engine->ResetSelection();
    dest = paint();
    EXPECT_EQ(Count(dest, selected, dest.rect()), 0);
}

// While a list of matches exists the selection is not drawn; the current match has its own
// colour, the others theirs while the marks are on or the find dialog shows.
TEST_F(TextOverlays, FoundStringsAndTheCurrentMatch)
{
    const Rgb selected = W(cc_TextSelect), current = W(cc_FoundString), others = W(cc_FoundStrings);
    ASSERT_NE(current, others);
    ASSERT_TRUE(engine->FindNext(QStringLiteral("stone")));
    ASSERT_EQ(engine->TextSearch().matchInd, 1);
    ASSERT_EQ(engine->SelectMode(), smRange);
    QImage dest = paint();
    const QRect first = Chars(1, 12, 5), second = Chars(3, 0, 5), third = Chars(3, 10, 5);
    EXPECT_EQ(Count(dest, selected, dest.rect()), 0) << "the selected match is not drawn as a selection";
    EXPECT_GT(Count(dest, current, first), 0);
    EXPECT_EQ(Count(dest, others, first), 0);
    EXPECT_GT(Count(dest, others, second), 0);
    EXPECT_GT(Count(dest, others, third), 0);
    EXPECT_EQ(Count(dest, current, second), 0);

    // Marks off: only the current match; the find dialog showing brings the others back.
    engine->SetFoundStringsShown(false);
    dest = paint();
    EXPECT_GT(Count(dest, current, first), 0);
    EXPECT_EQ(Count(dest, others, dest.rect()), 0);
    host.findDialogVisible = true;
    dest = paint();
    EXPECT_GT(Count(dest, others, second), 0);

    // Without a list the match is an ordinary selection again.
    engine->DropMatches();
    dest = paint();
    EXPECT_EQ(Count(dest, current, dest.rect()), 0);
    EXPECT_EQ(Count(dest, others, dest.rect()), 0);
    EXPECT_GT(Count(dest, selected, first), 0);
}

// The pixel arithmetic of the brightness inversion on chosen pixels.
TEST(BrightnessInversion, GraysTakeTheTargetAndColoursKeepTheirHue)
{
    struct Case {
        Rgb in, out;
    };
    const Case cases[] = {
        {{255, 255, 255}, {0, 0, 0}},
        {{0, 0, 0}, {255, 255, 255}},
        {{255, 0, 0}, {255, 100, 100}},
        {{102, 102, 102}, {169, 169, 169}},
        // Within three of each other counts as gray: the plain target of L = 102.
        {{100, 103, 101}, {169, 169, 169}},
        // Dark blue gets lighter, light yellow darker; the hue stays.
        {{0, 0, 128}, {206, 206, 255}},
        {{255, 255, 128}, {53, 53, 0}},
    };
    for (const Case &c : cases) {
        uint8_t r = uint8_t(std::get<0>(c.in)), g = uint8_t(std::get<1>(c.in)), b = uint8_t(std::get<2>(c.in));
        InvertBrightnessPixel(r, g, b);
        EXPECT_EQ(Rgb(r, g, b), c.out) << std::get<0>(c.in) << "," << std::get<1>(c.in) << "," << std::get<2>(c.in);
    }
}

// ---- The fading of the forward-search mark -----------------------------------------------

// A timer the test fires by hand.
struct ManualTimer : TFadeTimer {
    struct State {
        std::deque<int> started; // delays of every start, in order
        std::function<void()> pending;
    };
    std::shared_ptr<State> state = std::make_shared<State>();
    void Start(int ms, std::function<void()> fired) override
    {
        state->started.push_back(ms);
        state->pending = std::move(fired);
    }
    void Stop() override { state->pending = nullptr; }
};

struct MarkFading : ScreenRender {
    std::shared_ptr<ManualTimer::State> timer;
    struct FadeHost : DocumentHost {
        QList<QRect> invalidated;
        void InvalidateRect(const QRect &rect) override { invalidated << rect; }
    } fadeHost;

    void SetUp() override
    {
        ScreenRender::SetUp();
        App.AppRunning = true; // SyncTeX data loads on the main thread only while the loop runs
        auto manual = std::make_unique<ManualTimer>();
        timer = manual->state;
        engine->SetFadeTimer(std::move(manual));
        fadeHost.clientHeight = 300;
        engine->SetHost(&fadeHost);
    }
    void TearDown() override
    {
        engine->SetHost(&host);
        App.AppRunning = false;
        ScreenRender::TearDown();
    }
    void mark(int line)
    {
        ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, fixturePath("multi/chapters/stone.tex"),
                                         line, TDestType::ForwardSearch));
        ASSERT_EQ(engine->ForwardMark().FSelBoxPage, 3);
    }
    void paintView()
    {
        QImage dest(fadeHost.clientWidth, fadeHost.clientHeight, QImage::Format_BGR888);
        engine->RefreshScreen(fadeHost.vertPos, fadeHost.horzPos, fadeHost.clientHeight, fadeHost.clientWidth,
                              dest.rect(), dest);
    }
    void fire()
    {
        ASSERT_TRUE(timer->pending) << "no step pending";
        auto step = std::move(timer->pending);
        step();
    }
    QRect selBoxRect() const
    {
        const TRect &r = engine->ForwardMark().FSelBoxRect;
        return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
};

// Full strength for 1388 ms, half strength for 1234 ms, then gone; each step repaints the
// mark's area.
TEST_F(MarkFading, FullThenHalfThenGone)
{
    mark(9);
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 100);
    paintView();
    const QRect area = selBoxRect();
    ASSERT_FALSE(area.isEmpty());
    EXPECT_TRUE(QRect(0, 0, fadeHost.clientWidth, fadeHost.clientHeight).intersects(area));

    engine->Animate();
    EXPECT_FALSE(engine->AnimatePending());
    EXPECT_EQ(timer->started, std::deque<int>{1388});
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 100);
    fire();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 50);
    EXPECT_EQ(timer->started, (std::deque<int>{1388, 1234}));
    EXPECT_EQ(fadeHost.invalidated, QList<QRect>{area});
    fire();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 0);
    EXPECT_FALSE(timer->pending);
    EXPECT_EQ(fadeHost.invalidated, (QList<QRect>{area, area}));
}

// A mark placed while an earlier one fades shows at full strength for its whole first step:
// the old fade's pending step is gone with it.
TEST_F(MarkFading, ANewMarkDuringAFadeStartsAtFullStrength)
{
    mark(9);
    paintView();
    engine->Animate();
    fire();
    ASSERT_EQ(engine->ForwardMark().FSelBoxFactor, 50);
    ASSERT_TRUE(timer->pending);

    mark(17);
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 100);
    EXPECT_FALSE(timer->pending) << "the old fade's half step is cancelled";
    paintView();
    engine->Animate();
    EXPECT_EQ(timer->started.back(), 1388);
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 100);
    fire();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 50);
    fire();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 0);
}

// A mark that no paint has put on screen does not fade: it is gone at once.
TEST_F(MarkFading, AMarkNotOnScreenGoesAtOnce)
{
    mark(9);
    engine->Animate();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 0);
    EXPECT_TRUE(timer->started.empty());
    EXPECT_TRUE(fadeHost.invalidated.isEmpty());
}

// A reload or another document ends the mark and its fading; showing the same document
// again after a batch of opens keeps it.
TEST_F(MarkFading, AReloadOrAnotherDocumentEndsTheMark)
{
    const QString multi = fixturePath("multi/multi.pdf");
    mark(9);
    paintView();
    engine->Animate();
    ASSERT_TRUE(timer->pending);
    ASSERT_TRUE(engine->OpenDocument(multi, true, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 0);
    EXPECT_FALSE(timer->pending);

    mark(9);
    paintView();
    engine->Animate();
    engine->SetQuickOpen(true);
    engine->SetQuickOpen(false);
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 100);
    EXPECT_TRUE(timer->pending);
    openColors();
    EXPECT_EQ(engine->ForwardMark().FSelBoxFactor, 0);
    EXPECT_FALSE(timer->pending);
}

// The mark maps the pixels of its boxes with the forward-search colours, faded with its
// strength: white turns into W (and black into B); nothing outside its area changes.
TEST_F(MarkFading, TheMarkTintsItsBoxesWithTheFadedColours)
{
    mark(9);
    const int32_t B = RgbColor(0x102030), W = RgbColor(0xF08650);
    Colors.Pdf[cc_ForwardSearch].B = B;
    Colors.Pdf[cc_ForwardSearch].W = W;
    QImage plain(fadeHost.clientWidth, fadeHost.clientHeight, QImage::Format_BGR888);
    QImage marked = plain;
    struct Step {
        int factor;
        Rgb toB, toW;
    };
    // B fades towards black, W towards white.
    const Step steps[] = {{100, {16, 32, 48}, {240, 134, 80}}, {50, {8, 16, 24}, {247, 194, 167}}};
    for (const auto &[factor, toB, toW] : steps) {
        SCOPED_TRACE(factor);
        engine->ForwardMark().FSelBoxFactor = 0;
        engine->RefreshScreen(fadeHost.vertPos, fadeHost.horzPos, fadeHost.clientHeight, fadeHost.clientWidth,
                              plain.rect(), plain);
        engine->ForwardMark().FSelBoxFactor = factor;
        engine->RefreshScreen(fadeHost.vertPos, fadeHost.horzPos, fadeHost.clientHeight, fadeHost.clientWidth,
                              marked.rect(), marked);
        const QRect area = selBoxRect();
        int whites = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const Rgb before = At(plain, x, y), after = At(marked, x, y);
                if (before == after)
                    continue;
                ASSERT_TRUE(area.contains(x, y)) << x << "," << y;
                if (before == Rgb(255, 255, 255)) {
                    ++whites;
                    ASSERT_EQ(after, toW);
                } else if (before == Rgb(0, 0, 0)) {
                    ASSERT_EQ(after, toB);
                }
            }
        EXPECT_GT(whites, 1000);
    }
}

} // namespace
