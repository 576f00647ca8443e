// The main of every Win32 test executable. `--code-page=N` says which ANSI code
// page the run is meant for (the second, Japanese run passes 932): a run that got
// another one fails at once instead of passing tests that never saw the double-byte
// rules they were meant to check.
//
// The run also says how many tests it is about to run and, once it has ended,
// how many ran and failed: the CTest wrapper (cmake/run-gtest.sh) passes only a
// run that printed both and agrees with them, since a process that dies under
// Wine may leave an exit status of 0.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
class TRunCounts : public ::testing::EmptyTestEventListener {
    void OnTestIterationStart(const ::testing::UnitTest& unit, int) override {
        std::printf("VL tests to run: %d\n", unit.test_to_run_count());
        std::fflush(stdout);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { ++ended_; }
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        std::printf("VL tests ran: %d, failed: %d\n", ended_, unit.failed_test_count());
        std::fflush(stdout);
    }
    int ended_ = 0;
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char kFlag[] = "--code-page=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kFlag, sizeof kFlag - 1) != 0) continue;
        const unsigned expected = static_cast<unsigned>(std::strtoul(argv[i] + sizeof kFlag - 1, nullptr, 10));
        const unsigned actual = GetACP();
        if (actual != expected) {
            std::printf("FAILED: this run needs ANSI code page %u, the process has %u\n", expected, actual);
            std::fflush(stdout);
            return 1;
        }
        std::printf("ANSI code page %u\n", actual);
    }
    ::testing::UnitTest::GetInstance()->listeners().Append(new TRunCounts);
    return RUN_ALL_TESTS();
}
