#include "ui/widgets/PanelCaption.h"

#include "settings/Colors.h"
#include "settings/Prefer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

// Until the theme sets them: the platform's colours (system colours cannot be resolved before
// the application exists).
TCaptionColors PanelCaptionColors;

TCaptionColors CaptionColors(bool dark)
{
    if (dark)
        return {QColor(0x3B4861), QColor(0xF8F8F8), QColor(),         QColor(0x282828), QColor(0xC0C0C0),
                QColor(),         QColor(0xC8C8C8), QColor(0xC0C0C0), QColor(0xB0B0B0), QColor(0x808080)};
    return {QColor(0x6B7891),
            QColor(0xF0F0F0),
            QColor(),
            ToQColor(SystemColor(COLOR_BTNFACE)),
            ToQColor(SystemColor(COLOR_GRAYTEXT)),
            QColor(),
            QColor(0xFFDDDD),
            QColor(0x888080),
            QColor(0x808080),
            QColor(0xE0E0E0)};
}

TPanelCaption::TPanelCaption(const QString &caption, QWidget *parent) : QWidget(parent), FCaption(caption)
{
    setObjectName(QStringLiteral("PanelCaption"));
    connect(qApp, &QApplication::focusChanged, this, [this] { update(); });
}

void TPanelCaption::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

bool TPanelCaption::Focused() const
{
    const QWidget *panel = parentWidget() ? parentWidget() : this;
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == panel || panel->isAncestorOf(focus));
}

QFont TPanelCaption::CaptionFont() const
{
    // The main window's font name and height, at least 4 pixels high.
    QFont f = window()->font();
    if (f.pixelSize() > 0 && f.pixelSize() < 4)
        f.setPixelSize(4);
    return f;
}

QSize TPanelCaption::sizeHint() const
{
    const QFontMetrics fm(CaptionFont());
    return QSize(fm.horizontalAdvance(FCaption) + 2 * fm.height(), fm.height() + 6);
}

QRect TPanelCaption::CloseButtonRect() const
{
    const int side = std::max(0, height() - 4);
    return QRect(width() - side - 2, 2, side, side);
}

void TPanelCaption::paintEvent(QPaintEvent *)
{
    const bool focused = Focused();
    const TCaptionColors &c = PanelCaptionColors;
    const QPalette &pal = palette();
    const auto pick = [](const QColor &v, const QColor &platform) { return v.isValid() ? v : platform; };
    const QColor back =
        focused ? pick(c.focusedBk, pal.color(QPalette::Highlight)) : pick(c.unfocusedBk, pal.color(QPalette::Window));
    const QColor text = focused ? pick(c.focusedText, pal.color(QPalette::HighlightedText))
                                : pick(c.unfocusedText, pal.color(QPalette::WindowText));
    const QColor frame = focused ? pick(c.focusedFrame, text) : pick(c.unfocusedFrame, text);
    const QColor cross = focused ? pick(c.focusedCross, text) : pick(c.unfocusedCross, text);
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, back);
    p.setPen(frame);
    if (focused)
        p.drawRect(r.adjusted(0, 0, -1, -1));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    // The title, one blank in, up to the close button.
    p.setFont(CaptionFont());
    const QFontMetrics fm(p.font());
    const QRect button = CloseButtonRect();
    const int left = fm.horizontalAdvance(QLatin1Char(' '));
    const QRect textRect(left, 0, std::max(0, button.left() - left), r.height());
    p.setPen(text);
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               fm.elidedText(FCaption, Qt::ElideRight, textRect.width()));
    // The cross.
    const int ppi = CurrentPPI > 0 ? CurrentPPI : 96;
    const int half = std::max(4, (button.width() + 5) / 6);
    p.setPen(QPen(cross, std::max(1, (ppi + 48) / 96)));
    const QPoint m = button.center();
    p.drawLine(m.x() - half, m.y() - half, m.x() + half, m.y() + half);
    p.drawLine(m.x() - half, m.y() + half, m.x() + half, m.y() - half);
}

void TPanelCaption::mousePressEvent(QMouseEvent *event)
{
    PressedClose = event->button() == Qt::LeftButton && CloseButtonRect().contains(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TPanelCaption::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = CloseButtonRect().contains(event->position().toPoint());
    if (PressedClose && event->button() == Qt::LeftButton && inside)
        emit CloseClicked();
    PressedClose = false;
    QWidget::mouseReleaseEvent(event);
}
