#include "tools/devices/link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/win/device.h"
#include "tools/devices/access.h"
#include "tools/devices/entry.h"
#include "tools/devices/serial_list.h"
#include "tools/devices/udev.h"

namespace devcheck {

namespace fs = std::filesystem;

namespace {

const char* TypeName(mode_t mode) {
    return S_ISDIR(mode)    ? "folder"
           : S_ISREG(mode)  ? "regular file"
           : S_ISCHR(mode)  ? "device node"
           : S_ISBLK(mode)  ? "block device node"
           : S_ISFIFO(mode) ? "FIFO"
           : S_ISSOCK(mode) ? "socket"
                            : "symbolic link";
}

// What to run instead when the directory may only be changed by root.
void SuggestRoot(int error, const std::string& command, std::ostream& err) {
    if (error != EACCES && error != EPERM) {
        return;
    }
    err << "Run it as root: " << AsRoot(command) << "\n";
}

std::string LinkTarget(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    return error ? "" : target.string();
}

}  // namespace

int LinkEntry(const std::string& name, const std::string& device, std::ostream& out,
              std::ostream& err) {
    const std::string dir = GetDeviceDirectory();
    const std::string entry = dir + "/" + name;
    const std::string command = "link " + name + " " + device;
    struct stat st {};
    if (device.empty() || stat(device.c_str(), &st) != 0) {
        err << "rv4417-devices: " << device << ": " << std::strerror(errno)
            << "; nothing linked.\n";
        return 1;
    }
    const bool port = IsPortName(name);
    if (!S_ISCHR(st.st_mode) && !(S_ISSOCK(st.st_mode) && !port)) {
        err << "rv4417-devices: " << device << " is a " << TypeName(st.st_mode) << ", not "
            << (port ? "a serial port" : "a control device (a socket or a device node)")
            << "; nothing linked.\n";
        return 1;
    }
    const std::string absolute = Tidy(fs::absolute(device).string());
    if (absolute == Tidy(fs::absolute(entry).string())) {
        err << "rv4417-devices: " << device << " is the entry itself; nothing linked.\n";
        return 1;
    }
    std::error_code error;
    const std::string real = fs::canonical(device, error).string();
    if (S_ISCHR(st.st_mode) && port != IsTerminalDevice(real, st)) {
        out << "Warning: " << device << " is "
            << (port ? "not a terminal; " + name + " needs a serial port."
                     : "a serial port; " + name + " needs a control device.")
            << "\n";
    }
    const std::string stable = S_ISCHR(st.st_mode) ? StableName(st) : "";
    const std::string target = stable.empty() ? absolute : stable;
    if (!stable.empty() && stable != absolute) {
        out << "Using its stable name, which stays with the adapter when a replug renumbers it:\n"
            << "  " << stable << "\n";
    }

    fs::create_directories(dir, error);
    if (error) {
        err << "rv4417-devices: cannot make " << dir << ": " << error.message() << "\n";
        SuggestRoot(error.value(), command, err);
        return 1;
    }
    struct stat old {};
    const bool existed = lstat(entry.c_str(), &old) == 0;
    if (existed && !S_ISLNK(old.st_mode) && !S_ISSOCK(old.st_mode)) {
        err << "rv4417-devices: " << entry << " is a " << TypeName(old.st_mode)
            << ", not a link: left as it is.\n";
        return 1;
    }
    const std::string was = existed && S_ISLNK(old.st_mode) ? LinkTarget(entry) : "";
    // Made aside and renamed over the entry, so the entry is never missing on the way.
    const std::string temporary = dir + "/." + name + ".new." + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0 ||
        rename(temporary.c_str(), entry.c_str()) != 0) {
        const int e = errno;
        unlink(temporary.c_str());
        err << "rv4417-devices: cannot make " << entry << ": " << std::strerror(e) << "\n";
        SuggestRoot(e, command, err);
        return 1;
    }
    out << "Linked " << entry << " -> " << target << "\n";
    if (existed) {
        out << "  (replacing " << (was.empty() ? "a socket" : "the link to " + was) << ")\n";
    }
    if (LostAtReboot(dir)) {
        out << "\nNote: " << dir << " is on a file system kept in memory (as /dev is),\n"
            << "so the link is lost at reboot.\n";
        for (const std::string& line : UdevAdvice("/sys", dir, name, real, st)) {
            out << line << "\n";
        }
    }
    return 0;
}

int UnlinkEntry(const std::string& name, std::ostream& out, std::ostream& err) {
    const std::string entry = GetDeviceDirectory() + "/" + name;
    struct stat st {};
    if (lstat(entry.c_str(), &st) != 0) {
        err << "rv4417-devices: " << entry << ": " << std::strerror(errno)
            << "; nothing removed.\n";
        return 1;
    }
    if (!S_ISLNK(st.st_mode) && !S_ISSOCK(st.st_mode)) {
        err << "rv4417-devices: " << entry << " is a " << TypeName(st.st_mode)
            << ", not a link or socket: left as it is.\n";
        return 1;
    }
    const std::string was = S_ISLNK(st.st_mode) ? LinkTarget(entry) : "";
    if (unlink(entry.c_str()) != 0) {
        const int e = errno;
        err << "rv4417-devices: cannot remove " << entry << ": " << std::strerror(e) << "\n";
        SuggestRoot(e, "unlink " + name, err);
        return 1;
    }
    out << "Removed " << entry << (was.empty() ? " (a socket)" : " (was -> " + was + ")") << "\n";
    return 0;
}

}  // namespace devcheck
