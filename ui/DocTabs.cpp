#include "ui/DocTabs.h"

#include "base/BusyIndicator.h"
#include "settings/Colors.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "settings/Prefer.h"
#include "engine/QPDF.h"
#include "ui/ColorBlend.h"

#include "platform/Clock.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QToolTip>

#include <algorithm>
#include <limits>

namespace {

// A press held this long before the pointer moves starts a drag; a shorter one is a click.
constexpr int64_t kDragDelayMs = 256;
const QString kHeightSample = QStringLiteral("AbgjQWXyz0123456789()[]{}|/_,;:");

enum TTabColorIndex {
    tcCloseFill,
    tcCloseStroke,
    tcHoverFill,
    tcHoverStroke,
    tcSelectedBk = 6,
    tcSelectedText,
    tcHotBk,
    tcHotText,
    tcHotSelectedBk,
    tcHotSelectedText,
    tcDraggedBk,
    tcDraggedText
};

QColor TabColor(int index) { return ToQColor(Prefer.TabColors[size_t(index)]); }
QColor Hex(uint32_t rrggbb) { return QColor(QRgb(rrggbb)); }

// The menu caption without its trailing "...".
QString Plain(QString caption)
{
    caption.remove(QLatin1Char('&'));
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    return caption;
}

} // namespace

TDocTabs::TDocTabs(QWidget *parent) : QTabBar(parent), FLastPressTick(std::numeric_limits<int64_t>::min() / 2)
{
    setObjectName(QStringLiteral("TabControl"));
    setMouseTracking(true);
    setDrawBase(false);
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
    setFocusPolicy(Qt::NoFocus);
    SetCursorPos = [](const QPoint &global) { QCursor::setPos(global); };
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (!Selecting && index >= 0)
            emit TabControlChange(index);
    });
    BuildPopup();
    SetTabControlFontSize();
}

void TDocTabs::SetImages(const TPNGImageList &images)
{
    ImageList = &images;
    FDocIcon = -1;
    DTDocumentList->setIcon(images.Icon(QStringLiteral("Files")));
    DTCloseAllOtherTabs->setIcon(images.Icon(QStringLiteral("CloseAll")));
    SetTabControlFontSize();
    update();
}

QSize TDocTabs::ImageSize() const { return ImageList ? QSize(ImageList->Size(), ImageList->Size()) : QSize(0, 0); }

// ---- Tabs of the engine's documents -------------------------------------------------------

const TDocument *TDocTabs::Doc(int index) const
{
    return QPDF && index >= 0 && index < QPDF->DocumentCount() ? &QPDF->Document(index) : nullptr;
}

void TDocTabs::SetCurrent(int index)
{
    Selecting = true;
    setCurrentIndex(index);
    Selecting = false;
}

void TDocTabs::AddTab(const QString &fileName)
{
    Selecting = true;
    const int index = addTab(GetTabText(fileName));
    setTabData(index, fileName);
    Selecting = false;
}

void TDocTabs::DeleteTab(int index)
{
    if (index < 0 || index >= count())
        return;
    StopDragging();
    FHotTab = -1;
    FOverClose = false;
    Selecting = true;
    removeTab(index);
    Selecting = false;
}

void TDocTabs::SelectTab(int index)
{
    if (index >= 0 && index < count())
        SetCurrent(index);
}

void TDocTabs::RenameTab(int index, const QString &fileName)
{
    if (index < 0 || index >= count())
        return;
    setTabText(index, GetTabText(fileName));
    setTabData(index, fileName);
}

void TDocTabs::FollowEngine()
{
    if (QPDF && QPDF->SelDoc() >= 0 && QPDF->SelDoc() < count() && QPDF->SelDoc() != currentIndex())
        SetCurrent(QPDF->SelDoc());
}

QString TDocTabs::GetTabText(const QString &fileName) const
{
    const QString ext = FileExtension(fileName);
    QString text;
    if (!Prefer.TabFiletypes && ext.compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0) {
        text = FileNameOnly(fileName);
        if (text.isEmpty())
            text = ext;
    } else {
        text = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    }
    if (Prefer.MaxTabString.isEmpty() || text.size() <= 1)
        return text;
    const QFontMetrics fm(font());
    const int max = fm.horizontalAdvance(Prefer.MaxTabString);
    if (fm.horizontalAdvance(text) <= max)
        return text;
    const QString ellipsis = QStringLiteral(" ...");
    while (text.size() >= 2 && fm.horizontalAdvance(text + ellipsis) > max)
        text.chop(1);
    return text + ellipsis;
}

