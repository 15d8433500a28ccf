#pragma once
// One paint of the page view: each visible page part is rendered by the PDF library into a
// 24-bit bitmap, its pixels are post-processed for the render mode, the overlays are drawn
// and the bitmap is drawn at its place (in place when the destination is 24-bit). The
// destination may have more device pixels than the layout has pixels (its devicePixelRatio):
// the pages are then rendered at the device's resolution, not enlarged.
#include "engine/Layout.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

class TQPDF;
class TViewHost;

class TScreenRender {
public:
    // The render settings are read once, when the paint starts.
    // ratio: device pixels of the destination per layout pixel.
    TScreenRender(TQPDF &engine, TViewHost &host, double ratio = 1);

    // Draws page part e into dest, whose pixel (0, 0) is the client point origin.
    void DrawEntry(const TLayout &e, QImage &dest, const QPoint &origin);

private:
    // The visible part of e's page, white where the page does not load.
    void RenderPart(const TLayout &e);
    void DrawLinkFrames(const TLayout &e);
    void DrawMark(const TLayout &e);
    // The text selection (not while a list of matches is shown) and the found strings.
    void DrawTextSelection(const TLayout &e);
    void DrawFoundStrings(const TLayout &e);
    // The rectangles of count characters from first of e's page mapped to the colour pair.
    void DrawTextRange(const TLayout &e, int first, int count, int32_t B, int32_t W);
    void DrawOrigin(const TLayout &e);
    void DrawPageFrame(const TLayout &e);

    // A page point of e's page in bitmap pixels.
    bool ToDevice(const TLayout &e, double x, double y, int &dx, int &dy) const;
    // The page rectangle (x1, y1) - (x2, y2) in bitmap pixels, sorted; empty when it
    // covers no pixel or does not convert.
    QRect DeviceRect(const TLayout &e, double x1, double y1, double x2, double y2) const;
    // Straight lines pen pixels wide, centred on the line; a frame pen pixels wide inside r.
    void HLine(int x1, int x2, int y, int pen, int32_t color);
    void VLine(int x, int y1, int y2, int pen, int32_t color);
    void Outline(const QRect &r, int pen, int32_t color);
    void Fill(const QRect &r, int32_t color);
    // Pixels scaled from 96 per inch to the screen's density, in device pixels.
    int Scaled(int n) const;
    // Layout pixels to device pixels.
    int Device(int n) const;

    TQPDF &Q;
    TViewHost &Host;
    double Ratio;
    int RenderModeIndex;
    bool RenderGray;
    bool BlendEnabled;
    int Flags;
    int FramePen;
    // The part's bitmap: a view into the destination, or into Pixels (large enough for the
    // largest part so far) when the destination cannot hold it as it is.
    std::vector<uint8_t> Pixels;
    QImage Bmp;
    // The current page's full pixel size at the zoom and rotation, and where the part starts
    // inside it, in device pixels.
    int PageW = 0;
    int PageH = 0;
    int SrcLeft = 0;
    int SrcTop = 0;
    bool PageLoaded = false;
};
