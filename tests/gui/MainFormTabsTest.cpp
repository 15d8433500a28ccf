// The tab strip and the status line inside the main window: the engine's documents appear as
// tabs, switching by tab or by menu keeps tab and document together, the cross closes, and
// the status panels follow the current document.
#include "ui/DocTabs.h"
#include "ui/MainForm.h"
#include "ui/StatusLine.h"

#include "MainFormFixture.h"

#include <QAction>
#include <QTest>

namespace {

struct MainFormTabs : MainFormFixture {
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 600, 850}; // top, left, bottom, right
        Prefer.ShowStatusLine = true;
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QString open(const QString &fixture, const QString &name)
    {
        const QString path = copy(fixture, name);
        EXPECT_TRUE(engine->LoadFile(path));
        return path;
    }
    void expectTabsFollowDocuments()
    {
        TDocTabs *tabs = form->TabControl;
        ASSERT_EQ(tabs->count(), engine->DocumentCount());
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_EQ(tabs->TabHint(i), engine->Document(i).FileName) << i;
        EXPECT_EQ(tabs->currentIndex(), engine->SelDoc());
    }
};

} // namespace

TEST_F(MainFormTabs, TabsFollowTheDocuments)
{
    copy("multi/multi.synctex.gz", "thesis.synctex.gz");
    const QString thesis = open("multi/multi.pdf", "thesis.pdf");
    EXPECT_TRUE(form->TabPanel->isHidden()) << "one document: the strip hides itself";
    const QString notes = open("widths/widths.pdf", "notes.pdf");
    EXPECT_FALSE(form->TabPanel->isHidden());
    TDocTabs *tabs = form->TabControl;
    EXPECT_EQ(tabs->tabText(0), "thesis");
    EXPECT_EQ(tabs->tabText(1), "notes");
    expectTabsFollowDocuments();
    EXPECT_EQ(form->StatusLine->PanelText(slPanelSyncTeX), "No SyncTeX Data");
    EXPECT_EQ(form->StatusLine->PanelText(slPanelPages), "(1/3)");

    // A press on the first tab switches the engine to its document.
    QApplication::processEvents();
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(0).topRight() + QPoint(-3, 6));
    EXPECT_EQ(engine->FileName(), thesis);
    expectTabsFollowDocuments();
    EXPECT_EQ(form->StatusLine->PanelText(slPanelSyncTeX), "SyncTeX.gz: Ready");
    EXPECT_EQ(form->StatusLine->PanelText(slPanelPages), "(1/7)");
    EXPECT_EQ(tabs->TabImageName(0), "DocSync");

    // Switching by the menu moves the selected tab along.
    form->Command("menuNextDoc")->trigger();
    EXPECT_EQ(engine->FileName(), notes);
    expectTabsFollowDocuments();

    // The cross closes the document under it.
    QTest::mouseMove(tabs, tabs->CloseIconRect(0).center());
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->CloseIconRect(0).center());
    EXPECT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(engine->FileName(), notes);
    expectTabsFollowDocuments();
    EXPECT_TRUE(form->TabPanel->isHidden());

    form->SetStatusText("Searching ...");
    EXPECT_EQ(form->StatusLine->PanelText(slPanelStatus), "Searching ...");
    EXPECT_EQ(form->StatusText(), "Searching ...");
}
