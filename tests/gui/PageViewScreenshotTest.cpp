// A picture of the page view: the bundled sample document in continuous double view at fit
// width shows two framed pages side by side on the workspace.
#include "EngineFixture.h"

#include "settings/Colors.h"
#include "ui/PageViewHost.h"
#include "ui/ScrollForm.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

namespace {

struct PageViewScreenshot : EngineFixture {
    std::unique_ptr<QWidget> window;
    TScrollForm *form = nullptr;
    std::unique_ptr<TPageViewHost> pvHost;

    void SetUp() override
    {
        EngineFixture::SetUp();
        LoadColorDefaults();
        window = std::make_unique<QWidget>();
        window->resize(1000, 700);
        form = new TScrollForm(engine.get(), window.get());
        form->setGeometry(0, 0, 1000, 700);
        pvHost = std::make_unique<TPageViewHost>(form);
        engine->SetHost(pvHost.get());
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        engine->SetHost(&host);
        pvHost.reset();
        window.reset();
        EngineFixture::TearDown();
    }
};

QRgb Rgb(int32_t rrggbb) { return qRgb((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

TEST_F(PageViewScreenshot, SampleInContinuousDoubleViewAtFitWidth)
{
    const QString sample = QStringLiteral(ORVALE_FIXTURES_DIR "/../../resources/sample/OrvalePDFSample.pdf");
    ASSERT_TRUE(engine->OpenDocument(sample, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_GE(engine->Pages().PageCount(), 2);
    TNavigator &nav = engine->Navigator();
    nav.ChangeView(TPageViewMode::Double);
    nav.SetContinuousView(true);
    nav.SetZoomMode(zfitWidth);
    nav.FirstPage();
    QApplication::processEvents();

    const QImage shot = form->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QStringLiteral(ORVALE_TEST_BIN_DIR "/pageview-sample.png"));
    ASSERT_EQ(shot.size(), QSize(1000, 700));

    TPageLayout &view = engine->Layout();
    ASSERT_GE(view.GetLayoutView(), 2);
    const TLayout left = view.Layout[0], right = view.Layout[1];
    EXPECT_EQ(left.cp, 1);
    EXPECT_EQ(right.cp, 2);
    // Side by side: the same row, the right page after the left one and a gap between them.
    EXPECT_EQ(left.destTop, right.destTop);
    ASSERT_GT(right.destLeft, left.destLeft + left.width);
    // Fit width: the pair fills the client's width but for the margins.
    EXPECT_GT(right.destLeft + right.width - left.destLeft, 1000 * 9 / 10);

    const QRgb frame = Rgb(0xD8D8D8);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb workspace = ToQColor(Colors.Pdf[cc_Workspace].W).rgb();
    // A row in the top margin of both pages, where they are blank.
    const int y = left.destTop + 12;
    EXPECT_EQ(shot.pixel(left.destLeft, y), frame);
    EXPECT_EQ(shot.pixel(left.destLeft + 8, y), white);
    EXPECT_EQ(shot.pixel(left.destLeft + left.width - 1, y), frame);
    EXPECT_EQ(shot.pixel(left.destLeft + left.width - 9, y), white);
    EXPECT_EQ(shot.pixel((left.destLeft + left.width + right.destLeft) / 2, y), workspace);
    EXPECT_EQ(shot.pixel(right.destLeft, y), frame);
    EXPECT_EQ(shot.pixel(right.destLeft + 8, y), white);
    EXPECT_EQ(shot.pixel(right.destLeft + right.width - 1, y), frame);
    // The frames' top edges.
    EXPECT_EQ(shot.pixel(left.destLeft + left.width / 2, left.destTop), frame);
    EXPECT_EQ(shot.pixel(right.destLeft + right.width / 2, right.destTop), frame);
    // Both pages carry ink somewhere: they were rendered, not only framed.
    const auto inked = [&](const TLayout &e) {
        for (int yy = e.destTop; yy < std::min(e.destTop + e.height, shot.height()); yy += 2)
            for (int xx = e.destLeft + 2; xx < e.destLeft + e.width - 2; xx += 2)
                if (qGray(shot.pixel(xx, yy)) < 100)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(left));
    EXPECT_TRUE(inked(right));
}

} // namespace
