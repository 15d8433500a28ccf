// FPDFText_Find*: word-wise search over the text page's text, where the
// words of the pattern may be separated by any run of white space.
#include <algorithm>
#include <optional>

#include "textpage.h"

using namespace pdfc;

struct fpdf_schhandle_t__ {
  std::shared_ptr<const CharStream> s;
  std::u32string text;                // folded unless case matters
  std::vector<std::u32string> words;  // the pattern, split
  bool whole_word = false, consecutive = false;
  long next_start = 0, prev_start = -1;  // text indices
  int result_char = 0, result_count = 0;
};

namespace {

// Scripts written without spaces between words: each such character is a
// word of its own.
bool stands_alone(char32_t c) {
  if (c < 255 || (c >= 0x600 && c <= 0x6FF) || (c >= 0xFE70 && c <= 0xFEFF) ||
      (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0x400 && c <= 0x52F) || (c >= 0xA640 && c <= 0xA69F) ||
      (c >= 0x2DE0 && c <= 0x2DFF) || c == 8467 || (c >= 0x2000 && c <= 0x206F))
    return false;
  return true;
}

bool is_gap(char32_t c) { return c == ' ' || c == '\r' || c == '\n' || c == 0xA0; }

bool is_word_char(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::u32string> split_pattern(const std::u32string &p) {
  std::vector<std::u32string> words;
  std::u32string cur;
  auto flush = [&] {
    if (!cur.empty()) words.push_back(cur);
    cur.clear();
  };
  for (char32_t c : p) {
    if (c == ' ') {
      flush();
    } else if (stands_alone(c)) {
      flush();
      words.push_back(std::u32string(1, c));
    } else {
      cur.push_back(c);
    }
  }
  flush();
  return words;
}

// A match starting at text index `at`: its last text index, if any.
std::optional<long> match_at(const fpdf_schhandle_t__ &h, long at) {
  const std::u32string &t = h.text;
  long pos = at;
  for (size_t w = 0; w < h.words.size(); ++w) {
    const std::u32string &word = h.words[w];
    if (w > 0) {
      long gap_end = pos;
      while (gap_end < long(t.size()) && is_gap(t[gap_end])) ++gap_end;
      const bool joined = stands_alone(h.words[w - 1].back()) || stands_alone(word.front());
      if (gap_end == pos && !joined) return std::nullopt;
      pos = gap_end;
    }
    if (t.compare(size_t(pos), word.size(), word) != 0) return std::nullopt;
    pos += long(word.size());
  }
  const long end = pos - 1;
  if (h.whole_word) {
    if (at > 0 && is_word_char(t[at - 1])) return std::nullopt;
    if (pos < long(t.size()) && is_word_char(t[pos])) return std::nullopt;
  }
  return end;
}

// Callers count characters, the search counts text units, which leave control characters
// out: a character outside the text starts a search at the next unit, or ends a backward
// one at the unit before it.
long text_index_from(const CharStream &s, int char_index) {
  for (size_t i = size_t(char_index); i < s.char_to_text.size(); ++i)
    if (s.char_to_text[i] >= 0) return s.char_to_text[i];
  return long(s.text.size());
}

long text_index_until(const CharStream &s, int char_index) {
  for (long i = std::min(long(char_index), long(s.char_to_text.size()) - 1); i >= 0; --i)
    if (s.char_to_text[size_t(i)] >= 0) return s.char_to_text[size_t(i)];
  return -1;
}

void set_result(fpdf_schhandle_t__ &h, long start, long end) {
  const int c0 = h.s->text_to_char[size_t(start)], c1 = h.s->text_to_char[size_t(end)];
  h.result_char = c0;
  h.result_count = c1 - c0 + 1;
  h.next_start = h.consecutive ? start + 1 : end + 1;
  h.prev_start = h.consecutive ? end - 1 : start - 1;
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_SCHHANDLE FPDFText_FindStart(FPDF_TEXTPAGE text_page, FPDF_WIDESTRING findwhat,
                                              unsigned long flags, int start_index) {
  return guarded(FPDF_SCHHANDLE(nullptr), [&]() -> FPDF_SCHHANDLE {
    if (!text_page) return nullptr;
    auto *h = new fpdf_schhandle_t__;
    h->s = text_page->s;
    const bool match_case = flags & FPDF_MATCHCASE;
    h->whole_word = flags & FPDF_MATCHWHOLEWORD;
    h->consecutive = flags & FPDF_CONSECUTIVE;
    h->text = h->s->text;
    std::u32string pattern = utf16_to_utf32(widestring(findwhat));
    if (!match_case) {
      for (char32_t &c : h->text) c = fold_case(c);
      for (char32_t &c : pattern) c = fold_case(c);
    }
    h->words = split_pattern(pattern);
    const long len = long(h->text.size());
    h->next_start = start_index >= 0 ? text_index_from(*h->s, start_index) : 0;
    h->prev_start = start_index >= 0 ? text_index_until(*h->s, start_index) : len - 1;
    return h;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_FindNext(FPDF_SCHHANDLE handle) {
  return guarded(0, [&] {
    if (!handle || handle->words.empty()) return 0;
    for (long at = std::max(0L, handle->next_start); at < long(handle->text.size()); ++at) {
      if (auto end = match_at(*handle, at)) {
        set_result(*handle, at, *end);
        return 1;
      }
    }
    return 0;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_FindPrev(FPDF_SCHHANDLE handle) {
  return guarded(0, [&] {
    if (!handle || handle->words.empty() || handle->prev_start < 0) return 0;
    long found_start = -1, found_end = -1;
    for (long at = 0; at <= handle->prev_start && at < long(handle->text.size()); ++at) {
      if (auto end = match_at(*handle, at)) {
        if (*end > handle->prev_start) continue;
        found_start = at;
        found_end = *end;
      }
    }
    if (found_start < 0) return 0;
    set_result(*handle, found_start, found_end);
    return 1;
  });
}

FPDF_EXPORT int FPDFText_GetSchResultIndex(FPDF_SCHHANDLE handle) {
  return guarded(0, [&] { return handle ? handle->result_char : 0; });
}

FPDF_EXPORT int FPDFText_GetSchCount(FPDF_SCHHANDLE handle) {
  return guarded(0, [&] { return handle ? handle->result_count : 0; });
}

FPDF_EXPORT void FPDFText_FindClose(FPDF_SCHHANDLE handle) {
  guarded_void([&] { delete handle; });
}

}  // extern "C"
