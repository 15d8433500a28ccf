// FPDFText_*: the text page interface over the cached character stream.
#include <cmath>

#include "cache.h"
#include "textpage.h"

using namespace pdfc;

namespace {

const TextChar *char_at(FPDF_TEXTPAGE tp, int index) {
  if (!tp || index < 0 || size_t(index) >= tp->s->chars.size()) return nullptr;
  return &tp->s->chars[size_t(index)];
}

bool usable_for_rects(const TextChar &ch) {
  return ch.type != CharType::Generated && ch.box.x1 - ch.box.x0 >= 0.01f &&
         ch.box.y1 - ch.box.y0 >= 0.01f;
}

}  // namespace

extern "C" {

FPDF_EXPORT FPDF_TEXTPAGE FPDFText_LoadPage(FPDF_PAGE page) {
  return guarded(FPDF_TEXTPAGE(nullptr), [&]() -> FPDF_TEXTPAGE {
    if (!page) return nullptr;
    PageCache &cache = PageCache::instance();
    const CacheKey key{page->d->serial, page->index, page->d->generation, CacheKind::Text};
    auto stream = std::static_pointer_cast<const CharStream>(cache.find(key));
    if (!stream) {
      stream = build_char_stream(page->page);
      if (!stream) return nullptr;
      cache.insert(key, std::const_pointer_cast<CharStream>(stream), stream->bytes());
    }
    auto *tp = new fpdf_textpage_t__;
    tp->s = std::move(stream);
    return tp;
  });
}

FPDF_EXPORT void FPDFText_ClosePage(FPDF_TEXTPAGE text_page) {
  guarded_void([&] { delete text_page; });
}

FPDF_EXPORT int FPDFText_CountChars(FPDF_TEXTPAGE text_page) {
  return guarded(-1, [&] { return text_page ? int(text_page->s->chars.size()) : -1; });
}

FPDF_EXPORT unsigned int FPDFText_GetUnicode(FPDF_TEXTPAGE text_page, int index) {
  return guarded(0u, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? unsigned(ch->unicode) : 0u;
  });
}

FPDF_EXPORT int FPDFText_IsGenerated(FPDF_TEXTPAGE text_page, int index) {
  return guarded(-1, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? int(ch->type == CharType::Generated) : -1;
  });
}

FPDF_EXPORT int FPDFText_IsHyphen(FPDF_TEXTPAGE text_page, int index) {
  return guarded(-1, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? int(ch->type == CharType::Hyphen) : -1;
  });
}

FPDF_EXPORT int FPDFText_HasUnicodeMapError(FPDF_TEXTPAGE text_page, int index) {
  return guarded(-1, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? int(ch->map_error) : -1;
  });
}

FPDF_EXPORT double FPDFText_GetFontSize(FPDF_TEXTPAGE text_page, int index) {
  return guarded(0.0, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? double(ch->size) : 0.0;
  });
}

FPDF_EXPORT int FPDFText_GetFontWeight(FPDF_TEXTPAGE text_page, int index) {
  return guarded(-1, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? ch->weight : -1;
  });
}

