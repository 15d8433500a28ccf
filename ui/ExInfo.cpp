#include "ui/ExInfo.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

// The text height is measured on letters, digits and punctuation that reach above and below.
const QString kHeightSample = QStringLiteral("AaBbGgJjQqYy0123456789()[]{}|/,;_");
const QString kMargin = QStringLiteral("XX");

} // namespace

TExInfo::TExInfo(QWidget *panel) : QWidget(panel)
{
    setObjectName(QStringLiteral("ExInfo"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    hide();
    FHideTimer = new QTimer(this);
    FHideTimer->setObjectName(QStringLiteral("HideTimer"));
    FHideTimer->setSingleShot(true);
    // The default coarse timer may fire a tenth of a second off a 2222 ms note.
    FHideTimer->setTimerType(Qt::PreciseTimer);
    FHideTimer->setInterval(2000);
    connect(FHideTimer, &QTimer::timeout, this, &QWidget::hide);
    ApplyColors();
}

QColor TExInfo::WinColor(int col) { return QColor(col & 0xFF, (col >> 8) & 0xFF, (col >> 16) & 0xFF); }

void TExInfo::SetDarkTheme(bool dark)
{
    Dark = dark;
    ApplyColors();
    update();
}

void TExInfo::ApplyColors()
{
    if (Dark) {
        FBackCol = 0x282828;
        FTextCol = 0x00FFFF;
        FTextDoneCol = 0xFFFFFF;
        FPosBkCol = 0x000000;
        FPosDoneCol = 0x00FF00;
    } else {
        FBackCol = 0xF0F0F0;
        FTextCol = 0x282828;
        FTextDoneCol = 0x000000;
        FPosBkCol = 0xFFFFFF;
        FPosDoneCol = 0x008000;
    }
}

int TExInfo::BarX(int p) const
{
    const double span = pmax - pmin;
    return posRect.left() + int(std::lround(posRect.width() * (p - pmin) / span));
}

void TExInfo::StartInfo(const QString &s, const QString &ex, int a, int b)
{
    FHideTimer->stop();
    pmin = a;
    pmax = b;
    curPos = a;
    // The main window's font, whichever font the panel has.
    const QFont f = window()->font();
    setFont(f);
    const QFontMetrics fm(f);
    const int h = std::max(1, fm.size(Qt::TextSingleLine, kHeightSample).height());
    move(h / 4 + 1, h / 8 + 1);

    const int width = fm.horizontalAdvance(kMargin + s + ex + kMargin + QLatin1Char(' '));
    const int margin = fm.horizontalAdvance(kMargin);
    progress = b >= a;
    resize(width, 3 * h + (progress ? h : 0));
    txtRect = QRect(0, h, width, h);
    const int barTop = int(std::lround(2.5 * h));
    posRect = QRect(QPoint(margin + fm.horizontalAdvance(QLatin1Char(' ')) / 2, barTop),
                    QPoint(width - margin - 1, 3 * h - 1));

    const bool done = a == b;
    info = s;
    InfoCol = done ? FTextDoneCol : FTextCol;
    BarBackCol = done ? FPosDoneCol : FPosBkCol;
    FilledFrom = FilledTo = posRect.left();

    show();
    raise();
    repaint();
    QCoreApplication::processEvents();
    pl::sleeper().sleepMs(1);
}

void TExInfo::SetInfo(const QString &s, int col)
{
    if (!isVisible())
        return;
    info = s;
    InfoCol = col < 0 ? FTextCol : col;
    repaint(txtRect);
}

void TExInfo::SetPos(int off)
{
    if (!isVisible() || !progress || pmin == pmax || off == curPos)
        return;
    const int from = BarX(curPos), to = BarX(off);
    FilledFrom = std::min({FilledFrom, from, to});
    FilledTo = std::max({FilledTo, from, to});
    curPos = off;
    repaint(posRect);
}

void TExInfo::SetCancel() { SetInfo(QStringLiteral("Cancel ..."), kCancelCol); }

void TExInfo::StopInfo(int ex, int delay)
{
    if (!isVisible())
        return;
    // The hourglass of the work that just ended.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    repaint();
    QCoreApplication::processEvents();
    FHideTimer->start(std::max(0, ex + delay));
}

void TExInfo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), WinColor(FBackCol));
    p.setPen(WinColor(InfoCol));
    p.drawText(txtRect.adjusted(fontMetrics().horizontalAdvance(kMargin), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               info);
    if (!progress)
        return;
    p.fillRect(posRect, WinColor(BarBackCol));
    if (FilledTo > FilledFrom)
        p.fillRect(QRect(QPoint(FilledFrom, posRect.top()), QPoint(FilledTo - 1, posRect.bottom())), WinColor(kPosCol));
}
