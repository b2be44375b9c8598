#include "tools/devices/serial_list.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tools/devices/sysfs.h"

namespace devcheck {

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Sorted(const fs::path& dir) {
    std::vector<fs::path> paths;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// What sysfs says of a terminal class device; "" when it is no serial line (a virtual
// console, or a UART slot the kernel reserves without a chip behind it: type 0).
std::string SerialDetail(const fs::path& classDir) {
    std::error_code error;
    const fs::path device = fs::canonical(classDir / "device", error);
    if (error) {
        return "";
    }
    const std::string type = FirstLine((classDir / "type").string());
    if (type == "0") {
        return "";
    }
    const UsbIdentity usb = FindUsb("/sys", device.string());
    if (usb.found) {
        return "USB " + usb.vendor + ":" + usb.product +
               (usb.serial.empty() ? ", no serial number" : ", serial " + usb.serial);
    }
    const std::string driver = fs::read_symlink(device / "driver", error).filename().string();
    return !type.empty() ? "UART" : (error ? "serial line" : "driver " + driver);
}

}  // namespace

std::string ByIdDirectory() {
    const char* dir = std::getenv("RV4417_DEVICES_BY_ID");
    return dir && *dir ? dir : "/dev/serial/by-id";
}

std::vector<std::string> SerialDeviceLines() {
    std::vector<std::string> lines;
    for (const fs::path& link : Sorted(ByIdDirectory())) {
        std::error_code error;
        const fs::path target = fs::canonical(link, error);
        lines.push_back(link.string() + " -> " + (error ? "(nothing)" : target.string()));
    }
    for (const fs::path& classDir : Sorted("/sys/class/tty")) {
        const std::string name = classDir.filename().string();
        const std::string detail = SerialDetail(classDir);
        if (detail.empty()) {
            continue;
        }
        const std::string node = "/dev/" + name;
        std::string line = node;
        line.resize(std::max<size_t>(line.size() + 2, 16), ' ');
        line += detail;
        if (!fs::exists(node)) {
            line += " (no device node)";
        }
        lines.push_back(line);
    }
    return lines;
}

std::string StableName(const struct stat& device) {
    for (const fs::path& link : Sorted(ByIdDirectory())) {
        struct stat st {};
        if (stat(link.c_str(), &st) == 0 && S_ISCHR(st.st_mode) && S_ISCHR(device.st_mode) &&
            st.st_rdev == device.st_rdev) {
            return link.string();
        }
    }
    return "";
}

}  // namespace devcheck
