#include "platform/win/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/error.h"
#include "platform/win/handles.h"
#include "platform/win/text.h"
#include "platform/win/wait.h"

namespace {

// The launch results that hInstApp reports, as the shell numbers them.
constexpr std::uintptr_t kLaunched = 33;
constexpr std::uintptr_t kShellFileNotFound = 2;
constexpr std::uintptr_t kShellPathNotFound = 3;
constexpr std::uintptr_t kShellAccessDenied = 5;
constexpr std::uintptr_t kShellOutOfMemory = 8;
constexpr std::uintptr_t kShellBadFormat = 11;
constexpr std::uintptr_t kShellNoAssociation = 31;
constexpr std::uintptr_t kShellOtherFailure = 0;

// Children that nobody will wait for: launched without a handle, or whose handle was closed
// while they ran. They are reaped by the sweep at the start of every call of this module;
// waitpid names each one, so children of other parts of the program are left alone.
struct Orphans {
    std::mutex mutex;
    std::vector<pid_t> pids;
};

Orphans& TheOrphans() {
    static Orphans* orphans = new Orphans;  // never destroyed: handles may be closed during exit
    return *orphans;
}

void AdoptOrphan(pid_t pid) {
    Orphans& orphans = TheOrphans();
    std::lock_guard lock(orphans.mutex);
    orphans.pids.push_back(pid);
}

void ReapOrphans() {
    Orphans& orphans = TheOrphans();
    std::lock_guard lock(orphans.mutex);
    std::erase_if(orphans.pids, [](pid_t pid) {
        const pid_t r = waitpid(pid, nullptr, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

class ProcessObject : public win_detail::Waitable {
public:
    ProcessObject(pid_t pid, int pidfd) : m_pid(pid), m_pidfd(pidfd) {}

    // Runs when the last reference goes, after any wait in progress has finished with it.
    ~ProcessObject() override {
        if (!Ended()) {
            AdoptOrphan(m_pid);
        }
        if (m_pidfd >= 0) {
            close(m_pidfd);
        }
    }

    // Whether the child has ended; the first caller to see it end reaps it and keeps its code.
    bool Ended() {
        std::lock_guard lock(m_mutex);
        if (m_ended) {
            return true;
        }
        int status = 0;
        pid_t r = 0;
        do {
            r = waitpid(m_pid, &status, WNOHANG);
        } while (r < 0 && errno == EINTR);
        if (r == m_pid) {
            m_ended = true;
            m_exitCode = WIFSIGNALED(status) ? 128 + static_cast<DWORD>(WTERMSIG(status))
                                             : static_cast<DWORD>(WEXITSTATUS(status));
        } else if (r < 0) {
            // Reaped behind our back (ECHILD): it has ended, its code is lost.
            m_ended = true;
        }
        return m_ended;
    }

    DWORD ExitCode() {
        std::lock_guard lock(m_mutex);
        return m_exitCode;
    }

    bool Signaled() override {
        ReapOrphans();
        return Ended();
    }
    int SignalFd() const override { return m_pidfd; }

    void Close() override { ReapOrphans(); }

private:
    const pid_t m_pid;
    const int m_pidfd;  // -1 when the kernel offers no pidfd
    std::mutex m_mutex;
    bool m_ended = false;
    DWORD m_exitCode = 0;
};

std::uintptr_t ShellError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return kShellFileNotFound;
        case ERROR_PATH_NOT_FOUND:
            return kShellPathNotFound;
        case ERROR_ACCESS_DENIED:
            return kShellAccessDenied;
        case ERROR_NOT_ENOUGH_MEMORY:
            return kShellOutOfMemory;
        case ERROR_BAD_EXE_FORMAT:
            return kShellBadFormat;
        case ERROR_NOT_SUPPORTED:
            return kShellNoAssociation;
        default:
            return kShellOtherFailure;
    }
}

BOOL Refuse(LPSHELLEXECUTEINFO info, DWORD error) {
    info->hInstApp = reinterpret_cast<HINSTANCE>(ShellError(error));
    return win_detail::Fail(error);
}

bool IsOpenVerb(LPCWSTR verb) {
    if (!verb || !*verb) {
        return true;
    }
    std::string text = win_detail::Utf16ToUtf8(verb);
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text == "open";
}

// Blanks separate the parameters; a double-quoted stretch (quotes dropped) may hold blanks,
// and "" is an empty parameter.
std::vector<std::string> SplitParameters(const std::string& text) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inArg = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg) {
                args.push_back(std::move(current));
                current.clear();
                inArg = false;
            }
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg) {
        args.push_back(std::move(current));
    }
    return args;
}

// The child changes folder before it starts the file, so a relative file is made absolute
// first: it names a file in the caller's folder, not in lpDirectory.
bool MakeAbsolute(std::string& file) {
    if (file.front() == '/') {
        return true;
    }
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) {
        return false;
    }
    file = std::string(cwd) + "/" + file;
    std::free(cwd);
    return true;
}

}  // namespace

BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info) {
    ReapOrphans();
    if (!info) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    info->hProcess = nullptr;
    if (info->cbSize != SHELLEXECUTEINFO_TERMINAL_SIZE &&
        info->cbSize != sizeof(SHELLEXECUTEINFO)) {
        return Refuse(info, ERROR_INVALID_PARAMETER);
    }
    if (!IsOpenVerb(info->lpVerb)) {
        return Refuse(info, ERROR_NOT_SUPPORTED);
    }
    std::string file = win_detail::ToPosixPath(info->lpFile);
    if (file.empty()) {
        return Refuse(info, ERROR_FILE_NOT_FOUND);
    }
    if (!MakeAbsolute(file)) {
        return Refuse(info, win_detail::ErrorFromErrno(errno));
    }
    const std::string directory = win_detail::ToPosixPath(info->lpDirectory);
    if (!directory.empty()) {
        struct stat st {};
        if (stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return Refuse(info, ERROR_PATH_NOT_FOUND);
        }
    }

    std::vector<std::string> args{file};
    const std::vector<std::string> parameters =
        SplitParameters(info->lpParameters ? win_detail::Utf16ToUtf8(info->lpParameters) : "");
    args.insert(args.end(), parameters.begin(), parameters.end());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    // The child gets only 0, 1 and 2, default signal handling and no blocked signals,
    // whatever this program has set up for itself.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attr, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attr, &signals);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // glibc reports a failed exec (ENOENT, EACCES, ENOEXEC...) as the spawn's own result.
    pid_t pid = 0;
    const int err = posix_spawn(&pid, file.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        return Refuse(info, win_detail::ErrorFromErrno(err));
    }

    info->hInstApp = reinterpret_cast<HINSTANCE>(kLaunched);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        const long pidfd = syscall(SYS_pidfd_open, pid, 0);
        info->hProcess = win_detail::InsertHandle(
            std::make_shared<ProcessObject>(pid, pidfd < 0 ? -1 : static_cast<int>(pidfd)));
    } else {
        AdoptOrphan(pid);
    }
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    ReapOrphans();
    const auto object = win_detail::LookupHandleAs<ProcessObject>(process);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    if (!exitCode) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    *exitCode = object->Ended() ? object->ExitCode() : STILL_ACTIVE;
    return TRUE;
}
