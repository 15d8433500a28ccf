// Building a text page: a device collects every glyph the page content
// shows (invisible text included), then the glyphs are assembled into
// PDFium's character stream with generated spaces, line breaks and hyphens.
#include "textpage.h"

#include <cmath>
#include <cstring>

namespace pdfc {
namespace {

struct Glyph {
  char32_t ucs;
  bool map_error;
  bool piece;       // part of a glyph that maps to several characters
  float ox, oy;     // origin, user space
  float dx, dy;     // unit baseline direction
  float adv;        // advance along the baseline, user space
  float adv_em;     // advance in 1/1000 em
  float size;       // font size of the text object (text space)
  float size_user;  // em size in user space
  float angle;
  fz_rect tight, loose;
  int span;
  int font;  // index into CollectState::fonts
};

struct CollectState {
  std::vector<Glyph> glyphs;
  std::vector<std::string> fonts;  // font names, for the weight lookup
  fz_font *last_font = nullptr;
  int last_font_index = -1;
  const fz_text *last_text = nullptr;  // kept, so its address cannot recur
  int spans = 0;
  bool failed = false;
};

struct Collector {
  fz_device super;
  CollectState *st;
};

int font_index(fz_context *c, CollectState *st, fz_font *font) {
  if (font == st->last_font) return st->last_font_index;
  const char *name = fz_font_name(c, font);
  int index = -1;
  try {
    std::string n = name ? name : "";
    for (size_t i = 0; i < st->fonts.size() && index < 0; ++i)
      if (st->fonts[i] == n) index = int(i);
    if (index < 0) {
      st->fonts.push_back(n);
      index = int(st->fonts.size()) - 1;
    }
  } catch (...) {
    st->failed = true;
  }
  st->last_font = font;
  st->last_font_index = index;
  return index;
}

fz_rect rect_in(fz_rect r, fz_matrix m) { return fz_transform_rect(r, m); }

// Fake bold: the same character of the same font printed again within a
// small distance of one of the last few characters.
bool overprinted(const CollectState *st, const Glyph &g) {
  const size_t n = st->glyphs.size();
  for (size_t i = n > 7 ? n - 7 : 0; i < n; ++i) {
    const Glyph &o = st->glyphs[i];
    if (o.ucs == g.ucs && o.font == g.font && !o.piece &&
        std::fabs(o.ox - g.ox) < 0.07f * g.size_user &&
        std::fabs(o.oy - g.oy) < 0.07f * g.size_user)
      return true;
  }
  return false;
}

void push(CollectState *st, const Glyph &g) {
  try {
    st->glyphs.push_back(g);
  } catch (...) {
    st->failed = true;
  }
}

void collect(fz_context *c, fz_device *dev, const fz_text *text, fz_matrix ctm) {
  CollectState *st = reinterpret_cast<Collector *>(dev)->st;
  if (st->failed || text == st->last_text) return;
  fz_drop_text(c, st->last_text);
  st->last_text = fz_keep_text(c, text);
  for (const fz_text_span *span = text->head; span; span = span->next) {
    const int span_id = st->spans++;
    const float size = std::sqrt(span->trm.c * span->trm.c + span->trm.d * span->trm.d);
    const fz_rect fbbox = fz_font_bbox(c, span->font);
    const int font = font_index(c, st, span->font);
    for (int i = 0; i < span->len; ++i) {
      const fz_text_item &it = span->items[i];
      if (it.gid < 0) {
        // A further character of a glyph that maps to several characters.
        if (st->glyphs.empty() || it.ucs < 0) continue;
        st->glyphs.back().piece = true;
        Glyph g = st->glyphs.back();
        g.ucs = char32_t(it.ucs);
        g.map_error = it.ucs == 0xFFFD;
        push(st, g);
        continue;
      }
      if (it.ucs < 0) continue;  // a character drawn with several glyphs
      fz_matrix trm = span->trm;
      trm.e = it.x;
      trm.f = it.y;
      const fz_matrix m = fz_concat(trm, ctm);
      Glyph g{};
      g.ucs = char32_t(it.ucs);
      g.map_error = it.ucs == 0xFFFD;
      g.ox = m.e;
      g.oy = m.f;
      const float xlen = std::sqrt(m.a * m.a + m.b * m.b);
      g.dx = xlen > 0 ? m.a / xlen : 1;
      g.dy = xlen > 0 ? m.b / xlen : 0;
      const float adv = fz_advance_glyph(c, span->font, it.gid, span->wmode);
      g.adv_em = adv * 1000;
      g.adv = adv * xlen;
      g.size = size;
      g.size_user = std::sqrt(m.c * m.c + m.d * m.d);
      g.angle = std::atan2(m.c, m.a);
      if (g.angle < 0) g.angle += float(2 * M_PI);
      g.span = span_id;
      g.font = font;
      fz_rect tight = fz_bound_glyph(c, span->font, it.gid, m);
      if (fz_is_empty_rect(tight)) tight = rect_in(fz_make_rect(0, 0, adv, 0.001f), m);
      g.tight = tight;
      fz_rect loose = tight;
      if (fbbox.y1 > fbbox.y0)
        loose = fz_union_rect(rect_in(fz_make_rect(0, fbbox.y0, adv, fbbox.y1), m), tight);
      g.loose = loose;
      if (!overprinted(st, g)) push(st, g);
    }
  }
}

void fill_text(fz_context *c, fz_device *d, const fz_text *t, fz_matrix ctm, fz_colorspace *,
               const float *, float, fz_color_params) {
  collect(c, d, t, ctm);
}
void stroke_text(fz_context *c, fz_device *d, const fz_text *t, const fz_stroke_state *,
                 fz_matrix ctm, fz_colorspace *, const float *, float, fz_color_params) {
  collect(c, d, t, ctm);
}
void clip_text(fz_context *c, fz_device *d, const fz_text *t, fz_matrix ctm, fz_rect) {
  collect(c, d, t, ctm);
}
void clip_stroke_text(fz_context *c, fz_device *d, const fz_text *t, const fz_stroke_state *,
                      fz_matrix ctm, fz_rect) {
  collect(c, d, t, ctm);
}
void ignore_text(fz_context *c, fz_device *d, const fz_text *t, fz_matrix ctm) {
  collect(c, d, t, ctm);
}
void drop_collector(fz_context *c, fz_device *d) {
  CollectState *st = reinterpret_cast<Collector *>(d)->st;
  fz_drop_text(c, st->last_text);
  st->last_text = nullptr;
}

// Runs the page content (not its annotations) in user space.
void collect_glyphs(fz_context *c, pdf_page *page, CollectState *st) {
  fz_context *ctx = c;  // fz_new_derived_device expects this name
  fz_matrix page_ctm;
  pdf_page_transform(c, page, nullptr, &page_ctm);
  Collector *dev = fz_new_derived_device(ctx, Collector);
  dev->st = st;
  dev->super.fill_text = fill_text;
  dev->super.stroke_text = stroke_text;
  dev->super.clip_text = clip_text;
  dev->super.clip_stroke_text = clip_stroke_text;
  dev->super.ignore_text = ignore_text;
  dev->super.drop_device = drop_collector;
  fz_try(c) {
    pdf_run_page_contents(c, page, &dev->super, fz_invert_matrix(page_ctm), nullptr);
    fz_close_device(c, &dev->super);
  }
  fz_always(c) { fz_drop_device(c, &dev->super); }
  fz_catch(c) { fz_rethrow(c); }
}

std::string strip_subset_prefix(const char *name) {
  if (std::strlen(name) > 7 && name[6] == '+') return std::string(name + 7);
  return std::string(name);
}

// /FontWeight of the font descriptor, else an estimate from /StemV.
int weight_of(fz_context *c, pdf_obj *fontdict) {
  pdf_obj *desc = pdf_dict_get(c, fontdict, PDF_NAME(FontDescriptor));
  if (!desc) {
    pdf_obj *descendants = pdf_dict_get(c, fontdict, PDF_NAME(DescendantFonts));
    desc = pdf_dict_get(c, pdf_array_get(c, descendants, 0), PDF_NAME(FontDescriptor));
  }
  int w = pdf_to_int(c, pdf_dict_gets(c, desc, "FontWeight"));
  if (w <= 0) w = int(pdf_to_real(c, pdf_dict_get(c, desc, PDF_NAME(StemV))) * 5);
  return w > 0 ? w : -1;
}

std::vector<int> font_weights(pdf_page *page, const std::vector<std::string> &names) {
  std::vector<int> weights(names.size(), -1);
  std::vector<std::pair<std::string, int>> found;
  mu_try([&](fz_context *cc) {
    pdf_obj *res = pdf_dict_get_inheritable(cc, page->obj, PDF_NAME(Resources));
    pdf_obj *fonts = pdf_dict_get(cc, res, PDF_NAME(Font));
    const int n = pdf_dict_len(cc, fonts);
    for (int i = 0; i < n; ++i) {
      pdf_obj *f = pdf_dict_get_val(cc, fonts, i);
      const char *base = pdf_to_name(cc, pdf_dict_get(cc, f, PDF_NAME(BaseFont)));
      const int w = weight_of(cc, f);
      found.emplace_back(strip_subset_prefix(base), w);
    }
  });
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string n = strip_subset_prefix(names[i].c_str());
    for (const auto &[base, w] : found)
      if (base.compare(0, 31, n, 0, 31) == 0) weights[i] = w;
  }
  return weights;
}

bool is_letter(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x52F);
}

