// What sysfs tells about a character device: where it sits in the device tree and, for a USB
// adapter, its vendor, product and serial number.
#pragma once

#include <sys/types.h>

#include <string>

namespace devcheck {

// The first line of a small file ("" when it cannot be read).
std::string FirstLine(const std::string& path);

// The device's directory under sysRoot/devices (symbolic links resolved), found through
// sysRoot/dev/char/MAJ:MIN or, failing that, sysRoot/class/tty/NAME; "" when it has none.
std::string SysDevicePath(const std::string& sysRoot, dev_t device, const std::string& name);

struct UsbIdentity {
    bool found = false;
    std::string vendor;   // idVendor, "0403"
    std::string product;  // idProduct
    std::string serial;   // "" when the adapter has no serial number
};

// The USB device that sysDevice hangs from, found by walking up the tree.
UsbIdentity FindUsb(const std::string& sysRoot, const std::string& sysDevice);

// The subsystem of a device directory ("tty"), "" when unknown.
std::string Subsystem(const std::string& sysDevice);

}  // namespace devcheck
