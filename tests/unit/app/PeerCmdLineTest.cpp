// Other viewers' forward-search forms read as this program's own items.
#include "app/PeerCmdLine.h"

#include <gtest/gtest.h>

namespace {

TEST(PeerCmdLine, OtherViewersFormsBecomeOwnItems)
{
    const struct {
        QStringList in, out;
    } cases[] = {
        // Own items pass untouched.
        {{"-forward-search", "a.tex", "3", "a.pdf"}, {"-forward-search", "a.tex", "3", "a.pdf"}},
        // Line, column and a source that holds colons itself.
        {{"--synctex-forward", "12:4:a.tex", "a.pdf"}, {"-forward-search", "a.tex", "12", "a.pdf"}},
        {{"--synctex-forward=7:0:/x/b:c.tex", "a.pdf"}, {"-forward-search", "/x/b:c.tex", "7", "a.pdf"}},
        {{"--synctex-forward", "7::a.tex", "a.pdf"}, {"-forward-search", "a.tex", "7", "a.pdf"}},
        // The inverse-search templates, with their placeholders.
        {{"-x", "nvim +%{line} \"%{input}\"", "a.pdf"}, {"-inverse-search", "nvim +%l \"%f\"", "a.pdf"}},
        {{"--synctex-editor-command=ed %{line} %{input}", "a.pdf"}, {"-inverse-search", "ed %l %f", "a.pdf"}},
        {{"--synctex-editor-command", "ed %{line}", "a.pdf"}, {"-inverse-search", "ed %l", "a.pdf"}},
        // The line's digits, then the source at once; a source starting with a digit.
        {{"--unique", "a.pdf#src:12/x/a.tex"}, {"-forward-search", "/x/a.tex", "12", "a.pdf"}},
        {{"--unique", "file:/x/a.pdf#src:3/x/2nd.tex"}, {"-forward-search", "/x/2nd.tex", "3", "/x/a.pdf"}},
        {{"--unique", "file:///x/my%20a.pdf#src:3b.tex"}, {"-forward-search", "b.tex", "3", "/x/my a.pdf"}},
        // Source, line and column; the source may start with digits.
        {{"--unique", "/x/a.pdf#src:/x/a.tex:12:0"}, {"-forward-search", "/x/a.tex", "12", "/x/a.pdf"}},
        {{"--unique", "a.pdf#src:12a.tex:5:1"}, {"-forward-search", "12a.tex", "5", "a.pdf"}},
        // A plain document after --unique; a '#' in its name without a source part.
        {{"--unique", "a.pdf"}, {"a.pdf"}},
        {{"--unique", "a#1.pdf"}, {"a#1.pdf"}},
        // What does not read as a peer's form stays, to be refused as usual.
        {{"--synctex-forward", "a.tex", "a.pdf"}, {"--synctex-forward", "a.tex", "a.pdf"}},
        {{"--synctex-forward"}, {"--synctex-forward"}},
        {{"-x"}, {"-x"}},
        {{"--unique", "a.pdf#src:a.tex"}, {"a.pdf#src:a.tex"}},
        {{"--presentation", "a.pdf"}, {"--presentation", "a.pdf"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TranslatePeerItems(c.in), c.out) << c.in.join(' ').toStdString();
}

} // namespace