bool is_letter_or_digit(char32_t c) { return is_letter(c) || (c >= '0' && c <= '9'); }

bool is_control(const TextChar &ch) {
  switch (ch.unicode) {
    case 0x2:
    case 0x3:
    case 0x93:
    case 0x94:
    case 0x96:
    case 0x97:
    case 0x98:
    case 0xFFFE:
      return ch.type != CharType::Hyphen;
    default:
      return false;
  }
}

const char *ligature_pieces(char32_t c) {
  switch (c) {
    case 0xFB00:
      return "ff";
    case 0xFB01:
      return "fi";
    case 0xFB02:
      return "fl";
    case 0xFB03:
      return "ffi";
    case 0xFB04:
      return "ffl";
    case 0xFB05:
    case 0xFB06:
      return "st";
    default:
      return nullptr;
  }
}

// Extent of a box across a baseline with unit direction (dx, dy).
struct Band {
  float lo = 0, hi = 0;
  bool contains(float v) const { return v >= lo && v <= hi; }
};

Band band_of(const fz_rect &r, float dx, float dy) {
  const float nx = -dy, ny = dx;
  const float a = r.x0 * nx + r.y0 * ny, b = r.x1 * nx + r.y0 * ny;
  const float c = r.x0 * nx + r.y1 * ny, d = r.x1 * nx + r.y1 * ny;
  return {std::min(std::min(a, b), std::min(c, d)), std::max(std::max(a, b), std::max(c, d))};
}

