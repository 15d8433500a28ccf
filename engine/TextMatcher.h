#pragma once
// The program's own matcher of a search string in a page text: line breaks and runs of white
// space count as one space, a line break inside a word (after a line-end hyphen) is passed
// over, case is ignored by simple case folding of single characters, and plain ASCII
// punctuation of the search string also matches its typographic forms in the text.
#include <QString>

#include <string>

struct TMatchOptions {
    bool CaseSensitive = false;
    // A match that begins or ends with a letter must not continue a word of the text.
    bool WholeWords = false;
    // The spaces after a match are taken into it.
    bool TakeSpaces = true;
};

class TTextMatcher {
public:
    TTextMatcher(const QString &pattern, TMatchOptions options);

    // Whether search character p matches text character t.
    static bool Equal(char32_t p, char32_t t, bool caseSensitive);

    // The first match in text at or after pos (0-based): its start and length, and pos after
    // it, where the next search on this text goes on. False when there is none (or the
    // pattern is empty).
    bool Find(const std::u32string &text, int &pos, int &start, int &len) const;

private:
    // The end of a match of the whole pattern starting at start; -1 when it does not match.
    int MatchAt(const std::u32string &text, int start) const;
    bool Eq(char32_t p, char32_t t) const;

    std::u32string P;
    TMatchOptions Options;
};
