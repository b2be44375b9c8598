// Why this user may not open a device or socket, in plain words, with the remedy: owner,
// group and mode, whether the user is in that group, and the command that helps.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace devcheck {

// This user's name, or the uid when it has none.
std::string UserName();

// The command line that runs rv4417-devices with args as root, keeping the device directory.
std::string AsRoot(const std::string& args);

// "crw-rw---- (0660)".
std::string ModeText(mode_t mode);

// "PATH belongs to OWNER, group GROUP, mode crw-rw---- (0660)."
std::string OwnershipLine(const std::string& path, const struct stat& st);

// The lines that explain a refused open of path (st: its status) to this user.
std::vector<std::string> ExplainDenied(const std::string& path, const struct stat& st);

}  // namespace devcheck
