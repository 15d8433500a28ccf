#include "settings/PreferStore.h"

#include "EngineFixture.h"

namespace {

struct Presentation : EngineFixture {
    QString open(const QString &name)
    {
        const QString path = copy("multi/multi.pdf", name);
        EXPECT_TRUE(engine->OpenDocument(path, false, QString(), 0, TDestType::ForwardSearch));
        return path;
    }
    void setView(bool continuous, TZoomMode mode, double zoom)
    {
        engine->Navigator().SetContinuousView(continuous);
        if (mode == zCustom)
            engine->Navigator().SetZoom(zoom);
        else
            engine->Navigator().SetZoomMode(mode);
    }
    void enter(TDisplayState from, TDisplayState to)
    {
        host.displayState = int(from);
        engine->SwitchDisplayState(from, to);
        host.displayState = int(to);
    }
    TPresentation shown() const
    {
        const TPageLayout &view = engine->Layout();
        return {view.AllowScrolling, engine->ShowBookmarks, engine->RenderAnnot,
                engine->FrameLinks,  view.FZoomMode,        view.FZoom};
    }
    const TDocInfo *recent(const QString &path) const
    {
        for (int i = 0; i < Prefer.DocListCount; ++i)
            if (Prefer.DocList[i].FileName == path)
                return &Prefer.DocList[i];
        return nullptr;
    }
};

} // namespace

// Full screen shows a continuous document by its width unless it fits pages; presentation
// always shows single whole pages.
TEST_F(Presentation, SlotsFollowTheNormalView)
{
    struct Case {
        const char *name;
        bool continuous;
        TZoomMode mode;
        TZoomMode fullScreen;
        TZoomMode presentation;
    };
    const Case cases[] = {
        {"continuous custom zoom", true, zCustom, zfitWidth, zfitPage},
        {"continuous fit page", true, zfitPage, zfitPage, zfitPage},
        {"single page custom zoom", false, zCustom, zCustom, zfitPage},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // A document of its own: slots, once prepared, keep what the states showed.
        open(QString::fromLatin1(c.name).replace(' ', '-') + ".pdf");
        setView(c.continuous, c.mode, 150);
        enter(TDisplayState::Normal, TDisplayState::FullScreen);
        EXPECT_EQ(shown().ZoomMode, c.fullScreen);
        EXPECT_EQ(shown().AllowScrolling, c.continuous);
        enter(TDisplayState::FullScreen, TDisplayState::Presentation);
        EXPECT_EQ(shown().ZoomMode, c.presentation);
        EXPECT_FALSE(shown().AllowScrolling);
        EXPECT_FALSE(shown().ShowBookmarks);
        enter(TDisplayState::Presentation, TDisplayState::Normal);
        EXPECT_EQ(shown().ZoomMode, c.mode);
        EXPECT_EQ(shown().AllowScrolling, c.continuous);
    }
}

// A zoom changed in full screen is the full-screen zoom next time; the normal view stays.
TEST_F(Presentation, LeavingAStateKeepsItsView)
{
    open("a.pdf");
    setView(true, zfitWidth, 100);
    enter(TDisplayState::Normal, TDisplayState::FullScreen);
    engine->Navigator().SetZoom(175);
    enter(TDisplayState::FullScreen, TDisplayState::Normal);
    EXPECT_EQ(shown().ZoomMode, zfitWidth);
    enter(TDisplayState::Normal, TDisplayState::FullScreen);
    EXPECT_EQ(shown().ZoomMode, zCustom);
    EXPECT_DOUBLE_EQ(shown().Zoom, 175);
}

// A document opened in presentation is shown as presentation shows it, and leaving restores
// the view it was opened with.
TEST_F(Presentation, DocumentOpenedInAStateTakesItsSlot)
{
    Prefer.AllowScrolling = true;
    open("a.pdf");
    enter(TDisplayState::Normal, TDisplayState::Presentation);
    open("b.pdf");
    EXPECT_FALSE(engine->Document(1).AllowScrolling);
    EXPECT_EQ(engine->Document(1).ZoomMode, zfitPage);
    enter(TDisplayState::Presentation, TDisplayState::Normal);
    EXPECT_TRUE(shown().AllowScrolling);
}

// The recent list gets the normal view of documents closed or listed in presentation, and the
// open ones keep their presentation view.
TEST_F(Presentation, StoredViewsAreTheNormalOnes)
{
    const QString a = open("a.pdf");
    setView(true, zfitWidth, 100);
    const QString b = open("b.pdf");
    setView(true, zCustom, 130);
    enter(TDisplayState::Normal, TDisplayState::Presentation);

    engine->UpdateDocList();
    ASSERT_NE(recent(a), nullptr);
    EXPECT_TRUE(recent(a)->AllowScrolling);
    EXPECT_EQ(recent(a)->ZoomMode, zfitWidth);
    EXPECT_EQ(shown().ZoomMode, zfitPage);
    EXPECT_FALSE(engine->Document(0).AllowScrolling);

    ASSERT_TRUE(engine->CloseFile(b, -1));
    ASSERT_NE(recent(b), nullptr);
    EXPECT_TRUE(recent(b)->AllowScrolling);
    EXPECT_EQ(recent(b)->ZoomMode, zCustom);
    EXPECT_DOUBLE_EQ(recent(b)->Zoom, 130);

    EXPECT_EQ(engine->RestoreDefaultViews(), 1);
    EXPECT_TRUE(engine->Document(0).AllowScrolling);
    EXPECT_EQ(engine->Document(0).ZoomMode, zfitWidth);
}
