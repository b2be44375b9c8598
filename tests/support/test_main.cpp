// The entry of every test binary: a quiet, self-contained environment, then GoogleTest.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto runtime = std::filesystem::temp_directory_path() / "rv4417-runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
