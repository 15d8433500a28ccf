#pragma once

namespace pl {

// What a printer tells about its sheet, in its own pixels: the resolution, the whole paper and
// the non-printable margins at its top-left corner. The drawing origin is the printable corner.
struct PrinterCaps {
    int dpi = 0;        // pixels per inch, used for both axes
    int paperWidth = 0; // the whole sheet
    int paperHeight = 0;
    int offsetX = 0; // non-printable margin at the left
    int offsetY = 0; // and at the top
    bool canLandscape = false;
};

} // namespace pl
