#include "tests/support/blocked.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace rvtest {

namespace {

// The scheduler's state of the thread: R running, S or D asleep in the kernel...
char StateOf(pid_t thread) {
    std::ifstream in("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::stringstream text;
    text << in.rdbuf();
    const std::string stat = text.str();
    const size_t end = stat.rfind(") ");  // the name in parentheses may hold anything
    return end == std::string::npos || end + 2 >= stat.size() ? '?' : stat[end + 2];
}

}  // namespace

bool WaitUntilBlocked(const std::atomic<pid_t>& thread) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        const pid_t id = thread.load();
        if (id != 0 && (StateOf(id) == 'S' || StateOf(id) == 'D')) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace rvtest
