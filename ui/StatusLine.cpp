#include "ui/StatusLine.h"

#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/ColorBlend.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const char *const kSamples[slPanelCount] = {
    "Page:  XXXX", "(1111/1111)", "Zoom: 6400%", "Custom Zoom", "No SyncTeX Data Loaded", ""};
// Letters, digits and punctuation: the tallest text a panel may show.
const QString kHeightSample = QStringLiteral("AbgjQWXyz0123456789()[]{}|/_,;:");

int RoundScaled(int n, int per) { return int(std::lround(double(n) * CurrentPPI / per)); }

} // namespace

TStatusLine::TStatusLine(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    InitStatusLine(font());
}

void TStatusLine::InitStatusLine(const QFont &font)
{
    setFont(font);
    const QFontMetrics fm(font);
    const int blanks = fm.horizontalAdvance(QString(8, QLatin1Char(' ')));
    for (int i = 0; i < slPanelCount; ++i)
        Widths[size_t(i)] = blanks + fm.horizontalAdvance(QString::fromLatin1(kSamples[i]));
    BarHeight =
        std::max(RoundScaled(Prefer.StatusHeight, 96), fm.boundingRect(kHeightSample).height() + RoundScaled(15, 960));
    setFixedHeight(BarHeight);
    UpdateColors();
    updateGeometry();
}

void TStatusLine::UpdateColors()
{
    const auto theme = [](TThemeColor c) { return ToQColor(Colors.Theme[c].val); };
    Background = theme(slcBkColor);
    if (Background.isValid()) {
        const bool dark = ColorLuma(Background) < 144;
        const QColor mixIn = dark ? QColor(Qt::white) : QColor(Qt::black);
        Border = BlendColors(mixIn, dark ? 39 : 31, Background, dark ? 61 : 69);
        Separator = BlendColors(mixIn, dark ? 25 : 64, Background, dark ? 75 : 36);
    } else {
        Border = Separator = QColor();
    }
    TextColor = theme(slcText);
    GrayText = theme(slcAltText);
    InfoText = theme(slcInfoText);
    update();
}

void TStatusLine::SetSLPanel(int index, const QString &text)
{
    if (isHidden() || index < 0 || index >= slPanelCount || Texts[size_t(index)] == text)
        return;
    Texts[size_t(index)] = text;
    update(PanelRect(index));
}

QString TStatusLine::PanelText(int index) const
{
    return index >= 0 && index < slPanelCount ? Texts[size_t(index)] : QString();
}

QRect TStatusLine::PanelRect(int index) const
{
    if (index < 0 || index >= slPanelCount)
        return QRect();
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += Widths[size_t(i)];
    // The free text takes all the room that is left.
    const int width = index == slPanelStatus ? std::max(0, this->width() - left) : Widths[size_t(index)];
    return QRect(left, 0, width, height());
}

QSize TStatusLine::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < slPanelStatus; ++i)
        width += Widths[size_t(i)];
    return QSize(width, BarHeight);
}

void TStatusLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect all = rect();
    if (Background.isValid()) {
        p.fillRect(all.adjusted(1, 0, -1, 0), Background);
        p.setPen(Border);
        p.drawLine(all.left(), all.top(), all.right(), all.top());
        p.drawLine(all.left(), all.bottom(), all.right(), all.bottom());
    } else {
        p.fillRect(all, palette().color(QPalette::Button));
    }
    const QFontMetrics fm(font());
    const int blank = fm.horizontalAdvance(QLatin1Char(' '));
    const int y = (BarHeight - fm.height() - RoundScaled(25, 960)) / 2;
    for (int i = 0; i < slPanelCount; ++i) {
        const QRect r = PanelRect(i);
        if (Separator.isValid() && i < slPanelStatus) {
            p.setPen(Separator);
            p.drawLine(r.right(), r.top() - 1, r.right(), r.bottom() + 1);
        }
        QString text = Texts[size_t(i)];
        if (text.endsWith(QChar(0)))
            text.chop(1);
        if (text.isEmpty())
            continue;
        QColor color = i == slPanelStatus                                        ? InfoText
            : (i == slPanelPages || i == slPanelZoomMode || i == slPanelSyncTeX) ? GrayText
                                                                                 : TextColor;
        if (!color.isValid())
            color = palette().color(QPalette::WindowText);
        p.setPen(color);
        const int x = i == slPanelStatus ? r.left() + blank
                                         : r.left() + std::max(blank, (r.width() - fm.horizontalAdvance(text)) / 2);
        p.drawText(QRect(x, y, r.right() - x, fm.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
}
