#include "tests/support/device_dir.h"

#include <stdlib.h>

#include "platform/win/device.h"
#include "res/device_settings.h"

namespace rvtest {

DeviceDir::DeviceDir() {
    setenv(rv_res::kDeviceDirectoryVariable, m_dir.path().c_str(), 1);
    // As the program does at start-up; suites without the program's resources need it here.
    SetDeviceDirectoryFrom(rv_res::kDeviceDirectoryVariable, rv_res::kDefaultDeviceDirectory);
}

DeviceDir::~DeviceDir() {
    unsetenv(rv_res::kDeviceDirectoryVariable);
}

void DeviceDir::Link(const std::string& name, const std::filesystem::path& target) const {
    std::filesystem::remove(Entry(name));
    std::filesystem::create_symlink(target, Entry(name));
}

void DeviceDir::Unplug(const std::string& name) const {
    Link(name, m_dir.path() / ("unplugged-" + name));
}

}  // namespace rvtest
