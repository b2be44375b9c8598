// The suites of a cross build run under user-mode emulation: ctest calls the emulator
// (qemu-user) for each test program, with no binfmt support. There a program cannot start
// another program of its own architecture (the kernel does not know the format and refuses
// the exec). A test that runs a built program itself starts it through the emulator
// (BuiltProgram); the few cases where the tool must start one (a utility) are skipped there,
// and only there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rvtest {

// The command line that runs a program built here, from a test.
inline std::vector<std::string> BuiltProgram(const std::string& path) {
#ifdef RV_EMULATOR
    return {RV_EMULATOR, path};
#else
    return {path};
#endif
}

}  // namespace rvtest

#ifdef RV_UNDER_EMULATION
#define RV_SKIP_WHERE_BUILT_PROGRAMS_CANNOT_START()                                       \
    GTEST_SKIP() << "under user-mode emulation without binfmt support, a program cannot " \
                    "start a program of its own architecture"
#else
#define RV_SKIP_WHERE_BUILT_PROGRAMS_CANNOT_START() static_cast<void>(0)
#endif
