#pragma once
#include "platform/Clock.h"

#include <vector>

namespace pl::fake {

// A clock that moves only when told; the sleeper advances it and records each wait.
class ManualClock final : public Clock {
public:
    int64_t ms = 0;
    QDateTime now = QDateTime(QDate(2026, 12, 9), QTime(9, 5));
    int64_t tickMs() override { return ms; }
    QDateTime localNow() override { return now.addMSecs(ms); }
};

class RecordingSleeper final : public Sleeper {
public:
    explicit RecordingSleeper(ManualClock *clock = nullptr) : clock_(clock) {}
    std::vector<int> sleeps;
    void sleepMs(int ms) override
    {
        sleeps.push_back(ms);
        if (clock_)
            clock_->ms += ms;
    }

private:
    ManualClock *clock_;
};

// Installs the fakes for the lifetime of a test and restores the real ones after.
struct ScopedManualTime {
    ManualClock clock;
    RecordingSleeper sleeper{&clock};
    ScopedManualTime()
    {
        setClock(&clock);
        setSleeper(&sleeper);
    }
    ~ScopedManualTime()
    {
        setClock(nullptr);
        setSleeper(nullptr);
    }
};

} // namespace pl::fake