Band unite(Band a, Band b) { return {std::min(a.lo, b.lo), std::max(a.hi, b.hi)}; }

float space_threshold(float w) {
  if (w < 400) return w / 2;
  if (w < 700) return w / 4;
  if (w < 800) return w / 5;
  return w / 6;
}

class Assembler {
 public:
  Assembler(const std::vector<Glyph> &glyphs, const std::vector<int> &weights)
      : g_(glyphs), weights_(weights) {
    compute_runs();
  }

  std::shared_ptr<CharStream> run() {
    auto s = std::make_shared<CharStream>();
    out_ = &s->chars;
    out_->reserve(g_.size() + g_.size() / 4);
    for (size_t i = 0; i < g_.size(); ++i) step(i);
    index_text(*s);
    return s;
  }

 private:
  // Runs: consecutive glyphs of one span on one baseline, with the band
  // their tight boxes cover across that baseline.
  void compute_runs() {
    run_of_.resize(g_.size());
    for (size_t i = 0; i < g_.size(); ++i) {
      const Glyph &g = g_[i];
      bool same = false;
      if (i > 0) {
        const Glyph &f = g_[run_first_.back()];
        const float across = (g.ox - f.ox) * -f.dy + (g.oy - f.oy) * f.dx;
        same = g.span == f.span && std::fabs(across) < 0.01f * std::max(f.size_user, 1.0f) &&
               std::fabs(g.dx * f.dx + g.dy * f.dy) >= 0.999f;
      }
      const Band b = band_of(g.tight, g.dx, g.dy);
      if (!same) {
        run_first_.push_back(int(i));
        run_band_.push_back(b);
      } else {
        run_band_.back() = unite(run_band_.back(), b);
      }
      run_of_[i] = int(run_first_.size()) - 1;
    }
  }

