// The document tab strip with the real engine: tab texts, state images, closing by the cross
// and by double click, reordering by drag, and the context menu.
#include "EngineFixture.h"
#include "ManualClock.h"

#include "base/FileUtils.h"
#include "ui/DocTabs.h"
#include "ui/ImageRes.h"

#include "platform/Files.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QTest>

namespace {

// The windows as the main window answers the engine: the tab calls go to the strip.
class TabsHost : public DocumentHost {
public:
    TDocTabs *strip = nullptr;
    QList<int> icons;
    void AddTab(const QString &fileName) override
    {
        DocumentHost::AddTab(fileName);
        strip->AddTab(fileName);
    }
    void DeleteTab(int index) override
    {
        DocumentHost::DeleteTab(index);
        strip->DeleteTab(index);
    }
    void SelectTab(int index) override { strip->SelectTab(index); }
    void RenameTab(int index, const QString &fileName) override { strip->RenameTab(index, fileName); }
    void UpdateTabIcon(int index) override { icons << strip->UpdateTabImage(index); }
};

struct DocTabs : EngineFixture {
    pl::fake::ScopedManualTime time;
    TabsHost tabsHost;
    std::unique_ptr<TDocTabs> tabs;
    QList<QPoint> cursorMoves;
    // The state images, each its own colour.
    TPNGImageList images{16};

    void SetUp() override
    {
        EngineFixture::SetUp();
        time.clock.ms = 1000000;
        tabs = std::make_unique<TDocTabs>();
        tabs->SetEngine(engine.get());
        int hue = 0;
        for (const char *name :
             {"Doc", "DocPdf", "DocSync", "DocErr", "DocMod", "DocLocked", "DocLockedMod", "DocGone", "Files"}) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(hue += 40, 200, 200));
            images.Add(image, QLatin1String(name));
        }
        tabs->SetImages(images);
        tabs->SetCursorPos = [this](const QPoint &global) { cursorMoves << tabs->mapFromGlobal(global); };
        // The main window's switch of documents.
        QObject::connect(tabs.get(), &TDocTabs::TabControlChange, [this](int index) {
            engine->StoreDoc(engine->SelDoc());
            engine->RestoreDoc(index);
        });
        tabsHost.strip = tabs.get();
        engine->SetHost(&tabsHost);
        tabs->resize(760, tabs->height());
        tabs->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tabs.get()));
    }
    void TearDown() override
    {
        engine->SetHost(nullptr);
        tabs.reset();
        EngineFixture::TearDown();
    }
    QString open(const QString &fixture, const QString &name)
    {
        const QString path = copy(fixture, name);
        EXPECT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        return path;
    }
    // Tab i shows document i, and the selected tab is the current document.
    void expectTabsFollowDocuments()
    {
        ASSERT_EQ(tabs->count(), engine->DocumentCount());
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_EQ(tabs->tabData(i).toString(), engine->Document(i).FileName) << i;
            EXPECT_EQ(tabs->tabText(i), tabs->GetTabText(engine->Document(i).FileName)) << i;
        }
        EXPECT_EQ(tabs->currentIndex(), engine->SelDoc());
    }
    QPoint centre(int tab) { return tabs->tabRect(tab).center(); }
    QPoint textPoint(int tab) { return tabs->tabRect(tab).topRight() + QPoint(-3, tabs->tabRect(tab).height() / 2); }
    void press(const QPoint &pos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(tabs.get(), button, Qt::NoModifier, pos);
    }
    void release(const QPoint &pos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(tabs.get(), button, Qt::NoModifier, pos);
    }
    // Appends a comment line, dated seconds later than before.
    void rewrite(const QString &path, int seconds)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EngineFixture::rewrite(path, f.readAll() + "\n% edited\n", seconds);
    }
};

} // namespace

TEST_F(DocTabs, TabTexts)
{
    struct Case {
        QString file;
        bool fileTypes;
        QString text;
    };
    const Case cases[] = {
        {"/t/Thesis.pdf", false, "Thesis"},  {"/t/Thesis.pdf", true, "Thesis.pdf"}, {"/t/notes.PDF", false, "notes"},
        {"/t/notes.PDF", true, "notes.PDF"}, {"/t/data.txt", false, "data.txt"},    {"/t/data.txt", true, "data.txt"},
        {"/t/.pdf", false, ".pdf"},          {"/t/a.b.pdf", false, "a.b"},
    };
    for (const Case &c : cases) {
        Prefer.TabFiletypes = c.fileTypes;
        EXPECT_EQ(tabs->GetTabText(c.file), c.text) << c.file.toStdString() << " " << c.fileTypes;
    }

    Prefer.TabFiletypes = false;
    const QFontMetrics fm(tabs->font());
    const int max = fm.horizontalAdvance(Prefer.MaxTabString);
    const QString name = "Chapter three of the very long thesis about everything";
    const QString cut = tabs->GetTabText("/t/" + name + ".pdf");
    EXPECT_TRUE(cut.endsWith(" ...")) << cut.toStdString();
    EXPECT_LE(fm.horizontalAdvance(cut), max);
    EXPECT_TRUE(name.startsWith(cut.chopped(4)));
    EXPECT_GT(fm.horizontalAdvance(name.left(cut.size() - 3) + " ..."), max) << "no more is cut than needed";
    // A name that just fits stays whole.
    EXPECT_EQ(tabs->GetTabText("/t/A very long filename.pdf"), "A very long filename");

    Prefer.MaxTabString.clear();
    EXPECT_EQ(tabs->GetTabText("/t/" + name + ".pdf"), name);
}

