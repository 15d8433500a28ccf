#pragma once
// The engine's window interface without a window: a page view of a fixed size whose scroll
// bars clamp like real ones, and the last note the engine wanted to show.
#include "engine/QPDFHost.h"

#include <algorithm>

class TWindowlessHost final : public TQPDFHost {
public:
    QString lastInfo;

    int ClientWidth() const override { return 1000; }
    int ClientHeight() const override { return 800; }
    int ViewWidth() const override { return ClientWidth(); }
    bool ViewVisible() const override { return true; }
    int VertPos() const override { return vertPos; }
    int HorzPos() const override { return horzPos; }
    void SetVertPos(int pos) override { vertPos = std::clamp(pos, 0, std::max(0, vertRange - ClientHeight())); }
    void SetHorzPos(int pos) override { horzPos = std::clamp(pos, 0, std::max(0, horzRange - ClientWidth())); }
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
    int VertLineIncrement() const override { return 16; }
    bool VertBarEnabled() const override { return false; }
    int VertBarWidth() const override { return 0; }
    bool IsSettingView() const override { return settingView; }
    void SetSettingView(bool setting) override { settingView = setting; }
    void LockUpdate(bool) override {}
    void InvalidateView() override {}
    void UpdateView() override {}
    void FocusView() override {}
    bool NoPDFPainting() const override { return false; }
    void ShowInfo(const QString &text, int) override { lastInfo = text; }

private:
    int vertPos = 0, horzPos = 0, vertRange = 0, horzRange = 0;
    bool settingView = false;
};
