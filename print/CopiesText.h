#pragma once
#include <QString>

// The number of copies typed into the copies box: its digits read as one number (other
// characters skipped); an empty text or 0 gives 1, and a number above max gives max.
int CopiesFromText(const QString &text, int max = 999);