// The image of each document state, from the flags the engine works out from the file.
TEST_F(DocTabs, StateImages)
{
    const QString plain = open("multi/multi.pdf", "plain.pdf");
    const QString other = open("multi/multi.pdf", "notes.dat");
    const QString broken = open("pdfium/garbage.pdf", "broken.pdf");
    copy("multi/multi.synctex.gz", "sync.synctex.gz");
    App.AppRunning = true; // loading on the main thread needs the running event loop
    const QString sync = open("multi/multi.pdf", "sync.pdf");
    App.AppRunning = false;
    const QString gone = open("multi/multi.pdf", "gone.pdf");
    const QString changed = open("multi/multi.pdf", "changed.pdf");
    const QString locked = open("multi/multi.pdf", "locked.pdf");
    const QString lockedChanged = open("multi/multi.pdf", "lockedchanged.pdf");

    ASSERT_TRUE(QFile::remove(gone));
    rewrite(changed, 10);
    rewrite(lockedChanged, 10);
    QFile writer(locked), writer2(lockedChanged);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
    ASSERT_TRUE(writer2.open(QIODevice::WriteOnly | QIODevice::Append));

    const QStringList expected = {"DocPdf",  "Doc",    "DocErr",    "DocSync",
                                  "DocGone", "DocMod", "DocLocked", "DocLockedMod"};
    tabsHost.icons.clear();
    for (int i = 0; i < engine->DocumentCount(); ++i) {
        engine->UpdateTab(i, TTabUpdate::Redraw);
        EXPECT_EQ(tabs->TabImageName(i), expected[i]) << engine->Document(i).FileName.toStdString();
        EXPECT_EQ(tabsHost.icons.value(i), tabs->Images()->GetImageIndex(expected[i]));
    }

    // The lock ends when the writer closes the file.
    writer.close();
    tabsHost.icons.clear();
    engine->UpdateTab(6, TTabUpdate::IfChanged);
    EXPECT_EQ(tabs->TabImageName(6), "DocPdf");
    EXPECT_EQ(tabsHost.icons.size(), 1) << "a changed state draws the tab again";
    engine->UpdateTab(6, TTabUpdate::IfChanged);
    EXPECT_EQ(tabsHost.icons.size(), 1) << "an unchanged state does not";
    EXPECT_EQ(tabs->TabImageName(99), "");
    EXPECT_EQ(tabs->TabControlGetImageIndex(99), -1);
}

// A press on the close cross of a tab closes its document and selects nothing; a press
// beside the cross selects the tab.
TEST_F(DocTabs, TheCrossClosesItsDocument)
{
    const QString a = open("multi/multi.pdf", "a.pdf");
    const QString b = open("multi/multi.pdf", "b.pdf");
    const QString c = open("widths/widths.pdf", "c.pdf");
    tabs->SelectTab(0);
    engine->StoreDoc(engine->SelDoc());
    engine->RestoreDoc(0);

    const QRect cross = tabs->CloseIconRect(2);
    ASSERT_FALSE(cross.isEmpty());
    QTest::mouseMove(tabs.get(), cross.center());
    EXPECT_EQ(tabs->HotTab(), 2);
    EXPECT_TRUE(tabs->OverClose());
    QTest::mouseMove(tabs.get(), textPoint(2));
    EXPECT_FALSE(tabs->OverClose());

    press(cross.center());
    release(cross.center());
    EXPECT_EQ(tabsHost.tabs, QStringList({a, b}));
    EXPECT_EQ(engine->FileName(), a) << "the first tab stays selected";
    expectTabsFollowDocuments();

    time.clock.ms += 1000;
    press(textPoint(1));
    release(textPoint(1));
    EXPECT_EQ(engine->FileName(), b);
    expectTabsFollowDocuments();

    // Without the close icon the same press selects the tab.
    Prefer.CustomTabs = 0;
    time.clock.ms += 1000;
    press(tabs->tabRect(0).topLeft() + QPoint(tabs->Images()->Size() / 2 + 6, tabs->tabRect(0).height() / 2));
    EXPECT_EQ(engine->DocumentCount(), 2);
    EXPECT_EQ(engine->FileName(), a);
}

