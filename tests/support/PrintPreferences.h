#pragma once
// The print settings the print window tests start from: actual size (100 %), centred, without
// the printer's offset, each page turned to fit the paper.
#include "settings/Prefer.h"

inline void SetActualSizePrinting()
{
    Prefer.PrintZoomMode = 2;
    Prefer.PrintZoom = QStringLiteral("100");
    Prefer.PrintCenter = true;
    Prefer.PrintOffset = false;
    Prefer.PrintAutoOrient = true;
}
