#pragma once
// The commands that act on how the current document and the window look: page view,
// continuous scrolling, zoom, rotation, links and annotations, the measuring display, the
// window's bars, and the about box.

class TMainForm;
class TQPDF;

class TViewCommands {
public:
    TViewCommands(TMainForm &form, TQPDF *engine) : Form(form), QPDF(engine) {}

    void menuMeasuringModeClick();
    void menuPageViewClick();
    void menuCountiniousViewClick();
    void menuShowBookmarksClick();
    void menuPresentationClick();
    void menuFullScreenClick();
    void menuFrameLinksClick();
    void menuRenderAnnotClick();
    void menuRotateRightClick();
    void menuRotateLeftClick();
    void menuZoomFitPageClick();
    void menuZoomActualSizeClick();
    void menuZoomFitWidthClick();
    void menuZoomCustomClick();
    void menuZoomInClick();
    void menuZoomOutClick();
    void menuZoomClick();
    void menuShowToolbarClick();
    void menuShowTabsClick();
    void menuShowStatusLineClick();
    void menuShowScrollbarsClick();
    void menuRenderToBitmapClick();
    void menuAboutClick();

private:
    // The page view paints again after a switch that changes how pages look.
    void AfterViewSwitch();

    TMainForm &Form;
    TQPDF *QPDF;
};