// Two presses within the double-click time close the document under the second one, on
// whichever tab the first one was.
TEST_F(DocTabs, DoubleClickClosing)
{
    struct Case {
        bool enabled;
        int gapMs;
        int left;
    };
    const Case cases[] = {{true, 100, 2}, {true, 399, 2}, {true, 400, 3}, {false, 100, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << " " << c.gapMs);
        engine->CloseAllFiles(-1);
        open("multi/multi.pdf", "a.pdf");
        open("multi/multi.pdf", "b.pdf");
        open("multi/multi.pdf", "c.pdf");
        Prefer.DblClickClose = c.enabled;
        time.clock.ms += 10000;
        press(textPoint(0));
        release(textPoint(0));
        time.clock.ms += c.gapMs;
        press(textPoint(1));
        release(textPoint(1));
        EXPECT_EQ(engine->DocumentCount(), c.left);
        if (c.left == 2) {
            EXPECT_EQ(tabsHost.tabs, QStringList({dir.filePath("a.pdf"), dir.filePath("c.pdf")}));
        }
        expectTabsFollowDocuments();
    }
}

// Dragging a tab moves its document in the engine's list with it; a short press never
// reorders, and after a swap the pointer is kept on the moved tab.
TEST_F(DocTabs, DraggingReordersTheDocuments)
{
    const QString narrow = open("multi/multi.pdf", "n.pdf");
    const QString wide = open("multi/multi.pdf", "a rather wide name.pdf");
    const QString third = open("widths/widths.pdf", "third.pdf");
    tabs->SelectTab(0);
    engine->StoreDoc(engine->SelDoc());
    engine->RestoreDoc(0);
    const int pages = pageCount();

    press(textPoint(0));
    QTest::mouseMove(tabs.get(), centre(1));
    EXPECT_FALSE(tabs->Dragging()) << "within 256 ms a press is a click";
    EXPECT_EQ(engine->Document(0).FileName, narrow);

    time.clock.ms += 256;
    // Onto the left end of the wide tab: the narrow document takes its place, and the
    // pointer, which now lies on the wide tab, is moved onto the dragged one.
    const QPoint leftEnd = tabs->tabRect(1).topLeft() + QPoint(4, tabs->tabRect(1).height() / 2);
    QTest::mouseMove(tabs.get(), leftEnd);
    EXPECT_TRUE(tabs->Dragging());
    EXPECT_EQ(engine->Document(0).FileName, wide);
    EXPECT_EQ(engine->Document(1).FileName, narrow);
    EXPECT_EQ(engine->FileName(), narrow) << "the dragged document stays the current one";
    EXPECT_EQ(tabs->DragTab(), 1);
    expectTabsFollowDocuments();
    EXPECT_EQ(pageCount(), pages);
    ASSERT_EQ(tabs->tabAt(leftEnd), 0);
    ASSERT_EQ(cursorMoves.size(), 1);
    EXPECT_EQ(cursorMoves[0], QPoint(tabs->tabRect(1).left() + 2, leftEnd.y()));
    // Where the pointer would be without the move it finds the wide tab again: no flip back.
    QTest::mouseMove(tabs.get(), leftEnd);
    EXPECT_EQ(engine->Document(0).FileName, wide);
    EXPECT_EQ(engine->Document(1).FileName, narrow);

    QTest::mouseMove(tabs.get(), centre(2));
    EXPECT_EQ(engine->Document(2).FileName, narrow);
    EXPECT_EQ(engine->Document(1).FileName, third);
    expectTabsFollowDocuments();

    release(centre(2));
    EXPECT_FALSE(tabs->Dragging());
    time.clock.ms += 1000;
    QTest::mouseMove(tabs.get(), centre(0));
    EXPECT_EQ(engine->Document(0).FileName, wide) << "no drag without a press";
    EXPECT_EQ(tabsHost.tabs, QStringList({narrow, wide, third})) << "no tab was added or removed";
}

