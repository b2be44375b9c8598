#include "tools/devices/reasons.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/devices/access.h"
#include "tools/devices/holders.h"
#include "tools/devices/serial_list.h"

namespace devcheck {

namespace {

namespace fs = std::filesystem;

// Room for a chain in the indented lines of a reason.
constexpr size_t kWidth = 76;

// The command that (re)makes the entry, as root when this user may not write the directory.
std::string Command(const Resolution& r, const std::string& args) {
    fs::path dir = fs::absolute(r.entry).parent_path();
    std::error_code error;
    while (!fs::exists(dir, error) && dir.has_relative_path()) {
        dir = dir.parent_path();
    }
    return access(dir.c_str(), W_OK) == 0 ? "rv4417-devices " + args : AsRoot(args);
}

std::string LinkHint(const std::string& name, const Resolution& r) {
    return "Link it: " + Command(r, "link " + name + " DEVICE");
}

void AddSerialDevices(std::vector<std::string>& lines) {
    const std::vector<std::string> devices = SerialDeviceLines();
    lines.push_back("Serial devices on this machine:");
    if (devices.empty()) {
        lines.push_back("  none (no " + ByIdDirectory() + ", no ttyUSB, ttyACM,");
        lines.push_back("  and no ttyS with a UART): plug the adapter in.");
    }
    for (const std::string& device : devices) {
        lines.push_back("  " + device);
    }
}

// Connects as the tool's open does (sun_path is short: a long path goes through O_PATH).
int ConnectError(const std::string& path) {
    const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        return errno;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    int pathFd = -1;
    std::string target = path;
    if (target.size() >= sizeof addr.sun_path) {
        pathFd = open(path.c_str(), O_PATH | O_CLOEXEC);
        target = "/proc/self/fd/" + std::to_string(pathFd);
    }
    target.copy(addr.sun_path, sizeof addr.sun_path - 1);
    const int result = connect(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    const int error = result == 0 ? 0 : errno;
    close(sock);
    if (pathFd >= 0) {
        close(pathFd);
    }
    return error;
}

Reason Held(const Resolution& r, const std::string& how) {
    Reason reason{"held by another program", {how}};
    int hidden = 0;
    const std::vector<Process> locks = LockHolders(r.st);
    const std::vector<Process> openers = Openers(r.st, &hidden);
    for (const Process& p : locks) {
        reason.lines.push_back(Describe(p) + " holds its lock.");
    }
    for (const Process& p : openers) {
        const auto same = [&](const Process& holder) { return holder.pid == p.pid; };
        if (std::none_of(locks.begin(), locks.end(), same)) {
            reason.lines.push_back(Describe(p) + " has it open.");
        }
    }
    const std::vector<Process>& culprits = locks.empty() ? openers : locks;
    if (!culprits.empty()) {
        reason.lines.push_back("Close that program (or end it: kill " +
                               std::to_string(culprits.front().pid) + "), then check again.");
    } else {
        reason.lines.push_back("No process you may look at has it open.");
    }
    if (hidden > 0) {
        reason.lines.push_back(std::to_string(hidden) +
                               " processes are hidden from you; to see them all:");
        reason.lines.push_back("  " + AsRoot(""));
    }
    return reason;
}

// A device node or file the tool could not open: opened once more (without writing) to see
// which of the reasons behind the tool's error it is, unless another program holds it.
Reason DeviceReason(const Resolution& r) {
    if (LockedByAnother(r)) {
        return Held(r, "Another program holds the port's lock.");
    }
    const int fd = open(r.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            return {"not allowed", ExplainDenied(r.device, r.st)};
        }
        if (error == EBUSY) {
            return Held(r, "Another program put the port in exclusive mode (TIOCEXCL).");
        }
        if (error == ENXIO || error == ENODEV || error == EIO) {
            return {"no device behind it",
                    {"The driver finds no device behind " + r.device + " (" + std::strerror(error) +
                         "):",
                     "the adapter may be unplugged, or broken. Plug it in again."}};
        }
        return {std::strerror(error), {"Opening " + r.device + " fails: " + std::strerror(error)}};
    }
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    if (locked) {
        return Held(r, "Another program holds the port's lock.");
    }
    return {"busy for a moment",
            {"It opened when looked at again: another program had it only",
             "for a moment. Check again."}};
}

Reason SocketReason(const std::string& name, const Resolution& r) {
    const int error = ConnectError(r.device);
    if (error == ECONNREFUSED) {
        return {"nobody serves the control socket",
                {"The connection is refused (ECONNREFUSED): the program that made",
                 r.device + " has ended or stopped listening.",
                 "Start the program that serves " + name + " (without the terminal:",
                 "rv4417-sim), or remove the stale entry:", "  " + Command(r, "unlink " + name)}};
    }
    if (error == EACCES || error == EPERM) {
        return {"not allowed", ExplainDenied(r.device, r.st)};
    }
    if (error == 0) {
        return {"busy for a moment",
                {"It took a connection when looked at again: its server",
                 "was busy for a moment. Check again."}};
    }
    return {std::strerror(error),
            {"Connecting to " + r.device + " fails: " + std::strerror(error)}};
}

Reason Dangling(const std::string& name, const Resolution& r) {
    Reason reason{"the link points nowhere", ChainLines(r, kWidth)};
    reason.lines.push_back("It breaks at " + r.brokenAt + ":");
    const std::string parent = fs::path(r.brokenAt).parent_path().string();
    std::error_code ignored;
    if (!fs::is_directory(parent, ignored)) {
        reason.lines.push_back("not even the folder " + parent + " exists.");
    } else {
        reason.lines.push_back("there is no such file.");
    }
    if (r.brokenAt.rfind("/dev/pts/", 0) == 0) {
        reason.lines.push_back("That was a pseudo-terminal; it went when its program ended.");
    } else if (IsPortName(name)) {
        reason.lines.push_back("If it is an adapter, it may be unplugged: plug it in.");
    }
    if (IsPortName(name)) {
        AddSerialDevices(reason.lines);
    }
    reason.lines.push_back("Or link it anew: " + Command(r, "link " + name + " DEVICE"));
    return reason;
}

}  // namespace

bool LockedByAnother(const Resolution& r) {
    // /proc/locks shows every process's locks to every user, unlike their descriptors.
    return Reached(r) && S_ISCHR(r.st.st_mode) && !LockHolders(r.st).empty();
}

Reason WhyNotOpen(const std::string& name, const Resolution& r) {
    switch (r.kind) {
        case Kind::kMissing: {
            const std::string dir = fs::path(r.entry).parent_path().string();
            std::error_code ignored;
            Reason reason{"missing",
                          {fs::is_directory(dir, ignored)
                               ? "There is no entry " + r.entry + "."
                               : "There is no folder " + dir + ", so no entry " + name + "."}};
            if (IsPortName(name)) {
                AddSerialDevices(reason.lines);
            } else {
                reason.lines.push_back(name +
                                       " is the scanner's control device: a socket that the");
                reason.lines.push_back("program serving it makes, or a driver's device node.");
            }
            reason.lines.push_back(LinkHint(name, r));
            return reason;
        }
        case Kind::kDangling:
            return Dangling(name, r);
        case Kind::kLoop: {
            Reason reason{"the links go round", ChainLines(r, kWidth)};
            reason.lines.back() += " ...";
            reason.lines.push_back("Link it anew: " + Command(r, "link " + name + " DEVICE"));
            return reason;
        }
        case Kind::kUnreachable: {
            Reason reason{"cannot be looked up",
                          {"Looking up " + r.brokenAt + " fails: " + std::strerror(r.error)}};
            const std::string parent = fs::path(r.brokenAt).parent_path().string();
            struct stat st {};
            if ((r.error == EACCES || r.error == EPERM) && stat(parent.c_str(), &st) == 0) {
                reason.summary = "a folder on the way is closed to you";
                reason.lines.push_back(OwnershipLine(parent, st));
            }
            return reason;
        }
        case Kind::kControlSocket:
            return SocketReason(name, r);
        case Kind::kUnusable:
            return {"not a device",
                    {r.device + " is no device the tool can open (" + ModeText(r.st.st_mode) + ").",
                     LinkHint(name, r)}};
        case Kind::kSerialPort:
        case Kind::kCharDevice:
        case Kind::kRegularFile:
            break;
    }
    return DeviceReason(r);
}

Reason WrongKind(const std::string& name, const Resolution& r) {
    const bool port = IsPortName(name);
    const bool right = port ? r.kind == Kind::kSerialPort
                            : r.kind == Kind::kControlSocket || r.kind == Kind::kCharDevice;
    if (right) {
        return {};
    }
    const std::string needed =
        port ? "a serial port" : "a control device (a socket or a driver's device node)";
    return {"opens, but is not " + needed.substr(0, needed.find(" (")),
            {name + " must be " + needed + ",",
             "but " + r.device + " is a " + KindName(r.kind) + ": the tool opens it and then",
             "cannot use it. " + LinkHint(name, r)}};
}

}  // namespace devcheck
