#include "tests/support/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace rvtest {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

Clock::time_point In(int timeoutMs) {
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

// Waits until fd has data (or its writer has gone); false when the deadline passes first.
bool WaitReadable(int fd, Clock::time_point deadline) {
    pollfd p{fd, POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&p, 1, MsLeft(deadline))) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& s : strings) {
        pointers.push_back(const_cast<char*>(s.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

void CloseAll(std::initializer_list<int> fds) {
    for (const int fd : fds) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

}  // namespace

Child::Child(const ChildOptions& options) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (options.input && pipe2(in, O_CLOEXEC) == 0) {
        // A program that has ended must fail a write to it, not end the test.
        signal(SIGPIPE, SIG_IGN);
    }
    if (options.pipe >= 0 && pipe2(out, O_CLOEXEC) != 0) {
        out[0] = out[1] = -1;
    }
    std::vector<char*> argv = Pointers(options.argv);
    std::vector<char*> env = Pointers(options.env);
    const pid_t test = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        // Only async-signal-safe calls from here on: the test has threads. A test that dies
        // (a crash, ctest's time-out) takes its servers and the tool along.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != test) {
            _exit(127);
        }
        const int log = open(options.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        dup2(in[0] >= 0 ? in[0] : open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
        dup2(options.pipe == 1 ? out[1] : log, 1);
        dup2(log, 2);
        if (options.pipe == 3 && out[1] == 3) {
            fcntl(3, F_SETFD, 0);  // dup2 onto itself would keep the close-on-exec flag
        } else if (options.pipe == 3) {
            dup2(out[1], 3);
        }
        execve(argv[0], argv.data(), options.env.empty() ? environ : env.data());
        _exit(127);
    }
    CloseAll({in[0], out[1]});
    m_in = in[1];
    m_out = out[0];
    if (m_pid > 0) {
        m_pidFd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    }
}

Child::~Child() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    CloseAll({m_in, m_out, m_pidFd});
}

bool Child::Send(const std::string& line) {
    const std::string text = line + "\n";
    return m_in >= 0 && write(m_in, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

bool Child::Fill(std::chrono::steady_clock::time_point deadline) {
    if (m_out < 0 || !WaitReadable(m_out, deadline)) {
        return false;
    }
    char chunk[4096];
    const ssize_t n = read(m_out, chunk, sizeof chunk);
    if (n <= 0) {
        close(m_out);
        m_out = -1;
        return false;
    }
    m_buffer.append(chunk, static_cast<size_t>(n));
    return true;
}

std::optional<std::string> Child::ReadLine(int timeoutMs) {
    const Clock::time_point deadline = In(timeoutMs);
    size_t end = 0;
    while ((end = m_buffer.find('\n')) == std::string::npos) {
        if (!Fill(deadline)) {
            return std::nullopt;
        }
    }
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    return line;
}

std::string Child::ReadAll(int timeoutMs) {
    const Clock::time_point deadline = In(timeoutMs);
    while (Fill(deadline)) {
    }
    return std::exchange(m_buffer, {});
}

std::optional<int> Child::Wait(int timeoutMs) {
    if (m_status || m_pid <= 0) {
        return m_status;
    }
    // The pidfd becomes readable when the program ends.
    if (m_pidFd >= 0 && !WaitReadable(m_pidFd, In(timeoutMs))) {
        return std::nullopt;
    }
    int status = 0;
    if (waitpid(m_pid, &status, 0) != m_pid) {
        return std::nullopt;
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return m_status;
}

void Child::Signal(int signal) const {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, signal);
    }
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
    static const char* const kDropped[] = {
        "DISPLAY=",         "WAYLAND_DISPLAY=",  "WAYLAND_SOCKET=",
        "XDG_RUNTIME_DIR=", "XDG_SESSION_TYPE=", "QT_QPA_PLATFORM="};
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        bool dropped = false;
        for (const char* name : kDropped) {
            dropped = dropped || std::strncmp(*entry, name, std::strlen(name)) == 0;
        }
        if (!dropped) {
            env.emplace_back(*entry);
        }
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

Ran RunProgram(const std::vector<std::string>& argv, int timeoutMs) {
    const TempDir dir;
    Ran ran;
    const Clock::time_point deadline = In(timeoutMs);
    {
        Child child({.argv = argv, .log = dir.path() / "err", .pipe = 1});
        ran.out = child.ReadAll(timeoutMs);
        const std::optional<int> status = child.Wait(MsLeft(deadline));
        ran.status = status && *status >= 0 ? *status : -1;
    }
    std::ostringstream err;
    err << std::ifstream(dir.path() / "err").rdbuf();
    ran.err = err.str();
    return ran;
}

}  // namespace rvtest
