#include "VectorState.h"

namespace fw::detail {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

namespace {

// The one function of the build that may use an AVX instruction: the rest stays
// plain x86-64 (and its arithmetic bit for bit the same), and it runs only where
// the CPU and the system have AVX.
__attribute__((target("avx"))) void ZeroUpper() { __builtin_ia32_vzeroupper(); }

// Asked once; the C runtime's table may not be filled yet when static objects start.
bool HasAvx() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return has;
}

}  // namespace

void ClearUpperVectorState() {
    if (HasAvx()) ZeroUpper();
}

#else

void ClearUpperVectorState() {}

#endif

}  // namespace fw::detail
