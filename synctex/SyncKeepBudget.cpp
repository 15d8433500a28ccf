#include "synctex/SyncKeepBudget.h"

#include <algorithm>

TSyncKeepBudget &TSyncKeepBudget::Instance()
{
    static TSyncKeepBudget budget;
    return budget;
}

bool TSyncKeepBudget::TryTake(qint64 bytes)
{
    std::lock_guard lock(mutex_);
    if (bytes > limits_.PerDocument || used_ + bytes > limits_.Total)
        return false;
    used_ += bytes;
    return true;
}

void TSyncKeepBudget::Take(qint64 bytes)
{
    std::lock_guard lock(mutex_);
    used_ += bytes;
}

void TSyncKeepBudget::Give(qint64 bytes)
{
    std::lock_guard lock(mutex_);
    used_ = std::max<qint64>(0, used_ - bytes);
}

qint64 TSyncKeepBudget::Used() const
{
    std::lock_guard lock(mutex_);
    return used_;
}

TSyncKeepBudget::TLimits TSyncKeepBudget::Limits() const
{
    std::lock_guard lock(mutex_);
    return limits_;
}

void TSyncKeepBudget::SetLimits(TLimits limits)
{
    std::lock_guard lock(mutex_);
    limits_ = limits;
}
