#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace pl {
namespace {

class SystemClock final : public Clock {
public:
    int64_t tickMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    QDateTime localNow() override { return QDateTime::currentDateTime(); }
};

class SystemSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override
    {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

SystemClock systemClock;
SystemSleeper systemSleeper;
Clock *currentClock = &systemClock;
Sleeper *currentSleeper = &systemSleeper;

} // namespace

Clock &clock() { return *currentClock; }
void setClock(Clock *c) { currentClock = c ? c : &systemClock; }
Sleeper &sleeper() { return *currentSleeper; }
void setSleeper(Sleeper *s) { currentSleeper = s ? s : &systemSleeper; }

} // namespace pl
