#include "base/AppState.h"

TAppState App;
std::atomic<int32_t> SyncTeXThreadCount{0};
