// The matcher on page texts as the library gives them: white space and line breaks, the mark
// of a line-end hyphen, typographic punctuation, case folding, whole words, the spaces after
// a match, and characters beyond the 16-bit plane, whose index is still one character.
#include "engine/TextMatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TMatchOptions kDefault{false, false, true};
constexpr TMatchOptions kExact{false, false, false};
constexpr TMatchOptions kWords{false, true, false};
constexpr TMatchOptions kCase{true, false, false};

struct Row {
    const char *name;
    std::u32string text;
    QString pattern;
    TMatchOptions options;
    // Every match as (start, length).
    std::vector<std::pair<int, int>> found;
};

std::vector<std::pair<int, int>> All(const std::u32string &text, const QString &pattern, TMatchOptions options)
{
    const TTextMatcher matcher(pattern, options);
    std::vector<std::pair<int, int>> found;
    int pos = 0, start = 0, len = 0;
    while (matcher.Find(text, pos, start, len))
        found.emplace_back(start, len);
    return found;
}

} // namespace

TEST(TextMatcher, Table)
{
    const std::vector<Row> rows = {
        {"a space matches a line break", U"a\r\nb", "a b", kExact, {{0, 4}}},
        {"a space matches a run of spaces", U"a   b", "a b", kExact, {{0, 5}}},
        {"a space matches tabs and breaks together", U"a \t\r\n b", "a b", kExact, {{0, 7}}},
        {"a space needs some white space", U"ab", "a b", kExact, {}},
        {"a tab matches a space", U"a b", "a\tb", kExact, {{0, 3}}},
        {"a line break inside a word is passed over", U"extraor\x02\r\ndinarily", "extraordinarily", kExact, {{0, 18}}},
        {"the hyphen mark alone as well", U"extraordinar\x02ily", "extraordinarily", kExact, {{0, 16}}},
        {"a hyphen matches an en dash", U"well\u2013known", "well-known", kExact, {{0, 10}}},
        {"and an em dash", U"so\u2014so", "so-so", kExact, {{0, 5}}},
        {"a hyphen does not match a letter", U"wellaknown", "well-known", kExact, {}},
        {"straight quotes match curly ones", U"\u201Cgo\u201D it\u2019s", "\"go\" it's", kExact, {{0, 9}}},
        {"comparison signs", U"x \u2264 y \u2265 z", "x < y > z", kExact, {{0, 9}}},
        {"case is folded", U"\u00C4rger ARGER", "\u00E4rger", kExact, {{0, 5}}},
        {"unless it counts", U"\u00C4rger \u00E4rger", "\u00E4rger", kCase, {{6, 5}}},
        {"a word inside another one", U"concatenate", "cat", kExact, {{3, 3}}},
        {"whole words: not inside a word", U"concatenate cats", "cat", kWords, {}},
        {"whole words: before a comma", U"the cat, the dog", "cat", kWords, {{4, 3}}},
        {"whole words: at the end of the page", U"the cat", "cat", kWords, {{4, 3}}},
        {"whole words: at the start of the page", U"cat food", "cat", kWords, {{0, 3}}},
        {"the spaces after a match are taken", U"cat  dog", "cat", kDefault, {{0, 5}}},
        {"but not a line break", U"cat\r\ndog", "cat", kDefault, {{0, 3}}},
        {"without that option the match ends", U"cat  dog", "cat", kExact, {{0, 3}}},
        {"a letter beyond 16 bits is one character", U"\U0001D44E cat", "cat", kExact, {{2, 3}}},
        {"and is matched itself", U"x \U0001D44E", "\U0001D44E", kExact, {{2, 1}}},
        {"the next search goes on after a match", U"stone and stone", "stone", kDefault, {{0, 6}, {10, 5}}},
        {"overlapping starts are tried again", U"aaab", "aab", kExact, {{1, 3}}},
        {"an empty pattern finds nothing", U"abc", "", kExact, {}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(All(row.text, row.pattern, row.options), row.found) << row.name;
}
