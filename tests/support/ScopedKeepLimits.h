#pragma once
#include "synctex/SyncKeepBudget.h"

// Shrinks the SyncTeX keep budget for a test, so that small files reach its limits.
class ScopedKeepLimits {
public:
    explicit ScopedKeepLimits(TSyncKeepBudget::TLimits limits) : old_(TSyncKeepBudget::Instance().Limits())
    {
        TSyncKeepBudget::Instance().SetLimits(limits);
    }
    ~ScopedKeepLimits() { TSyncKeepBudget::Instance().SetLimits(old_); }
    ScopedKeepLimits(const ScopedKeepLimits &) = delete;
    ScopedKeepLimits &operator=(const ScopedKeepLimits &) = delete;

private:
    TSyncKeepBudget::TLimits old_;
};
