#include "platform/win/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win/error_p.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/text.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

namespace {

class ProcessObject : public win_detail::Waitable {
public:
    ProcessObject(pid_t pid, int pidfd, std::string path)
        : m_pid(pid), m_pidfd(pidfd), m_path(std::move(path)) {}

    ~ProcessObject() override {
        if (m_pidfd >= 0) {
            close(m_pidfd);
        }
    }

    // Whether the child has ended; the first caller to see it end reaps it.
    bool Signaled() override {
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
            RV_TRACE(TraceChannel::Process, "pid %d (%s) ended: %s %d", static_cast<int>(m_pid),
                     m_path.c_str(), WIFSIGNALED(status) ? "signal" : "exit status",
                     WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
        } else if (r < 0) {
            m_ended = true;  // reaped behind our back (ECHILD): it has ended
        }
        return m_ended;
    }
    int SignalFd() const override { return m_pidfd; }
    bool IsOtherProgram() const override { return true; }

private:
    const pid_t m_pid;
    const int m_pidfd;         // -1 when the kernel offers no pidfd
    const std::string m_path;  // for the trace
    std::mutex m_mutex;
    bool m_ended = false;
};

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

// Starts file in a child and returns 0, or the errno of the exec that failed, with no child
// left behind. The error comes back through a
// close-on-exec pipe: a successful exec closes it empty. This does not depend on how the C
// library's spawn reports a failed exec: under user-mode emulation that report is lost.
// The child gets only 0, 1 and 2, default signal handling and no blocked signals, whatever
// this program has set up for itself.
int Spawn(const std::string& file, pid_t& pid) {
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
        CloseFrom3Except(report[1], limit);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        char* const argv[] = {const_cast<char*>(file.c_str()), nullptr};
        execve(file.c_str(), argv, environ);
        const int error = errno;
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
    if (!info) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    info->hProcess = nullptr;
    const std::string file = ToPosixPath(info->lpFile);
    pid_t pid = 0;
    const int err = file.empty() ? ENOENT : Spawn(file, pid);
    if (err != 0) {
        RV_TRACE(TraceChannel::Process, "launch %s: %s", file.c_str(),
                 win_detail::ErrnoText(err).c_str());
        return win_detail::Fail(win_detail::ErrorFromErrno(err));
    }
    RV_TRACE(TraceChannel::Process, "launch %s: pid %d", file.c_str(), static_cast<int>(pid));
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        const long pidfd = syscall(SYS_pidfd_open, pid, 0);
        info->hProcess = win_detail::InsertHandle(
            std::make_shared<ProcessObject>(pid, pidfd < 0 ? -1 : static_cast<int>(pidfd), file));
    }
    return TRUE;
}
