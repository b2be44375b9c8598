#include "tests/display/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

extern char** environ;

namespace rvtest {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
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

}  // namespace

Child::Child(const ChildOptions& options) {
    // A program that has ended must fail a write to it, not end the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    const bool talk = options.talk && pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0;
    // Above 3, so that the program's descriptor 3 is a copy, which survives the exec.
    const int pass = options.passFd >= 0 ? fcntl(options.passFd, F_DUPFD_CLOEXEC, 10) : -1;
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
        dup2(talk ? in[0] : open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
        dup2(talk ? out[1] : log, 1);
        dup2(log, 2);
        if (pass >= 0) {
            dup2(pass, 3);
        }
        execve(argv[0], argv.data(), env.data());
        _exit(127);
    }
    for (const int fd : {in[0], out[1], pass}) {
        if (fd >= 0) {
            close(fd);
        }
    }
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
    for (const int fd : {m_in, m_out, m_pidFd}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool Child::Send(const std::string& line) {
    const std::string text = line + "\n";
    return m_in >= 0 && write(m_in, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::optional<std::string> Child::ReadLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const size_t end = m_buffer.find('\n'); end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        if (m_out < 0 || !WaitReadable(m_out, MsLeft(deadline))) {
            return std::nullopt;
        }
        char chunk[4096];
        const ssize_t n = read(m_out, chunk, sizeof chunk);
        if (n <= 0) {
            close(m_out);
            m_out = -1;
            return std::nullopt;
        }
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::optional<int> Child::Wait(int timeoutMs) {
    if (m_status || m_pid <= 0) {
        return m_status;
    }
    // The pidfd becomes readable when the program ends.
    if (m_pidFd >= 0 && !WaitReadable(m_pidFd, timeoutMs)) {
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

bool WaitReadable(int fd, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        const int ready = poll(&p, 1, MsLeft(deadline));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace rvtest
