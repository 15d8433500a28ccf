#pragma once
// The fading of the forward-search mark: shown at full strength, then at half strength, then
// gone, in steps of one timer that the event loop drives, so the view scrolls while it fades.
#include <QTimer>

#include <functional>
#include <memory>

// One pending call after a delay; starting again replaces the pending call.
class TFadeTimer {
public:
    virtual ~TFadeTimer() = default;
    virtual void Start(int ms, std::function<void()> fired) = 0;
    virtual void Stop() = 0;
};

// The event loop's single-shot timer.
class TQtFadeTimer final : public TFadeTimer {
public:
    TQtFadeTimer();
    void Start(int ms, std::function<void()> fired) override;
    void Stop() override;

private:
    QTimer Timer;
    std::function<void()> Fired;
};

// Steps the mark's strength (percent, 0 = not shown) down by 50 after waits of 11111 / k ms
// for k = 8, 9, ...: from 100 that is 1388 ms at full and 1234 ms at half strength.
class TMarkFade {
public:
    // factor is the engine's field the renderer reads; step runs after each change.
    TMarkFade(int &factor, std::function<void()> step);
    void SetTimer(std::unique_ptr<TFadeTimer> timer);

    // A new mark at full strength; a fade of an earlier mark ends without touching it.
    void Place();
    // Starts stepping from the current strength.
    void Start();
    // The mark is gone and no step is pending.
    void Reset();
    bool Running() const { return Running_; }

private:
    void Step();

    int &Factor;
    std::function<void()> OnStep;
    std::unique_ptr<TFadeTimer> Timer;
    int K = 8;
    bool Running_ = false;
};
