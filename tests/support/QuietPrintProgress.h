#pragma once
// A print job's progress that shows nothing and is never aborted.
#include "print/PrintJob.h"

class QuietPrintProgress final : public TPrintProgress {
public:
    void SetLabel(const QString &, const QColor &) override {}
    void SetProgress(int, bool) override {}
    void DisableAbort() override {}
    void ProcessEvents() override {}
    bool AbortRequested() const override { return false; }
};
