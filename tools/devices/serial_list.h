// The serial devices this machine has, so that a user sees what an entry may be linked to:
// the stable names under /dev/serial/by-id, USB adapters and UARTs with a driver.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace devcheck {

// /dev/serial/by-id; the variable RV4417_DEVICES_BY_ID puts it elsewhere (for tests).
std::string ByIdDirectory();

// One line per device ("/dev/ttyUSB0  USB 0403:6001, serial A10K"); empty when none.
std::vector<std::string> SerialDeviceLines();

// A name under the by-id directory that leads to the same device, or "".
std::string StableName(const struct stat& device);

}  // namespace devcheck
