// The message dialog as every part of the program reaches it: through MessageDialog with the
// windows' sink installed, offscreen. The bell is a recording fake: a test cannot hear it.
#include "base/DebugLog.h"
#include "base/MessageDialog.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/MsgForm.h"

#include "RecordingBeeper.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

int Scaled96(int n) { return n * CurrentPPI / 96; }

struct MsgFormTest : ::testing::Test {
    TMsgFormSink sink{nullptr};
    pl::fake::ScopedBeeper bell;
    void SetUp() override
    {
        SetMessageSink(&sink);
        Prefer.ThemeModeIndex = 2;
    }
    void TearDown() override { SetMessageSink(nullptr); }

    // Shows the message; act runs on the form once it is up, and Esc ends it afterwards
    // unless act ended it.
    static int Show(const TMessageRequest &r, const std::function<void(TMsgForm &)> &act, bool task = false)
    {
        bool seen = false;
        std::function<void()> poll;
        poll = [&] {
            auto *form = dynamic_cast<TMsgForm *>(QApplication::activeModalWidget());
            if (!form || !form->isVisible()) {
                QTimer::singleShot(5, poll);
                return;
            }
            seen = true;
            act(*form);
            if (QApplication::activeModalWidget() == form && form->isVisible())
                QTest::keyClick(form, Qt::Key_Escape);
        };
        QTimer::singleShot(0, poll);
        const int result = task ? TaskMessageDialog(r, nullptr)
                                : MessageDialog(r.title, r.text, r.type, r.buttons, r.defaultButton, r.sound,
                                                r.position, r.timer, r.caption);
        EXPECT_TRUE(seen);
        return result;
    }
    static std::vector<QPushButton *> Buttons(TMsgForm &form)
    {
        std::vector<QPushButton *> out;
        for (QPushButton *b : form.findChildren<QPushButton *>())
            if (b->isVisible())
                out.push_back(b);
        std::sort(out.begin(), out.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
        return out;
    }
    static TMessageRequest Request(TMsgDlgButtons buttons, TMsgDlgBtn def, const QString &title = "Title")
    {
        TMessageRequest r;
        r.title = title;
        r.text = QStringLiteral("Some text.");
        r.type = mtWarning;
        r.buttons = buttons;
        r.defaultButton = def;
        return r;
    }
};

struct ButtonCase {
    TMsgDlgButtons set;
    TMsgDlgBtn def;
    QStringList captions; // left to right
    std::vector<int> results;
    size_t defIndex;
};

TEST_F(MsgFormTest, ButtonsStandInTableOrderAndAnswerTheirResults)
{
    const ButtonCase cases[] = {
        {MsgButtons({mbNo, mbYes}), mbYes, {"&Yes", "&No"}, {mrYes, mrNo}, 0},
        {MsgButtons({mbOK}), mbOK, {"OK"}, {mrOk}, 0},
        {MsgButtons({mbCancel, mbOK}), mbCancel, {"OK", "Cancel"}, {mrOk, mrCancel}, 1},
        {MsgButtons({mbAbort, mbRetry, mbIgnore}), mbRetry, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}, 1},
        {MsgButtons({mbClose, mbYesToAll, mbNoToAll, mbAll}),
         mbAll,
         {"&All", "N&o to All", "Yes to &All", "&Close"},
         {12, 13, 14, 8},
         0},
    };
    for (const ButtonCase &c : cases) {
        for (size_t i = 0; i < c.results.size(); ++i) {
            const int result = Show(Request(c.set, c.def), [&](TMsgForm &form) {
                const auto buttons = Buttons(form);
                QStringList captions;
                for (QPushButton *b : buttons)
                    captions << b->text();
                EXPECT_EQ(captions, c.captions);
                ASSERT_EQ(form.DefButton(), buttons.at(c.defIndex));
                EXPECT_EQ(form.focusWidget(), form.DefButton());
                EXPECT_TRUE(form.DefButton()->isDefault());
                buttons.at(i)->click();
            });
            EXPECT_EQ(result, c.results[i]) << c.captions.join(",").toStdString() << " button " << i;
        }
    }
}

