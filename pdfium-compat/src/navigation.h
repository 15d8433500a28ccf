// Destinations and actions shared by the outline and link functions.
#pragma once

#include "handles.h"

namespace pdfc {

// A destination given as an array, name or string, resolved to its array;
// NULL when it names nothing.
pdf_obj *resolve_dest(fz_context *c, fpdf_document_t__ *d, pdf_obj *dest);

// The destination of a GoTo, GoToR or GoToE action.
pdf_obj *action_dest(fz_context *c, fpdf_document_t__ *d, pdf_obj *action);

// The PDFACTION_* type of an action dictionary.
unsigned long action_type(fz_context *c, pdf_obj *action);

}  // namespace pdfc
