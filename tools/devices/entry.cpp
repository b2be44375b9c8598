#include "tools/devices/entry.h"

#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

#include "tools/devices/sysfs.h"

namespace devcheck {

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

std::string ReadLink(const std::string& path) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            return "";
        }
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

Kind KindOf(const std::string& path, const struct stat& st) {
    if (S_ISSOCK(st.st_mode)) {
        return Kind::kControlSocket;
    }
    if (S_ISCHR(st.st_mode)) {
        return IsTerminalDevice(path, st) ? Kind::kSerialPort : Kind::kCharDevice;
    }
    return S_ISREG(st.st_mode) ? Kind::kRegularFile : Kind::kUnusable;
}

}  // namespace

std::string EntryName(std::string_view arg) {
    if (!arg.empty() && arg.back() == ':') {
        arg.remove_suffix(1);
    }
    std::string upper;
    for (const char c : arg) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string_view name : kEntryNames) {
        if (upper == name) {
            return upper;
        }
    }
    return "";
}

bool IsPortName(std::string_view name) {
    return name.substr(0, 3) == "COM";
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::kMissing:
            return "missing";
        case Kind::kDangling:
            return "dangling link";
        case Kind::kLoop:
            return "link loop";
        case Kind::kUnreachable:
            return "unreachable";
        case Kind::kSerialPort:
            return "serial port";
        case Kind::kControlSocket:
            return "control socket";
        case Kind::kCharDevice:
            return "character device";
        case Kind::kRegularFile:
            return "regular file";
        case Kind::kUnusable:
            break;
    }
    return "not usable";
}

std::string Tidy(const std::string& path) {
    const std::string tidy = std::filesystem::path(path).lexically_normal().string();
    return tidy.size() > 1 && tidy.back() == '/' ? tidy.substr(0, tidy.size() - 1) : tidy;
}

Resolution Resolve(const std::string& entry) {
    Resolution r;
    r.entry = entry;
    r.chain.push_back(entry);
    // Looked up as written, as the kernel does ("a/link/../b" goes through the link's
    // target); only what is shown is tidied.
    std::string path = entry;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            r.error = errno;
            r.brokenAt = Tidy(path);
            const bool absent = r.error == ENOENT || r.error == ENOTDIR;
            r.kind = !absent ? Kind::kUnreachable : links == 0 ? Kind::kMissing : Kind::kDangling;
            return r;
        }
        if (!S_ISLNK(st.st_mode)) {
            r.device = Tidy(path);
            r.st = st;
            r.kind = KindOf(path, st);
            return r;
        }
        const std::string target = ReadLink(path);
        if (target.empty()) {
            r.error = errno;
            r.brokenAt = Tidy(path);
            r.kind = Kind::kUnreachable;
            return r;
        }
        if (target.front() == '/') {
            path = target;
        } else {
            path = std::filesystem::path(path).parent_path().string();
            path += "/";
            path += target;
        }
        const std::string shown = Tidy(path);
        const bool again = std::find(r.chain.begin(), r.chain.end(), shown) != r.chain.end();
        r.chain.push_back(shown);
        if (again) {
            break;
        }
    }
    r.kind = Kind::kLoop;
    r.error = ELOOP;
    return r;
}

bool Reached(const Resolution& r) {
    return !r.device.empty();
}

std::string ChainText(const Resolution& r) {
    std::string text;
    for (const std::string& step : r.chain) {
        text += (text.empty() ? "" : " -> ") + step;
    }
    return text;
}

std::vector<std::string> ChainLines(const Resolution& r, size_t width) {
    const std::string text = ChainText(r);
    if (text.size() <= width) {
        return {text};
    }
    std::vector<std::string> lines{r.chain.front()};
    for (size_t i = 1; i < r.chain.size(); ++i) {
        lines.push_back("  -> " + r.chain[i]);
    }
    return lines;
}

bool IsTerminalDevice(const std::string& path, const struct stat& st) {
    if (!S_ISCHR(st.st_mode)) {
        return false;
    }
    // Unix 98 pseudo-terminal slaves have no sysfs device of their own.
    const unsigned maj = major(st.st_rdev);
    if (maj >= 136 && maj <= 143) {
        return true;
    }
    const std::string name = std::filesystem::path(path).filename().string();
    return Subsystem(SysDevicePath("/sys", st.st_rdev, name)) == "tty";
}

}  // namespace devcheck
