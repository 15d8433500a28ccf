#pragma once
// Passes over the pixels of a rendered page part: the render modes and the colour range
// mapping of the highlights. They work on the rows of 24-bit (B, G, R) and 32-bit (B, G, R, A)
// images in place; other formats are left alone.
#include <QImage>
#include <QRect>

#include <cstdint>

// Every pixel becomes the gray (212 R + 701 G + 87 B + 500) / 1000.
void GrayShades(QImage &img);
// Every channel c becomes 255 - c.
void InvertRGB(QImage &img);
// Light becomes dark and dark light while the hue stays (integer arithmetic throughout).
void InvertBrightness(QImage &img);

// Colours as 0x00BBGGRR (the colour scheme's order).
// Each channel c in rect (clipped to the image) becomes b + ((w - b) c + 128) / 255 with b, w
// that channel of B and W: black turns into B, white into W. The fourth byte of a
// 32-bit image is Qt's alpha and stays as it is.
void MapColorRange(QImage &img, const QRect &rect, int32_t B, int32_t W);
// The pair faded to strength f percent: B towards black, W towards white.
void FadeColorPair(int32_t &B, int32_t &W, int f);

// One pixel of the brightness inversion, for the pass above.
void InvertBrightnessPixel(uint8_t &R, uint8_t &G, uint8_t &B);
