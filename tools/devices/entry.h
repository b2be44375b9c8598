// Where an entry of the device directory leads: the chain of symbolic links from the entry to
// what is at its end, and what the tool takes that for.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>
#include <vector>

namespace devcheck {

// The entries the tool opens, in the order the check reports them.
inline constexpr std::string_view kEntryNames[] = {"COM0", "COM2", "GPR1"};

// "COM0" or "com0:" and the like give the entry's name; anything else "".
std::string EntryName(std::string_view arg);
// Whether the tool uses the entry as a serial port (COM*) rather than a control device.
bool IsPortName(std::string_view name);

enum class Kind {
    kMissing,      // no entry at all
    kDangling,     // a link of the chain points at nothing
    kLoop,         // the links go round
    kUnreachable,  // a folder on the way may not be searched, or another lookup error
    kSerialPort,
    kControlSocket,
    kCharDevice,
    kRegularFile,
    kUnusable,  // a folder, FIFO or block device: the tool finds no device there
};

const char* KindName(Kind kind);

struct Resolution {
    std::string entry;
    // The entry, then each link's target as an absolute path, ending where the walk ended.
    std::vector<std::string> chain;
    Kind kind = Kind::kMissing;
    std::string brokenAt;  // the path whose lookup failed (kDangling, kUnreachable)
    int error = 0;         // errno of that lookup
    std::string device;    // the path of what is at the end (for the kinds that reach one)
    struct stat st {};     // and its status
};

// Follows the entry as the tool's open would, without opening anything.
Resolution Resolve(const std::string& entry);
// Whether the walk ended at something (a device, a file, a folder).
bool Reached(const Resolution& r);
// "A -> B -> C", the chain for one line.
std::string ChainText(const Resolution& r);
// The chain in one line when it fits in width, else the entry and one "-> B" line per link.
std::vector<std::string> ChainLines(const Resolution& r, size_t width);

// Whether a character device is a terminal, judged from sysfs and the pseudo-terminal
// majors, so without opening it.
bool IsTerminalDevice(const std::string& path, const struct stat& st);

// The path with "." and ".." taken out, for showing.
std::string Tidy(const std::string& path);

}  // namespace devcheck
