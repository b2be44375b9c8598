#include "tools/devices/holders.h"

#include <dirent.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace devcheck {

namespace {

std::string ProcessName(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "?" : name;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) {
        return a.st_rdev == b.st_rdev;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int PidOf(const char* name) {
    char* end = nullptr;
    const long pid = std::strtol(name, &end, 10);
    return *name && !*end && pid > 0 ? static_cast<int>(pid) : 0;
}

}  // namespace

std::vector<Process> LockHolders(const struct stat& file) {
    std::vector<Process> holders;
    std::ifstream in("/proc/locks");
    // "1: FLOCK  ADVISORY  WRITE 4321 00:1a:5 0 EOF"; waiters have "->" after the number.
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string number, type, mode, access, where;
        int pid = 0;
        if (!(fields >> number >> type) || type != "FLOCK" ||
            !(fields >> mode >> access >> pid >> where)) {
            continue;
        }
        unsigned maj = 0;
        unsigned min = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &maj, &min, &inode) != 3) {
            continue;
        }
        if (maj == major(file.st_dev) && min == minor(file.st_dev) && inode == file.st_ino &&
            pid > 0) {
            holders.push_back({pid, ProcessName(pid)});
        }
    }
    return holders;
}

std::vector<Process> Openers(const struct stat& file, int* hidden) {
    std::vector<Process> openers;
    *hidden = 0;
    DIR* proc = opendir("/proc");
    if (!proc) {
        return openers;
    }
    const int self = getpid();
    while (const dirent* entry = readdir(proc)) {
        const int pid = PidOf(entry->d_name);
        if (pid == 0 || pid == self) {
            continue;
        }
        const std::string fdDir = "/proc/" + std::to_string(pid) + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds) {
            *hidden += errno == EACCES ? 1 : 0;
            continue;
        }
        bool has = false;
        while (const dirent* fd = readdir(fds)) {
            struct stat st {};
            if (!has && fd->d_name[0] != '.' &&
                stat((fdDir + "/" + fd->d_name).c_str(), &st) == 0 && SameFile(st, file)) {
                has = true;
            }
        }
        closedir(fds);
        if (has) {
            openers.push_back({pid, ProcessName(pid)});
        }
    }
    closedir(proc);
    return openers;
}

std::string Describe(const Process& process) {
    return "pid " + std::to_string(process.pid) + " (" + process.name + ")";
}

}  // namespace devcheck
