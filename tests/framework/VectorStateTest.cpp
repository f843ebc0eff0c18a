// The vector registers' upper halves after the framework returns to a program thread
// from the libraries below it: a thread that keeps them dirty steps markedly slower.
#include <gtest/gtest.h>

#include <cpuid.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Application.h"
#include "framework/Thread.h"
#include "framework/VectorState.h"
#include "tests/Support.h"

using namespace testing_support;

namespace {

// XGETBV with ECX = 1 (XINUSE) reports which parts of the register state are not in
// their initial state on the calling thread; it needs XSAVE enabled by the system and
// CPUID.(EAX=0Dh,ECX=1):EAX bit 2.
bool CanSeeUpperState() {
#if defined(__x86_64__)
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX)) return false;
    if (__get_cpuid_max(0, nullptr) < 0xD) return false;
    __cpuid_count(0xD, 1, a, b, c, d);
    return (a & (1u << 2)) != 0;
#else
    return false;
#endif
}

// The parts that slow legacy SSE code: the upper halves of ymm0-15 (bit 2) and of
// zmm0-15 (bit 6). The opmask registers and zmm16-31 (bits 5 and 7) do not.
std::uint64_t UpperStateInUse() {
#if defined(__x86_64__)
    std::uint32_t lo, hi;
    asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(1));
    return ((std::uint64_t{hi} << 32) | lo) & ((1u << 2) | (1u << 6));
#else
    return 0;
#endif
}

// Runs a body as a thread of the program, as the engine runs.
class ProgramThread : public fw::Thread {
public:
    std::function<void()> body;
    void Event_Run() override { body(); }
};

class VectorStateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fw::RegisterClass<ProgramThread>("VectorStateThread", "Thread");
    }
    void SetUp() override {
        if (!CanSeeUpperState()) GTEST_SKIP() << "this CPU does not report which register state is in use";
    }
    // The upper state after `run` on a program thread whose state was clean before it.
    static std::uint64_t After(const std::function<void()>& run) {
        std::uint64_t before = ~0ull, after = ~0ull;
        auto t = fw::New<ProgramThread>();
        t->body = [&] {
            fw::detail::ClearUpperVectorState();
            before = UpperStateInUse();
            run();
            after = UpperStateInUse();
        };
        t->Run();
        EXPECT_TRUE(WaitFor([&] { return !t->IsRunning(); }));
        EXPECT_EQ(before, 0u) << "not clean at the start";
        return after;
    }
};

// The star pictures' decoding fills its image through Qt's own AVX2 routine, which
// returns with the upper halves dirty; the C library's AVX-512 string routines that
// follow never clear them.
TEST_F(VectorStateTest, APictureLoadedOnAProgramThreadLeavesItsUpperStateClean) {
    const fw::FolderItem star(std::string(PICT_RESOURCES_DIR) + "/AR1.PICT");
    fw::Ref<fw::Picture> loaded;
    EXPECT_EQ(After([&] { loaded = star.OpenAsPicture(); }), 0u);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Width(), 7);
}

}  // namespace
