// rv4417-soak's records and the parts its main() strings together: the options (what the
// command line and the defaults give), the samples and the tally (what was counted), the
// sampling, the summary with its verdicts.
#pragma once

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace soak {

// Thread names: threads inherit their creator's, which is how the simulated terminal's own
// threads are told apart from the tool's.
constexpr const char* kSoakThread = "rv4417-soak";
constexpr const char* kSimThread = "rv4417-sim";
constexpr const char* kWatchThread = "rv4417-watch";

// What auto send sends, and so what the simulated printer must print.
constexpr const char* kSampleText = "This is a sample!";
// The page plays its sound once per line-end byte, and the scanner ends a code with CR LF.
constexpr long kSoundsPerCode = 2;
// A line the simulated printer keeps: the string object in its vector and the heap block of
// its text (17 characters and the terminator in a 32-byte block).
constexpr double kPaperLineBytes = 64;
// The text of a page is held twice, UTF-16 each time: the page's string and its box's copy.
constexpr double kHeldBytesPerChar = 4;
// Descriptors and threads open at a sample may include a sound or a control request in
// progress; more growth than this after the warm-up is a leak.
constexpr long kHandleSlack = 8;

struct Options {
    double minutes = 60;
    double sampleSeconds = 0;   // 0: a tenth of the run, from 5 s to 60 s
    double warmUpSeconds = -1;  // negative: a fifth of the run, at most 5 minutes
    int autoSendMs = 20;
    double swipeEverySeconds = 1;
    double scanEverySeconds = 2;
    int stallLimitMs = 2000;
    int hangSeconds = 30;
    double maxGrowthMbPerHour = 0;  // 0: reported, not checked
    std::string terminalLog;

    double Seconds() const { return minutes * 60; }
};

// Fills the options from the command line and the defaults that depend on the duration.
// Returns 0, or the exit status for bad arguments (after the usage on standard error).
int ParseOptions(int argc, char** argv, Options& options);

struct Sample {
    double t = 0;  // seconds since the soak began
    long rssKb = 0;
    long peakKb = 0;
    double cpu = 0;      // the whole process
    double simCpu = 0;   // the simulated terminal's threads
    double soakCpu = 0;  // the soak's own: sampling and its watchdog
    long fds = 0;
    long threads = 0;
    long printed = 0;
    long swipesSent = 0;
    long swipesShown = 0;
    long codesSent = 0;
    long codesShown = 0;
    long sounds = 0;
    long heldChars = 0;
    long paperLines = 0;
    double stallMs = 0;

    double ToolCpu() const { return cpu - simCpu - soakCpu; }
};

// What the run counted, for the summary and its verdicts.
struct Tally {
    std::vector<Sample> samples;      // the first when the soaking began, the last at its end
    std::vector<std::string> faults;  // in the order they were found
    double soakSeconds = 0;
    double worstStallMs = 0;
    bool interrupted = false;
    // Once the counts were compared after the run (settled: they agreed).
    bool settled = false;
    long swipesSent = 0;
    long swipesShown = 0;
    long brokenSwipes = 0;
    std::string firstBroken;
    long codesSent = 0;
    long codesShown = 0;
    long codesOutOfOrder = 0;
    bool autoSendRan = false;
    // The close of the dialog and the sounds counted after it.
    double closeSeconds = 0;
    bool threadsEnded = false;
    long sounds = 0;
    long partialSounds = 0;
    long long soundBytes = 0;
    // From the simulated terminal's log.
    long otherLines = 0;
    std::vector<std::string> firstOtherLines;
    double longestGapMs = 0;
};

// "hh:mm:ss" of a number of seconds.
inline std::string Hms(double seconds) {
    const long s = std::lround(seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

inline double Mb(long kb) {
    return static_cast<double>(kb) / 1024.0;
}

// SIGINT and SIGTERM end the run early (with the summary) from now on.
void CatchInterruptions();
bool Interrupted();
// Runs the event loop for a while, as the program's own does (never sleeping between events);
// an interruption ends it early.
void RunFor(double seconds);
// Runs the event loop until the condition holds or the time is up; whether it held.
bool RunUntil(const std::function<bool()>& condition, double seconds);

struct Watched;  // watchers.h

// From now until the end of the run (or an interruption): takes a sample every
// options.sampleSeconds, the first at once, and prints its line. The samples go to the tally,
// with the faults their lines note (a device's data that stopped, a stall) and the worst stall.
void SampleUntilEnd(const Options& options, const Watched& watched, Tally& tally);

// Prints the summary of the run, adds the faults it finds to those of the run and prints the
// verdict. Returns the exit status: 0 when there is no fault, else 1.
int Verdict(const Options& options, Tally& tally);

}  // namespace soak
