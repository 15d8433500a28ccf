#include "engine/PixelPasses.h"

#include <algorithm>
#include <cstdlib>

namespace {

int BytesPerPixel(const QImage &img)
{
    switch (img.format()) {
    case QImage::Format_BGR888: return 3;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: return 4;
    default: return 0;
    }
}

// f(B, G, R) for every pixel of rect; the bytes are in memory order B, G, R (, A).
template <class F>
void ForPixels(QImage &img, const QRect &rect, F &&f)
{
    const int bpp = BytesPerPixel(img);
    const QRect r = rect & img.rect();
    if (bpp == 0 || r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint8_t *p = img.scanLine(y) + size_t(r.left()) * bpp;
        for (int x = r.width(); x > 0; --x, p += bpp)
            f(p);
    }
}

constexpr int Channel(int32_t c, int shift) { return (uint32_t(c) >> shift) & 0xFF; }

} // namespace

void GrayShades(QImage &img)
{
    ForPixels(img, img.rect(), [](uint8_t *p) {
        const uint8_t g = uint8_t((212 * p[2] + 701 * p[1] + 87 * p[0] + 500) / 1000);
        p[0] = p[1] = p[2] = g;
    });
}

void InvertRGB(QImage &img)
{
    ForPixels(img, img.rect(), [](uint8_t *p) {
        p[0] = uint8_t(255 - p[0]);
        p[1] = uint8_t(255 - p[1]);
        p[2] = uint8_t(255 - p[2]);
    });
}

void InvertBrightnessPixel(uint8_t &R, uint8_t &G, uint8_t &B)
{
    int r = R, g = G, b = B;
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    const int spread = mx - mn;
    const int L = (2120 * r + 7010 * g + 870 * b) / 10000;
    // The target brightness: 255 for black, 0 for white.
    const int T = 255 - (75 * L + (25 * L * L / 255)) / 100;
    if (spread <= 3) {
        R = G = B = uint8_t(T);
        return;
    }
    // Shift all channels alike as far as none leaves 0 .. 255, which keeps the hue.
    int d = T - L;
    d = d > 0 ? std::min(d, 255 - mx) : std::max(d, -mn);
    r += d;
    g += d;
    b += d;
    const int L1 = L + d;
    if (std::abs(T - L1) > 3) {
        // The rest by blending towards white or black, less for saturated colours.
        if (T > L1) {
            int f = (255 - T) * 1000 / (255 - L1);
            f += (1000 - f) * spread / (spread + 256);
            r = (r * f + 255 * (1000 - f)) / 1000;
            g = (g * f + 255 * (1000 - f)) / 1000;
            b = (b * f + 255 * (1000 - f)) / 1000;
        } else {
            int f = T * 1000 / L1;
            f += (1000 - f) * spread / (spread + 256);
            r = r * f / 1000;
            g = g * f / 1000;
            b = b * f / 1000;
        }
    }
    R = uint8_t(r);
    G = uint8_t(g);
    B = uint8_t(b);
}

void InvertBrightness(QImage &img)
{
    ForPixels(img, img.rect(), [](uint8_t *p) { InvertBrightnessPixel(p[2], p[1], p[0]); });
}

void MapColorRange(QImage &img, const QRect &rect, int32_t B, int32_t W)
{
    // Per channel in memory order: blue, green, red.
    uint8_t lut[3][256];
    const int shifts[3] = {16, 8, 0};
    for (int ch = 0; ch < 3; ++ch) {
        const int b = Channel(B, shifts[ch]), w = Channel(W, shifts[ch]);
        for (int c = 0; c < 256; ++c)
            lut[ch][c] = uint8_t(b + ((w - b) * c + 128) / 255);
    }
    ForPixels(img, rect, [&lut](uint8_t *p) {
        p[0] = lut[0][p[0]];
        p[1] = lut[1][p[1]];
        p[2] = lut[2][p[2]];
    });
}

void FadeColorPair(int32_t &B, int32_t &W, int f)
{
    uint32_t b = 0, w = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        b |= uint32_t(Channel(B, shift) * f / 100) << shift;
        w |= uint32_t((Channel(W, shift) * f + 255 * (100 - f)) / 100) << shift;
    }
    B = int32_t(b);
    W = int32_t(w);
}
