#include "engine/ScreenRender.h"

#include "base/DebugLog.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "engine/PixelPasses.h"
#include "engine/QPDF.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t kFrameLight = 0xD8D8D8; // the page frame in the normal render mode
constexpr int32_t kFrameDark = 0x606060;  // and in the inverted modes
// A link's border width in points to the width of its frame.
constexpr double kLinkPenDivisor = 1.93;

bool IsColor(int32_t c) { return c != clNone; }

// The 24-bit layout the library writes: rows padded to four bytes.
int Stride24(int width) { return (width * 3 + 3) & ~3; }

int32_t ResolvedB(TQPDFColor entry) { return ResolveColor(Colors.Pdf[entry].B); }
int32_t ResolvedW(TQPDFColor entry) { return ResolveColor(Colors.Pdf[entry].W); }

} // namespace

TScreenRender::TScreenRender(TQPDF &engine, TViewHost &host, double ratio)
    : Q(engine), Host(host), Ratio(ratio), RenderModeIndex(Prefer.RenderModeIndex), RenderGray(Prefer.RenderGray),
      BlendEnabled(Prefer.blendEnabled), Flags((engine.RenderAnnot ? FPDF_ANNOT : 0) | FPDF_LCD_TEXT),
      FramePen(std::max(1, int(std::lround(15 * engine.PixelsPerInch() * ratio / 960))))
{}

int TScreenRender::Scaled(int n) const { return int(std::lround(n * Q.PixelsPerInch() * Ratio / 96)); }

int TScreenRender::Device(int n) const { return int(std::lround(n * Ratio)); }

void TScreenRender::DrawEntry(const TLayout &e, QImage &dest, const QPoint &origin)
{
    if (e.width <= 0 || e.height <= 0)
        return;
    // Both edges are rounded to device pixels, so that neighbouring parts meet without a gap.
    const QPoint at(Device(e.destLeft - origin.x()), Device(e.destTop - origin.y()));
    const QSize size(Device(e.destLeft + e.width - origin.x()) - at.x(),
                     Device(e.destTop + e.height - origin.y()) - at.y());
    SrcLeft = Device(e.srcLeft);
    SrcTop = Device(e.srcTop);
    // A 24-bit destination that holds the whole part is drawn in place: no copy afterwards.
    const bool inPlace = dest.format() == QImage::Format_BGR888 && dest.rect().contains(QRect(at, size));
    if (inPlace) {
        Bmp = QImage(dest.scanLine(at.y()) + size_t(at.x()) * 3, size.width(), size.height(), dest.bytesPerLine(),
                     QImage::Format_BGR888);
    } else {
        const int stride = Stride24(size.width());
        const size_t bytes = size_t(stride) * size_t(size.height());
        if (Pixels.size() < bytes)
            Pixels.resize(bytes);
        Bmp = QImage(Pixels.data(), size.width(), size.height(), stride, QImage::Format_BGR888);
    }
    RenderPart(e);
    if (RenderGray)
        GrayShades(Bmp);
    if (Q.FrameLinks)
        DrawLinkFrames(e);
    if (RenderModeIndex == 2)
        InvertRGB(Bmp);
    else if (RenderModeIndex == 1)
        InvertBrightness(Bmp);
    DrawMark(e);
    DrawTextSelection(e);
    DrawFoundStrings(e);
    DrawOrigin(e);
    if (BlendEnabled) {
        const int32_t B = ResolvedB(cc_ColorRange), W = ResolvedW(cc_ColorRange);
        if (IsColor(B) && IsColor(W))
            MapColorRange(Bmp, Bmp.rect(), B, W);
    }
    DrawPageFrame(e);
    if (!inPlace) {
        // In device pixels: the destination's ratio would shrink the bitmap.
        QPainter painter(&dest);
        painter.scale(1 / dest.devicePixelRatio(), 1 / dest.devicePixelRatio());
        painter.drawImage(at, Bmp);
    }
}

