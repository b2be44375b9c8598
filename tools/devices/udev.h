// Keeping an entry across reboots and replugs: whether the device directory is lost at
// reboot, and the udev rule that makes the entry anew each time the adapter appears.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace devcheck {

// Whether the folder (or, when it does not exist yet, its nearest existing parent) is on a
// file system kept in memory (tmpfs, devtmpfs, ramfs).
bool LostAtReboot(const std::string& dir);

// The lines that advise a udev rule making dir/name a link to the device at devicePath (st:
// its status), as rules.d/ takes it; sysRoot is where sysfs is (/sys).
std::vector<std::string> UdevAdvice(const std::string& sysRoot, const std::string& dir,
                                    const std::string& name, const std::string& devicePath,
                                    const struct stat& st);

}  // namespace devcheck
