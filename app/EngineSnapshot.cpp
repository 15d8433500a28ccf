#include "app/EngineSnapshot.h"

#include "base/FileUtils.h"
#include "engine/QPDF.h"
#include "synctex/SyncTeX.h"

TEngineSnapshot TEngineSnapshot::Of(TQPDF *engine)
{
    TEngineSnapshot s;
    if (!engine)
        return s;
    s.DocumentCount = engine->DocumentCount();
    s.Document = s.DocumentCount > 0 && engine->SelDoc() >= 0;
    if (!s.Document)
        return s;
    const QString file = engine->FileName();
    s.Pages = engine->Pages().PageCount() > 0;
    s.FileExists = ::FileExists(file);
    s.FolderExists = ::FolderExists(FileFolder(file));
    s.SyncTeX = engine->SyncTeX() && ::FileExists(TSyncTeX::GetSyncFileName(file));
    const TPageLayout &view = engine->Layout();
    s.PageView = view.PageView;
    s.Continuous = view.AllowScrolling;
    s.Zoom = view.FZoom;
    s.ZoomMode = view.FZoomMode;
    s.ShowBookmarks = engine->ShowBookmarks;
    s.FrameLinks = engine->FrameLinks;
    s.RenderAnnot = engine->RenderAnnot;
    // The navigator's actions in their asking form.
    TNavigator &nav = engine->Navigator();
    s.CanGotoMark = nav.CanGotoMark();
    s.CanGoBack = nav.CanPrevPosition();
    s.CanGoForward = nav.CanNextPosition();
    s.Selection = engine->SelectMode() > 0;
    return s;
}
