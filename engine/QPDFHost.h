#pragma once
// Everything the engine asks of the windows. The windows implement it; the engine never
// includes a widget. Positions and ranges are pixels of the page view's client area.
#include "engine/ZoomMode.h"

#include <QString>

class TQPDFHost {
public:
    virtual ~TQPDFHost() = default;

    // The page view: client size, outer width, visibility.
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int ViewWidth() const = 0;
    virtual bool ViewVisible() const = 0;

    // Its scroll bars. A range is the size of the scrolled content; the view clamps positions
    // to [0, range - client size].
    virtual int VertPos() const = 0;
    virtual int HorzPos() const = 0;
    virtual void SetVertPos(int pos) = 0;
    virtual void SetHorzPos(int pos) = 0;
    virtual int VertRange() const = 0;
    virtual int HorzRange() const = 0;
    virtual void SetVertRange(int range) = 0;
    virtual void SetHorzRange(int range) = 0;
    virtual int VertLineIncrement() const = 0;
    virtual bool VertBarEnabled() const = 0;
    // Width of the vertical scroll bar that may appear, from the style.
    virtual int VertBarWidth() const = 0;

    // While set, the view ignores its own scroll events (the engine is writing positions).
    virtual bool IsSettingView() const = 0;
    virtual void SetSettingView(bool setting) = 0;
    // Suppresses painting and lets position changes neither scroll nor repaint.
    virtual void LockUpdate(bool lock) = 0;
    virtual void InvalidateView() = 0;
    virtual void UpdateView() = 0;
    virtual void FocusView() = 0;
    // The client area paints no document for the moment.
    virtual bool NoPDFPainting() const = 0;

    // A short note in the information window, hidden after ms milliseconds.
    virtual void ShowInfo(const QString &text, int ms) = 0;
};