QString TDocTabs::TabImageName(int index) const
{
    const TDocument *d = Doc(index);
    if (!d)
        return QString();
    if (!d->Exists)
        return QStringLiteral("DocGone");
    if (d->Locked)
        return d->Modified || d->Error ? QStringLiteral("DocLockedMod") : QStringLiteral("DocLocked");
    if (d->Modified)
        return QStringLiteral("DocMod");
    if (d->Error)
        return QStringLiteral("DocErr");
    if (d->Sync)
        return QStringLiteral("DocSync");
    return d->PDF ? QStringLiteral("DocPdf") : QStringLiteral("Doc");
}

int TDocTabs::TabControlGetImageIndex(int index) const
{
    return NoImages() ? -1 : ImageList->GetImageIndex(TabImageName(index));
}

QString TDocTabs::TabHint(int index) const
{
    const TDocument *d = Doc(index);
    return d ? d->FileName : tabText(index);
}

void TDocTabs::RedrawTab(int index)
{
    if (index >= 0 && index < count())
        update(tabRect(index));
}

int TDocTabs::UpdateTabImage(int index)
{
    if (index < 0 || index >= count()) {
        DebugLog(QStringLiteral("Error Updating Document Tab: ") + QString::number(index), true);
        return -1;
    }
    RedrawTab(index);
    const int image = TabControlGetImageIndex(index);
    if (index == currentIndex() && image >= 0 && image != FDocIcon) {
        FDocIcon = image;
        if (DocIconChanged)
            DocIconChanged(image);
    }
    return image;
}

void TDocTabs::UpdateTabImages()
{
    setUpdatesEnabled(false);
    for (int i = 0; i < count(); ++i)
        UpdateTabImage(i);
    setUpdatesEnabled(true);
}

void TDocTabs::SetTabControlFontSize()
{
    const QFontMetrics fm(font());
    const int imageHeight = ImageSize().height();
    const int height = std::max(fm.boundingRect(kHeightSample).height(), imageHeight) + CurrentPPI / 48;
    FTabHeight = std::max(height, Prefer.TabsHeight * CurrentPPI / 96);
    setFixedHeight(FTabHeight + 4);
    updateGeometry();
}

void TDocTabs::UpdateDocTabs()
{
    setUpdatesEnabled(false);
    SetTabControlFontSize();
    for (int i = 0; i < count(); ++i) {
        const TDocument *d = Doc(i);
        setTabText(i, GetTabText(d ? d->FileName : tabData(i).toString()));
    }
    setUpdatesEnabled(true);
}

QSize TDocTabs::tabSizeHint(int index) const
{
    const QFontMetrics fm(font());
    const int pad = fm.horizontalAdvance(QLatin1Char('x'));
    const int image = ImageSize().width();
    return QSize(fm.horizontalAdvance(tabText(index)) + image + (image > 0 ? 3 : 2) * pad, FTabHeight);
}

// ---- Drawing ------------------------------------------------------------------------------

void TDocTabs::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QColor panel = ToQColor(Colors.Theme[dtcCustomPanel].val);
    if (panel.isValid())
        p.fillRect(rect(), panel);
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).intersects(event->rect()))
            DrawTab(p, i);
}

