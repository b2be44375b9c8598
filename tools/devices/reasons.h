// Why an entry would not open, or opens but cannot serve the tool: the reason in plain words
// with its remedy, found by looking at the entry, the device and /proc (an open refused for
// want of permission and one refused because another program holds the port fail with the
// same error, so the error alone does not tell).
#pragma once

#include <string>
#include <vector>

#include "tools/devices/entry.h"

namespace devcheck {

struct Reason {
    std::string summary;             // "not allowed", "held by another program"...
    std::vector<std::string> lines;  // the details and the remedy
};

// Whether another process holds the lock of the device the entry leads to, as the tool holds
// its ports. Such a port must not be opened to look at it: every open of a serial port raises
// its DTR and RTS, even one that then fails to get the lock.
bool LockedByAnother(const Resolution& r);

// For an entry whose open as the tool opens it failed.
Reason WhyNotOpen(const std::string& name, const Resolution& r);

// For an entry that opens but is not what the tool needs there; summary "" when it is.
Reason WrongKind(const std::string& name, const Resolution& r);

}  // namespace devcheck
