#pragma once
#include <QDateTime>
#include <cstdint>

namespace pl {

// Monotonic ticks and the local wall clock. Tests install a manual clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t tickMs() = 0;     // monotonic milliseconds, only differences matter
    virtual QDateTime localNow() = 0; // local wall time
};

// Blocking waits; the test sleeper advances the manual clock instead of waiting.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int ms) = 0;
};

Clock &clock();
void setClock(Clock *c); // nullptr restores the system clock
Sleeper &sleeper();
void setSleeper(Sleeper *s); // nullptr restores the real sleeper

} // namespace pl
