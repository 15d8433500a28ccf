#include "app/StartupSwitches.h"
#include "base/PathMacros.h"

#include <gtest/gtest.h>

TEST(StartupSwitchesTest, FirstMatchPerLetterWinsAndTheRestIsTheCommandText)
{
    const TStartupScan s = ScanStartupSwitches({"-D=/tmp/a.log", "-n", "-d=/tmp/b.log", "-page-index", "7", "x.pdf"},
                                               "/opt/o", "/home/u/cfg");
    EXPECT_EQ(s.flags.LogPath, "/tmp/a.log");
    EXPECT_TRUE(s.flags.NewInstance);
    // The later -d is not a counted match, so the start-up part ends at -n.
    EXPECT_EQ(s.commandItems, (QStringList{"-d=/tmp/b.log", "-page-index", "7", "x.pdf"}));
}

TEST(StartupSwitchesTest, FileBeforeASwitchIsDropped)
{
    const TStartupScan s = ScanStartupSwitches({"first.pdf", "-V", "second.pdf"}, "/opt/o", "/d");
    EXPECT_TRUE(s.flags.NeverRestore);
    EXPECT_EQ(s.commandItems, QStringList{"second.pdf"});
}

TEST(StartupSwitchesTest, FlagsValuesAndNonSwitches)
{
    struct Case {
        QStringList args;
        bool restore, never, before, newInst, empty, noChecks;
        QString name, icon;
        QStringList items;
    };
    const Case cases[] = {
        {{"-R", "-B", "-E", "-Z"}, true, false, true, false, true, true, "", "", {}},
        {{"-C=Work", "a.pdf"}, false, false, false, false, false, false, "Work", "", {"a.pdf"}},
        {{"-C=", "a.pdf"},
         false,
         false,
         false,
         false,
         false,
         false,
         "",
         "",
         {"-C=", "a.pdf"}}, // empty value is no switch
        {{"-Rx", "-I=icon.png"}, false, false, false, false, false, false, "", "icon.png", {}},
        {{"--N", "b.pdf"}, false, false, false, false, false, false, "", "", {"--N", "b.pdf"}},
    };
    for (const Case &c : cases) {
        const TStartupScan s = ScanStartupSwitches(c.args, "/opt/o", "/d");
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(s.flags.AlwaysRestore, c.restore);
        EXPECT_EQ(s.flags.NeverRestore, c.never);
        EXPECT_EQ(s.flags.SendBeforeFocus, c.before);
        EXPECT_EQ(s.flags.NewInstance, c.newInst);
        EXPECT_EQ(s.flags.EmptyRecentList, c.empty);
        EXPECT_EQ(s.flags.NoDataChecks, c.noChecks);
        EXPECT_EQ(s.instanceName, c.name);
        EXPECT_EQ(s.flags.IconFile, c.icon);
        EXPECT_EQ(s.commandItems, c.items);
    }
}

TEST(StartupSwitchesTest, PathMacros)
{
    struct Case {
        const char *value, *expanded;
    };
    const Case cases[] = {
        {"%B/x.dat", "/opt/orvale/bin/x.dat"},
        {"%B\\x.dat", "/opt/orvale/bin/x.dat"}, // a backslash after a macro is a separator
        {"%b\\other.dat", "/home/u/cfg/PDF/other.dat"},
        {"%!B/x", "/opt/orvale/x"},
        {"%!b\\y", "/home/u/cfg/y"},
        {"x%B", "x%B"},
        {"/abs/a\\b", "/abs/a\\b"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExpandPathMacros(c.value, "/opt/orvale/bin", "/home/u/cfg/PDF"), c.expanded) << c.value;

    const TStartupScan s = ScanStartupSwitches({"-L=%b\\other.dat", "-D=%B/log.txt", "-C=%B"}, "/opt/o", "/d");
    EXPECT_EQ(s.flags.DataFileValue, "/d/other.dat");
    EXPECT_EQ(s.flags.LogPath, "/opt/o/log.txt");
    EXPECT_EQ(s.instanceName, "%B"); // no macros in instance names
}
