// What a process uses, for benchmarks, the soak and tests that watch for spinning. Each reading
// is named after the clock or counter it reads: they differ in what they count and how finely,
// so a figure is only comparable with one taken by the same function.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

namespace rvtest {

// --- CPU -----------------------------------------------------------------------------------

// getrusage(RUSAGE_SELF): user plus system CPU of all the process's threads, in seconds.
inline double RusageCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CLOCK_PROCESS_CPUTIME_ID: CPU of all the process's threads, in seconds (nanosecond clock).
inline double ProcessCpuClockSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// CLOCK_THREAD_CPUTIME_ID: CPU of the calling thread alone, in seconds (nanosecond clock).
inline double ThreadCpuClockSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// /proc/self/task/*/stat: utime plus stime (clock ticks, 10 ms coarse) of this process's live
// threads named `name` (threads take their creator's name), in seconds.
inline double NamedThreadsCpuSeconds(std::string_view name) {
    static const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    double total = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
         it.increment(error)) {
        std::ifstream in(it->path() / "stat");
        std::string stat;
        std::getline(in, stat);
        const size_t open = stat.find('(');
        const size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            stat.compare(open + 1, close - open - 1, name) != 0) {
            continue;
        }
        // After the name: state, then 10 fields, then utime and stime (in clock ticks).
        std::istringstream fields(stat.substr(close + 2));
        std::string skip;
        for (int i = 0; i < 11; ++i) {
            fields >> skip;
        }
        double user = 0;
        double system = 0;
        fields >> user >> system;
        total += (user + system) / ticks;
    }
    return total;
}

// /proc/PID/task/*/schedstat: the time on a CPU (the scheduler's own nanosecond accounting) of
// all of another process's threads, in seconds.
inline double SchedstatCpuSeconds(pid_t pid) {
    double total = 0;
    const auto tasks = std::filesystem::path("/proc") / std::to_string(pid) / "task";
    for (const auto& task : std::filesystem::directory_iterator(tasks)) {
        std::ifstream in(task.path() / "schedstat");
        double ns = 0;
        in >> ns;
        total += ns / 1e9;
    }
    return total;
}

// --- memory --------------------------------------------------------------------------------

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"); 0 when it is missing.
inline long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::strlen(field));
        }
    }
    return 0;
}

// Writes "5" to /proc/self/clear_refs: the peak resident size (VmHWM) starts again from the
// size now, so a later StatusKb("VmHWM:") tells the peak since this call.
inline void ResetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// --- handles -------------------------------------------------------------------------------

namespace process_stats_detail {
// Entries of a folder; a folder that cannot be read has none.
inline long CountEntries(const char* folder) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}
}  // namespace process_stats_detail

// Entries of /proc/self/fd: the descriptors this process has open (the one reading the folder
// among them).
inline long OpenDescriptorCount() {
    return process_stats_detail::CountEntries("/proc/self/fd");
}

// Entries of /proc/self/task: this process's threads.
inline long ThreadCount() {
    return process_stats_detail::CountEntries("/proc/self/task");
}

}  // namespace rvtest