void TDocTabs::DrawTab(QPainter &p, int index)
{
    if (!QPDF)
        return;
    const QRect R = tabRect(index);
    const bool selected = index == currentIndex();
    const bool dark = ColorLuma(ToQColor(SystemColor(COLOR_BTNFACE))) < 128 || Prefer.ThemeModeIndex == 1;
    const QFontMetrics fm(font());
    const QString text = tabText(index);
    const int textWidth = fm.horizontalAdvance(text);
    int pad = fm.horizontalAdvance(QLatin1Char('x'));
    const int textHeight = fm.height();
    const int image = TabControlGetImageIndex(index);
    const int imageWidth = ImageSize().width(), imageHeight = ImageSize().height();

    const QRect imageBox(R.left() + pad, R.top() + (R.height() - imageHeight) / 2, imageWidth, imageHeight);
    if (imageWidth == 0)
        pad = 0;
    const QRect textBox(imageWidth + R.left() + pad + (R.width() - imageWidth - textWidth - pad) / 2,
                        R.top() + (R.height() - textHeight - 1) / 2, textWidth, textHeight);

    const bool hot = index == FHotTab && !FDragging;
    const QColor blue(64, 128, 255);
    const TDocument *d = Doc(index);
    QColor textColor, background;
    if (FDragging && index == FDragTab) {
        textColor = TabColor(tcDraggedText);
        background = TabColor(tcDraggedBk);
    } else if (selected && hot) {
        textColor = dark ? QColor(Qt::white) : TabColor(tcHotSelectedText);
        background = dark ? BlendColors(blue, 80, Qt::black, 20) : TabColor(tcHotSelectedBk);
    } else if (selected) {
        textColor = dark ? Hex(0xF8F8F8) : TabColor(tcSelectedText);
        background = dark ? BlendColors(blue, 70, Qt::black, 30) : TabColor(tcSelectedBk);
    } else if (hot) {
        textColor = dark ? QColor(Qt::white) : TabColor(tcHotText);
        background = dark ? Hex(0x585858) : TabColor(tcHotBk);
    } else if (d && (!d->Exists || d->Locked || d->Modified || d->Error)) {
        background = Hex(0xF0D1B3);
        textColor = !d->Exists                       ? Hex(0xAA0000)
            : d->Locked && (d->Modified || d->Error) ? Hex(0x900000)
            : d->Locked                              ? Hex(0x800000)
            : d->Modified                            ? Hex(0xA00000)
                                                     : Hex(0xB80000);
    } else {
        textColor = ToQColor(Colors.Theme[dtcCustomText].val);
        background = ToQColor(Colors.Theme[dtcCustomBk].val);
    }
    if (background.isValid())
        p.fillRect(R, background);

    bool cross = false;
    if (index == FHotTab) {
        const int t = CurrentPPI / 96;
        const QRect box(QPoint(imageBox.left() + t, imageBox.top() + t + 1),
                        QPoint(imageBox.left() + imageWidth - t - 1, imageBox.top() + imageHeight + 1 - t - 1));
        QColor fill, stroke;
        if (FOverClose && Prefer.CustomTabs > 0) {
            fill = TabColor(tcCloseFill);
            stroke = TabColor(tcCloseStroke);
            cross = true;
        } else if (Prefer.CustomTabs > 1) {
            fill = TabColor(tcHoverFill);
            stroke = TabColor(tcHoverStroke);
            cross = true;
        }
        if (cross) {
            if (fill.isValid())
                p.fillRect(box, fill);
            const int s = (CurrentPPI * 100 + 48) / 96;
            const int penWidth = s < 150 ? 1 : s < 300 ? 2 : s < 400 ? 3 : 4;
            const int u = imageWidth * 20 / 100;
            p.setPen(QPen(stroke, penWidth));
            p.drawLine(box.left() + u, box.top() + u, box.right() + 1 - u, box.bottom() + 1 - u);
            p.drawLine(box.right() + 1 - u, box.top() + u, box.left() + u, box.bottom() + 1 - u);
        }
    }
    if (!cross && image >= 0)
        p.drawPixmap(imageBox.topLeft(), ImageList->Pixmap(image));

    p.save();
    p.setClipRect(textBox);
    p.setPen(textColor.isValid() ? textColor : palette().color(QPalette::ButtonText));
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();

    if (selected && image >= 0 && image != FDocIcon) {
        FDocIcon = image;
        if (DocIconChanged)
            DocIconChanged(image);
    }
}

// ---- Pointer ------------------------------------------------------------------------------

QRect TDocTabs::CloseIconRect(int index) const
{
    if (!Prefer.CustomTabDrawing || Prefer.CustomTabs <= 0 || NoImages() || index < 0 || index >= count())
        return QRect();
    const QRect R = tabRect(index);
    const QSize size = ImageSize();
    return QRect(R.left() + QFontMetrics(font()).horizontalAdvance(QLatin1Char('x')),
                 R.top() + (R.height() - size.height()) / 2, size.width(), size.height());
}

