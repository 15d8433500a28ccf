// The find box, the find dialog and the search options' popup of the main window over a real
// engine: one string in both inputs, the dialog's caption and keys, the options button's
// repeat rule, and the keys of the find box; the Edit menu's copy of what a search or the
// selection commands selected.
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "settings/ToolbarDefinition.h"
#include "ui/FindBar.h"
#include "ui/FindCommands.h"
#include "ui/FindForm.h"
#include "ui/MainForm.h"
#include "ui/ScrollForm.h"

#include "MainFormFixture.h"
#include "platform/fake/ManualClock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// The boxes and the search items of the default toolbar without the buttons before them, so
// that the search items fit the offscreen screen's 800 pixels and the popup opens in place.
const char *const kFindToolbar = "9 PageLabel \" Page: \" \"Page:\"\r\n9 PageGoto \"  9999  \"\r\n"
                                 "9 PageCount \"  (9999/9999)  \"\r\n|\r\n9 ZoomLabel \" Zoom: \" \"Zoom:\"\r\n"
                                 "9 Zoom \"9999%\"\r\n|\r\n2s Find\r\n2S FindOpt\r\n"
                                 "2S FindString \"A long String to Find ... \"\r\n2S FindNext\r\n2S FindPrev\r\n"
                                 "2S FoundCount \"  9999/9999  \"\r\n";

