// The soak's command line and the defaults that follow from the duration.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/soak/soak.h"

namespace soak {

namespace {

int Usage(const char* message) {
    std::fprintf(
        stderr,
        "rv4417-soak: %s\n"
        "usage: rv4417-soak [MINUTES] [--minutes M] [--sample-seconds S]\n"
        "                   [--warm-up-seconds S] [--stall-limit-ms MS] [--hang-seconds S]\n"
        "                   [--max-growth-mb-per-hour MB] [--terminal-log FILE]\n",
        message);
    return 64;
}

bool ParseNumber(const char* text, double& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(parsed) || parsed < 0) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg[0] != '-') {
            if (!ParseNumber(argv[i], options.minutes)) {
                return Usage("the duration is a number of minutes");
            }
            continue;
        }
        if (i + 1 >= argc) {
            return Usage(("a value is missing after " + arg).c_str());
        }
        const char* value = argv[++i];
        double number = 0;
        const bool numeric = ParseNumber(value, number);
        if (arg == "--terminal-log") {
            options.terminalLog = value;
        } else if (!numeric) {
            return Usage((arg + " takes a number").c_str());
        } else if (arg == "--minutes") {
            options.minutes = number;
        } else if (arg == "--sample-seconds") {
            options.sampleSeconds = number;
        } else if (arg == "--warm-up-seconds") {
            options.warmUpSeconds = number;
        } else if (arg == "--stall-limit-ms") {
            options.stallLimitMs = static_cast<int>(number);
        } else if (arg == "--hang-seconds") {
            options.hangSeconds = std::max(1, static_cast<int>(number));
        } else if (arg == "--max-growth-mb-per-hour") {
            options.maxGrowthMbPerHour = number;
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }
    const double seconds = options.Seconds();
    if (seconds < 30) {
        return Usage("the run takes at least half a minute");
    }
    if (options.sampleSeconds == 0) {
        options.sampleSeconds = std::clamp(seconds / 10, 5.0, 60.0);
    }
    // Every interval must see swipes and scans, or a quiet one would look like a hang.
    const double slowest = std::max(options.swipeEverySeconds, options.scanEverySeconds);
    if (options.sampleSeconds < 2 * slowest) {
        return Usage("samples are at least twice the scan period apart");
    }
    if (options.warmUpSeconds < 0) {
        options.warmUpSeconds = std::min(300.0, seconds / 5);
    }
    return 0;
}

}  // namespace soak
