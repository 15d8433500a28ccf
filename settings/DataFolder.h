#pragma once
#include <QString>

// Where the data file lives. Steps in order: the folder named in the registry (never on
// Linux), a "Local/PDF" folder beside the program's folder, a "Local" folder inside it
// (portable installs; used only when private to this user), else the per-user
// configuration folder + "/Orvale Team/Orvale 11/PDF".
QString FindDataFolder();

// Applies the -L value (macros already expanded) to App.DataFolder and App.DataFile: an
// absolute path moves folder and name, anything else replaces the name only. Creates the
// data folder (owner only) when it does not exist.
void ApplyDataFileSwitch(const QString &expandedValue);

// Settings come only from a file that no other user can have written: owned by this user,
// closed to others' writes, in a folder (also the one a link leads to) that only this user
// can change. A missing file counts when its folder does; a missing folder will be created
// private.
bool IsPrivateDataFile(const QString &file);

// Can files be created and deleted in the folder? Creates the folder when missing.
bool LocalWriteTest(const QString &folder);