struct FindFormTest : MainFormFixture {
    TToolbarDefinition savedToolbar = ToolbarDefinition;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        LoadColorDefaults();
        Prefer.WindowRect = {100, 50, 700, 850};
        Prefer.ShowToolbar = true;
        ToolbarDefinition.ReadFromString(QLatin1String(kFindToolbar));
        ToolbarDefinition.SearchToolbar = true;
        createForm();
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    void TearDown() override
    {
        ToolbarDefinition = savedToolbar;
        MainFormFixture::TearDown();
    }
    void open()
    {
        ASSERT_TRUE(engine->LoadFile(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf"))));
        form->EnableMenu();
        QApplication::processEvents();
    }
    TFindForm &dialog() { return form->FindCommands().FindForm(); }
    // Pixels of the page view in the colour that white paper takes under the marks of the
    // matches other than the current one.
    int otherMarks()
    {
        QApplication::processEvents();
        const QImage shot = form->PageView()->viewport()->grab().toImage();
        const QColor mark = ToQColor(Colors.Pdf[cc_FoundStrings].W);
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += shot.pixelColor(x, y) == mark;
        return n;
    }
    QLineEdit *box() { return form->edFindString; }
};

TEST_F(FindFormTest, TypingInEitherInputShowsInTheOther)
{
    open();
    dialog().show();
    QApplication::processEvents();
    QTest::keyClicks(dialog().edFindString, QStringLiteral("stone"));
    EXPECT_EQ(box()->text(), QStringLiteral("stone"));
    EXPECT_EQ(dialog().GetSearchString(), QStringLiteral("stone"));

    box()->setFocus();
    box()->setCursorPosition(5);
    QTest::keyClicks(box(), QStringLiteral("s"));
    EXPECT_EQ(dialog().edFindString->text(), QStringLiteral("stones"));
    EXPECT_EQ(dialog().edFindString->cursorPosition(), 6) << "the caret at the end";

    // Emptied in the box: the commands that step need a string again.
    box()->clear();
    EXPECT_TRUE(dialog().edFindString->text().isEmpty());
    EXPECT_FALSE(form->Command(QStringLiteral("menuFindNext"))->isEnabled());
    EXPECT_FALSE(dialog().btnNext->isEnabled());
}

TEST_F(FindFormTest, TheToolbarBoxIsTheInputWhileTheDialogIsHidden)
{
    open();
    dialog().SetSearchString(QStringLiteral("quartz"));
    EXPECT_EQ(box()->text(), QStringLiteral("quartz"));
    EXPECT_EQ(dialog().edFindString->text(), QStringLiteral("quartz"));
    EXPECT_TRUE(dialog().UseToolBarFind());
    dialog().show();
    EXPECT_FALSE(dialog().UseToolBarFind());
    dialog().hide();
    Prefer.ShowToolbar = false;
    form->SetupView();
    EXPECT_FALSE(dialog().UseToolBarFind()) << "no toolbar, no box to type into";
}

TEST_F(FindFormTest, CaptionAndFoundCountShowThePlaceInTheList)
{
    const struct {
        int ind, num;
        const char *caption, *count;
    } cases[] = {
        {0, -1, "Find", ""},
        {0, 0, "Find (no matches)", "---"},
        {3, 7, "Find (3/7)", "3/7"},
    };
    for (const auto &c : cases) {
        dialog().SetCaption(c.ind, c.num);
        EXPECT_EQ(dialog().windowTitle(), QLatin1String(c.caption));
        EXPECT_EQ(form->edFoundLabel->text(), QLatin1String(c.count));
    }
}

TEST_F(FindFormTest, TheDialogOpensWhereDialogsOpenOnEveryShow)
{
    open();
    dialog().show();
    QApplication::processEvents();
    EXPECT_EQ(dialog().pos(), form->DialogOrigin());
    dialog().hide();
    dialog().move(5, 5);
    dialog().show();
    QApplication::processEvents();
    EXPECT_EQ(dialog().pos(), form->DialogOrigin());
}

TEST_F(FindFormTest, TheOptionsButtonPressedTwiceQuicklyOpensThePopupOnce)
{
    pl::fake::ScopedManualTime time;
    time.clock.ms = 100000;
    open();
    QToolButton *button = form->FindBar().Button(QStringLiteral("FindOpt"));
    ASSERT_NE(button, nullptr);
    QMenu *popup = form->FindCommands().PopupMenuSearchOptions;
    int shown = 0;
    QObject::connect(popup, &QMenu::aboutToShow, [&] { ++shown; });
    // While the popup is open, the second press 100 ms later; then the popup is closed.
    QTimer::singleShot(0, [&] {
        time.clock.ms += 100;
        QTest::mouseClick(button, Qt::LeftButton);
        popup->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shown, 1);

    // Later it opens again, just below the button.
    time.clock.ms += 400;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(popup->pos(), button->mapToGlobal(QPoint(0, button->height())));
        popup->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shown, 2);

    // The command from anything but a toolbar button does nothing.
    time.clock.ms += 400;
    form->Command(QStringLiteral("menuFindOpt"))->trigger();
    EXPECT_EQ(shown, 2);
}

TEST_F(FindFormTest, ThePopupsOptionsAreTheSettingsAndTheDialogsCheckBoxes)
{
    pl::fake::ScopedManualTime time;
    open();
    Prefer.FindCaseSensitive = false;
    Prefer.FindWholeWords = true;
    QToolButton *button = form->FindBar().Button(QStringLiteral("FindOpt"));
    ASSERT_NE(button, nullptr);
    QMenu *popup = form->FindCommands().PopupMenuSearchOptions;
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(form->FindCommands().popupCaseSensitive->isChecked());
        EXPECT_TRUE(form->FindCommands().popupWholeWordsOnly->isChecked());
        form->FindCommands().popupCaseSensitive->trigger();
        popup->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(Prefer.FindCaseSensitive);
    EXPECT_TRUE(Prefer.FindWholeWords);
    EXPECT_TRUE(dialog().cbCaseSensitive->isChecked());

    // The dialog's check boxes write the settings.
    dialog().show();
    QApplication::processEvents();
    dialog().cbWholeWords->click();
    EXPECT_FALSE(Prefer.FindWholeWords);
}

TEST_F(FindFormTest, EnterInTheBoxStepsOnlyWithAString)
{
    open();
    box()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box()->hasFocus());
    const int page = engine->Layout().SelPage;
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_TRUE(box()->hasFocus()) << "an empty box keeps the keyboard";
    EXPECT_EQ(engine->Layout().SelPage, page);
    EXPECT_LT(engine->MatchCount(), 0) << "no search ran";

    QTest::keyClicks(box(), QStringLiteral("stone"));
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_TRUE(form->PageView()->hasFocus());
    EXPECT_GT(engine->MatchCount(), 0);
}

TEST_F(FindFormTest, AnOptionChangedAfterASearchDropsTheList)
{
    open();
    dialog().SetSearchString(QStringLiteral("stone"));
    form->Command(QStringLiteral("menuFindNext"))->trigger();
    ASSERT_GT(engine->MatchCount(), 0);
    EXPECT_NE(dialog().windowTitle(), QStringLiteral("Find"));
    dialog().show();
    QApplication::processEvents();
    dialog().cbCaseSensitive->click();
    EXPECT_LT(engine->MatchCount(), 0);
    EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Find"));
    EXPECT_TRUE(form->edFoundLabel->text().isEmpty());
}

// Escape in the dialog hides it; the other matches stay marked only while the marks are on.
TEST_F(FindFormTest, EscapeInTheDialogHidesItAndWithItTheOtherMatches)
{
    open();
    for (const bool marksOn : {false, true}) {
        SCOPED_TRACE(marksOn ? "marks on" : "marks off");
        dialog().show();
        QApplication::processEvents();
        QTest::keyClicks(dialog().edFindString, QStringLiteral("stone"));
        // Stepped onto the page of several matches, so that others show beside the current one.
        for (int k = 0; k < 9 && engine->TextSearch().matchInd < 3; ++k)
            QTest::keyClick(dialog().edFindString, Qt::Key_Return);
        ASSERT_GE(engine->TextSearch().matchInd, 3);
        engine->SetFoundStringsShown(marksOn);
        EXPECT_GT(otherMarks(), 0);
        QTest::keyClick(dialog().edFindString, Qt::Key_Escape);
        EXPECT_FALSE(dialog().isVisible());
        EXPECT_EQ(otherMarks() > 0, marksOn);
        dialog().edFindString->clear();
    }
}

// A found match is the selection that Copy takes; Select Page takes the page in view. The
// clipboard gets plain text with LF line ends.
TEST_F(FindFormTest, CopyTakesTheFoundMatchOrThePageWithLineFeeds)
{
    open();
    QAction *copy = form->Command(QStringLiteral("menuCopy"));
    EXPECT_FALSE(copy->isEnabled()) << "nothing selected";
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));

    // Case sensitive: the words in the text, not the heading.
    Prefer.FindCaseSensitive = true;
    form->edFindString->setText(QStringLiteral("stone arches"));
    form->EnableMenu();
    form->Command(QStringLiteral("menuFindNext"))->trigger();
    ASSERT_GT(engine->MatchCount(), 0);
    form->EnableMenu();
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("stone arches"));

    engine->Navigator().GOTOPage(3, nullptr);
    form->Command(QStringLiteral("menuSelPage"))->trigger();
    ASSERT_EQ(engine->SelectMode(), smPages);
    copy->trigger();
    const QString page = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(page.contains(QStringLiteral("Small bridges are everywhere"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QLatin1Char('\n')));
    EXPECT_FALSE(page.contains(QLatin1Char('\r')));
    EXPECT_FALSE(page.contains(QStringLiteral("Notes on Small Bridges\n2"))) << "only the page in view";
}

} // namespace
