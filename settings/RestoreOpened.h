#pragma once
#include <cstdint>

// When the documents that were open at the end open again at the start. The numbers are those
// of the settings file; another number there restores nothing.
enum class TRestoreOpened : int32_t {
    Never = 0,
    EmptyCommandLine = 1, // only when the command line names no document
    Always = 2,
};
