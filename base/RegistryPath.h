#pragma once
#include <QString>

// Reads a registry path: optional "%", a root name ("HKEY_CLASSES_ROOT"/"HKCR"/"HKR",
// "HKEY_LOCAL_MACHINE"/"HKLM"/"HKM", "HKEY_CURRENT_USER"/"HKCU", "HKEY_USERS"/"HKU"),
// "\", key path. Components that open as subkeys are entered; the first one that does not
// names a value of the key reached; an empty component or the end after a subkey reads the
// key's default value. Only string values count; anything else gives an empty text.
QString ReadRegistryPath(const QString &path);
