// rv4417-sim: the simulated terminal as a program, running the tool against it.
//
//   rv4417-sim [options] -- PROGRAM [ARGS...]
//
// Makes the device directory (COM0 and COM2 pseudo-terminals, GPR1 control socket), starts
// PROGRAM with RV4417_DEVICES pointing there, logs every byte each way, and takes commands
// at its prompt until the program ends. Without a program it serves the devices until quit.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/terminal.h"

extern char** environ;

namespace {

const char kUsage[] =
    "usage: rv4417-sim [options] -- PROGRAM [ARGS...]\n"
    "  --swipe-every S   swipe the test card every S seconds\n"
    "  --scan-every S    press the scanner's trigger key every S seconds\n"
    "  --codes A,B,...   the codes the scanner reads, in turn\n"
    "  --scan-delay MS   time from a trigger to its code (default 300)\n"
    "  --paper FILE      also write every printed line to FILE\n"
    "  --quiet           log events and printed lines only, not every byte\n";

const char kHelp[] =
    "commands:\n"
    "  swipe    draw the test card through the reader (sent when automatic receiving is on)\n"
    "  scan     press the scanner's own trigger key (read when the scanner is enabled)\n"
    "  status   what the printer, card reader and scanner are doing\n"
    "  help     this list\n"
    "  quit     end the program and the simulator\n";

struct Options {
    sim::TerminalOptions terminal;
    std::string paper;
    std::vector<std::string> program;
};

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--") {
            options.program.assign(argv + i + 1, argv + argc);
            return true;
        }
        const char* v = nullptr;
        if (arg == "--quiet") {
            options.terminal.logBytes = false;
        } else if (arg == "--swipe-every" && (v = value())) {
            options.terminal.swipeEverySeconds = std::atof(v);
        } else if (arg == "--scan-every" && (v = value())) {
            options.terminal.scanEverySeconds = std::atof(v);
        } else if (arg == "--scan-delay" && (v = value())) {
            options.terminal.scanDelay = std::chrono::milliseconds(std::atoi(v));
        } else if (arg == "--paper" && (v = value())) {
            options.paper = v;
        } else if (arg == "--codes" && (v = value())) {
            options.terminal.codes.clear();
            std::istringstream list(v);
            for (std::string code; std::getline(list, code, ',');) {
                options.terminal.codes.push_back(code);
            }
        } else {
            return false;
        }
    }
    return true;
}

pid_t Start(const std::vector<std::string>& program, const std::string& devices) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "RV4417_DEVICES=", 15) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("RV4417_DEVICES=" + devices);
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args = program;
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data());
    if (err != 0) {
        std::fprintf(stderr, "rv4417-sim: cannot start %s: %s\n", argv[0], std::strerror(err));
        return -1;
    }
    return pid;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::mutex output;
    std::ofstream paper;
    if (!options.paper.empty()) {
        paper.open(options.paper, std::ios::app);
    }
    sim::SimulatedTerminal terminal(options.terminal, [&](const std::string& line) {
        std::lock_guard lock(output);
        std::cout << line << std::endl;
        const auto at = line.find("PRINTER | ");
        if (paper.is_open() && at != std::string::npos) {
            paper << line.substr(at + 10) << std::endl;
        }
    });
    std::cout << "RV4417 simulated terminal; type help for the commands" << std::endl;

    pid_t child = -1;
    int childFd = -1;
    if (!options.program.empty()) {
        child = Start(options.program, terminal.DeviceDirectory());
        if (child < 0) {
            return 127;
        }
        childFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    }
    const bool interactive = isatty(STDIN_FILENO);
    bool input = true;
    int exitCode = 0;
    for (bool running = true; running;) {
        if (interactive && input) {
            std::lock_guard lock(output);
            std::cout << "sim> " << std::flush;
        }
        pollfd fds[2] = {{input ? STDIN_FILENO : -1, POLLIN, 0}, {childFd, POLLIN, 0}};
        if (poll(fds, 2, child > 0 && childFd < 0 ? 200 : -1) < 0) {
            continue;
        }
        int status = 0;
        if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
            exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            std::cout << "\nthe program ended (" << exitCode << ")" << std::endl;
            break;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP))) {
            continue;
        }
        std::string command;
        if (!std::getline(std::cin, command)) {
            input = false;  // no more commands; go on until the program ends
            running = child > 0;
            continue;
        }
        if (command == "swipe") {
            terminal.Swipe();
        } else if (command == "scan") {
            terminal.ScanKey();
        } else if (command == "quit") {
            running = false;
        } else {
            std::lock_guard lock(output);
            if (command == "status") {
                std::cout << terminal.Status() << std::endl;
            } else if (command == "help") {
                std::cout << kHelp;
            } else if (!command.empty()) {
                std::cout << "unknown command: " << command << " (help lists them)" << std::endl;
            }
        }
    }
    if (child > 0 && waitpid(child, nullptr, WNOHANG) == 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    return exitCode;
}
