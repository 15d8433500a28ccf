#include "platform/FpuMask.h"

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#include <xmmintrin.h>
#define ORVALE_X86 1
#endif

namespace pl {

#ifdef ORVALE_X86
// MXCSR bits 7..12 and x87 control bits 0..5 mask the six exceptions, denormal included
// (FE_ALL_EXCEPT leaves the denormal bit out, so the registers are set directly).
constexpr uint32_t kMxcsrMaskAll = 0x1F80;
constexpr uint16_t kX87MaskAll = 0x3F;

FpuMask::FpuMask()
{
    savedMxcsr_ = _mm_getcsr();
    fpu_control_t cw;
    _FPU_GETCW(cw);
    savedX87_ = static_cast<uint16_t>(cw);
    maskAll();
}

FpuMask::~FpuMask()
{
    _mm_setcsr(savedMxcsr_);
    fpu_control_t cw = savedX87_;
    _FPU_SETCW(cw);
}

void FpuMask::maskAll()
{
    _mm_setcsr(_mm_getcsr() | kMxcsrMaskAll);
    fpu_control_t cw;
    _FPU_GETCW(cw);
    cw |= kX87MaskAll;
    _FPU_SETCW(cw);
}
#else
FpuMask::FpuMask() {}
FpuMask::~FpuMask() {}
void FpuMask::maskAll() {}
#endif

} // namespace pl
