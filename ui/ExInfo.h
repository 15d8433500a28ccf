#pragma once
// The information window: a short message over the top-left corner of the page view's panel,
// with an optional progress bar, that hides itself a while after the work it reports ends.
// It is a child of the panel, so it goes wherever the panel goes (full screen too), lets the
// mouse through to the page view and never takes the keyboard focus.
#include <QRect>
#include <QString>
#include <QWidget>

class QTimer;

class TExInfo final : public QWidget {
    Q_OBJECT
public:
    // Colours are Windows colour integers (0x00BBGGRR), as the settings keep them.
    enum : int { kCancelCol = 0x0000FF, kPosCol = 0x00A5FF };

    // panel: the page view's parent panel, whose top-left corner the window keeps to.
    explicit TExInfo(QWidget *panel);

    // Shows s, sized to also hold ex, at the panel's corner. With b >= a a progress bar from
    // a to b is shown below the text; a = b draws text and bar in the finished colours.
    void StartInfo(const QString &s, const QString &ex, int a, int b);
    // The text line shows s in colour col (a Windows colour; below 0 the text colour).
    void SetInfo(const QString &s, int col);
    // The bar is filled from the last position up to off.
    void SetPos(int off);
    // "Cancel ..." in the cancel colour.
    void SetCancel();
    // The window hides ex + delay milliseconds from now.
    void StopInfo(int ex, int delay);

    // The theme's colours: dark or light.
    void SetDarkTheme(bool dark);
    bool DarkTheme() const { return Dark; }

    // What is shown, for the windows and the tests.
    QString Info() const { return info; }
    int InfoColor() const { return InfoCol; }
    bool Progress() const { return progress; }
    int Position() const { return curPos; }
    QRect TextRect() const { return txtRect; }
    QRect BarRect() const { return posRect; }
    int TextCol() const { return FTextCol; }
    int TextDoneCol() const { return FTextDoneCol; }
    int PosBkCol() const { return FPosBkCol; }
    int PosDoneCol() const { return FPosDoneCol; }
    int BackgroundCol() const { return FBackCol; }
    QTimer *HideTimer() const { return FHideTimer; }

    // A Windows colour integer as a colour to draw with.
    static QColor WinColor(int col);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    // The x of bar position p.
    int BarX(int p) const;
    void ApplyColors();
    void ShowNow();

    QString info;
    int InfoCol = 0;
    // The bar's range and position (curPos, since QWidget has its own pos()).
    int pmin = 0, pmax = 0, curPos = 0;
    bool progress = false;
    // The filled part of the bar, in x.
    int FilledFrom = 0, FilledTo = 0;
    bool Dark = false;
    int FBackCol = 0;
    int FTextCol = 0, FTextDoneCol = 0, FPosBkCol = 0, FPosDoneCol = 0;
    int BarBackCol = 0;
    QRect txtRect, posRect;
    QTimer *FHideTimer = nullptr;
};
