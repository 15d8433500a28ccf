// The commands that hand the document to other programs, run from the main window's menu,
// keys and tab menu over a real engine; the programs are scripts first on PATH that record
// their arguments (a mail client, a file manager and another viewer are not on a test machine).
#include "shell/AdobeExe.h"
#include "ui/DocTabs.h"
#include "ui/MainForm.h"

#include "MainFormFixture.h"
#include "FakeProgram.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>

namespace {

struct ShellCommandsTest : MainFormFixture {
    QString tools;
    QString savedExePath = App.ExePath;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        // The commands' own settings at their defaults.
        TPrefer defaults;
        LoadPreferDefaults(defaults);
        Prefer.AdobeReg = defaults.AdobeReg;
        Prefer.AdobeCmd = defaults.AdobeCmd;
        Prefer.NewInstanceCmd = defaults.NewInstanceCmd;
        tools = dir.filePath("tools");
        createForm();
    }
    void TearDown() override
    {
        App.ExePath = savedExePath;
        MainFormFixture::TearDown();
    }
    QAction *cmd(const char *field) { return form->Command(QLatin1String(field)); }
    // The seven-page document in a folder with a blank, shown at its last page.
    QString openAtPage7()
    {
        QDir().mkpath(dir.filePath("my docs"));
        const QString file = copy("multi/multi.pdf", "my docs/multi.pdf");
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_TRUE(engine->LoadFile(file));
        engine->Navigator().LastPage();
        EXPECT_EQ(engine->Layout().SelPage, 7);
        form->EnableMenu();
        return file;
    }
};

} // namespace

TEST_F(ShellCommandsTest, OpenInTheExternalViewerOnceItsProgramIsSet)
{
    const QString file = openAtPage7();
    FindAdobeExe();
    form->EnableMenu();
    EXPECT_FALSE(cmd("menuOpenAdobe")->isEnabled()) << "the default names no program here";

    const FakeProgram viewer(tools, "viewer");
    Prefer.AdobeReg = '"' + viewer.path() + "\" --some-switch";
    form->EnableMenu();
    EXPECT_FALSE(cmd("menuOpenAdobe")->isEnabled()) << "not before the program is worked out";
    ASSERT_TRUE(FindAdobeExe());
    form->EnableMenu();
    ASSERT_TRUE(cmd("menuOpenAdobe")->isEnabled());

    cmd("menuOpenAdobe")->trigger();
    EXPECT_EQ(viewer.argumentList(), QStringList({"/A", "page=7&pagemode=none", file}));

    QFile::remove(file);
    form->EnableMenu();
    EXPECT_FALSE(cmd("menuOpenAdobe")->isEnabled()) << "the document's file is gone";
}

TEST_F(ShellCommandsTest, NewInstanceFromTheKeysAndTheTabMenu)
{
    const FakeProgram self(tools, "OrvalePDF");
    App.ExePath = self.path();
    const QString file = openAtPage7();
    const QStringList expected = {
        "-V", QString::fromUtf8("-C= ❤ OrvalePDF"), "-L=%b\\OrvalePDF2.dat", "-B", "--page-index", "7", file};

    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(self.argumentList(), expected);

    QFile::remove(self.argvFile());
    form->TabControl->PopupMenuDocTabsPopup(0, QPoint(10, 10));
    QAction *fromTab = form->TabControl->PopupMenuDocTabs()->findChild<QAction *>("DTOpenNewInstance");
    ASSERT_NE(fromTab, nullptr);
    form->TabControl->PopupMenuDocTabs()->hide();
    fromTab->trigger();
    EXPECT_EQ(self.argumentList(), expected);
}

TEST_F(ShellCommandsTest, TheFolderAndTheMailFromTheMenu)
{
    const FakeProgram opener(tools, "xdg-open"), mailer(tools, "xdg-email");
    ScopedPath path(tools + "/bin");
    const QString file = openAtPage7();

    ASSERT_TRUE(cmd("menuOpenHomeFolder")->isEnabled());
    cmd("menuOpenHomeFolder")->trigger();
    EXPECT_EQ(opener.argumentList(), QStringList({dir.filePath("my docs")}));

    ASSERT_TRUE(cmd("menuSendMail")->isEnabled());
    cmd("menuSendMail")->trigger();
    EXPECT_EQ(mailer.argumentList(),
              QStringList({"--utf8", "--subject", "PDF Document: multi.pdf", "--body",
                           "The attachement \"multi.pdf\" is ready to be sent...", "--attach", file}));
}