TEST_F(MsgFormTest, HelpStaysOpenAndEscCancelsWithoutACancelButton)
{
    bool openAfterHelp = false;
    EXPECT_EQ(Show(Request(MsgButtons({mbHelp, mbOK}), mbOK),
                   [&](TMsgForm &form) {
                       Buttons(form).back()->click(); // Help stands right of OK
                       openAfterHelp = form.isVisible();
                   }),
              mrCancel);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(Show(Request(MsgButtons({mbYes, mbNo}), mbYes), [](TMsgForm &) {}), mrCancel); // Esc
    EXPECT_EQ(Show(Request(MsgButtons({mbYes, mbNo}), mbYes), [](TMsgForm &form) { form.close(); }), mrCancel);
}

TEST_F(MsgFormTest, TheTimerPressesTheDefaultOrCancels)
{
    TMessageRequest r = Request(MsgButtons({mbYes, mbNo}), mbNo);
    r.timer = 30;
    EXPECT_EQ(Show(r, [](TMsgForm &) { QTest::qWait(400); }), mrNo);
    r.defaultButton = mbOK; // not shown: no default button
    EXPECT_EQ(Show(r, [](TMsgForm &) { QTest::qWait(400); }), mrCancel);
    // The other variant never closes without a default button.
    bool stillOpen = false;
    EXPECT_EQ(Show(
                  r, [&](TMsgForm &form) { QTest::qWait(400), stillOpen = form.isVisible(); }, true),
              mrCancel);
    EXPECT_TRUE(stillOpen);
}

TEST_F(MsgFormTest, LayoutOfTitleMessageAndButtonRow)
{
    // An empty title gives its place to the message.
    Show(Request(MsgButtons({mbOK}), mbOK, QString()), [](TMsgForm &form) {
        auto *title = form.findChild<QLabel *>("LabelTitle");
        auto *msg = form.findChild<QLabel *>("LabelMsg");
        EXPECT_FALSE(title->isVisible());
        EXPECT_EQ(msg->pos(), title->pos() + QPoint(Scaled96(4), Scaled96(5)));
        EXPECT_EQ(form.width(), Scaled96(384));
    });
    Show(Request(MsgButtons({mbOK}), mbOK), [](TMsgForm &form) {
        auto *msg = form.findChild<QLabel *>("LabelMsg");
        EXPECT_EQ(msg->pos(), QPoint(Scaled96(12), Scaled96(8 + 36 + 6)));
    });
    // A wide row widens the form, right-aligned in the bottom strip.
    Show(Request(MsgButtons({mbYes, mbNo, mbCancel, mbAll, mbNoToAll, mbYesToAll}), mbYes), [](TMsgForm &form) {
        auto *row = form.findChild<QWidget *>("PanelButtons");
        EXPECT_GT(form.width(), Scaled96(384));
        EXPECT_EQ(form.width(), row->width() + Scaled96(16));
        EXPECT_EQ(row->geometry().right(), form.width() - 1);
    });
    // A long message stops at 420; "&" stays and "\r\n" is one break.
    TMessageRequest r = Request(MsgButtons({mbOK}), mbOK);
    r.text = QString(3000, QLatin1Char('w')).replace(QRegularExpression("(w{20})"), "\\1 ");
    Show(r, [](TMsgForm &form) {
        EXPECT_EQ(form.findChild<QLabel *>("LabelMsg")->height(), Scaled96(420));
        EXPECT_GE(form.height(), Scaled96(40 + 50 + 420 + 1 + 14));
    });
    r.text = QStringLiteral("Fish & Chips\r\nline two");
    Show(r, [](TMsgForm &form) {
        auto *msg = form.findChild<QLabel *>("LabelMsg");
        EXPECT_EQ(msg->text(), QStringLiteral("Fish & Chips\nline two"));
        EXPECT_GE(msg->height(), msg->fontMetrics().lineSpacing() * 2);
        EXPECT_LT(msg->height(), msg->fontMetrics().lineSpacing() * 3);
    });
}

TEST_F(MsgFormTest, TitlesPerTypeAndCaption)
{
    const struct {
        TMsgDlgType type;
        QString caption;
        bool task;
        QString title;
    } cases[] = {
        {mtWarning, "", false, "Warning"},
        {mtError, "", false, "Error"},
        {mtInformation, "", false, "Information"},
        {mtConfirmation, "", false, "Confirm"},
        {mtCustom, "", false, ""},
        {mtCustom, "", true, "Information"},
        {mtError, "My Caption", false, "My Caption"},
        {mtCustom, "Mine", true, "Mine"},
    };
    for (const auto &c : cases) {
        TMessageRequest r = Request(MsgButtons({mbOK}), mbOK);
        r.type = c.type;
        r.caption = c.caption;
        Show(
            r, [&](TMsgForm &form) { EXPECT_EQ(form.windowTitle(), c.title) << int(c.type); }, c.task);
    }
}

