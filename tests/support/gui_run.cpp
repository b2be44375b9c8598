#include "tests/support/gui_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>

#include "platform/afx/winapp.h"

namespace rvtest {

void UseTestDefaults() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto runtime = std::filesystem::temp_directory_path() / "rv4417-runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
}

int RunGuiTests(int argc, char** argv) {
    QApplication application(argc, argv);
    AfxInitFramework();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    AfxTermFramework();
    return result;
}

}  // namespace rvtest
