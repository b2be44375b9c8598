// A program that a display test runs beside itself (a display server, the tool): it waits
// for the program's events (a line, a descriptor's data, the end) rather than for time.
//
// The program gets the environment given, not the test's; its standard error, and its
// standard output unless that is a pipe to the test, go to a log file. The destructor kills
// a program still running and reaps it; a test that dies first takes it along (SIGTERM).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rvtest {

struct ChildOptions {
    std::vector<std::string> argv;  // argv[0]: the program's path
    std::vector<std::string> env;   // every "NAME=value" the program sees
    std::filesystem::path log;      // standard error (and output, unless talked through)
    bool talk = false;              // standard input and output are pipes to the test
    int passFd = -1;                // given to the program as its descriptor 3
};

class Child {
public:
    explicit Child(const ChildOptions& options);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return m_pid > 0; }
    // One line to the program's standard input (talk only).
    bool Send(const std::string& line);
    // The program's next line of output, without its newline; nothing when the output ends
    // or timeoutMs passes first (talk only).
    std::optional<std::string> ReadLine(int timeoutMs);
    // The program's end: its exit status, or minus the signal that ended it; nothing when
    // timeoutMs passes first.
    std::optional<int> Wait(int timeoutMs);
    void Signal(int signal) const;

private:
    pid_t m_pid = -1;
    int m_pidFd = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
    std::optional<int> m_status;
};

// The test's environment without what names a display or a session, with extra added.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra);

// Waits until fd has data (or its writer has gone); false when timeoutMs passes first.
bool WaitReadable(int fd, int timeoutMs);

}  // namespace rvtest
