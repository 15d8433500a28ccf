// The caption of a docked panel, offscreen: its colours with and without the focus, and the
// close button's area.
#include "settings/Colors.h"
#include "ui/widgets/PanelCaption.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct PanelCaptionTest : ::testing::Test {
    QWidget panel;
    TPanelCaption *caption = new TPanelCaption(QStringLiteral("Bookmarks"), &panel);
    QLineEdit *inside = new QLineEdit(&panel);
    QLineEdit outside;
    TCaptionColors saved = PanelCaptionColors;

    void SetUp() override
    {
        auto *v = new QVBoxLayout(&panel);
        v->addWidget(caption);
        v->addWidget(inside);
        panel.resize(200, 100);
        panel.show();
        outside.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    void TearDown() override { PanelCaptionColors = saved; }
    QColor corner() { return caption->grab().toImage().pixelColor(3, 3); }
};

TEST_F(PanelCaptionTest, FocusedAndUnfocusedColours)
{
    struct TCase {
        const char *name;
        bool dark;
        QColor focused, unfocused;
    };
    const TCase cases[] = {
        {"dark", true, QColor(0x3B4861), QColor(0x282828)},
        {"light", false, QColor(0x6B7891), ToQColor(SystemColor(COLOR_BTNFACE))},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.name);
        PanelCaptionColors = CaptionColors(c.dark);
        panel.activateWindow();
        inside->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(caption->Focused());
        EXPECT_EQ(corner(), c.focused);
        outside.activateWindow();
        outside.setFocus();
        QApplication::processEvents();
        ASSERT_FALSE(caption->Focused());
        EXPECT_EQ(corner(), c.unfocused);
    }
    // "none": the palette's colours.
    PanelCaptionColors = TCaptionColors{};
    EXPECT_EQ(corner(), caption->palette().color(QPalette::Window));
}

TEST_F(PanelCaptionTest, ClickInTheCloseAreaCloses)
{
    QSignalSpy closed(caption, &TPanelCaption::CloseClicked);
    const QRect button = caption->CloseButtonRect();
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(caption, Qt::LeftButton, {}, button.topLeft() + QPoint(1, 1));
    EXPECT_EQ(closed.count(), 1);
    QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(5, caption->height() / 2));
    EXPECT_EQ(closed.count(), 1);
}

} // namespace
