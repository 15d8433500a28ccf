#pragma once
// The engine's way to the windows: the page view's host once the windows exist, and through
// it the main window around it. Until then (and after they are gone) each part answers as a
// missing window does: the page view has no size and nothing is shown.
#include "engine/ViewHost.h"
#include "engine/WindowHost.h"

class THostLink {
public:
    THostLink() = default;
    explicit THostLink(TViewHost *target) : Target(target) {}
    THostLink(const THostLink &) = delete;
    THostLink &operator=(const THostLink &) = delete;

    void SetTarget(TViewHost *target) { Target = target; }

    TViewHost &View() const { return Target ? *Target : NoView; }
    TWindowHost &Window() const
    {
        TWindowHost *window = Target ? Target->MainWindow() : nullptr;
        return window ? *window : NoWindow;
    }

private:
    // Without a page view the engine still nests its settings of the view.
    class TNoView final : public TViewHost {
    public:
        bool IsSettingView() const override { return Setting; }
        void SetSettingView(bool setting) override { Setting = setting; }

    private:
        bool Setting = false;
    };

    TViewHost *Target = nullptr;
    mutable TNoView NoView;
    mutable TWindowHost NoWindow;
};
