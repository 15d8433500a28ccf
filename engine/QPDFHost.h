#pragma once
// Everything the engine asks of the windows, in one object: the page view's part and the
// main window's part. The windows implement the parts apart (the page view's host and the
// main window); tests and the windowless tool implement both at once.
#include "engine/ViewHost.h"
#include "engine/WindowHost.h"

class TQPDFHost : public TViewHost, public TWindowHost {
public:
    TWindowHost *MainWindow() const override { return const_cast<TQPDFHost *>(this); }
};
