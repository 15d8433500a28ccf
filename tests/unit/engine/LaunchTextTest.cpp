// Reading the "TEXT: " and "PDF: " targets of links: switches, quoting, blanks, and texts
// that are neither.
#include "engine/LaunchText.h"

#include <gtest/gtest.h>

namespace {

using K = TLaunchText::TKind;

struct Case {
    const char *target;
    K kind;
    bool reverse;
    const char *file;
    const char *text;
    int page;
    TDestType dest;
};

const Case kCases[] = {
    {"TEXT: -R \"/a b/c.tex\"", K::Editor, true, "/a b/c.tex", "", 0, TDestType::ForwardSearch},
    {"  TEXT:   c.tex \r\n", K::Editor, false, "c.tex", "", 0, TDestType::ForwardSearch},
    {"TEXT: -Rc.tex", K::Editor, false, "-Rc.tex", "", 0, TDestType::ForwardSearch},
    {"TEXT: ", K::Editor, false, "", "", 0, TDestType::ForwardSearch},
    {"PDF: my file.pdf", K::Document, false, "my file.pdf", "", 0, TDestType::ForwardSearch},
    {"PDF: -D=\"sec one\" \"a b.pdf\"", K::Document, false, "a b.pdf", "sec one", 0, TDestType::NamedDest},
    {"PDF: -L=iv x.pdf", K::Document, false, "x.pdf", "iv", 0, TDestType::PageLabel},
    {"PDF: -P=12 x.pdf", K::Document, false, "x.pdf", "", 12, TDestType::PageIndex},
    // A later switch overrides an earlier one; a page that is no number leaves the kind.
    {"PDF: -P=3 -D=end x.pdf", K::Document, false, "x.pdf", "end", 3, TDestType::NamedDest},
    {"PDF: -L=iv -P=x x.pdf", K::Document, false, "x.pdf", "", 0, TDestType::PageLabel},
    {"PDF: -P=12", K::None, false, "", "", 12, TDestType::PageIndex},
    {"pdf: x.pdf", K::None, false, "", "", 0, TDestType::ForwardSearch},
    {"https://example.com/", K::None, false, "", "", 0, TDestType::ForwardSearch},
};

} // namespace

TEST(LaunchText, Targets)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.target);
        const TLaunchText t = TLaunchText::Parse(QString::fromUtf8(c.target));
        EXPECT_EQ(t.Kind, c.kind);
        if (c.kind == K::None)
            continue;
        EXPECT_EQ(t.Reverse, c.reverse);
        EXPECT_EQ(t.File, QString::fromUtf8(c.file));
        EXPECT_EQ(t.Text, QString::fromUtf8(c.text));
        EXPECT_EQ(t.Page, c.page);
        EXPECT_EQ(t.Dest, c.dest);
    }
}
