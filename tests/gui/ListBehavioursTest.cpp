// The behaviours every list and tree view of the program shares, on a real view offscreen: rows
// in the tree colours with the focused row framed, a pointer that stands still while the rows
// scroll under it re-tracked by a mouse move, and info tips for cells too narrow for their text.
#include "settings/Colors.h"
#include "ui/widgets/ItemViewTracking.h"
#include "ui/widgets/TreeColorDelegate.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// A view that tracks a hot part of its own in its mouse moves, as the bookmarks tree tracks its
// expand buttons: the row of the last move it saw.
class TMoveTrackingView final : public QTreeView {
public:
    int lastMoveRow = -1;

protected:
    void mouseMoveEvent(QMouseEvent *e) override
    {
        lastMoveRow = indexAt(e->position().toPoint()).row();
        QTreeView::mouseMoveEvent(e);
    }
};

struct ListBehavioursTest : ::testing::Test {
    TThemeColors saved = Colors.Theme;
    QStandardItemModel model{60, 3};
    TMoveTrackingView view;
    TItemViewTracking *tracking = nullptr;

    void SetUp() override
    {
        LoadColorDefaults();
        SelectThemeColors(2); // the light set: every tree colour set
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < 3; ++c)
                model.setItem(r, c, new QStandardItem(QStringLiteral("r%1c%2").arg(r).arg(c)));
        view.setModel(&model);
        view.setRootIsDecorated(false);
        view.setUniformRowHeights(true);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setItemDelegate(new TTreeColorDelegate(&view));
        tracking = new TItemViewTracking(&view);
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void TearDown() override
    {
        Colors.Theme = saved;
        QToolTip::hideText();
    }
    QRect rowRect(int row, int column = 1) const { return view.visualRect(model.index(row, column)); }
    // A pixel at the right end of a cell, clear of its text.
    QColor cellColour(int row, int column = 1)
    {
        view.viewport()->repaint();
        const QRect r = rowRect(row, column);
        return view.viewport()->grab().toImage().pixelColor(r.right() - 3, r.center().y());
    }
    // Puts the pointer over a row of the viewport, as a user's hand would.
    void pointAt(int row)
    {
        const QPoint local = rowRect(row).center();
        QCursor::setPos(view.viewport()->mapToGlobal(local));
        QApplication::processEvents();
        QTest::mouseMove(view.viewport(), local);
        QApplication::processEvents();
    }
    static QColor theme(TThemeColor c) { return ToQColor(Colors.Theme[c].val); }
};

TEST_F(ListBehavioursTest, RowsTakeTheTreeColoursOfTheirState)
{
    view.selectionModel()->select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view.selectionModel()->select(model.index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    pointAt(4);
    struct Case {
        int row;
        TThemeColor bk;
    };
    const Case cases[] = {
        {1, tvcCustomBk},          // plain
        {2, tvcSelectedBk},        // selected
        {4, tvcSelectedFocusedBk}, // selected under the pointer
    };
    for (const Case &c : cases)
        EXPECT_EQ(cellColour(c.row), theme(c.bk)) << "row " << c.row;
    pointAt(3);
    EXPECT_EQ(cellColour(3), theme(tvcHotBk));
    EXPECT_EQ(cellColour(4), theme(tvcSelectedBk));

    // Without the custom colour the style draws the rows: the hot colour is gone.
    Colors.Theme[tvcCustomColor].val = clNone;
    EXPECT_NE(cellColour(3), theme(tvcHotBk));
}

TEST_F(ListBehavioursTest, TheFocusedRowIsFramedWhileTheViewHasTheFocus)
{
    view.setCurrentIndex(model.index(5, 0));
    view.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.hasFocus(); }));
    const auto framePixels = [&](int row) {
        view.viewport()->repaint();
        const QImage img = view.viewport()->grab().toImage();
        const QRect r = rowRect(row, 1);
        int n = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, r.top()) == theme(tvcSelectedFocusedText)
                || img.pixelColor(x, r.top()) == theme(tvcSelectedText);
        return n;
    };
    // The focused row is selected: its frame is dotted in the selected text colour.
    EXPECT_GT(framePixels(5), rowRect(5).width() / 4);
    EXPECT_EQ(framePixels(6), 0);
    view.clearFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    other.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.hasFocus(); }));
    EXPECT_EQ(framePixels(5), 0);
}

TEST_F(ListBehavioursTest, TheHotRowFollowsAStillPointerAfterScrollingAndWheelTurns)
{
    pointAt(3);
    ASSERT_EQ(cellColour(3), theme(tvcHotBk));
    const QRect hotBefore = rowRect(3);

    // The scroll bar moves the rows by five: the row now under the pointer is hot.
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 5);
    QApplication::processEvents();
    const int under = view.indexAt(hotBefore.center()).row();
    ASSERT_EQ(under, 8);
    EXPECT_EQ(view.lastMoveRow, under);
    EXPECT_EQ(cellColour(under), theme(tvcHotBk));
    EXPECT_NE(cellColour(under - 1), theme(tvcHotBk));

    // A wheel turn scrolls the rows; the hot row follows again.
    const QPoint local = hotBefore.center();
    QWheelEvent wheel(local, view.viewport()->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QApplication::processEvents();
    const int afterWheel = view.indexAt(local).row();
    ASSERT_GT(afterWheel, under);
    EXPECT_EQ(view.lastMoveRow, afterWheel);
    EXPECT_EQ(cellColour(afterWheel), theme(tvcHotBk));
}

TEST_F(ListBehavioursTest, InfoTipsShowCutTextAndGoWhenThePointerLeavesTheCell)
{
    const QString longText = QStringLiteral("a name far too long for the narrow first column of this list");
    model.item(2, 0)->setText(longText);
    model.item(3, 0)->setToolTip(QStringLiteral("its own tip"));
    view.setColumnWidth(0, 60);
    struct Case {
        int row;
        QString tip;
    };
    const Case cases[] = {{2, longText}, {3, QStringLiteral("its own tip")}, {1, QString()}};
    for (const Case &c : cases)
        EXPECT_EQ(tracking->TipText(model.index(c.row, 0)), c.tip) << "row " << c.row;

    const QPoint at = view.visualRect(model.index(2, 0)).center();
    QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), longText);
    EXPECT_EQ(tracking->TipIndex(), model.index(2, 0));

    // Within the cell the tip stays; out of it, it goes.
    QTest::mouseMove(view.viewport(), at + QPoint(3, 0));
    EXPECT_EQ(tracking->TipIndex(), model.index(2, 0));
    QTest::mouseMove(view.viewport(), view.visualRect(model.index(5, 0)).center());
    EXPECT_FALSE(tracking->TipIndex().isValid());
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));

    // A cell whose text fits shows no tip.
    const QPoint fits = view.visualRect(model.index(1, 1)).center();
    QHelpEvent none(QEvent::ToolTip, fits, view.viewport()->mapToGlobal(fits));
    QApplication::sendEvent(view.viewport(), &none);
    EXPECT_FALSE(tracking->TipIndex().isValid());
}

} // namespace