bool TDocTabs::OnCloseIcon(int index, const QPoint &pos) const
{
    const QRect box = CloseIconRect(index);
    // Strictly inside on both axes.
    return !box.isEmpty() && pos.x() > box.left() && pos.x() < box.left() + box.width() && pos.y() > box.top()
        && pos.y() < box.top() + box.height();
}

void TDocTabs::TabControlHotTrack(bool disable, const QPoint &pos)
{
    if (!Prefer.CustomTabDrawing) {
        FHotTab = -1;
        FOverClose = false;
        return;
    }
    const int old = FHotTab;
    const bool oldOver = FOverClose;
    FHotTab = disable ? -1 : tabAt(pos);
    if (old >= 0 && old != FHotTab)
        RedrawTab(old);
    if (FHotTab >= 0) {
        FOverClose = OnCloseIcon(FHotTab, pos);
        if (FHotTab != old || FOverClose != oldOver)
            RedrawTab(FHotTab);
    } else {
        FOverClose = false;
    }
}

bool TDocTabs::StopDragging()
{
    const bool was = FDragging;
    FDragging = false;
    FDragTab = -1;
    FLastSwap = -1;
    if (was)
        update();
    return was;
}

void TDocTabs::CloseDocument(int index)
{
    StopDragging();
    if (QPDF)
        QPDF->CloseFile(QString(), index);
}

void TDocTabs::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int64_t now = pl::clock().tickMs();
    const int64_t previous = FLastPressTick;
    FLastPressTick = now;
    StopDragging();
    const int tab = tabAt(pos);
    if (event->button() != Qt::LeftButton) {
        // The secondary button opens the context menu at its release and selects nothing.
        event->accept();
        return;
    }
    // Measured between presses, wherever they were: two quick presses close the second tab.
    if (tab >= 0 && Prefer.DblClickClose
        && now - previous < QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
        CloseDocument(tab);
        return;
    }
    TabControlHotTrack(true, pos);
    // A press on the close cross closes the document without selecting its tab.
    if (tab >= 0 && OnCloseIcon(tab, pos)) {
        CloseDocument(tab);
        return;
    }
    QTabBar::mousePressEvent(event);
    if (tab >= 0 && (event->buttons() & Qt::LeftButton))
        FDragTab = tab;
}

bool TDocTabs::IsTabDragging(const QPoint &pos, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton)) {
        if (FDragging) {
            FDragging = false;
            update();
        }
        return false;
    }
    if (FDragTab < 0) {
        FLastSwap = -1;
        return false;
    }
    if (pl::clock().tickMs() - FLastPressTick < kDragDelayMs) {
        FLastSwap = -1;
        return false;
    }
    if (QPDF && QPDF->SelDoc() != FDragTab)
        DebugLog(QStringLiteral("Drag problem: SelDoc %1 <> DragTab %2").arg(QPDF->SelDoc()).arg(FDragTab));
    if (!FDragging) {
        FDragging = true;
        RedrawTab(FDragTab);
        QToolTip::hideText();
    }
    const int target = tabAt(pos);
    if (target < 0 || target == FDragTab || target == FLastSwap) {
        if (target != FLastSwap)
            FLastSwap = -1;
        return true;
    }
    // The dragged document moves to the tab under the pointer and the ones between close up:
    // on a scrolling strip that tab need not be a neighbour.
    if (!QPDF || !QPDF->MoveDocument(FDragTab, target))
        return true;
    setUpdatesEnabled(false);
    for (int i = std::min(target, FDragTab); i <= std::max(target, FDragTab); ++i) {
        setTabText(i, GetTabText(QPDF->Document(i).FileName));
        setTabData(i, QPDF->Document(i).FileName);
    }
    SetCurrent(target);
    FDragTab = target;
    setUpdatesEnabled(true);
    update();
    // Keep the pointer on the moved tab, so that tabs of different widths do not swap back.
    const int under = tabAt(pos);
    if (under == FDragTab) {
        FLastSwap = -1;
    } else {
        FLastSwap = under;
        const QRect R = tabRect(FDragTab);
        const int x = pos.x() > R.right() ? R.left() + R.width() - 2 : R.left() + 2;
        if (SetCursorPos)
            SetCursorPos(mapToGlobal(QPoint(x, pos.y())));
    }
    return true;
}

