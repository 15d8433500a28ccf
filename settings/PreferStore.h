#pragma once
#include <functional>

class TDataFile;
class QString;

// Reads the settings at start-up: defaults first, then the data file, or its backup when the
// file is damaged (the user is told once), or the defaults. A data file that other users can
// change is not read (the user is told). Always ends with usable settings and never writes
// anything.
bool ReadData();

// Saves the settings: rotates the backups (".bak" at most once a day, ".bkp" keeps the one
// before), then replaces the data file so that an interrupted save leaves the old one intact.
// Writes nothing where other users can change the file.
bool WriteData();

// What the store needs from the windows and the engine before a save; unset hooks do nothing.
struct TPreferStoreHooks {
    std::function<void()> updateDocList;        // open documents into the recent list
    std::function<void()> storeWindowPlacement; // main window size and state into the settings
    std::function<void()> resolveAdobe;         // AdobeExe and AdobeOK from AdobeReg after a read
};
extern TPreferStoreHooks PreferStoreHooks;

// A data file worth reading: a regular file of 111 to 999,999 bytes that decodes, starts with
// a known layout version and, unless checks are off or the layout predates them, carries a
// valid trailer. On success df holds it, positioned at the start.
bool CheckCandidate(const QString &name, TDataFile &df);
