// The view status the engine publishes after view changes, as the page box, zoom box,
// zoom-mode marks and status line panels show it, and the Goto Page and Custom Zoom dialogs
// with scripted answers.
#include "EngineFixture.h"

#include "app/ViewStatusFormatter.h"

namespace {

// The main window's boxes and status panels, written from each published view status as the
// window does: through the formatter, with the focus of the boxes.
class StatusHost : public DocumentHost {
public:
    QString pageGoto = "unset", pages = "unset", zoomBox = "unset";
    bool pageEnabled = true, zoomEnabled = true;
    bool pageFocused = false, zoomFocused = false;
    int zoomBoxWrites = 0;
    int checkedMode = -1;
    QString panels[4];
    // The dialogs: what they were shown and what the user answers (empty: Cancel).
    QString shownLabel, shownPages, shownZoom;
    QString answer;

    void ShowViewStatus(const TViewStatus &status) override
    {
        DocumentHost::ShowViewStatus(status);
        const TViewStatusText text = formatter.Format(status, pageFocused, zoomFocused);
        if (text.PageBox)
            pageGoto = *text.PageBox;
        if (text.CountBox)
            pages = *text.CountBox;
        pageEnabled = text.PageBoxEnabled;
        panels[0] = text.PagePanel;
        panels[1] = text.PagesPanel;
        panels[2] = text.ZoomPanel;
        panels[3] = text.ZoomModePanel;
        zoomEnabled = text.ZoomBoxEnabled;
        if (text.CheckedZoomMode)
            checkedMode = *text.CheckedZoomMode;
        if (text.ZoomBox) {
            zoomBox = *text.ZoomBox;
            ++zoomBoxWrites;
        }
        if (text.FocusView)
            FocusView();
    }
    void FocusView() override
    {
        DocumentHost::FocusView();
        pageFocused = zoomFocused = false;
    }
    bool AskGotoPage(const QString &label, const QString &count, QString &typed) override
    {
        shownLabel = label;
        shownPages = count;
        typed = answer;
        return !answer.isEmpty();
    }
    bool AskZoom(const QString &zoom, QString &typed) override
    {
        shownZoom = zoom;
        typed = answer;
        return !answer.isEmpty();
    }
    QStringList panelTexts() const { return {panels[0], panels[1], panels[2], panels[3]}; }

private:
    TViewStatusFormatter formatter;
};

struct Status : EngineFixture {
    StatusHost status;
    QString path;

    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetHost(&status);
        Prefer.ZoomMode = zActualSize;
        Prefer.ZoomAuto = false;
        Prefer.Zoom = 100;
        path = copy("multi/multi.pdf", "x.pdf");
        ASSERT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
    }
    TNavigator &nav() { return engine->Navigator(); }
};

} // namespace

// Each jump shows the label of the page in view, its number of the count, and the zoom with
// its mode, in the toolbar boxes and in the status line.
TEST_F(Status, JumpsAndZoomsShowInTheBoxesAndPanels)
{
    struct Case {
        std::function<void()> act;
        QString label, pages, zoom, mode;
        TZoomMode checked;
    };
    const Case cases[] = {
        {[] {}, "i", "(1/7)", "100%", "Actual Size", zActualSize},
        {[&] { nav().GOTOPage(4, nullptr); }, "2", "(4/7)", "100%", "Actual Size", zActualSize},
        {[&] { nav().doSetZoom("250 %"); }, "2", "(4/7)", "250%", "Custom Zoom", zCustom},
        {[&] { nav().ZoomCustom(124.99995, nullptr); }, "2", "(4/7)", "125%", "Custom Zoom", zCustom},
        {[&] { nav().ZoomCustom(124.9, nullptr); }, "2", "(4/7)", "124%", "Custom Zoom", zCustom},
        {[&] { nav().doGOTOPageLabel("ii"); }, "ii", "(2/7)", "124%", "Custom Zoom", zCustom},
        {[&] {
             nav().SetZoomMode(zfitWidth);
             engine->UpdateStatus();
         },
         "ii", "(2/7)", QString::number(int(engine->Layout().GetZoomFitWidth() + 0.0001)) + "%", "Fit Width",
         zfitWidth},
        {[&] { nav().LastPage(); }, "5", "(7/7)", "", "Fit Width", zfitWidth},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.pages + c.mode));
        c.act();
        EXPECT_EQ(status.pageGoto, c.label);
        EXPECT_EQ(status.pages, c.pages);
        EXPECT_TRUE(status.pageEnabled);
        EXPECT_EQ(status.panels[0], "Page:  " + c.label);
        EXPECT_EQ(status.panels[1], c.pages);
        if (!c.zoom.isEmpty()) {
            EXPECT_EQ(status.zoomBox, c.zoom);
            EXPECT_EQ(status.panels[2], "Zoom:  " + c.zoom);
        }
        EXPECT_EQ(status.panels[3], c.mode);
        EXPECT_EQ(status.checkedMode, c.checked);
        EXPECT_TRUE(status.zoomEnabled);
    }
}

// The value itself: the page in view of the count with its label, the zoom in whole percent
// with its mode; the SyncTeX state only while the event loop runs; nothing but "no document"
// after the last one closed.
TEST_F(Status, TheEnginePublishesOneValue)
{
    const int before = status.statusCount;
    nav().GOTOPage(4, nullptr);
    EXPECT_GT(status.statusCount, before);
    const TViewStatus &v = status.viewStatus;
    EXPECT_TRUE(v.Document);
    EXPECT_EQ(v.Page, 4);
    EXPECT_EQ(v.PageCount, 7);
    EXPECT_EQ(v.Label, "2");
    EXPECT_EQ(v.Zoom, 100);
    EXPECT_EQ(v.ZoomMode, zActualSize);
    EXPECT_FALSE(v.SyncTeX.has_value());

    App.AppRunning = true;
    engine->UpdateStatus();
    EXPECT_EQ(status.viewStatus.SyncTeX, "No SyncTeX Data");
    App.AppRunning = false;

    ASSERT_TRUE(engine->CloseFile(QString(), -1));
    EXPECT_FALSE(status.viewStatus.Document);
    EXPECT_EQ(status.viewStatus.PageCount, 0);
}

// What the user is typing stays: the page box is not written while it has the focus, the
// zoom box only when the zoom really changed, and then the page view takes the focus.
TEST_F(Status, FocusedBoxesKeepTheUsersText)
{
    status.pageFocused = true;
    status.pageGoto = "i";
    nav().GOTOPage(5, nullptr);
    EXPECT_EQ(status.pageGoto, "i");
    EXPECT_EQ(status.panels[0], "Page:  3") << "the status line follows anyway";
    EXPECT_EQ(status.panels[1], "(5/7)");

    status.zoomFocused = true;
    status.zoomBox = "30";
    const int writes = status.zoomBoxWrites;
    nav().GOTOPage(6, nullptr);
    EXPECT_EQ(status.zoomBox, "30");
    EXPECT_EQ(status.zoomBoxWrites, writes);
    EXPECT_TRUE(status.zoomFocused);
    status.calls.clear();
    ASSERT_TRUE(nav().doSetZoom("300%"));
    EXPECT_EQ(status.zoomBox, "300%");
    EXPECT_FALSE(status.zoomFocused);
    EXPECT_TRUE(status.calls.contains("FocusView"));
}

// Without a document the boxes are disabled, the zoom box reads 100 % and the panels are
// empty; a document that did not load has no page to show.
TEST_F(Status, NoDocumentAndAnEmptyDocument)
{
    nav().doSetZoom("250%");
    ASSERT_TRUE(engine->CloseFile(QString(), -1));
    EXPECT_FALSE(status.pageEnabled);
    EXPECT_EQ(status.pageGoto, "");
    EXPECT_EQ(status.pages, "");
    EXPECT_FALSE(status.zoomEnabled);
    EXPECT_EQ(status.zoomBox, "100%");
    EXPECT_EQ(status.panelTexts(), QStringList({"", "", "", ""}));

    QFile bad(dir.filePath("bad.pdf"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("%PDF-1.4 not really");
    bad.close();
    ASSERT_TRUE(engine->OpenDocument(bad.fileName(), false, QString(), 0, TDestType::ForwardSearch));
    engine->UpdateStatus();
    EXPECT_EQ(status.pageGoto, "?");
    EXPECT_EQ(status.pages, "(0/0)");
    EXPECT_FALSE(status.pageEnabled);
    EXPECT_EQ(status.panels[0], "Page:  ?");
    EXPECT_TRUE(status.zoomEnabled);
}

// Batching, switching documents in and a zoom step's own restore refresh nothing; the end of
// each refreshes once.
TEST_F(Status, NoRefreshWhileBatchingOrSwitching)
{
    const QString other = copy("widths/widths.pdf", "w.pdf");
    ASSERT_TRUE(engine->SetQuickOpen(true));
    status.pages = "unset";
    ASSERT_TRUE(engine->OpenDocument(other, false, QString(), 0, TDestType::ForwardSearch));
    engine->UpdateStatus();
    EXPECT_EQ(status.pages, "unset");
    ASSERT_TRUE(engine->SetQuickOpen(false));
    EXPECT_EQ(status.pages, "(1/3)");
    status.pages = "unset";
    nav().noUpdating = true;
    engine->UpdateStatus();
    EXPECT_EQ(status.pages, "unset");
    nav().noUpdating = false;
    engine->RestoreDoc(0);
    EXPECT_EQ(status.pages, "(1/7)");
}

// The Goto Page dialog opens on the page in view; OK goes to the typed label, or with a
// leading space to the page number; Cancel stays.
TEST_F(Status, TheGotoPageDialog)
{
    nav().GOTOPage(4, nullptr);
    struct Case {
        QString answer;
        bool result;
        int page;
        QString info;
    };
    const Case cases[] = {
        {"", false, 4, ""},
        {"3", true, 5, ""},
        {" 3", true, 3, ""},
        {"vii", false, 3, "Info 2222: Page \"vii\" not found."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.answer));
        status.answer = c.answer;
        status.calls.clear();
        const QString before = status.pageGoto;
        const int beforePage = page();
        EXPECT_EQ(nav().ShowGotoPageDlg(), c.result);
        EXPECT_EQ(status.shownLabel, before);
        EXPECT_EQ(status.shownPages, QStringLiteral("(%1 / 7)").arg(beforePage));
        EXPECT_EQ(page(), c.page);
        EXPECT_EQ(status.calls.filter("Info").join(""), c.info);
    }
}

// The Custom Zoom dialog opens on the zoom in whole percent ("%" without a document); OK
// applies the typed zoom when it lies in 5 … 10000, the range of the zoom steps.
TEST_F(Status, TheCustomZoomDialog)
{
    nav().ZoomCustom(133.7, nullptr);
    struct Case {
        QString answer;
        bool result;
        double zoom;
    };
    const Case cases[] = {{"", false, 133.7},     {"250 %", true, 250},    {"4", false, 250},
                          {"10001%", false, 250}, {"10000%", true, 10000}, {"5%", true, 5}};
    QString shown = "133%";
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.answer));
        status.answer = c.answer;
        EXPECT_EQ(nav().ShowZoomDlg(), c.result);
        EXPECT_EQ(status.shownZoom, shown);
        EXPECT_DOUBLE_EQ(engine->Layout().FZoom, c.zoom);
        shown = QString::number(int(c.zoom)) + "%";
    }
    engine->CloseFile(QString(), -1);
    status.answer.clear();
    EXPECT_FALSE(nav().ShowZoomDlg());
    EXPECT_EQ(status.shownZoom, "%");
}