// On a strip too full for its width the selected tab scrolls into view as it moves, so the
// pointer meets tabs far from the dragged one: each step still moves only the dragged tab.
TEST_F(DocTabs, DraggingAcrossAnOverflowingStripMovesOneTab)
{
    QStringList names;
    for (int i = 1; i <= 22; ++i)
        names << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    for (const QString &name : names)
        open("pdfium/text.pdf", name + QStringLiteral(".pdf"));
    ASSERT_GT(tabs->sizeHint().width() - tabs->width(), 0) << "the strip overflows";
    const int last = tabs->count() - 1;
    ASSERT_EQ(engine->SelDoc(), last);
    const QList<QAbstractButton *> arrows = tabs->findChildren<QAbstractButton *>();
    ASSERT_FALSE(arrows.isEmpty());
    ASSERT_TRUE(arrows.first()->isVisible()) << "scroll arrows shown";

    QPoint pos = centre(last);
    press(pos);
    time.clock.ms += 256;
    while (pos.x() > 0) {
        pos.rx() = std::max(0, pos.x() - 40);
        QTest::mouseMove(tabs.get(), pos);
    }
    release(pos);

    QStringList expected = names;
    expected.move(last, 0);
    QStringList order, strip;
    for (int i = 0; i < engine->DocumentCount(); ++i) {
        order << QFileInfo(engine->Document(i).FileName).completeBaseName();
        strip << QFileInfo(tabs->tabData(i).toString()).completeBaseName();
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(strip, expected);
    expectTabsFollowDocuments();
    EXPECT_EQ(QFileInfo(engine->FileName()).completeBaseName(), names.last())
        << "the dragged document stays the current one";
}

TEST_F(DocTabs, HintsAndContextMenu)
{
    const QString a = open("multi/multi.pdf", "a.pdf");
    const QString b = open("multi/multi.pdf", "b.pdf");
    const QString c = open("multi/multi.pdf", "c.pdf");
    EXPECT_EQ(tabs->TabHint(1), b);

    QMenu *menu = tabs->PopupMenuDocTabs();
    const auto action = [menu](const char *name) { return menu->findChild<QAction *>(name); };
    Prefer.NewInstanceCmd = "-V";
    tabs->PopupMenuDocTabsPopup(-1, QPoint(10, 10));
    EXPECT_FALSE(action("DTCloseAllOtherTabs")->isVisible());
    EXPECT_FALSE(action("DTOpenNewInstance")->isVisible());
    menu->hide();
    tabs->PopupMenuDocTabsPopup(1, QPoint(10, 10));
    EXPECT_FALSE(action("DTOpenNewInstance")->isVisible()) << "only on the selected tab";
    EXPECT_TRUE(action("DTCloseAllOtherTabs")->isVisible());
    EXPECT_TRUE(action("DTCustomTabDrawing")->isChecked());
    menu->hide();
    tabs->PopupMenuDocTabsPopup(2, QPoint(10, 10));
    EXPECT_TRUE(action("DTOpenNewInstance")->isVisible());
    menu->hide();

    action("DTShowFileTypes")->trigger();
    EXPECT_EQ(tabs->tabText(0), "a.pdf");
    action("DTCustomTabDrawing")->trigger();
    EXPECT_EQ(Prefer.CustomTabs, 0);
    EXPECT_TRUE(tabs->CloseIconRect(0).isEmpty());
    action("DTDocumentList")->trigger();
    EXPECT_TRUE(log().contains("Documents List: not available yet"));

    tabs->PopupMenuDocTabsPopup(1, QPoint(10, 10));
    menu->hide();
    action("DTCloseAllOtherTabs")->trigger();
    EXPECT_EQ(tabsHost.tabs, QStringList{b});
    expectTabsFollowDocuments();
}

// A deleted document's tab in red on a light background while another tab is selected; the
// tab under the pointer shows the close cross in place of its image.
TEST_F(DocTabs, GoneTabsAndTheCrossAreDrawn)
{
    const QString gone = open("multi/multi.pdf", "gone.pdf");
    open("multi/multi.pdf", "other.pdf");
    ASSERT_TRUE(QFile::remove(gone));
    engine->UpdateTab(0, TTabUpdate::IfChanged);
    QImage image = tabs->grab().toImage();
    const QRect r = tabs->tabRect(0);
    EXPECT_EQ(QColor(image.pixel(r.left() + 1, r.top() + 1)), QColor(0xF0, 0xD1, 0xB3));
    bool red = false;
    for (int x = r.left(); x <= r.right() && !red; ++x)
        for (int y = r.top(); y <= r.bottom() && !red; ++y)
            red = QColor(image.pixel(x, y)) == QColor(0xAA, 0x00, 0x00);
    EXPECT_TRUE(red) << "the file name in red";

    const QRect cross = tabs->CloseIconRect(0);
    QTest::mouseMove(tabs.get(), cross.center());
    ASSERT_TRUE(tabs->OverClose());
    image = tabs->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(cross.left() + 1, cross.top() + 2)), QColor(0xAA, 0x00, 0x00)) << "the cross's fill";
    EXPECT_EQ(QColor(image.pixel(r.left() + 1, r.top() + 1)), QColor(0xD4, 0xE4, 0xF4)) << "the hot tab's background";
}
