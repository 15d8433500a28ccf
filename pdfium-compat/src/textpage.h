// The character stream of a text page as PDFium presents it: content
// characters in content order, generated spaces and line breaks between
// them, line-end hyphens marked, ligatures split into their letters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "handles.h"

namespace pdfc {

enum class CharType : unsigned char { Normal, Generated, Hyphen, Piece };

struct TextChar {
  char32_t unicode;  // as reported: 2 for a line-end hyphen
  CharType type;
  bool map_error;  // the glyph had no Unicode mapping
  float ox, oy;    // origin in user space
  fz_rect box;     // tight box: x0 left, y0 bottom, x1 right, y1 top
  fz_rect loose;
  float size;  // font size of the text object
  float angle;
  int weight;   // -1 when unknown
  int segment;  // stand-in for the PDF text object
};

struct CharStream {
  std::vector<TextChar> chars;
  // The page text: one unit per character except control characters.
  std::u32string text;
  std::vector<int> text_to_char;
  std::vector<int> char_to_text;  // -1 for characters not in `text`

  size_t bytes() const {
    return sizeof(*this) + chars.capacity() * sizeof(TextChar) +
           text.capacity() * sizeof(char32_t) +
           (text_to_char.capacity() + char_to_text.capacity()) * sizeof(int);
  }
};

// Builds the stream of a loaded page; NULL when its content cannot be read.
std::shared_ptr<const CharStream> build_char_stream(pdf_page *page);

}  // namespace pdfc

struct fpdf_textpage_t__ {
  std::shared_ptr<const pdfc::CharStream> s;
  std::vector<fz_rect> rects;  // from the last FPDFText_CountRects
};
