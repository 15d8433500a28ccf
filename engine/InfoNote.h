#pragma once
// What the engine's notes in the information window share.
#include <QString>

// A note stays 555 ms for the action that caused it to finish, then the usual 2222 ms.
constexpr int kInfoNoteMs = 555 + 2222;

// A name or text as a note quotes it.
inline QString Quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }
