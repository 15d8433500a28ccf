#pragma once
#include <cstdint>

// What a navigation request names: a forward search (a source file and its line), a page
// index, a page label, or a named destination of the document.
enum class TDestType : int32_t { ForwardSearch = 0, PageIndex = 1, PageLabel = 2, NamedDest = 3 };