void TScreenRender::RenderPart(const TLayout &e)
{
    TPageLayout &view = Q.Layout();
    view.SetSelectedPage(e.cp);
    PageLoaded = Q.Pages().Page() && Q.Pages().PageIndex() == e.cp - 1;
    if (PageLoaded) {
        PageW = view.GetPxl(view.FDocPageWidth, Ratio);
        PageH = view.GetPxl(view.FDocPageHeight, Ratio);
        if (view.FRotate & 1)
            std::swap(PageW, PageH);
        // The library clears the part to white before it renders.
        PageLoaded = Q.RenderPageBitmap(Bmp, Q.Document(Q.SelDoc()).PDFiumDoc.get(), e.cp, -SrcLeft, -SrcTop, PageW,
                                        PageH, view.FRotate, Flags);
    }
    if (!PageLoaded)
        Bmp.fill(Qt::white);
}

bool TScreenRender::ToDevice(const TLayout &e, double x, double y, int &dx, int &dy) const
{
    return PageLoaded
        && Q.Pages().PageToDevice(e.cp - 1, -SrcLeft, -SrcTop, PageW, PageH, Q.Layout().FRotate, x, y, dx, dy);
}

QRect TScreenRender::DeviceRect(const TLayout &e, double x1, double y1, double x2, double y2) const
{
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!ToDevice(e, x1, y1, ax, ay) || !ToDevice(e, x2, y2, bx, by))
        return QRect();
    // Right and bottom are exclusive, as the library's corners are.
    return QRect(QPoint(std::min(ax, bx), std::min(ay, by)), QPoint(std::max(ax, bx) - 1, std::max(ay, by) - 1));
}

void TScreenRender::Fill(const QRect &r, int32_t color)
{
    const QRect c = r & Bmp.rect();
    if (c.isEmpty())
        return;
    const uint8_t px[3] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color)};
    for (int y = c.top(); y <= c.bottom(); ++y) {
        uint8_t *p = Bmp.scanLine(y) + size_t(c.left()) * 3;
        for (int x = c.width(); x > 0; --x, p += 3)
            std::memcpy(p, px, 3);
    }
}

void TScreenRender::HLine(int x1, int x2, int y, int pen, int32_t color)
{
    const int lo = std::min(x1, x2) - pen / 2;
    const int hi = std::max(x1, x2) - pen / 2 + pen;
    Fill(QRect(lo, y - pen / 2, hi - lo, pen), color);
}

void TScreenRender::VLine(int x, int y1, int y2, int pen, int32_t color)
{
    const int lo = std::min(y1, y2) - pen / 2;
    const int hi = std::max(y1, y2) - pen / 2 + pen;
    Fill(QRect(x - pen / 2, lo, pen, hi - lo), color);
}

void TScreenRender::Outline(const QRect &r, int pen, int32_t color)
{
    // Inside the rectangle, so that all four sides show on a part cut at the page's edges.
    const int p = std::min({pen, (r.width() + 1) / 2, (r.height() + 1) / 2});
    Fill(QRect(r.left(), r.top(), r.width(), p), color);
    Fill(QRect(r.left(), r.bottom() - p + 1, r.width(), p), color);
    Fill(QRect(r.left(), r.top(), p, r.height()), color);
    Fill(QRect(r.right() - p + 1, r.top(), p, r.height()), color);
}

void TScreenRender::DrawLinkFrames(const TLayout &e)
{
    if (!PageLoaded)
        return;
    const TDPLPDFiumDLL &dll = *Q.PDFium();
    FPDF_PAGE page = Q.Pages().Page();
    int pos = 0;
    FPDF_LINK link = nullptr;
    while (dll.FPDFLink_Enumerate(page, &pos, &link)) {
        FS_RECTF rect{0, 0, 0, 0};
        if (!dll.FPDFLink_GetAnnotRect(link, &rect))
            continue;
        const QRect r = DeviceRect(e, rect.left, rect.bottom, rect.right, rect.top);
        if (r.isEmpty())
            continue;
        // Only links that ask for a visible border get a frame, in their own colour.
        FPDF_ANNOTATION annot = dll.FPDFLink_GetAnnot(page, link);
        unsigned int R = 0, G = 0, B = 0, A = 0;
        float hr = 0, vr = 0, width = 0;
        if (!annot || !dll.FPDFAnnot_GetColor(annot, FPDFANNOT_COLORTYPE_Color, &R, &G, &B, &A)
            || !dll.FPDFAnnot_GetBorder(annot, &hr, &vr, &width) || width <= 0)
            continue;
        const int pen = std::max(1, Q.Layout().GetPxl(width / kLinkPenDivisor, Ratio));
        Outline(r, pen, int32_t((B & 0xFF) << 16 | (G & 0xFF) << 8 | (R & 0xFF)));
    }
}

