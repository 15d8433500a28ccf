#pragma once
#include "platform/PrinterCaps.h"

#include <QSizeF>
#include <QString>

// How pages are scaled onto the paper; the numbers are the stored setting's values.
enum class TPrintZoomMode { ActualSize = 0, FitPages = 1, ShrinkOversized = 2, CustomScale = 3 };

// The settings that place a page on the sheet, as the dialog stores them and the job reads them.
struct TSheetSettings {
    TPrintZoomMode zoomMode = TPrintZoomMode::ShrinkOversized;
    QString customZoom = QStringLiteral("100"); // percent, 1 to 1000
    bool center = true;
    bool marginOffset = false;
};

// One page placed on the sheet, in printer pixels.
struct TSheetLayout {
    bool scaleValid = true; // false: the custom scale is no number from 1 to 1000, scale is 1
    double scale = 1;
    int pageWidth = 0; // the page at that scale
    int pageHeight = 0;
    int marginX = 0; // the page's corner from the paper's corner
    int marginY = 0;
    double pdpi = 0; // the resolution the page is rendered at
    int xOffset = 0; // the page's corner from the printable corner
    int yOffset = 0;
};

// Scale and place a page of pageSize points (already turned as it will print).
TSheetLayout LayoutSheet(const pl::PrinterCaps &caps, QSizeF pageSize, const TSheetSettings &settings);

// Whether a page of pageSize points sits better on the paper turned the other way.
bool ShouldSwitchOrientation(const pl::PrinterCaps &caps, QSizeF pageSize);

struct TSheetLabels {
    QString dpi, offset, paper, page, zoom;
};
TSheetLabels SheetLabels(const pl::PrinterCaps &caps, const TSheetLayout &layout);

// The messages of an invalid custom scale.
QString ZoomErrorCaption();
QString ZoomErrorText();
