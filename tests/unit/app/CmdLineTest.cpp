#include "app/CmdLine.h"
#include "base/MessageDialog.h"
#include "app/StartupSwitches.h"

#include "RecordingSink.h"
#include "EngineFixture.h"

#include <gtest/gtest.h>

namespace {

// The steps in one line each: "open FILE TYPE SRC LNUM", "inverse CMD" or "inverse default",
// "illegal ITEM".
QStringList Steps(const QStringList &items)
{
    QStringList out;
    for (const TCmdStep &s : ParseCmdLine(items)) {
        switch (s.kind) {
        case TCmdStep::Open:
            out << QStringLiteral("open %1 %2 %3 %4").arg(s.text).arg(int(s.dest_type)).arg(s.SRC).arg(s.lnum);
            break;
        case TCmdStep::SetInverseSearch:
            out << (s.restoreDefault ? QStringLiteral("inverse default") : QStringLiteral("inverse ") + s.text);
            break;
        case TCmdStep::IllegalSwitch: out << QStringLiteral("illegal ") + s.text; break;
        }
    }
    return out;
}

struct GrammarCase {
    const char *text;
    QStringList steps;
};

TEST(CmdLineGrammarTest, StepsOfCommandTexts)
{
    const GrammarCase cases[] = {
        {"-page-index\n7\nx.pdf\n", {"open x.pdf 1  7"}},
        {"---page-index\n7\nx.pdf\n", {"open x.pdf 1  7"}},
        {"-Page-Index\n7\nx.pdf\n", {"illegal -Page-Index"}},
        {"-\nx.pdf\n", {"illegal -"}},
        // Two groups, each with its own options; an option applies only to the file after it.
        {"-page-label\niv\na.pdf\n-named-dest\nsection.2\nb.pdf\n", {"open a.pdf 2 iv 0", "open b.pdf 3 section.2 0"}},
        {"-page-index\n7\na.pdf\nb.pdf\n", {"open a.pdf 1  7", "open b.pdf 0  0"}},
        {"--forward-search\nch/a.tex\n125\ndoc.pdf\n", {"open doc.pdf 0 ch/a.tex 125"}},
        // A line that is not a number is dropped; the document still opens.
        {"-forward-search\na.tex\nx12\ndoc.pdf\n", {"open doc.pdf 0 a.tex 0"}},
        {"-page-index\nseven\nx.pdf\n", {"open x.pdf 0  0"}},
        {"-page-index\n1000000000\nx.pdf\n", {"open x.pdf 0  0"}},
        {"-page-index\n999999999\nx.pdf\n", {"open x.pdf 1  999999999"}},
        // A search without its source item, or without a file, opens nothing.
        {"-forward-search\n", {}},
        {"-forward-search\na.tex\n", {}},
        {"-forward-search\na.tex\n3\n", {}},
        // A later search option replaces an earlier page option of the same group.
        {"-page-label\niv\n-forward-search\na.tex\n9\nx.pdf\n", {"open x.pdf 0 a.tex 9"}},
        {"\r\n\r\na.pdf\r\n\r\n", {"open a.pdf 0  0"}},
        {"my||file.pdf\n", {"open my\"file.pdf 0  0"}},
        {"-inverse-search\neditor \"%f\" %l\nx.pdf\n", {"inverse editor \"%f\" %l", "open x.pdf 0  0"}},
        {"x.pdf\n-inverse-search\n", {"open x.pdf 0  0", "inverse default"}},
        // An unknown switch ends the text: nothing after it runs.
        {"a.pdf\n-bogus\nb.pdf\n", {"open a.pdf 0  0", "illegal -bogus"}},
        {"", {}},
    };
    for (const GrammarCase &c : cases)
        EXPECT_EQ(Steps(CmdLineItems(QString::fromUtf8(c.text))), c.steps) << c.text;
}

// A file name may hold line breaks (from a cloned project or an unpacked archive); as one
// argument it must never turn into switches.
TEST(CmdLineGrammarTest, ArgumentWithALineBreakIsRefusedWhole)
{
    const QString planted = "/p/a\n-inverse-search\nsh -c ||touch X||\nb.pdf";
    const QString shown = "/p/a\\n-inverse-search\\nsh -c \"touch X\"\\nb.pdf";
    const struct {
        QStringList args;
        QStringList steps;
    } cases[] = {
        {{planted}, {"illegal " + shown}},
        // What came before it still runs; nothing after it does.
        {{"a.pdf", planted, "c.pdf"}, {"open a.pdf 0  0", "illegal " + shown}},
        {{"-forward-search", "x.tex\r\n-inverse-search\r\nevil", "3", "d.pdf"},
         {"illegal x.tex\\r\\n-inverse-search\\r\\nevil"}},
        {{"-inverse-search", "ed\n%f"}, {"illegal ed\\n%f"}},
        {{"-page-index", "7\n-inverse-search", "x.pdf"}, {"illegal 7\\n-inverse-search"}},
        // An empty argument is skipped, as an empty line of the text is.
        {{"-page-index", "7", "", "x.pdf"}, {"open x.pdf 1  7"}},
    };
    for (const auto &c : cases) {
        const TStartupScan scan = ScanStartupSwitches(QStringList{"-N"} + c.args, "/opt/o", "/d");
        EXPECT_EQ(Steps(scan.commandItems), c.steps) << c.args.join('|').toStdString();
    }
}

TEST(CmdLineGrammarTest, RelativeFileAndSourceItemsBecomeAbsolute)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"-forward-search\nch/a.tex\n12\ndoc.pdf\n", "-forward-search\n/w/d/ch/a.tex\n12\n/w/d/doc.pdf\n"},
        {"-page-label\niv\n/abs/doc.pdf\n", "-page-label\niv\n/abs/doc.pdf\n"},
        {"-named-dest\nrel\n-inverse-search\nrel cmd\nx.pdf\n",
         "-named-dest\nrel\n-inverse-search\nrel cmd\n/w/d/x.pdf\n"},
        // Folder macros are the running instance's to expand.
        {"%P/other.pdf\n", "%P/other.pdf\n"},
        // After an unknown switch the items are left to the receiver's message.
        {"a.pdf\n-bad\nb.pdf\n", "/w/d/a.pdf\n-bad\nb.pdf\n"},
        {"\r\n../up.pdf\r\n", "/w/d/../up.pdf\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AbsoluteCmdLine(CmdLineItems(QString::fromUtf8(c.text)), "/w/d"), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(CmdLineGrammarTest, RestoreRuleOfTheDeferredStart)
{
    const struct {
        bool never, always;
        TRestoreOpened setting;
        const char *text;
        bool restore;
    } cases[] = {
        {false, false, TRestoreOpened::Never, "", false},
        {false, false, TRestoreOpened::EmptyCommandLine, "", true},
        {false, false, TRestoreOpened::EmptyCommandLine, "x.pdf\n", false},
        {false, false, TRestoreOpened::Always, "x.pdf\n", true},
        {false, true, TRestoreOpened::Never, "x.pdf\n", true},
        {true, true, TRestoreOpened::Always, "", false}, // -V wins over -R and the setting
    };
    for (const auto &c : cases) {
        TStartupFlags flags;
        flags.NeverRestore = c.never;
        flags.AlwaysRestore = c.always;
        EXPECT_EQ(RestoreOpenedAtStart(flags, c.setting, CmdLineItems(c.text)), c.restore)
            << c.never << c.always << int(c.setting) << c.text;
    }
}

struct ExeCmdLineTest : EngineFixture {
    RecordingSink sink;
    void SetUp() override
    {
        EngineFixture::SetUp();
        SetMessageSink(&sink);
        App.AppRunning = true; // SyncTeX data loads on the main thread only while the loop runs
    }
    void TearDown() override
    {
        App.AppRunning = false;
        SetMessageSink(nullptr);
        EngineFixture::TearDown();
    }
};

TEST_F(ExeCmdLineTest, TwoGroupsOpenBothFilesEachWithItsOptions)
{
    const QString a = copy("multi/multi.pdf", "a.pdf");
    const QString b = copy("multi/multi.pdf", "b.pdf");
    EXPECT_TRUE(ExeCmdLine(*engine, CmdLineItems("-page-label\n3\n" + a + "\n-named-dest\nsection.4\n" + b + "\n")));
    ASSERT_EQ(engine->DocumentCount(), 2);
    EXPECT_EQ(engine->FileName(), b);
    EXPECT_EQ(page(), 6); // section 4 begins on page 6
    engine->StoreDoc(engine->SelDoc());
    EXPECT_EQ(engine->Document(0).Position.cp, 5); // label "3" is the fifth page
    EXPECT_TRUE(sink.shown.isEmpty());
}

TEST_F(ExeCmdLineTest, ForwardSearchMarksTheLineAndLogsThePage)
{
    const QString pdf = fixturePath("multi/multi.pdf");
    const QString source = fixturePath("multi/chapters/iron.tex");
    EXPECT_TRUE(ExeCmdLine(*engine, CmdLineItems("--forward-search\n" + source + "\n2\n" + pdf + "\n")));
    EXPECT_EQ(engine->ForwardMark().FSelBoxPage, 6);
    EXPECT_EQ(page(), 6);
    EXPECT_TRUE(log().contains("Forward Search: \"" + source + "\" line 2: page 6")) << log().toStdString();

    // A line without records leaves no new mark, and the log says so.
    ExeCmdLine(*engine, CmdLineItems("-forward-search\n" + source + "\n35\n" + pdf + "\n"));
    EXPECT_TRUE(log().contains("Forward Search: \"" + source + "\" line 35: no mark")) << log().toStdString();
}

TEST_F(ExeCmdLineTest, UnknownSwitchShowsTheMessageAndStopsTheText)
{
    const QString a = copy("multi/multi.pdf", "a.pdf");
    const QString b = copy("multi/multi.pdf", "b.pdf");
    EXPECT_TRUE(ExeCmdLine(*engine, CmdLineItems(a + "\n-Page-Index\n3\n" + b + "\n")));
    EXPECT_EQ(engine->DocumentCount(), 1);
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, "Unknown Switch");
    EXPECT_EQ(sink.shown[0].text, "Illegal Command Line Switch: \"-Page-Index\"");
    EXPECT_EQ(sink.shown[0].type, mtError);
    EXPECT_EQ(sink.shown[0].buttons, MsgButtons({mbOK}));

    EXPECT_FALSE(ExeCmdLine(*engine, CmdLineItems("-nothing\n" + b + "\n")));
    EXPECT_EQ(engine->DocumentCount(), 1);
}