void TScreenRender::DrawMark(const TLayout &e)
{
    TForwardMark &mark = Q.ForwardMark();
    if (mark.FSelBoxFactor <= 0 || e.cp != mark.FSelBoxPage || mark.SelBoxRects.empty())
        return;
    int32_t B = ResolvedB(cc_ForwardSearch), W = ResolvedW(cc_ForwardSearch);
    const bool colored = IsColor(B) && IsColor(W);
    FadeColorPair(B, W, mark.FSelBoxFactor);
    for (size_t i = 0; i < mark.SelBoxRects.size(); ++i) {
        const TFloatRect &f = mark.SelBoxRects[i];
        const QRect r = DeviceRect(e, f.Left, f.Top, f.Right, f.Bottom);
        if (r.isEmpty())
            continue;
        if (i == 0) {
            // The mark's whole area, a pixel wider at the top left, in client coordinates.
            const auto client = [this](int device, bool up) {
                return int(up ? std::ceil(device / Ratio) : std::floor(device / Ratio));
            };
            TRect &m = mark.FSelBoxRect;
            m.Left = client(std::max(r.left() - 1, 0), false) + e.destLeft;
            m.Top = client(std::max(std::max(r.top(), 0) - 1, 0), false) + e.destTop;
            m.Right = client(std::min(r.right() + 1, Bmp.width()), true) + e.destLeft;
            m.Bottom = client(std::min(r.bottom() + 1, Bmp.height()), true) + e.destTop;
        } else if (colored) {
            MapColorRange(Bmp, r, B, W);
        }
    }
}

void TScreenRender::DrawTextRange(const TLayout &e, int first, int count, int32_t B, int32_t W)
{
    FPDF_TEXTPAGE text = Q.Pages().TextPage();
    if (!text || !IsColor(B) || !IsColor(W))
        return;
    const int n = Q.PDFium()->FPDFText_CountRects(text, first, count);
    double left = 0, top = 0, right = 0, bottom = 0;
    for (int a = 0; Q.GetSelBox(a, n, left, top, right, bottom);) {
        const QRect r = DeviceRect(e, left, top, right, bottom);
        if (!r.isEmpty())
            MapColorRange(Bmp, r, B, W);
    }
}

void TScreenRender::DrawTextSelection(const TLayout &e)
{
    const TTextSelection &s = Q.Selection();
    const TTextSearch &search = Q.TextSearch();
    if (!PageLoaded || s.SelectMode <= smNone || (search.matchInd >= 0 && search.matchCount > 0))
        return;
    int a = 0, len = -1;
    if (!Q.GetBounds(e.cp, a, len))
        return;
    DrawTextRange(e, a, len, ResolvedB(cc_TextSelect), ResolvedW(cc_TextSelect));
}

void TScreenRender::DrawFoundStrings(const TLayout &e)
{
    const TTextSearch &search = Q.TextSearch();
    if (!PageLoaded || search.matchCount <= 0)
        return;
    const auto end = search.matches.begin() + 1 + search.matchCount;
    auto it =
        std::lower_bound(search.matches.begin() + 1, end, e.cp, [](const TMatch &m, int page) { return m.CP < page; });
    if (it == end || it->CP != e.cp)
        return;
    const bool all = Q.FoundStringsMarked();
    for (; it != end && it->CP == e.cp; ++it) {
        const bool current = int(it - search.matches.begin()) == search.matchInd;
        if (!all && !current)
            continue;
        const TQPDFColor pair = current ? cc_FoundString : cc_FoundStrings;
        DrawTextRange(e, it->CC, it->Len, ResolvedB(pair), ResolvedW(pair));
    }
}

void TScreenRender::DrawOrigin(const TLayout &e)
{
    if (!Host.CoordinatesVisible())
        return;
    const QPointF o = Host.MeasureOrigin();
    int x = 0, y = 0;
    if (o.x() <= 0 || o.y() <= 0 || !ToDevice(e, o.x(), Q.Layout().FDocPageHeight - o.y(), x, y))
        return;
    y += Scaled(1);
    const int arm = Scaled(9);
    const int32_t color = ResolvedB(cc_Origin);
    if (!IsColor(color))
        return;
    HLine(x - arm, x + arm, y, FramePen, color);
    VLine(x, y - arm, y + arm, FramePen, color);
}

