#pragma once
#include <cstdint>

namespace pl {

// Masks all six floating-point exceptions (invalid, denormal, divide by zero, overflow,
// underflow, inexact) for the lifetime of the object and restores the previous state after.
class FpuMask {
public:
    FpuMask();
    ~FpuMask();
    FpuMask(const FpuMask &) = delete;
    FpuMask &operator=(const FpuMask &) = delete;
    static void maskAll(); // the start-up variant: mask, never restore
private:
    uint32_t savedMxcsr_ = 0;
    uint16_t savedX87_ = 0;
};

} // namespace pl
