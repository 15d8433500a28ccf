#pragma once
// Mixing two colours by weights, rounded to the nearest value per channel.
#include <QColor>

inline QColor BlendColors(const QColor &c1, int w1, const QColor &c2, int w2)
{
    const int sum = w1 + w2;
    const auto mix = [&](int a, int b) { return (w1 * a + w2 * b + sum / 2) / sum; };
    return QColor(mix(c1.red(), c2.red()), mix(c1.green(), c2.green()), mix(c1.blue(), c2.blue()));
}

// Luma on the 0..255 scale.
inline int ColorLuma(const QColor &c) { return (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000; }
