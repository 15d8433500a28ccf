// The information window over a panel: where it sits, how large it is, the colours it paints
// in either theme, the progress bar's filling, and its hiding.
#include "ui/ExInfo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <memory>

namespace {

struct ExInfo : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QWidget *panel = nullptr;
    TExInfo *info = nullptr;
    int h = 0;

    void SetUp() override
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(12);
        window->setFont(f);
        window->resize(700, 500);
        panel = new QWidget(window.get());
        panel->setGeometry(0, 40, 700, 460);
        info = new TExInfo(panel);
        window->show();
        h = QFontMetrics(f).size(Qt::TextSingleLine, QStringLiteral("AaBbGgJjQqYy0123456789()[]{}|/,;_")).height();
    }
    QImage picture() const { return info->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static int count(const QImage &image, const QRect &r, QColor c)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixelColor(x, y) == c;
        return n;
    }
};

TEST_F(ExInfo, SitsAtThePanelsCornerSizedForBothTextsAndLetsTheMouseThrough)
{
    info->StartInfo(QStringLiteral("Searching ..."), QStringLiteral(" Text (Page: 0000/9999) ..."), 1, 150);
    ASSERT_TRUE(info->isVisible());
    EXPECT_EQ(info->parentWidget(), panel);
    EXPECT_EQ(info->pos(), QPoint(h / 4 + 1, h / 8 + 1));
    const QFontMetrics fm(window->font());
    EXPECT_EQ(info->width(), fm.horizontalAdvance("XXSearching ... Text (Page: 0000/9999) ...XX "));
    // Text line, bar and a line below: four lines with the bar.
    EXPECT_EQ(info->height(), 4 * h);
    EXPECT_EQ(info->BarRect().top(), qRound(2.5 * h));
    EXPECT_EQ(info->BarRect().bottom(), 3 * h - 1);
    EXPECT_EQ(info->BarRect().left(), fm.horizontalAdvance("XX") + fm.horizontalAdvance(' ') / 2);
    EXPECT_EQ(info->BarRect().right(), info->width() - fm.horizontalAdvance("XX") - 1);
    EXPECT_TRUE(info->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(info->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(info->HideTimer()->timerType(), Qt::PreciseTimer);

    // A message only: three lines, no bar.
    info->StartInfo(QStringLiteral("Page \"x\" not found."), QString(), 0, -1);
    EXPECT_FALSE(info->Progress());
    EXPECT_EQ(info->height(), 3 * h);
}

TEST_F(ExInfo, ColoursOfEitherThemeAsTheWindowsIntegersSay)
{
    struct Case {
        bool dark;
        QColor background, text, barBack, done;
    };
    const Case cases[] = {
        {false, QColor(0xF0, 0xF0, 0xF0), QColor(0x28, 0x28, 0x28), Qt::white, QColor(0, 0x80, 0)},
        // Yellow is 0x00FFFF as a Windows colour.
        {true, QColor(0x28, 0x28, 0x28), QColor(255, 255, 0), Qt::black, QColor(0, 255, 0)},
    };
    const QColor orange(255, 0xA5, 0), red(255, 0, 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dark ? "dark" : "light");
        info->SetDarkTheme(c.dark);
        info->StartInfo(QStringLiteral("Searching ..."), QStringLiteral(" Text (Page: 0000/9999) ..."), 0, 100);
        QImage image = picture();
        EXPECT_EQ(image.pixelColor(1, 1), c.background);
        EXPECT_GT(count(image, info->TextRect(), c.text), 0);
        const QRect bar = info->BarRect();
        EXPECT_EQ(count(image, bar, c.barBack), bar.width() * bar.height());

        // Half the way: the bar's left half is orange, the rest keeps its background.
        info->SetPos(50);
        image = picture();
        const int half = bar.left() + qRound(bar.width() * 0.5);
        EXPECT_EQ(image.pixelColor(bar.left(), bar.center().y()), orange);
        EXPECT_EQ(image.pixelColor(half - 1, bar.center().y()), orange);
        EXPECT_EQ(image.pixelColor(half + 1, bar.center().y()), c.barBack);

        info->SetCancel();
        EXPECT_EQ(info->Info(), QStringLiteral("Cancel ..."));
        EXPECT_GT(count(picture(), info->TextRect(), red), 0);

        // A finished state from the start: the bar in the finished colour.
        info->StartInfo(QStringLiteral("Done"), QString(), 7, 7);
        EXPECT_EQ(count(picture(), info->BarRect(), c.done), info->BarRect().width() * info->BarRect().height());
    }
}

TEST_F(ExInfo, WithoutABarOrBeforeItIsShownNothingMoves)
{
    // Hidden: neither the text nor the bar change.
    info->SetInfo(QStringLiteral("x"), -1);
    info->SetPos(5);
    EXPECT_TRUE(info->Info().isEmpty());
    EXPECT_EQ(info->Position(), 0);
    // A bar from a to a cannot advance (no division by an empty range).
    info->StartInfo(QStringLiteral("Done"), QString(), 3, 3);
    info->SetPos(9);
    EXPECT_EQ(info->Position(), 3);
}

TEST_F(ExInfo, HidesAfterTheStopsDelayAndANewStartKeepsItUp)
{
    info->StartInfo(QStringLiteral("One"), QString(), 0, 0);
    info->StopInfo(20, 30);
    EXPECT_EQ(info->HideTimer()->interval(), 50);
    info->StartInfo(QStringLiteral("Two"), QString(), 0, 0);
    EXPECT_FALSE(info->HideTimer()->isActive());
    info->StopInfo(0, 40);
    QElapsedTimer waited;
    waited.start();
    while (info->isVisible() && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_FALSE(info->isVisible());
    EXPECT_GE(waited.elapsed(), 35);
}

} // namespace
