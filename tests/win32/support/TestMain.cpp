// The main of every Win32 test executable. `--code-page=N` says which ANSI code
// page the run is meant for (the second, Japanese run passes 932): a run that got
// another one fails at once instead of passing tests that never saw the double-byte
// rules they were meant to check.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    return RUN_ALL_TESTS();
}
