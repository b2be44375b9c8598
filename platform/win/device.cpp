#include "platform/win/device.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/win/control.h"
#include "platform/win/control_p.h"
#include "platform/win/error_p.h"
#include "platform/win/file.h"
#include "platform/win/file_p.h"
#include "platform/win/handles_p.h"
#include "platform/win/serial_port_p.h"
#include "platform/win/text.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

namespace win_detail {

namespace {

bool IsDeviceName(std::u16string_view name) {
    if (name.size() < 2 || name.back() != u':') {
        return false;
    }
    for (const char16_t c : name.substr(0, name.size() - 1)) {
        const bool alnum =
            (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (!alnum) {
            return false;
        }
    }
    return true;
}

int OpenFlags(DWORD access) {
    const bool read = access & GENERIC_READ;
    const bool write = access & GENERIC_WRITE;
    return O_CLOEXEC | O_NOCTTY | (read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY));
}

// Wraps an open descriptor in the object its kind calls for and enters it in the table.
HANDLE Adopt(int fd, const std::string& path, DWORD shareMode) {
    const bool terminal = isatty(fd);
    if (shareMode == 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return FailedHandle(terminal ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
    }
    if (terminal) {
        // Reads and writes wait in poll(); the descriptor itself never blocks.
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        auto port = SerialPort::Adopt(fd, path, shareMode == 0);
        return port ? InsertHandle(std::move(port)) : FailedHandle(ErrorFromErrno(errno));
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return InsertHandle(std::make_shared<PlainFile>(fd));
}

// What an entry resolves to, for the trace: " -> the real path", " -> where a link points
// (missing)", or nothing for an entry that is not there.
std::string Resolved(const std::string& entry) {
    if (char* real = realpath(entry.c_str(), nullptr)) {
        std::string text = std::string(" -> ") + real;
        free(real);
        return text;
    }
    char target[4096];
    const ssize_t n = readlink(entry.c_str(), target, sizeof target - 1);
    return n > 0 ? " -> " + std::string(target, static_cast<size_t>(n)) + " (missing)" : "";
}

HANDLE OpenDevice(std::u16string_view name, DWORD access, DWORD shareMode) {
    const std::string device = Utf16ToUtf8(name);
    const std::string entry = GetDeviceDirectory() + "/" + device.substr(0, device.size() - 1);
    const TraceChannel channel = TraceChannel::Serial;
    struct stat st {};
    if (stat(entry.c_str(), &st) != 0) {
        const int err = errno;
        RV_TRACE(channel, "open %s entry %s%s: %s", device.c_str(), entry.c_str(),
                 Resolved(entry).c_str(), ErrnoText(err).c_str());
        return FailedHandle(ERROR_FILE_NOT_FOUND);
    }
    if (S_ISSOCK(st.st_mode)) {
        auto control = SocketControlDevice::Connect(entry);
        const int err = errno;
        RV_TRACE(TraceChannel::Control, "open %s entry %s%s: control socket%s%s", device.c_str(),
                 entry.c_str(), Resolved(entry).c_str(),
                 control ? "" : ", not served: ", control ? "" : ErrnoText(err).c_str());
        return control ? InsertHandle(std::move(control))
                       : FailedHandle(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (!S_ISCHR(st.st_mode) && !S_ISREG(st.st_mode)) {
        RV_TRACE(channel, "open %s entry %s%s: not a device the tool can use", device.c_str(),
                 entry.c_str(), Resolved(entry).c_str());
        return FailedHandle(ERROR_FILE_NOT_FOUND);
    }
    // Non-blocking, so that opening a line without carrier cannot hang.
    const int fd = open(entry.c_str(), OpenFlags(access) | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        RV_TRACE(channel, "open %s entry %s%s: %s", device.c_str(), entry.c_str(),
                 Resolved(entry).c_str(), ErrnoText(err).c_str());
        return FailedHandle(ErrorFromErrno(err));
    }
    const bool terminal = isatty(fd);
    const HANDLE handle = Adopt(fd, entry, shareMode);
    if (TraceOn(channel)) {
        const bool held =
            handle == INVALID_HANDLE_VALUE && shareMode == 0 &&
            (GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_SHARING_VIOLATION);
        TraceLine(channel, "open %s entry %s%s: %s%s", device.c_str(), entry.c_str(),
                  Resolved(entry).c_str(), terminal ? "serial port" : "character device",
                  handle != INVALID_HANDLE_VALUE ? ", open"
                  : held                         ? ", held by another open (its lock)"
                                                 : ", cannot be set up");
    }
    return handle;
}

}  // namespace

}  // namespace win_detail

namespace {

// Set once at start-up, before any thread that opens devices runs.
constinit std::atomic<const char*> g_directoryVariable{nullptr};
constinit std::atomic<const char*> g_directoryFallback{nullptr};

}  // namespace

void SetDeviceDirectoryFrom(const char* environmentVariable, const char* fallback) {
    g_directoryVariable = environmentVariable;
    g_directoryFallback = fallback;
}

std::string GetDeviceDirectory() {
    const char* variable = g_directoryVariable.load();
    const char* dir = variable ? getenv(variable) : nullptr;
    const char* fallback = g_directoryFallback.load();
    return dir && *dir ? dir : (fallback ? fallback : "");
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!name || !*name || disposition != OPEN_EXISTING) {
        return win_detail::FailedHandle(ERROR_INVALID_PARAMETER);
    }
    const std::u16string_view view(name);
    if (win_detail::IsDeviceName(view)) {
        return win_detail::OpenDevice(view, access, shareMode);
    }
    const std::string path = ToPosixPath(name);
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return win_detail::FailedHandle(ERROR_ACCESS_DENIED);
    }
    const int fd = open(path.c_str(), win_detail::OpenFlags(access) | O_NONBLOCK);
    if (fd < 0) {
        return win_detail::FailedHandle(win_detail::ErrorFromErrno(errno));
    }
    return win_detail::Adopt(fd, path, shareMode);
}
