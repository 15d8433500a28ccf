#pragma once
#include <QString>

namespace pl {

// The program's own path with symlinks resolved, read before any application object exists.
QString executablePath();

} // namespace pl
