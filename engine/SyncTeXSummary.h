#pragma once
// The SyncTeX part of the document properties report.
#include <QString>

class TSyncTeX;

// For the SyncTeX file beside pdfFile: its state in sync ("Loaded", "Loading", "Pending",
// "not Loaded"), " (old!)" when it is older than the PDF file, else " (OK)", then on lines of
// their own the size of the data, the size of a compressed file and the file's creation and
// modification times. "No SyncTeX Data" when there is no such file. sync may be null.
QString SyncTeXSummary(const QString &pdfFile, const TSyncTeX *sync);
