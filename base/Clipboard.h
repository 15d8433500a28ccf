#pragma once
#include <QString>

// Clipboard access with retries. Texts are Unicode text (format 13); line ends go out as LF.
constexpr int CfUnicodeText = 13;

bool ClipboardHasData(int format = CfUnicodeText);
// Clears the clipboard; true if text had been available.
bool ClipboardClearData();
// Puts the text; an empty text clears the clipboard and returns false. True if Unicode
// text is available afterwards.
bool ClipboardPutStr(const QString &text);
