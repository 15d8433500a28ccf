#pragma once
// Runs the event loop until a condition holds (at most 10 s), or for a while, for tests of
// work that arrives through the event loop, such as file-system events.
#include <QCoreApplication>
#include <QElapsedTimer>

template <class Done>
bool processEventsUntil(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Events that were on their way have arrived after this.
inline void processEventsFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
