// The check: for each entry the chain it resolves to, what the tool takes it for and whether
// it opens as the tool opens it; then, for each that would not, the reason and its remedy.
// It writes nothing to a port and sends no control code, except the probe when asked.
#pragma once

#include <ostream>

namespace devcheck {

struct CheckOptions {
    // Send the scanner's stop code (harmless) to GPR1 and report the answer.
    bool probe = false;
};

// Prints the report; returns the exit status: 0 when all would open and serve, else 1.
int RunCheck(const CheckOptions& options, std::ostream& out);

}  // namespace devcheck
