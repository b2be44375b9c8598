// A device directory for one test: RV4417_DEVICES points at a fresh folder while it lives.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace rvtest {

class DeviceDir {
public:
    DeviceDir();
    ~DeviceDir();

    // The entry for a device name without its colon ("COM0").
    std::filesystem::path Entry(const std::string& name) const { return m_dir.path() / name; }
    // Makes the entry a symbolic link to target (a pseudo-terminal's slave, say).
    void Link(const std::string& name, const std::filesystem::path& target) const;
    // Leaves the entry pointing nowhere, as a pulled adapter leaves its link. Call it before
    // a pseudo-terminal that stands for the adapter hangs up: the freed /dev/pts number is
    // soon another pseudo-terminal's (another test's, maybe), and a port that reattaches
    // through the old link would take that one.
    void Unplug(const std::string& name) const;

private:
    TempDir m_dir;
};

}  // namespace rvtest
