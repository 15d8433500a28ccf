// The status line: panel sizes from their sample texts, the texts the engine's status update
// writes, and the lines drawn from the theme colours.
#include "EngineFixture.h"

#include "app/ViewStatusFormatter.h"
#include "settings/Colors.h"
#include "ui/StatusLine.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>

namespace {

// The windows as the main window answers the engine: the view status goes to the line.
class StatusHost : public DocumentHost {
public:
    TStatusLine *line = nullptr;
    void ShowViewStatus(const TViewStatus &status) override
    {
        const TViewStatusText text = formatter.Format(status, false, false);
        line->SetSLPanel(slPanelPage, text.PagePanel);
        line->SetSLPanel(slPanelPages, text.PagesPanel);
        line->SetSLPanel(slPanelZoom, text.ZoomPanel);
        line->SetSLPanel(slPanelZoomMode, text.ZoomModePanel);
        if (text.SyncTeX)
            line->SetSLPanel(slPanelSyncTeX, *text.SyncTeX);
    }

private:
    TViewStatusFormatter formatter;
};

struct StatusLine : EngineFixture {
    StatusHost statusHost;
    std::unique_ptr<TStatusLine> line;

    void SetUp() override
    {
        EngineFixture::SetUp();
        LoadColorDefaults();
        SelectThemeColors(2);
        line = std::make_unique<TStatusLine>();
        line->resize(900, line->height());
        line->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(line.get()));
        statusHost.line = line.get();
        engine->SetHost(&statusHost);
        App.AppRunning = true; // the SyncTeX field is written only while the event loop runs
    }
    void TearDown() override
    {
        App.AppRunning = false;
        engine->SetHost(nullptr);
        line.reset();
        EngineFixture::TearDown();
    }
    QStringList texts() const
    {
        QStringList all;
        for (int i = 0; i < slPanelCount; ++i)
            all << line->PanelText(i);
        return all;
    }
};

} // namespace

TEST_F(StatusLine, PanelsAreSizedBySampleTexts)
{
    const QFontMetrics fm(line->font());
    const char *samples[] = {"Page:  XXXX", "(1111/1111)", "Zoom: 6400%", "Custom Zoom", "No SyncTeX Data Loaded"};
    int left = 0;
    for (int i = 0; i < slPanelStatus; ++i) {
        const QRect r = line->PanelRect(i);
        EXPECT_EQ(r.left(), left) << i;
        EXPECT_EQ(r.width(), fm.horizontalAdvance("        ") + fm.horizontalAdvance(samples[i])) << i;
        left += r.width();
    }
    EXPECT_EQ(line->PanelRect(slPanelStatus).left(), left);
    EXPECT_EQ(line->PanelRect(slPanelStatus).right(), line->width() - 1) << "the free text takes the rest";
    EXPECT_EQ(line->height(), std::max(16, fm.boundingRect("AbgjQWXyz0123456789()[]{}|/_,;:").height() + 2));

    Prefer.StatusHeight = 40;
    line->InitStatusLine(line->font());
    EXPECT_EQ(line->height(), 40);
}

// What the engine's status update writes for a document with compressed SyncTeX data, for
// one without, and with no document.
TEST_F(StatusLine, PanelTextsFollowTheDocument)
{
    const QString path = copy("multi/multi.pdf", "multi.pdf");
    copy("multi/multi.synctex.gz", "multi.synctex.gz");
    ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    ASSERT_TRUE(engine->Navigator().GOTOPage(3, nullptr));
    engine->UpdateStatus();
    const int zoom = int(engine->Layout().FZoom + 0.0001);
    const QString modes[] = {"Fit Page", "Fit Width", "Actual Size", "Custom Zoom"};
    EXPECT_EQ(texts(),
              QStringList({"Page:  " + engine->Navigator().GetPageLabelEx(3), "(3/7)", QString("Zoom:  %1%").arg(zoom),
                           modes[engine->Layout().FZoomMode], "SyncTeX.gz: Ready", ""}));

    ASSERT_TRUE(
        engine->OpenDocument(copy("widths/widths.pdf", "plain.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->UpdateStatus();
    EXPECT_EQ(line->PanelText(slPanelSyncTeX), "No SyncTeX Data");
    EXPECT_EQ(line->PanelText(slPanelPages), "(1/3)");

    engine->CloseAllFiles(-1);
    engine->UpdateStatus();
    EXPECT_EQ(texts(), QStringList(6, QString()));
}

TEST_F(StatusLine, AHiddenLineAndUnknownPanelsIgnoreTexts)
{
    line->SetSLPanel(slPanelStatus, "Searching ...");
    line->SetSLPanel(6, "x");
    line->SetSLPanel(-1, "x");
    EXPECT_EQ(texts(), QStringList({"", "", "", "", "", "Searching ..."}));
    line->hide();
    line->SetSLPanel(slPanelStatus, "later");
    EXPECT_EQ(line->PanelText(slPanelStatus), "Searching ...");
}

// A light bar: the border 31 % and the separators 64 % black mixed into the background.
TEST_F(StatusLine, LinesAreDrawnInColoursDerivedFromTheBackground)
{
    line->SetSLPanel(slPanelPage, "Page:  3");
    const QImage image = line->grab().toImage();
    const QRect page = line->PanelRect(slPanelPage);
    EXPECT_EQ(QColor(image.pixel(3, 0)), QColor(0xA6, 0xA6, 0xA6));
    EXPECT_EQ(QColor(image.pixel(3, line->height() - 1)), QColor(0xA6, 0xA6, 0xA6));
    EXPECT_EQ(QColor(image.pixel(page.right(), line->height() / 2)), QColor(0x56, 0x56, 0x56));
    EXPECT_EQ(QColor(image.pixel(3, line->height() / 2)), QColor(0xF0, 0xF0, 0xF0));
    bool text = false;
    for (int x = page.left(); x < page.right() && !text; ++x)
        for (int y = 1; y < line->height() - 1 && !text; ++y)
            text = QColor(image.pixel(x, y)) == QColor(0x22, 0x22, 0x22);
    EXPECT_TRUE(text) << "the page text in the status text colour";
}