FPDF_EXPORT float FPDFText_GetCharAngle(FPDF_TEXTPAGE text_page, int index) {
  return guarded(-1.f, [&] {
    const TextChar *ch = char_at(text_page, index);
    return ch ? ch->angle : -1.f;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_GetCharBox(FPDF_TEXTPAGE text_page, int index, double *left,
                                          double *right, double *bottom, double *top) {
  return guarded(0, [&] {
    const TextChar *ch = char_at(text_page, index);
    if (!ch || !left || !right || !bottom || !top) return 0;
    *left = ch->box.x0;
    *right = ch->box.x1;
    *bottom = ch->box.y0;
    *top = ch->box.y1;
    return 1;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_GetLooseCharBox(FPDF_TEXTPAGE text_page, int index, FS_RECTF *rect) {
  return guarded(0, [&] {
    const TextChar *ch = char_at(text_page, index);
    if (!ch || !rect) return 0;
    rect->left = ch->loose.x0;
    rect->right = ch->loose.x1;
    rect->bottom = ch->loose.y0;
    rect->top = ch->loose.y1;
    return 1;
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_GetCharOrigin(FPDF_TEXTPAGE text_page, int index, double *x,
                                             double *y) {
  return guarded(0, [&] {
    const TextChar *ch = char_at(text_page, index);
    if (!ch || !x || !y) return 0;
    *x = ch->ox;
    *y = ch->oy;
    return 1;
  });
}

FPDF_EXPORT int FPDFText_GetCharIndexAtPos(FPDF_TEXTPAGE text_page, double x, double y,
                                           double xTolerance, double yTolerance) {
  return guarded(-3, [&] {
    if (!text_page) return -3;
    const auto &chars = text_page->s->chars;
    int best = -1;
    double best_distance = 0;
    const double hx = xTolerance / 2, hy = yTolerance / 2;
    for (size_t i = 0; i < chars.size(); ++i) {
      const fz_rect &b = chars[i].box;
      if (x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1) return int(i);
      if (xTolerance <= 0 && yTolerance <= 0) continue;
      if (x < b.x0 - hx || x > b.x1 + hx || y < b.y0 - hy || y > b.y1 + hy) continue;
      const double d = std::min(std::fabs(x - b.x0), std::fabs(x - b.x1)) +
                       std::min(std::fabs(y - b.y0), std::fabs(y - b.y1));
      if (best < 0 || d < best_distance) {
        best = int(i);
        best_distance = d;
      }
    }
    return best;
  });
}

FPDF_EXPORT int FPDFText_GetText(FPDF_TEXTPAGE text_page, int start_index, int count,
                                 unsigned short *result) {
  return guarded(0, [&] {
    if (!text_page || start_index < 0 || count < 0 || !result) return 0;
    const CharStream &s = *text_page->s;
    const int total = int(s.chars.size());
    if (start_index >= total) return 0;
    count = std::min(count, total - start_index);
    if (count == 0) {
      result[0] = 0;
      return 1;
    }
    // Control characters at either end of the range are left out.
    int first = start_index;
    while (first < total && s.char_to_text[first] < 0) ++first;
    int last = start_index + count - 1;
    while (last >= first && s.char_to_text[last] < 0) --last;
    int n = 0;
    if (first < total && last >= first) {
      const int t0 = s.char_to_text[first], t1 = s.char_to_text[last];
      for (int t = t0; t <= t1 && n < count; ++t) {
        const char32_t u = s.text[t];
        if (u > 0xFFFF) continue;
        result[n++] = (unsigned short)u;
      }
    }
    result[n] = 0;
    return n + 1;
  });
}

FPDF_EXPORT int FPDFText_GetBoundedText(FPDF_TEXTPAGE text_page, double left, double top,
                                        double right, double bottom, unsigned short *buffer,
                                        int buflen) {
  return guarded(0, [&] {
    if (!text_page) return 0;
    const auto &chars = text_page->s->chars;
    const double x0 = std::min(left, right), x1 = std::max(left, right);
    const double y0 = std::min(top, bottom), y1 = std::max(top, bottom);
    std::u16string out;
    bool pending_break = false, pending_space = false, have = false;
    float last_y = 0;
    for (const TextChar &ch : chars) {
      const bool inside = ch.box.x1 > ch.box.x0 && ch.box.y1 > ch.box.y0 &&
                          std::min<double>(ch.box.x1, x1) > std::max<double>(ch.box.x0, x0) &&
                          std::min<double>(ch.box.y1, y1) > std::max<double>(ch.box.y0, y0);
      if (!inside) {
        if (!have) continue;
        if (ch.unicode == ' ')
          pending_space = true;
        else if (ch.type != CharType::Generated && std::fabs(ch.oy - last_y) > 0.01f)
          pending_break = true;
        continue;
      }
      if (have && pending_break && std::fabs(ch.oy - last_y) > 0.01f)
        out += u"\r\n";
      else if (have && pending_space)
        out.push_back(u' ');
      pending_break = pending_space = false;
      const char32_t u = ch.type == CharType::Hyphen ? char32_t('-') : ch.unicode;
      if (u <= 0xFFFF) out.push_back(char16_t(u));
      have = true;
      last_y = ch.oy;
    }
    if (!buffer || buflen <= 0) return int(out.size());
    int n = std::min<int>(int(out.size()), buflen);
    for (int i = 0; i < n; ++i) buffer[i] = out[i];
    if (n < buflen) buffer[n] = 0;
    return n;
  });
}

FPDF_EXPORT int FPDFText_CountRects(FPDF_TEXTPAGE text_page, int start_index, int count) {
  return guarded(0, [&] {
    if (!text_page) return 0;
    if (start_index < 0) return -1;
    text_page->rects.clear();
    const auto &chars = text_page->s->chars;
    const int total = int(chars.size());
    if (count == 0 || start_index >= total) return 0;
    if (count < 0 || count > total - start_index) count = total - start_index;
    fz_rect rect = fz_make_rect(0, 0, 0, 0);
    int segment = -1;
    bool fresh = true;
    for (int i = start_index; i < start_index + count; ++i) {
      const TextChar &ch = chars[i];
      if (!usable_for_rects(ch)) continue;
      if (segment < 0) segment = ch.segment;
      if (segment != ch.segment) {
        text_page->rects.push_back(rect);
        segment = ch.segment;
        fresh = true;
      }
      rect = fresh ? ch.box : fz_union_rect(rect, ch.box);
      fresh = false;
    }
    text_page->rects.push_back(rect);
    return int(text_page->rects.size());
  });
}

FPDF_EXPORT FPDF_BOOL FPDFText_GetRect(FPDF_TEXTPAGE text_page, int rect_index, double *left,
                                       double *top, double *right, double *bottom) {
  return guarded(0, [&] {
    if (!text_page || !left || !top || !right || !bottom) return 0;
    if (rect_index < 0 || size_t(rect_index) >= text_page->rects.size()) {
      *left = *top = *right = *bottom = 0;
      return 0;
    }
    const fz_rect &r = text_page->rects[size_t(rect_index)];
    *left = r.x0;
    *top = r.y1;
    *right = r.x1;
    *bottom = r.y0;
    return 1;
  });
}

FPDF_EXPORT int FPDFText_GetCharIndexFromTextIndex(FPDF_TEXTPAGE text_page, int nTextIndex) {
  return guarded(-1, [&] {
    if (!text_page || nTextIndex < 0 || size_t(nTextIndex) >= text_page->s->text_to_char.size())
      return -1;
    return text_page->s->text_to_char[size_t(nTextIndex)];
  });
}

FPDF_EXPORT int FPDFText_GetTextIndexFromCharIndex(FPDF_TEXTPAGE text_page, int nCharIndex) {
  return guarded(-1, [&] {
    if (!text_page || nCharIndex < 0 || size_t(nCharIndex) >= text_page->s->char_to_text.size())
      return -1;
    return text_page->s->char_to_text[size_t(nCharIndex)];
  });
}

}  // extern "C"
