#include "tests/support/device_dir.h"

#include <stdlib.h>

namespace rvtest {

DeviceDir::DeviceDir() {
    setenv("RV4417_DEVICES", m_dir.path().c_str(), 1);
}

DeviceDir::~DeviceDir() {
    unsetenv("RV4417_DEVICES");
}

void DeviceDir::Link(const std::string& name, const std::filesystem::path& target) const {
    std::filesystem::remove(Entry(name));
    std::filesystem::create_symlink(target, Entry(name));
}

void DeviceDir::Unplug(const std::string& name) const {
    Link(name, m_dir.path() / ("unplugged-" + name));
}

}  // namespace rvtest