TEST_F(ExeCmdLineTest, LineBreakInAnArgumentShowsTheIllegalSwitchMessage)
{
    const QString standard = Prefer.InverseSearchCmd;
    const QString a = copy("multi/multi.pdf", "a.pdf");
    EXPECT_TRUE(ExeCmdLine(*engine, {a, "/p/a\n-inverse-search\nsh -c ||touch X||\nb.pdf"}));
    EXPECT_EQ(Prefer.InverseSearchCmd, standard);
    EXPECT_EQ(engine->DocumentCount(), 1);
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, "Unknown Switch");
    EXPECT_EQ(sink.shown[0].text,
              "Illegal Command Line Switch: \"/p/a\\n-inverse-search\\nsh -c \"touch X\"\\nb.pdf\"");
    EXPECT_TRUE(log().contains("Illegal Command Line Switch: \"/p/a\\n-inverse-search")) << log().toStdString();
}

TEST_F(ExeCmdLineTest, InverseSearchCommandIsSetAndRestored)
{
    const QString standard = Prefer.InverseSearchCmd;
    ExeCmdLine(*engine, CmdLineItems("-inverse-search\nmyeditor +%l \"%f\"\n"));
    EXPECT_EQ(Prefer.InverseSearchCmd, "myeditor +%l \"%f\"");
    ExeCmdLine(*engine, CmdLineItems("-inverse-search\n"));
    EXPECT_EQ(Prefer.InverseSearchCmd, standard);
    EXPECT_EQ(engine->DocumentCount(), 0);
}

} // namespace