void TScreenRender::DrawPageFrame(const TLayout &e)
{
    const TPageLayout &view = Q.Layout();
    const QRect r = DeviceRect(e, 0, view.FDocPageHeight, view.FDocPageWidth, 0);
    if (!r.isEmpty())
        Outline(r, FramePen, RgbColor(RenderModeIndex == 0 ? kFrameLight : kFrameDark));
}

// ---- The engine's side ---------------------------------------------------------------------

bool TQPDF::RefreshScreen(int t, int l, int h, int w, const QRect &rect, QImage &dest)
{
    if (FSelDoc < 0 || !Source.Document())
        return false;
    const TRect R{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    const int n = View.GetLayout(t, l, h, w, R);
    TScreenRender render(*this, Host.View(), dest.devicePixelRatio());
    for (int i = 0; i < n; ++i)
        render.DrawEntry(View.Layout[size_t(i)], dest, rect.topLeft());
    if (!Host.View().PointerBusy())
        Host.View().RefreshCoordinates();
    UpdateStatus();
    return n > 0;
}

bool TQPDF::RenderPageBitmap(QImage &bmp, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height,
                             int rotate, int flags)
{
    if (!doc || bmp.isNull() || QPDFStatus != 1)
        return false;
    const TDPLPDFiumDLL &dll = Library.DLL();
    TPdfPage temp;
    FPDF_PAGE page = nullptr;
    if (doc == Source.Document()) {
        View.SetSelectedPage(cp);
        if (Source.PageIndex() == cp - 1)
            page = Source.Page();
    } else if (cp >= 1) {
        temp = AdoptPdf<TPdfPage>(dll, dll.FPDF_LoadPage(doc, cp - 1));
        page = temp.get();
    }
    if (!page)
        return false;
    int format = FPDFBitmap_BGR;
    switch (bmp.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: format = FPDFBitmap_BGRA; break;
    case QImage::Format_BGR888: break;
    default: bmp = bmp.convertToFormat(QImage::Format_BGR888); break;
    }
    // The library writes straight into the image's rows, which Qt keeps top-down as the
    // library does: the page stands upright without a flip.
    TPdfBitmap bitmap = AdoptPdf<TPdfBitmap>(
        dll, dll.FPDFBitmap_CreateEx(bmp.width(), bmp.height(), format, bmp.bits(), int(bmp.bytesPerLine())));
    if (bitmap) {
        // Opaque white: the fourth byte of a 32-bit image is Qt's alpha.
        dll.FPDFBitmap_FillRect(bitmap.get(), 0, 0, bmp.width(), bmp.height(), 0xFFFFFFFF);
        // Flattening changes the document in memory; a shown document would lose its links
        // and save flattened. Printing renders from a copy of its own.
        if ((flags & FPDF_PRINTING) && IsShownDocument(doc))
            DebugLog(QStringLiteral("RenderPageBitmap: a shown document is not flattened"));
        else if (flags & FPDF_PRINTING)
            dll.FPDFPage_Flatten(page, 1);
        dll.FPDF_RenderPageBitmap(bitmap.get(), page, left, top, width, height, rotate, flags);
    } else {
        bmp.fill(Qt::white);
    }
    dll.FPDF_RenderPage_Close(page);
    return true;
}

bool TQPDF::IsShownDocument(FPDF_DOCUMENT doc) const
{
    for (int i = 0; i < Docs.nDocuments; ++i)
        if (Docs.Documents[size_t(i)].PDFiumDoc.get() == doc)
            return true;
    return false;
}

bool TQPDF::RenderPage(QPainter &dc, FPDF_DOCUMENT doc, int cp, int left, int top, int width, int height, int rotate,
                       int flags)
{
    if (!doc || !dc.isActive())
        return false;
    QRect area = QRect(left, top, width, height).normalized();
    // Without a transformation only what lands on the device is rendered.
    if (dc.worldTransform().isIdentity())
        area &= QRect(0, 0, dc.device()->width(), dc.device()->height());
    if (area.isEmpty())
        return true;
    QImage img(area.size(), QImage::Format_BGR888);
    if (!RenderPageBitmap(img, doc, cp, left - area.left(), top - area.top(), width, height, rotate, flags))
        return false;
    dc.drawImage(area.topLeft(), img);
    return true;
}