  void step(size_t i) {
    const Glyph &c = g_[i];
    bool new_segment = prev_ < 0;
    if (prev_ >= 0) {
      const Glyph &p = g_[prev_];
      const float ddx = c.ox - p.ox, ddy = c.oy - p.oy;
      const float along = ddx * p.dx + ddy * p.dy;
      const float across = -ddx * p.dy + ddy * p.dx;
      const float q = std::max(p.adv, c.adv) / 4;
      const bool turned = std::fabs(c.dx * p.dx + c.dy * p.dy) < 0.999f;
      bool line_break = turned;
      if (!turned && (across > 2 * q || across < -3 * q)) {
        const float c_base = -c.ox * p.dy + c.oy * p.dx;
        const float p_base = -p.ox * p.dy + p.oy * p.dx;
        const bool contained =
            segment_band_.contains(c_base) || run_band_[run_of_[i]].contains(p_base);
        line_break = !contained;
      }
      if (line_break) {
        if (!join_hyphen(c)) {
          const float x = p.ox + p.adv;
          emit_generated('\r', x, p.oy, 1.0f);
          emit_generated('\n', x, p.oy, 1.0f);
        }
        new_segment = true;
      } else {
        if (c.span != p.span) new_segment = true;
        const bool spaces = p.ucs == ' ' || c.ucs == ' ';
        const float t = space_threshold(std::max(p.adv_em, c.adv_em)) *
                        std::max(p.size_user, c.size_user) / 1000;
        if (!spaces && (along - p.adv > t || along < -(t + p.adv)))
          emit_generated(' ', c.ox, c.oy, c.size);
      }
    }
    if (new_segment) {
      ++segment_;
      segment_band_ = band_of(c.tight, c.dx, c.dy);
    } else {
      segment_band_ = unite(segment_band_, band_of(c.tight, c.dx, c.dy));
    }
    emit(c);
    prev_ = int(i);
  }

  // At a line break: turns a line-end hyphen into a hyphen character that
  // joins the word's halves. True when it did.
  bool join_hyphen(const Glyph &next) {
    if (!is_letter_or_digit(next.ucs)) return false;
    size_t k = out_->size();
    while (k > 0 && (*out_)[k - 1].unicode == ' ') --k;
    if (k < 2) return false;
    TextChar &h = (*out_)[k - 1];
    if ((h.unicode != '-' && h.unicode != 0xAD) || h.type != CharType::Normal) return false;
    if (!is_letter((*out_)[k - 2].unicode)) return false;
    out_->resize(k);
    h.unicode = 2;
    h.type = CharType::Hyphen;
    return true;
  }

  void emit_generated(char32_t u, float x, float y, float size) {
    TextChar ch{};
    ch.unicode = u;
    ch.type = CharType::Generated;
    ch.ox = x;
    ch.oy = y;
    ch.box = ch.loose = fz_make_rect(x, y, x, y);
    ch.size = size;
    ch.angle = 0;
    ch.weight = -1;
    ch.segment = segment_;
    out_->push_back(ch);
  }

  void emit(const Glyph &g) {
    // A space right after a space is dropped.
    if (g.ucs == ' ' && !out_->empty() && out_->back().unicode == ' ') return;
    TextChar ch{};
    ch.type = g.piece ? CharType::Piece : CharType::Normal;
    ch.map_error = g.map_error;
    ch.ox = g.ox;
    ch.oy = g.oy;
    ch.box = g.tight;
    ch.loose = g.loose;
    ch.size = g.size;
    ch.angle = g.angle;
    ch.weight = g.font >= 0 && size_t(g.font) < weights_.size() ? weights_[g.font] : -1;
    ch.segment = segment_;
    if (const char *pieces = ligature_pieces(g.ucs)) {
      ch.type = CharType::Piece;
      for (const char *p = pieces; *p; ++p) {
        ch.unicode = char32_t(*p);
        out_->push_back(ch);
      }
      return;
    }
    ch.unicode = g.ucs;
    out_->push_back(ch);
  }

  static void index_text(CharStream &s) {
    s.char_to_text.assign(s.chars.size(), -1);
    for (size_t i = 0; i < s.chars.size(); ++i) {
      const TextChar &ch = s.chars[i];
      if (is_control(ch)) continue;
      s.char_to_text[i] = int(s.text.size());
      s.text_to_char.push_back(int(i));
      s.text.push_back(ch.type == CharType::Hyphen || ch.unicode == 0 ? char32_t(0xFFFE)
                                                                      : ch.unicode);
    }
  }

  const std::vector<Glyph> &g_;
  const std::vector<int> &weights_;
  std::vector<int> run_of_, run_first_;
  std::vector<Band> run_band_;
  std::vector<TextChar> *out_ = nullptr;
  int prev_ = -1;
  int segment_ = -1;
  Band segment_band_;
};

}  // namespace

std::shared_ptr<const CharStream> build_char_stream(pdf_page *page) {
  CollectState st;
  // A damaged content stream still yields the characters shown before the
  // damage, as the renderer draws them.
  const bool ran = mu_try([&](fz_context *cc) { collect_glyphs(cc, page, &st); });
  if (!ran && st.glyphs.empty()) return nullptr;
  const std::vector<int> weights = font_weights(page, st.fonts);
  return Assembler(st.glyphs, weights).run();
}

}  // namespace pdfc
