#pragma once
// A page view and windows for engine tests: scroll bars that clamp like the real ones, a
// fixed client size, and a record of what the engine asked the windows to show.
#include "engine/HostLink.h"
#include "engine/QPDFHost.h"

#include <QStringList>

#include <algorithm>

class RecordingHost : public TQPDFHost {
public:
    int clientWidth = 800;
    int clientHeight = 600;
    int vertPos = 0, horzPos = 0, vertRange = 0, horzRange = 0;
    int lineIncrement = 16;
    bool vertBarEnabled = true;
    int vertBarWidth = 14;
    bool settingView = false;
    bool viewVisible = true;
    bool noPDFPainting = false;
    int lockDepth = 0;
    int invalidations = 0;
    QStringList calls;
    // The view status the engine published last, and how many it published.
    TViewStatus viewStatus;
    int statusCount = 0;

    RecordingHost() = default;
    RecordingHost(const RecordingHost &) = delete;
    RecordingHost &operator=(const RecordingHost &) = delete;
    // The layout and the navigator reach their host through a link; a test hands them this
    // host directly.
    operator const THostLink &() const { return link; }

    int ClientWidth() const override { return clientWidth; }
    int ClientHeight() const override { return clientHeight; }
    int ViewWidth() const override { return clientWidth + (vertBarEnabled ? vertBarWidth : 0); }
    bool ViewVisible() const override { return viewVisible; }
    int VertPos() const override { return vertPos; }
    int HorzPos() const override { return horzPos; }
    void SetVertPos(int pos) override { vertPos = std::clamp(pos, 0, std::max(0, vertRange - clientHeight)); }
    void SetHorzPos(int pos) override { horzPos = std::clamp(pos, 0, std::max(0, horzRange - clientWidth)); }
    int VertRange() const override { return vertRange; }
    int HorzRange() const override { return horzRange; }
    void SetVertRange(int range) override
    {
        vertRange = std::max(0, range);
        SetVertPos(vertPos);
    }
    void SetHorzRange(int range) override
    {
        horzRange = std::max(0, range);
        SetHorzPos(horzPos);
    }
    int VertLineIncrement() const override { return lineIncrement; }
    bool VertBarEnabled() const override { return vertBarEnabled; }
    int VertBarWidth() const override { return vertBarWidth; }
    bool IsSettingView() const override { return settingView; }
    void SetSettingView(bool setting) override { settingView = setting; }
    void LockUpdate(bool lock) override { lockDepth += lock ? 1 : -1; }
    void InvalidateView() override { ++invalidations; }
    void UpdateView() override { calls << QStringLiteral("UpdateView"); }
    void FocusView() override { calls << QStringLiteral("FocusView"); }
    bool NoPDFPainting() const override { return noPDFPainting; }
    void ShowInfo(const QString &text, int ms) override { calls << QStringLiteral("Info %1: %2").arg(ms).arg(text); }
    void ShowViewStatus(const TViewStatus &shown) override
    {
        viewStatus = shown;
        ++statusCount;
    }

private:
    THostLink link{this};
};