TEST_F(MsgFormTest, IconAndFormColours)
{
    const struct {
        TMsgDlgType type;
        QRgb shape, symbol;
    } icons[] = {{mtWarning, 0xF0B001, 0x282828},
                 {mtError, 0xD12B08, 0xF0F0F0},
                 {mtInformation, 0x0D8ADB, 0xF0F0F0},
                 {mtConfirmation, 0x018C84, 0xF0F0F0},
                 {mtCustom, 0x818181, 0xF0F0F0}};
    for (const auto &c : icons) {
        TMessageRequest r = Request(MsgButtons({mbOK}), mbOK);
        r.type = c.type;
        Show(r, [&](TMsgForm &form) {
            const QImage icon = form.findChild<QLabel *>("Image")->pixmap().toImage();
            const int side = icon.width();
            // Inside the filled shape, away from the symbol.
            const QPoint inShape = c.type == mtWarning ? QPoint(side / 4, side * 85 / 100) : QPoint(side / 2, side / 6);
            EXPECT_EQ(icon.pixel(inShape) & 0xFFFFFF, c.shape) << int(c.type);
            bool symbolSeen = false;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    symbolSeen |= (icon.pixel(x, y) & 0xFFFFFF) == c.symbol;
            EXPECT_TRUE(symbolSeen) << int(c.type);
            EXPECT_EQ(icon.pixel(0, 0) & 0xFFFFFF, 0xFEFEFEu); // the form's background
        });
    }
    const struct {
        int mode;
        QRgb back, panel, title;
    } looks[] = {{1, 0x101010, 0x383838, 0x8AC1FF}, {2, 0xFEFEFE, 0xE8E8E8, 0x033399}};
    for (const auto &l : looks) {
        Prefer.ThemeModeIndex = l.mode;
        Show(Request(MsgButtons({mbOK}), mbOK), [&](TMsgForm &form) {
            const QImage shot = form.grab().toImage();
            EXPECT_EQ(shot.pixel(form.width() - 2, 2) & 0xFFFFFF, l.back) << l.mode;
            EXPECT_EQ(shot.pixel(2, form.height() - 2) & 0xFFFFFF, l.panel) << l.mode;
            auto *title = form.findChild<QLabel *>("LabelTitle");
            EXPECT_EQ(title->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, l.title);
        });
    }
}

TEST_F(MsgFormTest, BeepsBySoundAndType)
{
    const struct {
        int sound;
        bool task;
        std::vector<int> codes; // warning, error, information, confirmation, custom in turn
    } cases[] = {
        {0, false, {48, 16}},
        {-1, false, {}},
        {1, false, {48, 16, 64, 32, 128}},
        {0, true, {}},
        {1, true, {48, 16, 64, 32, 128}},
    };
    for (const auto &c : cases) {
        bell.beeps.codes.clear();
        for (TMsgDlgType t : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom}) {
            TMessageRequest r = Request(MsgButtons({mbOK}), mbOK);
            r.type = t;
            r.sound = c.sound;
            Show(
                r, [](TMsgForm &) {}, c.task);
        }
        EXPECT_EQ(bell.beeps.codes, c.codes) << c.sound << " " << c.task;
    }
}

TEST_F(MsgFormTest, LetterKeysSwitchTheLookOnlyWhileTheLogIsOpen)
{
    TMessageRequest r = Request(MsgButtons({mbOK}), mbOK);
    r.type = mtInformation;
    Show(r, [](TMsgForm &form) {
        QTest::keyClick(&form, Qt::Key_E);
        EXPECT_EQ(form.windowTitle(), "Information");
    });
    QTemporaryDir dir;
    ASSERT_TRUE(OpenDebugLog(dir.filePath("log.txt")));
    bell.beeps.codes.clear();
    Show(r, [](TMsgForm &form) {
        QTest::keyClick(&form, Qt::Key_E);
        EXPECT_EQ(form.windowTitle(), "Error");
        QTest::keyClick(&form, Qt::Key_E); // no change, no second beep
        QTest::keyClick(&form, Qt::Key_Q);
        EXPECT_EQ(form.windowTitle(), "Confirm");
    });
    CloseDebugLog();
    EXPECT_EQ(bell.beeps.codes, std::vector<int>({16}));
}

} // namespace
