#include "platform/win/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
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

#include "platform/win/error_p.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/text.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"
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
    ProcessObject(pid_t pid, int pidfd, std::string path)
        : m_pid(pid), m_pidfd(pidfd), m_path(std::move(path)) {}

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
            RV_TRACE(TraceChannel::Process, "pid %d (%s) ended: %s %d", static_cast<int>(m_pid),
                     m_path.c_str(), WIFSIGNALED(status) ? "signal" : "exit status",
                     WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
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
    bool IsOtherProgram() const override { return true; }

    void Close() override { ReapOrphans(); }

private:
    const pid_t m_pid;
    const int m_pidfd;         // -1 when the kernel offers no pidfd
    const std::string m_path;  // for the trace
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
    std::string text = Utf16ToUtf8(verb);
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

// Closes every descriptor from 3 up, except keep. Runs in the forked child: system calls only.
void CloseFrom3Except(int keep, int limit) {
    const auto closeRange = [limit](unsigned first, unsigned last) {
        if (first > last) {
            return;
        }
        if (syscall(SYS_close_range, first, last, 0) == 0) {
            return;
        }
        for (unsigned fd = first; fd <= last && fd < static_cast<unsigned>(limit); ++fd) {
            close(static_cast<int>(fd));
        }
    };
    closeRange(3, static_cast<unsigned>(keep) - 1);
    closeRange(static_cast<unsigned>(keep) + 1, ~0U);
}

// Starts file in a child and returns 0, or the errno of the exec (or of the change of
// folder) that failed, with no child left behind. The error comes back through a
// close-on-exec pipe: a successful exec closes it empty. This does not depend on how the C
// library's spawn reports a failed exec: under user-mode emulation that report is lost.
// The child gets only 0, 1 and 2, default signal handling and no blocked signals, whatever
// this program has set up for itself.
int Spawn(const std::string& file, const std::string& directory, char* const argv[], pid_t& pid) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return errno;
    }
    rlimit files{};
    const int limit = getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY
                          ? static_cast<int>(std::min<rlim_t>(files.rlim_cur, 1 << 20))
                          : 1 << 16;
    // No handler of this program may run in the child between fork and exec.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pid = fork();
    if (pid == 0) {
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        for (int signal = 1; signal < NSIG; ++signal) {
            sigaction(signal, &byDefault, nullptr);
        }
        int error = 0;
        if (!directory.empty() && chdir(directory.c_str()) != 0) {
            error = errno;
        } else {
            CloseFrom3Except(report[1], limit);
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            execve(file.c_str(), argv, environ);
            error = errno;
        }
        while (write(report[1], &error, sizeof error) < 0 && errno == EINTR) {
        }
        _exit(127);
    }
    const int forkError = pid < 0 ? errno : 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    close(report[1]);
    if (forkError != 0) {
        close(report[0]);
        return forkError;
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got != static_cast<ssize_t>(sizeof error)) {
        return 0;  // closed by the exec
    }
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return error != 0 ? error : ENOEXEC;
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
    std::string file = ToPosixPath(info->lpFile);
    if (file.empty()) {
        return Refuse(info, ERROR_FILE_NOT_FOUND);
    }
    if (!MakeAbsolute(file)) {
        return Refuse(info, win_detail::ErrorFromErrno(errno));
    }
    const std::string directory = ToPosixPath(info->lpDirectory);
    if (!directory.empty()) {
        struct stat st {};
        if (stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return Refuse(info, ERROR_PATH_NOT_FOUND);
        }
    }

    std::vector<std::string> args{file};
    const std::vector<std::string> parameters =
        SplitParameters(info->lpParameters ? Utf16ToUtf8(info->lpParameters) : "");
    args.insert(args.end(), parameters.begin(), parameters.end());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int err = Spawn(file, directory, argv.data(), pid);
    if (err != 0) {
        RV_TRACE(TraceChannel::Process, "launch %s: %s", file.c_str(),
                 win_detail::ErrnoText(err).c_str());
        return Refuse(info, win_detail::ErrorFromErrno(err));
    }
    RV_TRACE(TraceChannel::Process, "launch %s: pid %d", file.c_str(), static_cast<int>(pid));

    info->hInstApp = reinterpret_cast<HINSTANCE>(kLaunched);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        const long pidfd = syscall(SYS_pidfd_open, pid, 0);
        info->hProcess = win_detail::InsertHandle(
            std::make_shared<ProcessObject>(pid, pidfd < 0 ? -1 : static_cast<int>(pidfd), file));
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