void TDocTabs::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (IsTabDragging(pos, event->buttons()) || FDragging)
        return;
    TabControlHotTrack(false, pos);
}

void TDocTabs::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        StopDragging();
        PopupMenuDocTabsPopup(tabAt(pos), event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    StopDragging();
    QTabBar::mouseReleaseEvent(event);
    if (IsTabDragging(pos, event->buttons()))
        DebugLog(QStringLiteral("Still dragging after mouse up..."));
}

void TDocTabs::enterEvent(QEnterEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!IsTabDragging(pos, QGuiApplication::mouseButtons()) && !FDragging)
        TabControlHotTrack(false, pos);
    QTabBar::enterEvent(event);
}

void TDocTabs::leaveEvent(QEvent *event)
{
    IsTabDragging(mapFromGlobal(QCursor::pos()), QGuiApplication::mouseButtons());
    FLastSwap = -1;
    if (!FDragging) {
        TabControlHotTrack(true, QPoint());
        QToolTip::hideText();
    }
    QTabBar::leaveEvent(event);
}

// Tabs are switched by pressing them, not by the wheel.
void TDocTabs::wheelEvent(QWheelEvent *event) { event->ignore(); }

bool TDocTabs::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTabBar::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int tab = tabAt(help->pos());
    if (!Prefer.TabHints || FDragging || tab < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), TabHint(tab), this, tabRect(tab));
    return true;
}

// ---- Context menu -------------------------------------------------------------------------

void TDocTabs::BuildPopup()
{
    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("PopupMenuDocTabs"));
    const auto item = [this](const char *name, const char *caption) {
        QAction *a = Popup->addAction(QString::fromLatin1(caption));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    DTOpenNewInstance = item("DTOpenNewInstance", "Open New Instance...");
    Popup->addSeparator();
    DTDocumentList = item("DTDocumentList", "Documents List...");
    DTCloseAllOtherTabs = item("DTCloseAllOtherTabs", "Close All Other Tabs");
    Popup->addSeparator();
    DTCustomTabDrawing = item("DTCustomTabDrawing", "Enable Close Icon");
    DTShowFileTypes = item("DTShowFileTypes", "Show Filetypes");
    DTCustomTabDrawing->setCheckable(true);
    DTShowFileTypes->setCheckable(true);

    connect(DTOpenNewInstance, &QAction::triggered, this, [this] { RunCommand(DTOpenNewInstance, OpenNewInstance); });
    connect(DTDocumentList, &QAction::triggered, this, [this] { RunCommand(DTDocumentList, DocumentList); });
    connect(DTCloseAllOtherTabs, &QAction::triggered, this, [this] {
        if (QPDF && PopupTab >= 0 && PopupTab < QPDF->DocumentCount())
            QPDF->CloseAllFiles(PopupTab);
    });
    connect(DTCustomTabDrawing, &QAction::triggered, this, [this] {
        Prefer.CustomTabs = Prefer.CustomTabs == 0 ? 1 : 0;
        FOverClose = false;
        update();
        UpdateTabImages();
    });
    connect(DTShowFileTypes, &QAction::triggered, this, [this] {
        Prefer.TabFiletypes = !Prefer.TabFiletypes;
        UpdateDocTabs();
    });
}

void TDocTabs::RunCommand(QAction *action, const std::function<void()> &command)
{
    if (command)
        command();
    else
        SetInfoText(Plain(action->text()) + QStringLiteral(": not available yet"));
}

void TDocTabs::PopupMenuDocTabsPopup(int tab, const QPoint &globalPos)
{
    const bool onTab = tab >= 0 && tab < count();
    DTOpenNewInstance->setVisible(onTab && tab == currentIndex() && !Prefer.NewInstanceCmd.isEmpty()
                                  && !Prefer.NewInstanceCmd.startsWith(QLatin1Char('?')));
    DTCloseAllOtherTabs->setVisible(onTab);
    PopupTab = onTab ? tab : -1;
    DTCustomTabDrawing->setChecked(Prefer.CustomTabs > 0);
    DTShowFileTypes->setChecked(Prefer.TabFiletypes);
    Popup->popup(globalPos);
}
