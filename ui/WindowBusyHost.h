#pragma once
#include "base/BusyIndicator.h"

#include <functional>

// The busy indicator on the windows: the override cursor and the main window's status text.
class TWindowBusyHost final : public TBusyHost {
public:
    explicit TWindowBusyHost(std::function<void(const QString &)> statusText) : statusText_(std::move(statusText)) {}
    void ShowStatusText(const QString &text) override;
    bool HourglassShown() override;
    bool DefaultCursorShown() override;
    void ShowHourglass() override;
    void ShowDefaultCursor() override;
    void ProcessMessages() override;
    bool FocusApplication() override;

private:
    std::function<void(const QString &)> statusText_;
};
