#include "tools/devices/udev.h"

#include <sys/vfs.h>

#include <filesystem>

#include "tools/devices/sysfs.h"

namespace devcheck {

namespace fs = std::filesystem;

namespace {

constexpr long kTmpfsMagic = 0x01021994;  // devtmpfs reports this too
constexpr long kRamfsMagic = static_cast<long>(0x858458f6);

// The link's name relative to /dev, as SYMLINK+= wants it; "" when dir is not under /dev.
std::string UnderDev(const std::string& dir, const std::string& name) {
    const fs::path relative = fs::absolute(dir).lexically_normal().lexically_relative("/dev");
    if (relative.empty() || *relative.begin() == "..") {
        return "";
    }
    const fs::path link = relative / name;
    return link.lexically_normal().string();
}

}  // namespace

bool LostAtReboot(const std::string& dir) {
    fs::path existing = fs::absolute(dir).lexically_normal();
    std::error_code error;
    while (!fs::exists(existing, error) && existing.has_relative_path()) {
        existing = existing.parent_path();
    }
    struct statfs info {};
    if (statfs(existing.c_str(), &info) != 0) {
        return false;
    }
    const auto type = static_cast<long>(info.f_type);
    return type == kTmpfsMagic || type == kRamfsMagic;
}

std::vector<std::string> UdevAdvice(const std::string& sysRoot, const std::string& dir,
                                    const std::string& name, const std::string& devicePath,
                                    const struct stat& st) {
    if (!S_ISCHR(st.st_mode)) {
        return {"The program that serves " + name + " has to make it anew after a reboot."};
    }
    const std::string kernelName = fs::path(devicePath).filename().string();
    const std::string sysDevice = SysDevicePath(sysRoot, st.st_rdev, kernelName);
    if (sysDevice.empty()) {
        return {devicePath + " has no device in sysfs (a pseudo-terminal?),",
                "so no udev rule can make the link: make it again after a reboot."};
    }
    const std::string link = UnderDev(dir, name);
    if (link.empty()) {
        return {"A udev rule can make links only under /dev, and " + dir + " is not;",
                "use a device directory under /dev (the default /dev/rv4417) to have",
                "udev make the link each time the device appears."};
    }
    std::string subsystem = Subsystem(sysDevice);
    std::string rule = "SUBSYSTEM==\"" + (subsystem.empty() ? "tty" : subsystem) + "\", ";
    const UsbIdentity usb = FindUsb(sysRoot, sysDevice);
    if (!usb.found) {
        rule += "KERNEL==\"" + fs::path(sysDevice).filename().string() + "\", ";
    } else {
        rule +=
            "ATTRS{idVendor}==\"" + usb.vendor + "\", ATTRS{idProduct}==\"" + usb.product + "\", ";
        if (!usb.serial.empty()) {
            rule += "ATTRS{serial}==\"" + usb.serial + "\", ";
        }
    }
    rule += "SYMLINK+=\"" + link + "\"";
    std::vector<std::string> lines{
        "To have udev make the link each time the device appears,",
        "put this line in /etc/udev/rules.d/99-rv4417.rules (as root):", "  " + rule};
    if (usb.found && usb.serial.empty()) {
        lines.push_back("Warning: this adapter has no serial number, so the rule matches");
        lines.push_back("every adapter of its kind: with two of them plugged in, the link");
        lines.push_back("goes to whichever appears last.");
    }
    lines.push_back("then run: sudo udevadm control --reload && sudo udevadm trigger");
    return lines;
}

}  // namespace devcheck
