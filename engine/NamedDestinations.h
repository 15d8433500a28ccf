#pragma once
// The named destinations of a document as text.
#include "engine/DPLPDFiumDLL.h"

#include <QString>

// "Named Destinations: N", an empty line, then a line "Page P <- name" for each destination
// that has a name, P right-aligned to the width of pageCount ("?" when it names no page).
QString ListNamedDestinations(const TDPLPDFiumDLL &dll, FPDF_DOCUMENT doc, int pageCount);
