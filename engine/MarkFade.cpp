#include "engine/MarkFade.h"

namespace {

constexpr int kFirstDivisor = 8;
constexpr int kFadeNumerator = 11111;
constexpr int kFadeStep = 50;

} // namespace

TQtFadeTimer::TQtFadeTimer()
{
    Timer.setSingleShot(true);
    QObject::connect(&Timer, &QTimer::timeout, [this] {
        // The call may start the timer again, which replaces Fired.
        std::function<void()> fired = std::move(Fired);
        if (fired)
            fired();
    });
}

void TQtFadeTimer::Start(int ms, std::function<void()> fired)
{
    Fired = std::move(fired);
    Timer.start(ms);
}

void TQtFadeTimer::Stop()
{
    Timer.stop();
    Fired = nullptr;
}

TMarkFade::TMarkFade(int &factor, std::function<void()> step)
    : Factor(factor), OnStep(std::move(step)), Timer(std::make_unique<TQtFadeTimer>())
{}

void TMarkFade::SetTimer(std::unique_ptr<TFadeTimer> timer)
{
    Timer->Stop();
    Timer = std::move(timer);
    Running_ = false;
}

void TMarkFade::Place()
{
    Timer->Stop();
    Running_ = false;
    Factor = 100;
}

void TMarkFade::Start()
{
    Timer->Stop();
    Running_ = Factor > 0;
    K = kFirstDivisor;
    if (Running_)
        Timer->Start(kFadeNumerator / K, [this] { Step(); });
}

void TMarkFade::Reset()
{
    Timer->Stop();
    Running_ = false;
    Factor = 0;
}

void TMarkFade::Step()
{
    Factor -= kFadeStep;
    if (Factor < kFadeStep)
        Factor = 0;
    ++K;
    Running_ = Factor > 0;
    if (Running_)
        Timer->Start(kFadeNumerator / K, [this] { Step(); });
    OnStep();
}
