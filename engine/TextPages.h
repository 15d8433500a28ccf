#pragma once
// The page texts of a document as the library gives them, one entry per page, kept with the
// document so that every later search reads no page again. Entry k of a text is the library's
// character k: whole code points, never surrogate pairs, so that a character index found in
// the text is one the library's calls take. An empty entry is a page not read yet (or one
// without text, which is read again by the next search).
#include <string>
#include <vector>

using TTextPages = std::vector<std::u32string>;

// n empty entries.
inline void InitTextPages(int n, TTextPages &TextPages)
{
    TextPages.clear();
    TextPages.resize(size_t(n > 0 ? n : 0));
}
