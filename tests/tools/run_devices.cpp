#include "tests/tools/run_devices.h"

#include "tests/support/emulation.h"

namespace rvtest {

Ran RunDevices(const std::vector<std::string>& args) {
    std::vector<std::string> argv = BuiltProgram(RV_BINARY_DIR "/rv4417-devices");
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

testing::AssertionResult Has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return testing::AssertionSuccess() << "found \"" << part << "\"";
    }
    return testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

}  // namespace rvtest
