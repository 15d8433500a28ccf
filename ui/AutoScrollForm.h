#pragma once
// The round indicator of automatic scrolling: shown over the page view where the middle
// button went down, it holds the mouse and scrolls the view towards the pointer, faster the
// farther the pointer is from where it started.
#include <QCursor>
#include <QWidget>

class TScrollForm;

// The direction cursors, by where the pointer rests against the start point.
enum TAutoScrollCursor : int {
    acAll,
    acVert,
    acHorz,
    acUp,
    acDown,
    acLeft,
    acRight,
    acUpLeft,
    acUpRight,
    acDownLeft,
    acDownRight,
    acCount
};

class TAutoScrollForm final : public QWidget {
    Q_OBJECT
public:
    // ptAutoScroll: the screen point where the middle button went down.
    TAutoScrollForm(TScrollForm *scrForm, const QPoint &ptAutoScroll);
    ~TAutoScrollForm() override;

    // Indicator size for a screen density: (ppi div 96) x 26.
    static int IndicatorSize(int ppi) { return (ppi / 96) * 26; }
    // Pixels per step for an offset d from the start point.
    static int Speed(int d, int ppi);
    // The cursor for an offset from the start point and the directions that can scroll.
    static TAutoScrollCursor CursorFor(int dx, int dy, bool vert, bool horz, int ppi);

    bool isVert = false;
    bool isHorz = false;
    TAutoScrollCursor CursorId() const { return FCursor; }
    static const QCursor &DirectionCursor(TAutoScrollCursor c);
    // Default screen cursor, mouse released, indicator hidden.
    void Finish();
    // Runs one step: the direction cursor, then the view moves; true when it moved.
    bool Step();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void customEvent(QEvent *e) override;

private:
    void PostStep();

    TScrollForm *ScrForm;
    QPoint ptAutoScroll;
    QPoint Pointer;
    int Ppi;
    int S;
    TAutoScrollCursor FCursor = acAll;
    int Nesting = 0;
    bool Finished = false;
};
