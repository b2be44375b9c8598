// Which processes hold a device: the flock holders that /proc/locks lists and the processes
// whose open descriptors /proc/*/fd shows.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace devcheck {

struct Process {
    int pid = 0;
    std::string name;
};

// Processes holding a flock on the file, matched by file system and inode.
std::vector<Process> LockHolders(const struct stat& file);

// Other processes with the file open (for a device node: any node of the same device).
// *hidden counts the processes whose descriptors this user may not look at.
std::vector<Process> Openers(const struct stat& file, int* hidden);

// "pid 1234 (minicom)".
std::string Describe(const Process& process);

}  // namespace devcheck
