// A program that a test runs beside itself (a display server, the tool, a command): it waits
// for the program's events (a line, the end of its output, its end) rather than for time.
//
// Its standard error, and its standard output unless that is the pipe to the test, go to a
// log file. The destructor kills a program still running and reaps it; a test that dies
// first takes it along (SIGTERM).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rvtest {

struct ChildOptions {
    std::vector<std::string> argv;  // argv[0]: the program's path
    std::vector<std::string> env;   // every "NAME=value" the program sees; none: the test's
    std::filesystem::path log;      // standard error (and output, unless it is the pipe)
    int pipe = -1;                  // 1 or 3: the program's descriptor that is a pipe to the test
    bool input = false;             // standard input is a pipe from the test (Send)
};

class Child {
public:
    explicit Child(const ChildOptions& options);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // One line to the program's standard input.
    bool Send(const std::string& line);
    // The pipe's next line, without its newline; nothing when it ends or timeoutMs passes.
    std::optional<std::string> ReadLine(int timeoutMs);
    // What the pipe brings until it ends or timeoutMs passes.
    std::string ReadAll(int timeoutMs);
    // The program's end: its exit status, or minus the signal that ended it; nothing when
    // timeoutMs passes first.
    std::optional<int> Wait(int timeoutMs);
    void Signal(int signal) const;

private:
    // More of the pipe's data into m_buffer; false at its end or past the deadline.
    bool Fill(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_pidFd = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
    std::optional<int> m_status;
};

// The test's environment without what names a display or a session, with extra added.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra);

// Runs a program to its end in the test's environment and collects what it prints.
struct Ran {
    int status = -1;  // exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};
Ran RunProgram(const std::vector<std::string>& argv, int timeoutMs = 30000);

}  // namespace rvtest
