#pragma once
// The engine's one window interface, passed on to the windows once they exist. Until then
// (and after they are gone) the page view has no size and nothing is shown.
#include "engine/QPDFHost.h"

class THostRelay final : public TQPDFHost {
public:
    void SetTarget(TQPDFHost *target) { Target = target; }
    TQPDFHost *GetTarget() const { return Target; }

    int ClientWidth() const override { return Target ? Target->ClientWidth() : 0; }
    int ClientHeight() const override { return Target ? Target->ClientHeight() : 0; }
    int ViewWidth() const override { return Target ? Target->ViewWidth() : 0; }
    bool ViewVisible() const override { return Target && Target->ViewVisible(); }
    int VertPos() const override { return Target ? Target->VertPos() : 0; }
    int HorzPos() const override { return Target ? Target->HorzPos() : 0; }
    void SetVertPos(int pos) override { if (Target) Target->SetVertPos(pos); }
    void SetHorzPos(int pos) override { if (Target) Target->SetHorzPos(pos); }
    int VertRange() const override { return Target ? Target->VertRange() : 0; }
    int HorzRange() const override { return Target ? Target->HorzRange() : 0; }
    void SetVertRange(int range) override { if (Target) Target->SetVertRange(range); }
    void SetHorzRange(int range) override { if (Target) Target->SetHorzRange(range); }
    int VertLineIncrement() const override { return Target ? Target->VertLineIncrement() : 1; }
    bool VertBarEnabled() const override { return Target && Target->VertBarEnabled(); }
    int VertBarWidth() const override { return Target ? Target->VertBarWidth() : 0; }
    bool IsSettingView() const override { return Target ? Target->IsSettingView() : Setting; }
    void SetSettingView(bool setting) override
    {
        if (Target)
            Target->SetSettingView(setting);
        else
            Setting = setting;
    }
    void LockUpdate(bool lock) override { if (Target) Target->LockUpdate(lock); }
    void InvalidateView() override { if (Target) Target->InvalidateView(); }
    void UpdateView() override { if (Target) Target->UpdateView(); }
    void FocusView() override { if (Target) Target->FocusView(); }
    bool NoPDFPainting() const override { return Target && Target->NoPDFPainting(); }
    void ShowInfo(const QString &text, int ms) override { if (Target) Target->ShowInfo(text, ms); }
    void SetCaption(const QString &fileName) override { if (Target) Target->SetCaption(fileName); }
    void AddTab(const QString &fileName) override { if (Target) Target->AddTab(fileName); }
    void DeleteTab(int index) override { if (Target) Target->DeleteTab(index); }
    void SelectTab(int index) override { if (Target) Target->SelectTab(index); }
    void RenameTab(int index, const QString &fileName) override { if (Target) Target->RenameTab(index, fileName); }
    void UpdateTabIcon(int index) override { if (Target) Target->UpdateTabIcon(index); }
    void Relayout() override { if (Target) Target->Relayout(); }
    void StatusUpdated() override { if (Target) Target->StatusUpdated(); }
    void StartMarkAnimation() override { if (Target) Target->StartMarkAnimation(); }
    void HideCoordinates() override { if (Target) Target->HideCoordinates(); }
    bool AskPassword(const QString &fileName, QString &password, bool &remember) override
    {
        return Target && Target->AskPassword(fileName, password, remember);
    }
    void InvalidateRect(const QRect &rect) override { if (Target) Target->InvalidateRect(rect); }
    bool CoordinatesVisible() const override { return Target && Target->CoordinatesVisible(); }
    QPointF MeasureOrigin() const override { return Target ? Target->MeasureOrigin() : QPointF(); }
    void RefreshCoordinates() override { if (Target) Target->RefreshCoordinates(); }
    bool PointerBusy() const override { return Target && Target->PointerBusy(); }
    QPoint CursorPos() const override { return Target ? Target->CursorPos() : QPoint(-1, -1); }
    void SetSyncTeXStatus(const QString &text) override { if (Target) Target->SetSyncTeXStatus(text); }
    bool PageGotoFocused() const override { return Target && Target->PageGotoFocused(); }
    void SetPageGoto(const QString &label, const QString &pages) override
    {
        if (Target)
            Target->SetPageGoto(label, pages);
    }
    void EnablePageGoto(bool enabled) override { if (Target) Target->EnablePageGoto(enabled); }
    bool ZoomBoxFocused() const override { return Target && Target->ZoomBoxFocused(); }
    void SetZoomBox(const QString &text) override { if (Target) Target->SetZoomBox(text); }
    void EnableZoomBox(bool enabled) override { if (Target) Target->EnableZoomBox(enabled); }
    void CheckZoomMode(TZoomMode mode) override { if (Target) Target->CheckZoomMode(mode); }
    void SetSLPanel(int index, const QString &text) override { if (Target) Target->SetSLPanel(index, text); }
    bool AskGotoPage(const QString &label, const QString &pages, QString &typed) override
    {
        return Target && Target->AskGotoPage(label, pages, typed);
    }
    bool AskZoom(const QString &zoom, QString &typed) override { return Target && Target->AskZoom(zoom, typed); }

private:
    TQPDFHost *Target = nullptr;
    bool Setting = false;
};
