#pragma once
// Which of a few known colours fills a grab of the screen.
#include <QImage>

#include <cstdlib>
#include <vector>

// The index in colors of the colour that fills image (within 2 per channel), -1 when the image
// is not of one colour or of none of them.
inline int FillColorIndex(const QImage &image, const std::vector<QRgb> &colors)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return -1;
    const QRgb c = image.pixel(0, 0);
    for (size_t i = 0; i < colors.size(); ++i)
        if (std::abs(qRed(c) - qRed(colors[i])) < 3 && std::abs(qGreen(c) - qGreen(colors[i])) < 3
            && std::abs(qBlue(c) - qBlue(colors[i])) < 3)
            return int(i);
    return -1;
}
