#include "engine/Presentation.h"

TPresentation FullScreenView(TPresentation normal)
{
    if (normal.AllowScrolling && normal.ZoomMode != zfitPage)
        normal.ZoomMode = zfitWidth;
    return normal;
}

TPresentation PresentationView(TPresentation normal)
{
    TPresentation p = FullScreenView(normal);
    p.AllowScrolling = false;
    p.ShowBookmarks = false;
    p.ZoomMode = zfitPage;
    return p;
}
