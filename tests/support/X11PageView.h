#pragma once
// The page view in a window of its own, for the inner runs of tests that start their own X
// server and run themselves there: the view is the engine's window while the test runs.
#include "EngineFixture.h"

#include "ui/PageViewHost.h"
#include "ui/ScrollForm.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWindow>

#include <functional>
#include <memory>

inline bool WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct X11PageView : EngineFixture {
    std::unique_ptr<QWidget> window;
    TScrollForm *form = nullptr;
    std::unique_ptr<TPageViewHost> pvHost;
    bool wasRunning = App.AppRunning;

    // Shows the view filling a window of that size and waits until the server exposed it; the
    // engine is set up before.
    void ShowView(QSize size)
    {
        App.AppRunning = true;
        window = std::make_unique<QWidget>();
        window->resize(size);
        form = new TScrollForm(engine.get(), window.get());
        form->setGeometry(window->rect());
        pvHost = std::make_unique<TPageViewHost>(form);
        engine->SetHost(pvHost.get());
        window->show();
        ASSERT_TRUE(WaitFor([&] { return window->windowHandle() && window->windowHandle()->isExposed(); }));
    }
    void TearDown() override
    {
        if (!window)
            return;
        engine->SetHost(&host);
        pvHost.reset();
        window.reset();
        App.AppRunning = wasRunning;
        EngineFixture::TearDown();
    }
};
