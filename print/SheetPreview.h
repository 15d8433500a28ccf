#pragma once
#include "print/SheetLayout.h"

#include <QColor>
#include <QImage>
#include <functional>

// Draws the page into image with its top-left corner at the given pixel, at the given resolution.
using TPreviewRender = std::function<void(QImage &image, QPoint corner, double dpi)>;

struct TPreviewStyle {
    QSize area;        // the room for the picture
    QColor background; // the dialog's, beside an overflow
    int penWidth = 1;  // of the frames
};

// The paper with the page placed on it, scaled into the room: the non-printable margins tinted
// blue, what overflows the paper tinted yellow, a red frame round the page and a black one round
// the paper. 24 bits per pixel.
QImage DrawSheetPreview(const pl::PrinterCaps &caps, const TSheetLayout &layout, const TPreviewStyle &style,
                        const TPreviewRender &render);

// Mixes tint into the light pixels of rect: white keeps 192/255 of itself, black stays black.
void TintRect(QImage &image, const QRect &rect, QColor tint);
