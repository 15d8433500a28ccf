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
    int displayState = 0;
    int lockDepth = 0;
    int invalidations = 0;
    // The pointer and its primary button, as the page view would report them.
    QPoint cursorPos{-1, -1};
    bool primaryButtonDown = false;
    // The find inputs: the toolbar's box is in use and enabled unless a test says otherwise;
    // the dialog shows once the engine asked for it.
    bool useToolBarFind = true;
    bool findBoxEnabled = true;
    bool findDialogVisible = false;
    QString searchString;
    int findCaptionInd = 0, findCaptionNum = -1;
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
    int DisplayState() const override { return displayState; }
    void ShowInfo(const QString &text, int ms) override { calls << QStringLiteral("Info %1: %2").arg(ms).arg(text); }
    void StartInfo(const QString &s, const QString &ex, int a, int b) override
    {
        calls << QStringLiteral("StartInfo %1..%2: %3|%4").arg(a).arg(b).arg(s, ex);
    }
    void SetInfo(const QString &s, int col) override { calls << QStringLiteral("SetInfo %1: %2").arg(col).arg(s); }
    void SetPos(int off) override { calls << QStringLiteral("SetPos %1").arg(off); }
    void SetCancel() override { calls << QStringLiteral("SetCancel"); }
    void StopInfo(int ex, int delay) override { calls << QStringLiteral("StopInfo %1").arg(ex + delay); }
    QPoint CursorPos() const override { return cursorPos; }
    bool PrimaryButtonDown() const override { return primaryButtonDown; }
    bool UseToolBarFind() const override { return useToolBarFind; }
    bool FocusFindBox() override
    {
        calls << QStringLiteral("FocusFindBox");
        return findBoxEnabled;
    }
    bool FindDialogVisible() const override { return findDialogVisible; }
    void ShowFindDialog() override
    {
        calls << QStringLiteral("ShowFindDialog");
        findDialogVisible = true;
    }
    void SetSearchString(const QString &s) override { searchString = s; }
    void SetFindCaption(int ind, int num) override
    {
        findCaptionInd = ind;
        findCaptionNum = num;
    }
    void ShowViewStatus(const TViewStatus &shown) override
    {
        viewStatus = shown;
        ++statusCount;
    }

private:
    THostLink link{this};
};
