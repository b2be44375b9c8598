// What this process uses, for benchmarks, the soak and tests that watch for spinning.
#pragma once

#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace rvtest {

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

// User and system CPU of all the process's threads so far.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace rvtest
