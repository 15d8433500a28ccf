#include "ui/widgets/PngSpeedButton.h"

#include "ui/ImageRes.h"

#include <QPainter>
#include <QStyleOptionToolButton>

namespace {

// Weighted mixture per channel, rounded.
QColor mix(int p, QColor a, int q, QColor b)
{
    const auto channel = [&](int ca, int cb) { return (p * ca + q * cb + (p + q) / 2) / (p + q); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

} // namespace

TPngSpeedButton::TPngSpeedButton(int listIndex, QWidget *parent) : QToolButton(parent), ListIndex(listIndex)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    Generation = ImageListsGeneration();
}

const TPNGImageList &TPngSpeedButton::ImageList() const { return ImageListOf(ListIndex); }

void TPngSpeedButton::SetImageName(const QString &name)
{
    FImageName = name;
    FImageIndex = ImageList().GetImageIndex(name);
    Generation = ImageListsGeneration();
    update();
}

void TPngSpeedButton::SetImageIndex(int index)
{
    const TPNGImageList &list = ImageList();
    FImageIndex = index >= 0 && index < list.Count() ? index : -1;
    FImageName = FImageIndex >= 0 ? list.ImageFiles.value(FImageIndex) : QString();
    if (FImageName.startsWith(QLatin1Char('|')))
        FImageName.remove(0, 1);
    Generation = ImageListsGeneration();
    update();
}

void TPngSpeedButton::UpdateImageList() { SetImageName(FImageName); }

QSize TPngSpeedButton::sizeHint() const
{
    const int s = ImageList().Size() + 6;
    return QSize(s, s);
}

void TPngSpeedButton::paintEvent(QPaintEvent *)
{
    if (Generation != ImageListsGeneration())
        UpdateImageList();
    QPainter p(this);
    if (autoRaise()) {
        // The strip's own colour is "the pixel read": buttons that are up and away show it.
        const QColor surface = parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                                              : palette().color(QPalette::Button);
        const bool dark = Luma(surface) < 144;
        const bool over = underMouse() && isEnabled();
        const bool down = isDown() || isChecked();
        QColor fill = surface;
        if (over && down)
            fill = dark ? QColor(0x5E, 0x62, 0x48) : mix(10, Qt::white, 90, QColor(0xB8, 0xD4, 0xEF));
        else if (over)
            fill = dark ? mix(25, Qt::black, 75, QColor(0x40, 0x80, 0xFF))
                        : mix(30, Qt::white, 70, QColor(0xB8, 0xD4, 0xEF));
        else if (down)
            fill = dark ? QColor(0x4F, 0x54, 0x4B) : QColor(0xD4, 0xD8, 0xE0);
        p.fillRect(rect(), fill);
    } else {
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.icon = QIcon();
        option.text.clear();
        style()->drawComplexControl(QStyle::CC_ToolButton, &option, &p, this);
    }
    const TPNGImageList &list = ImageList();
    if (FImageIndex < 0 || FImageIndex >= list.Count())
        return;
    const int s = list.Size();
    const QPoint at((width() - s + 1) / 2, (height() - s + 1) / 2);
    p.drawImage(at, isEnabled() ? list.Image(FImageIndex) : list.DisabledImage(FImageIndex));
}
