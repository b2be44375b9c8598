#include "tests/tools/run_program.h"
#include "tests/support/emulation.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace rvtest {

Ran RunProgram(const std::vector<std::string>& argv, int timeoutMs) {
    Ran ran;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        return ran;
    }
    // Prepared before the fork: the child may only dup and exec (the parent has threads).
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&ran.out, &ran.err};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents) {
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    into[i]->append(buffer, static_cast<size_t>(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    if (open > 0) {
        kill(pid, SIGKILL);
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ran.status = open == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ran;
}

Ran RunDevices(const std::vector<std::string>& args) {
    std::vector<std::string> argv = BuiltProgram(RV_BINARY_DIR "/rv4417-devices");
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

testing::AssertionResult Has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return testing::AssertionSuccess() << "found \"" << part << "\"";
    }
    return testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

}  // namespace rvtest
