#include "settings/PreferStore.h"

#include "EngineFixture.h"

#include <QDir>

namespace {

struct DocumentList : EngineFixture {
    QStringList names;

    // Opens a.pdf, b.pdf, c.pdf … (copies of the seven-page document).
    void openDocuments(int n)
    {
        for (int i = 0; i < n; ++i) {
            names << copy("multi/multi.pdf", QString(QChar('a' + i)) + ".pdf");
            ASSERT_TRUE(engine->OpenDocument(names.last(), false, QString(), 0, TDestType::ForwardSearch));
        }
        ASSERT_EQ(engine->DocumentCount(), n);
    }
    QStringList openNames() const
    {
        QStringList list;
        for (int i = 0; i < engine->DocumentCount(); ++i)
            list << QFileInfo(engine->Document(i).FileName).fileName();
        return list;
    }
    QStringList recentNames() const
    {
        QStringList list;
        for (int i = 0; i < Prefer.DocListCount; ++i)
            list << QFileInfo(Prefer.DocList[i].FileName).fileName() + ":"
                    + QString::number(Prefer.DocList[i].wasOpened);
        return list;
    }
};

} // namespace

// The current document after a close: the one before it, or the last when the first closed;
// closing another one keeps the current document and its view.
TEST_F(DocumentList, ClosingSelectsTheSuccessor)
{
    struct Case {
        int current;
        int close;
        QString expectedCurrent;
        QStringList remaining;
    };
    const Case cases[] = {
        {0, 0, "c.pdf", {"b.pdf", "c.pdf"}}, {1, 1, "a.pdf", {"a.pdf", "c.pdf"}}, {2, 2, "b.pdf", {"a.pdf", "b.pdf"}},
        {0, 1, "a.pdf", {"a.pdf", "c.pdf"}}, {2, 0, "c.pdf", {"b.pdf", "c.pdf"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.current * 10 + c.close);
        names.clear();
        openDocuments(3);
        ASSERT_TRUE(engine->OpenDocument(names[c.current], false, QString(), 0, TDestType::ForwardSearch));
        engine->Navigator().GOTOPage(c.current + 2, nullptr);
        ASSERT_TRUE(engine->CloseFile(QString(), c.close));
        EXPECT_EQ(openNames(), c.remaining);
        EXPECT_EQ(host.tabs.size(), 2);
        ASSERT_GE(engine->SelDoc(), 0);
        EXPECT_EQ(QFileInfo(engine->FileName()).fileName(), c.expectedCurrent);
        EXPECT_EQ(host.caption, engine->FileName());
        EXPECT_EQ(pageCount(), 7) << "the successor is shown";
        if (c.current != c.close) {
            EXPECT_EQ(page(), c.current + 2) << "the current view stays";
        }
        EXPECT_EQ(Prefer.DocList[0].FileName, names[c.close]);
        EXPECT_EQ(Prefer.DocList[0].wasOpened, 0);
        ASSERT_TRUE(engine->CloseAllFiles(-1));
        EXPECT_EQ(engine->DocumentCount(), 0);
    }
}

// A dragged tab's document moves to its drop place and the others keep their order; the
// current and the previous document are followed by their records.
TEST_F(DocumentList, MovingADocumentShiftsOnlyTheOnesBetween)
{
    struct Case {
        int from, to;
        bool moved;
        QStringList order;
    };
    const Case cases[] = {
        {0, 3, true, {"b.pdf", "c.pdf", "d.pdf", "a.pdf"}},  {3, 0, true, {"d.pdf", "a.pdf", "b.pdf", "c.pdf"}},
        {1, 2, true, {"a.pdf", "c.pdf", "b.pdf", "d.pdf"}},  {2, 2, true, {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}},
        {4, 0, false, {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}}, {0, -1, false, {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 -> %2").arg(c.from).arg(c.to).toStdString());
        names.clear();
        openDocuments(4);
        ASSERT_TRUE(engine->OpenDocument(names[1], false, QString(), 0, TDestType::ForwardSearch));
        ASSERT_EQ(engine->PreviousSelDoc(), 3);
        EXPECT_EQ(engine->MoveDocument(c.from, c.to), c.moved);
        EXPECT_EQ(openNames(), c.order);
        EXPECT_EQ(QFileInfo(engine->Document(engine->SelDoc()).FileName).fileName(), QStringLiteral("b.pdf"));
        EXPECT_EQ(QFileInfo(engine->Document(engine->PreviousSelDoc()).FileName).fileName(), QStringLiteral("d.pdf"));
        ASSERT_TRUE(engine->CloseAllFiles(-1));
    }
}

TEST_F(DocumentList, CloseRefusesNamesAndIndexesThatAreNotOpen)
{
    openDocuments(2);
    EXPECT_FALSE(engine->CloseFile(dir.filePath("z.pdf"), 0)) << "a name wins over the index";
    EXPECT_FALSE(engine->CloseFile(QString(), 2));
    EXPECT_FALSE(engine->CloseFile(QString(), -2));
    EXPECT_TRUE(engine->CloseFile(names[0], 7));
    EXPECT_EQ(openNames(), QStringList{"b.pdf"});
}

TEST_F(DocumentList, ClosingTheLastDocumentRestoresTheDefaultView)
{
    Prefer.ZoomMode = zCustom;
    Prefer.Zoom = 150;
    Prefer.PageView = TPageViewMode::Double;
    Prefer.AllowScrolling = false;
    openDocuments(1);
    engine->Navigator().SetZoom(220);
    ASSERT_TRUE(engine->CloseFile(QString(), -1));
    EXPECT_EQ(engine->SelDoc(), -1);
    EXPECT_EQ(engine->FileName(), QString());
    EXPECT_EQ(host.caption, QString());
    EXPECT_EQ(engine->Layout().FZoomMode, zCustom);
    EXPECT_EQ(engine->Layout().FZoom, 150);
    EXPECT_EQ(engine->Layout().PageView, TPageViewMode::Double);
    EXPECT_FALSE(engine->Layout().AllowScrolling);
    EXPECT_EQ(engine->SyncTeX(), nullptr);
    EXPECT_EQ(pageCount(), 0);
    EXPECT_EQ(Prefer.DocList[0].Zoom, 220) << "the recent list keeps the closed view";
}

// Each document keeps its own page, zoom and history while another one is shown.
TEST_F(DocumentList, SwitchingDocumentsKeepsEachView)
{
    openDocuments(2);
    engine->Navigator().GOTOPage(6, nullptr);
    engine->Navigator().SetZoom(150);
    ASSERT_TRUE(engine->OpenDocument(names[0], false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(page(), 1);
    engine->Navigator().GOTOPage(3, nullptr);
    ASSERT_TRUE(engine->OpenDocument(names[1], false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(engine->SelDoc(), 1);
    EXPECT_EQ(engine->PreviousSelDoc(), 0);
    EXPECT_EQ(page(), 6);
    EXPECT_EQ(engine->Layout().FZoom, 150);
    ASSERT_TRUE(engine->Navigator().PrevPosition());
    EXPECT_EQ(page(), 1) << "the history belongs to the document";
    ASSERT_TRUE(engine->OpenDocument(names[0], false, QString(), 0, TDestType::ForwardSearch));
    EXPECT_EQ(page(), 3);
    EXPECT_NE(engine->Layout().FZoom, 150);
}

// A full list drops its oldest entry; a known name moves to the top without growing it.
TEST_F(DocumentList, TheRecentListKeepsAtMostMaxListLenEntries)
{
    Prefer.MaxListLen = 3;
    Prefer.DocList.resize(4);
    Prefer.DocListCount = 0;
    TDocument doc;
    for (const char *name : {"/p/1.pdf", "/p/2.pdf", "/p/3.pdf", "/p/4.pdf", "/p/3.pdf"}) {
        doc.FileName = name;
        engine->InsertDocList(doc, 0);
    }
    EXPECT_EQ(recentNames(), QStringList({"3.pdf:0", "4.pdf:0", "2.pdf:0"}));
    EXPECT_EQ(Prefer.DocList.size(), 4);
}

// Saving the settings puts the open documents at the top in tab order, the current one
// marked as selected.
TEST_F(DocumentList, TheSettingsSaveListsTheOpenDocumentsFirst)
{
    openDocuments(3);
    ASSERT_TRUE(engine->OpenDocument(names[1], false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().GOTOPage(4, nullptr);
    TDocument old;
    old.FileName = "/old.pdf";
    engine->InsertDocList(old, 0);
    ASSERT_TRUE(PreferStoreHooks.updateDocList);
    PreferStoreHooks.updateDocList();
    EXPECT_EQ(recentNames(), QStringList({"a.pdf:1", "b.pdf:2", "c.pdf:1", "old.pdf:0"}));
    EXPECT_EQ(Prefer.DocList[1].cp, 4);
    engine.reset();
    EXPECT_FALSE(PreferStoreHooks.updateDocList) << "the engine is gone";
}

// Restoring skips files that are gone and selects the document that was current, unless
// that one could not be opened.
TEST_F(DocumentList, RestoringReopensTheDocumentsOfTheLastSession)
{
    struct Case {
        QString selected; // the entry marked as current
        QString expectedCurrent;
    };
    Prefer.RememberDoc = true;
    const Case cases[] = {
        {"b.pdf", "b.pdf"},
        {"gone.pdf", "c.pdf"},
        {"bad.pdf", "c.pdf"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.selected));
        engine->CloseAllFiles(-1);
        Prefer.DocListCount = 0;
        const QString a = copy("multi/multi.pdf", "a.pdf"), b = copy("multi/multi.pdf", "b.pdf");
        const QString cc = copy("widths/widths.pdf", "c.pdf"), bad = copy("pdfium/garbage.pdf", "bad.pdf");
        const QString list[] = {a, dir.filePath("gone.pdf"), b, bad, cc};
        // InsertDocList puts each at the top: insert last to first, then an old closed one.
        TDocument doc;
        doc.FileName = dir.filePath("closed.pdf");
        engine->InsertDocList(doc, 0);
        for (int i = 4; i >= 0; --i) {
            doc.FileName = list[i];
            doc.Position = {2, 0, 0};
            engine->InsertDocList(doc, QFileInfo(list[i]).fileName() == c.selected ? 2 : 1);
        }
        EXPECT_EQ(engine->RestoreOpenedDocuments(), 4);
        EXPECT_FALSE(engine->QuickOpen());
        EXPECT_EQ(openNames(), QStringList({"a.pdf", "b.pdf", "bad.pdf", "c.pdf"}));
        EXPECT_EQ(QFileInfo(engine->FileName()).fileName(), c.expectedCurrent);
        EXPECT_EQ(host.caption, engine->FileName());
        EXPECT_EQ(page(), 2);
        EXPECT_EQ(Prefer.DocList[1].wasOpened, 0) << "the missing file is no longer open";
        EXPECT_EQ(Prefer.DocList[5].wasOpened, 0) << "the walk stops at the first closed entry";
        EXPECT_TRUE(engine->Document(2).Error);
    }
}

// Each document of the last session comes back with the zoom it was left at, through a real
// data file and a new engine, even where the automatic initial zoom would choose another.
TEST_F(DocumentList, RestoredDocumentsKeepTheirZoom)
{
    App.DataFolder = dir.path();
    App.DataFile = dir.filePath("OrvalePDF.dat");
    Prefer.RememberDoc = true;
    Prefer.ZoomAuto = true;
    host.clientWidth = 800; // multi.pdf fits 191 % wide and 101 % high at 72 pixels per inch
    host.clientHeight = 600;
    struct Case {
        TZoomMode mode;
        double zoom; // for the set zooms
    };
    const Case cases[] = {{zfitPage, 0}, {zActualSize, 100}, {zCustom, 250}, {zfitWidth, 0}};
    openDocuments(std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_TRUE(engine->OpenDocument(names[int(i)], false, QString(), 0, TDestType::ForwardSearch));
        if (cases[i].zoom > 0)
            engine->Navigator().ZoomCustom(cases[i].zoom, nullptr);
        else
            engine->Navigator().SetZoomMode(cases[i].mode);
        ASSERT_EQ(engine->Layout().FZoomMode, cases[i].mode) << i;
    }
    ASSERT_TRUE(WriteData());

    engine.reset();
    Prefer = TPrefer();
    ASSERT_TRUE(ReadData());
    host.tabs.clear();
    engine = std::make_unique<TQPDF>(72);
    ASSERT_EQ(engine->Status(), 1);
    engine->SetHost(&host);
    ASSERT_EQ(engine->RestoreOpenedDocuments(), int(std::size(cases)));
    ASSERT_EQ(openNames(), QStringList({"a.pdf", "b.pdf", "c.pdf", "d.pdf"}));
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_TRUE(engine->OpenDocument(names[int(i)], false, QString(), 0, TDestType::ForwardSearch));
        EXPECT_EQ(engine->Layout().FZoomMode, cases[i].mode) << i;
        if (cases[i].zoom > 0) {
            EXPECT_EQ(engine->Layout().FZoom, cases[i].zoom) << i;
        }
    }
}

// A recycled slot gets a SyncTeX object of its own while a loader still fills the old one.
TEST_F(DocumentList, ARecycledSlotNeverSharesALoadingSyncTeXObject)
{
    for (const bool loading : {false, true}) {
        SCOPED_TRACE(loading);
        names.clear();
        openDocuments(1);
        const std::shared_ptr<TSyncTeX> sync = engine->Document(0).SyncTeX;
        ASSERT_TRUE(sync);
        EXPECT_EQ(engine->SyncTeX(), sync);
        sync->Loading = loading;
        ASSERT_TRUE(engine->CloseFile(QString(), 0));
        const std::shared_ptr<TSyncTeX> spare = engine->Document(0).SyncTeX;
        EXPECT_EQ(spare == sync, !loading);
        EXPECT_FALSE(spare->Loading);
        sync->Loading = false;
    }
}

TEST_F(DocumentList, ANestedRestoreIsIgnored)
{
    openDocuments(2);
    bool nested = false;
    struct NestingHost : DocumentHost {
        std::function<void()> onCaption;
        void SetCaption(const QString &f) override
        {
            DocumentHost::SetCaption(f);
            if (onCaption)
                onCaption();
        }
    } nesting;
    engine->SetHost(&nesting);
    nesting.onCaption = [&] {
        if (!nested) {
            nested = true;
            engine->RestoreDoc(0);
        }
    };
    engine->RestoreDoc(1);
    EXPECT_TRUE(log().contains("Already Restoring: " + names[0]));
    EXPECT_EQ(engine->SelDoc(), 1);
    engine->SetHost(&host);
}

// While batching, switching documents neither sets the caption nor updates the status.
TEST_F(DocumentList, BatchingShowsTheResultOnce)
{
    openDocuments(2);
    int statusUpdates = 0;
    struct CountingHost : DocumentHost {
        int *count = nullptr;
        void StatusUpdated() override { ++*count; }
    } counting;
    counting.count = &statusUpdates;
    engine->SetHost(&counting);
    ASSERT_TRUE(engine->SetQuickOpen(true));
    EXPECT_FALSE(engine->SetQuickOpen(true));
    ASSERT_TRUE(engine->OpenDocument(names[0], false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().GOTOPage(3, nullptr);
    EXPECT_FALSE(engine->QuickOpen()) << "a jump ends the batch";
    ASSERT_TRUE(engine->SetQuickClose(true));
    counting.caption.clear();
    const int before = statusUpdates;
    engine->RestoreDoc(1);
    engine->RestoreDoc(0);
    EXPECT_EQ(counting.caption, QString());
    EXPECT_EQ(statusUpdates, before);
    ASSERT_TRUE(engine->SetQuickClose(false));
    EXPECT_GT(statusUpdates, before);
    EXPECT_EQ(counting.caption, names[0]);
    EXPECT_EQ(page(), 3);
    engine->SetHost(&host);
}
