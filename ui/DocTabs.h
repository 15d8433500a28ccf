#pragma once
// The document tab strip: one tab per open document in the engine's order, drawn by the
// program with the document's state image, a close cross on the tab under the pointer,
// reordering by dragging, closing by double click, full-path hints and a context menu.
#include "ui/ImageRes.h"

#include <QRect>
#include <QTabBar>

#include <cstdint>
#include <functional>

class QMenu;
class QAction;
class TQPDF;
struct TDocument;

class TDocTabs final : public QTabBar {
    Q_OBJECT
public:
    explicit TDocTabs(QWidget *parent = nullptr);

    void SetEngine(TQPDF *engine) { QPDF = engine; }
    // The image list of the state images and the menu (the small list); its images again
    // after a reload.
    void SetImages(const TPNGImageList &images);
    const TPNGImageList *Images() const { return ImageList; }

    // The engine's calls: tab i always shows document i.
    void AddTab(const QString &fileName);
    void DeleteTab(int index);
    void SelectTab(int index);
    void RenameTab(int index, const QString &fileName);
    // Draws one tab again; its image index (-1 none).
    int UpdateTabImage(int index);
    void UpdateTabImages();
    // Applies the font and rewrites every tab text (file types, length limit changed).
    void UpdateDocTabs();
    // Tab height from the font, the images and the TabsHeight setting.
    void SetTabControlFontSize();
    int TabHeight() const { return FTabHeight; }
    // The strip is the tab height + 4 high, whatever tabs it holds.
    QSize sizeHint() const override { return QSize(QTabBar::sizeHint().width(), FTabHeight + 4); }
    QSize minimumSizeHint() const override { return QSize(0, FTabHeight + 4); }

    // The text a tab shows for a file.
    QString GetTabText(const QString &fileName) const;
    // The state image of a tab's document and its index in the image list (-1 none).
    QString TabImageName(int index) const;
    int TabControlGetImageIndex(int index) const;
    // The hint of a tab: the document's full file name.
    QString TabHint(int index) const;
    // The close cross of a tab, in the strip's coordinates; empty without one.
    QRect CloseIconRect(int index) const;

    int HotTab() const { return FHotTab; }
    bool OverClose() const { return FOverClose; }
    bool Dragging() const { return FDragging; }
    int DragTab() const { return FDragTab; }
    // Ends a drag; true when one was in progress.
    bool StopDragging();
    // The selected tab follows the engine's current document.
    void FollowEngine();

    // The context menu for a tab (-1: the empty part of the strip) at a screen point.
    void PopupMenuDocTabsPopup(int tab, const QPoint &globalPos);
    QMenu *PopupMenuDocTabs() const { return Popup; }

    // Hooks set by the main window. An unset command says in the status line that it is not
    // available yet.
    std::function<void()> DocumentList;
    std::function<void()> OpenNewInstance;
    // The image of the current document for the toolbar.
    std::function<void(int imageIndex)> DocIconChanged;
    // Moves the pointer (screen coordinates) so that it stays on a dragged tab.
    std::function<void(const QPoint &)> SetCursorPos;

signals:
    // The user selected another tab: the main window switches the engine to that document.
    void TabControlChange(int index);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void DrawTab(QPainter &p, int index);
    void TabControlHotTrack(bool disable, const QPoint &pos);
    bool IsTabDragging(const QPoint &pos, Qt::MouseButtons buttons);
    bool OnCloseIcon(int index, const QPoint &pos) const;
    void CloseDocument(int index);
    void SetCurrent(int index);
    void RedrawTab(int index);
    void BuildPopup();
    void RunCommand(QAction *action, const std::function<void()> &command);
    const TDocument *Doc(int index) const;

    TQPDF *QPDF = nullptr;
    const TPNGImageList *ImageList = nullptr;
    QSize ImageSize() const;
    bool NoImages() const { return !ImageList || ImageList->Count() == 0; }
    int FTabHeight = 0;

    int FHotTab = -1;
    bool FOverClose = false;
    int FDragTab = -1;
    int FLastSwap = -1;
    bool FDragging = false;
    int64_t FLastPressTick;
    int FDocIcon = -1;
    bool Selecting = false; // the program selects a tab: no switch of documents

    QMenu *Popup = nullptr;
    QAction *DTOpenNewInstance = nullptr;
    QAction *DTDocumentList = nullptr;
    QAction *DTCloseAllOtherTabs = nullptr;
    QAction *DTCustomTabDrawing = nullptr;
    QAction *DTShowFileTypes = nullptr;
    int PopupTab = -1;
};
