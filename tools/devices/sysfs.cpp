#include "tools/devices/sysfs.h"

#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace devcheck {

namespace fs = std::filesystem;

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string SysDevicePath(const std::string& sysRoot, dev_t device, const std::string& name) {
    std::string number = std::to_string(major(device));
    number += ":";
    number += std::to_string(minor(device));
    const fs::path root(sysRoot);
    for (const fs::path& candidate : {root / "dev/char" / number, root / "class/tty" / name}) {
        std::error_code error;
        const fs::path real = fs::canonical(candidate, error);
        if (!error && FirstLine(real.string() + "/dev") == number) {
            return real.string();
        }
    }
    return "";
}

UsbIdentity FindUsb(const std::string& sysRoot, const std::string& sysDevice) {
    UsbIdentity usb;
    std::error_code error;
    const fs::path top = fs::canonical(sysRoot, error);
    for (fs::path dir = sysDevice; !dir.empty() && dir != top && dir != dir.root_path();
         dir = dir.parent_path()) {
        const std::string vendor = FirstLine((dir / "idVendor").string());
        const std::string product = FirstLine((dir / "idProduct").string());
        if (!vendor.empty() && !product.empty()) {
            usb.found = true;
            usb.vendor = vendor;
            usb.product = product;
            usb.serial = FirstLine((dir / "serial").string());
            return usb;
        }
    }
    return usb;
}

std::string Subsystem(const std::string& sysDevice) {
    std::error_code error;
    const fs::path link = fs::read_symlink(sysDevice + "/subsystem", error);
    return error ? "" : link.filename().string();
}

}  // namespace devcheck
