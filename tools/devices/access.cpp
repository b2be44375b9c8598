#include "tools/devices/access.h"
#include "res/device_settings.h"

#include <grp.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace devcheck {

namespace {

std::string GroupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g ? g->gr_name : std::to_string(gid);
}

std::string OwnerName(uid_t uid) {
    const passwd* p = getpwuid(uid);
    return p ? p->pw_name : std::to_string(uid);
}

bool InGroupNow(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int n = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<size_t>(std::max(n, 0)));
    const int got = getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<size_t>(std::max(got, 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Membership as the group database has it: what the next login will get.
bool InGroupAtLogin(gid_t gid) {
    const passwd* p = getpwuid(geteuid());
    if (!p) {
        return false;
    }
    int n = 64;
    std::vector<gid_t> groups(static_cast<size_t>(n));
    if (getgrouplist(p->pw_name, p->pw_gid, groups.data(), &n) < 0) {
        groups.resize(static_cast<size_t>(n));
        if (getgrouplist(p->pw_name, p->pw_gid, groups.data(), &n) < 0) {
            return false;
        }
    }
    groups.resize(static_cast<size_t>(n));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

}  // namespace

std::string UserName() {
    return OwnerName(geteuid());
}

std::string AsRoot(const std::string& args) {
    // sudo clears the environment, so the directory is handed on explicitly.
    const char* dir = std::getenv(rv_res::kDeviceDirectoryVariable);
    return "sudo " +
           (dir && *dir ? "env " + std::string(rv_res::kDeviceDirectoryVariable) + "=" +
                              std::string(dir) + " "
                        : std::string()) +
           "rv4417-devices" + (args.empty() ? "" : " " + args);
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode)    ? "c"
                       : S_ISSOCK(mode) ? "s"
                       : S_ISDIR(mode)  ? "d"
                       : S_ISBLK(mode)  ? "b"
                       : S_ISFIFO(mode) ? "p"
                                        : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text += (mode & (0400u >> bit)) ? letters[bit] : '-';
    }
    char octal[8];
    snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode & 07777));
    return text + " (" + octal + ")";
}

std::string OwnershipLine(const std::string& path, const struct stat& st) {
    return path + " belongs to " + OwnerName(st.st_uid) + ", group " + GroupName(st.st_gid) +
           ", mode " + ModeText(st.st_mode) + ".";
}

std::vector<std::string> ExplainDenied(const std::string& path, const struct stat& st) {
    std::vector<std::string> lines{OwnershipLine(path, st)};
    struct statvfs fs {};
    if (S_ISCHR(st.st_mode) && statvfs(path.c_str(), &fs) == 0 && (fs.f_flag & ST_NODEV)) {
        lines.push_back("Its file system is mounted nodev: no device node there may be opened,");
        lines.push_back("not even by root. Link to the device under /dev instead.");
        return lines;
    }
    // Connecting to a socket takes write permission; a port is opened for reading and writing.
    const mode_t need = S_ISSOCK(st.st_mode) ? 02 : 06;
    const std::string me = UserName();
    const std::string group = GroupName(st.st_gid);
    if (geteuid() == st.st_uid) {
        if (((st.st_mode >> 6) & need) != need) {
            lines.push_back("You own it, but its mode keeps even its owner out.");
            lines.push_back("Fix: chmod u+rw " + path);
        } else {
            lines.push_back("You own it and its mode lets you in: something else refuses");
            lines.push_back("(an access control list or a security module).");
        }
        return lines;
    }
    if (st.st_gid == 0) {
        lines.push_back("Its group is root, which no user should join: only root may open it.");
    } else if (((st.st_mode >> 3) & need) != need) {
        lines.push_back("Its mode does not let the group " + group + " use it: only " +
                        OwnerName(st.st_uid) + " may open it.");
    }
    if (st.st_gid == 0 || ((st.st_mode >> 3) & need) != need) {
        lines.push_back("Fix: give it a group and mode with a udev rule (GROUP=\"dialout\",");
        lines.push_back("MODE=\"0660\"), then add yourself to that group.");
        return lines;
    }
    if (InGroupNow(st.st_gid)) {
        lines.push_back("You (" + me + ") are in the group " + group + ", yet it refuses:");
        lines.push_back("an access control list or a security module keeps you out.");
    } else if (InGroupAtLogin(st.st_gid)) {
        lines.push_back("You (" + me + ") were added to the group " + group + ",");
        lines.push_back("but that counts only from your next login.");
        lines.push_back("Fix: log out and in again (or start a shell with: newgrp " + group + ").");
    } else {
        lines.push_back("You (" + me + ") are not in the group " + group + ".");
        lines.push_back("Fix: sudo usermod -aG " + group + " " + me);
        lines.push_back("     then log out and in again.");
    }
    return lines;
}

}  // namespace devcheck
