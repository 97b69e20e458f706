// Processor identification and floating-point control: the frame's only processor-specific code.
#include <cfenv>

#include "frame/runtime.h"
#include "frame/runtime_internal.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define ZOPP_X86 1
#endif

namespace zopp {

namespace {

#if defined(__i386__)
// True when bit `flag` of EFLAGS can be toggled; used to tell processors apart that predate the
// identification instruction (ID flag) and the 486 (alignment-check flag).
bool canToggleEflag(std::uint32_t flag) {
    std::uint32_t before = 0;
    std::uint32_t after = 0;
    asm volatile(
        "pushfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl %2, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "popfl"
        : "=&r"(before), "=&r"(after)
        : "ri"(flag)
        : "cc");
    return ((before ^ after) & flag) != 0;
}
#endif

std::uint32_t identifyProcessor() {
#if defined(ZOPP_X86)
#if defined(__i386__)
    constexpr std::uint32_t idFlag = 1u << 21;
    constexpr std::uint32_t alignmentCheckFlag = 1u << 18;
    if (!canToggleEflag(idFlag)) return (canToggleEflag(alignmentCheckFlag) ? 4u : 3u) << 28;
#endif
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return 4u << 28;  // no leaf 1: a 486 at least
    }
    return (eax << 20) | (edx & 0x0FFFFFFFu);
#else
    // Every other processor this builds for is far beyond the oldest one the check rejects.
    return 4u << 28;
#endif
}

}  // namespace

std::uint32_t processorFamily() {
    static const std::uint32_t kFamily = identifyProcessor();
    return kFamily;
}

namespace detail {

void useNearestExtendedRounding() {
    std::fesetround(FE_TONEAREST);
#if defined(ZOPP_X86)
    // x87 control word bits 8-9 select the precision; 11 is the 64-bit mantissa.
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>(control | 0x0300u);
    asm volatile("fldcw %0" : : "m"(control));
#endif
}

}  // namespace detail

}  // namespace zopp
