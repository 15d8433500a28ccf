#pragma once
// Editors ship presets for other viewers; a user who switches to this one should only have to
// change the program name. The other viewers' forward-search forms are read as this program's
// own items before anything else looks at them (a second start hands over the translation):
//   --synctex-forward LINE:COLUMN:SOURCE PDF, also --synctex-forward=LINE:COLUMN:SOURCE, with
//   -x TEMPLATE or --synctex-editor-command[=]TEMPLATE for the inverse search;
//   --unique [file:]PDF#src:LINESOURCE (the line's digits, then at once the source);
//   --unique PDF#src:SOURCE:LINE:COLUMN (told apart by the trailing :LINE:COLUMN, since a
//   source name may start with a digit).
// In templates %{input} and %{line} become %f and %l. Everything else stays as it is, so an
// unknown option still meets the usual refusal.
#include <QStringList>

QStringList TranslatePeerItems(const QStringList &items);
