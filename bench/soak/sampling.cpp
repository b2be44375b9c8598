// The soak's sampling: the event loop run between samples, each sample read and its line
// printed.
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "bench/soak/soak.h"
#include "bench/soak/watchers.h"
#include "tests/support/process_stats.h"

namespace soak {

namespace {

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int /*signal*/) {
    g_interrupted = true;
}

// Reads the samples, against the process's and the simulated terminal's CPU when it began.
class Sampler {
public:
    explicit Sampler(const Watched& watched)
        : m_watched(watched),
          m_started(Clock::now()),
          m_cpuBase(rvtest::RusageCpuSeconds()),
          m_simBase(rvtest::NamedThreadsCpuSeconds(kSimThread)) {}

    Sample Take() {
        const double before = rvtest::ThreadCpuClockSeconds();
        Sample s;
        s.t = Elapsed();
        m_watched.pages.Update();
        s.rssKb = rvtest::StatusKb("VmRSS:");
        s.peakKb = rvtest::StatusKb("VmHWM:");
        s.fds = rvtest::OpenDescriptorCount();
        s.threads = rvtest::ThreadCount();
        s.printed = m_watched.events.Printed();
        s.swipesSent = m_watched.events.Swipes();
        s.swipesShown = m_watched.pages.Swipes();
        s.codesSent = m_watched.terminal.CodesDelivered();
        s.codesShown = m_watched.pages.Codes();
        s.sounds = m_watched.sounds.Count();
        m_watched.sounds.CheckSizes(false);
        s.heldChars = m_watched.pages.HeldChars();
        s.paperLines = m_watched.events.PaperLines();
        s.stallMs = m_watched.probe.TakeIntervalWorstMs();
        s.simCpu = rvtest::NamedThreadsCpuSeconds(kSimThread) - m_simBase;
        m_samplingCpu += rvtest::ThreadCpuClockSeconds() - before;
        s.soakCpu = m_samplingCpu + rvtest::NamedThreadsCpuSeconds(kWatchThread);
        s.cpu = rvtest::RusageCpuSeconds() - m_cpuBase;
        return s;
    }

    // Seconds since the sampling began.
    double Elapsed() const {
        return std::chrono::duration<double>(Clock::now() - m_started).count();
    }

private:
    const Watched& m_watched;
    const Clock::time_point m_started;
    const double m_cpuBase;  // getrusage: the whole process
    const double m_simBase;  // /proc/self/task: the simulated terminal's threads
    double m_samplingCpu = 0;
};

// Prints a sample's line against the one before it (itself for the first); a device whose
// count did not move, or a stall over the limit, is noted on the line and is a fault.
void PrintSample(const Sample& s, const Sample& previous, const Options& options,
                 std::vector<std::string>& faults) {
    const double span = std::max(1e-9, s.t - previous.t);
    std::string notes;
    if (s.t > previous.t) {
        const auto stopped = [&](long now, long then, const char* what) {
            if (now == then) {
                notes += std::string("  << no ") + what;
                faults.push_back("stopped answering: no " + std::string(what) + " from " +
                                 Hms(previous.t) + " to " + Hms(s.t));
            }
        };
        stopped(s.printed, previous.printed, "text printed");
        stopped(s.swipesShown, previous.swipesShown, "swipe shown");
        stopped(s.codesShown, previous.codesShown, "code shown");
    }
    if (s.stallMs > options.stallLimitMs) {
        char text[96];
        std::snprintf(text, sizeof text, "the window did not answer for %.0f ms before %s",
                      s.stallMs, Hms(s.t).c_str());
        faults.emplace_back(text);
        notes += "  << stall";
    }
    std::printf(
        "[%s] rss %6.1f MB  cpu tool %5.2f%% sim %5.2f%%  fds %3ld thr %3ld  "
        "printed %7ld  swipes %5ld/%-5ld  codes %5ld/%-5ld  sounds %5ld  "
        "held %7ld ch  stall %5.0f ms%s\n",
        Hms(s.t).c_str(), Mb(s.rssKb), 100.0 * (s.ToolCpu() - previous.ToolCpu()) / span,
        100.0 * (s.simCpu - previous.simCpu) / span, s.fds, s.threads, s.printed, s.swipesSent,
        s.swipesShown, s.codesSent, s.codesShown, s.sounds, s.heldChars, s.stallMs, notes.c_str());
    std::fflush(stdout);
}

}  // namespace

void CatchInterruptions() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() {
    return g_interrupted;
}

void RunFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(std::max(0, static_cast<int>(seconds * 1000)), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    QTimer interrupt;
    QObject::connect(&interrupt, &QTimer::timeout, [&] {
        if (g_interrupted) {
            loop.quit();
        }
    });
    interrupt.start(250);
    loop.exec();
}

bool RunUntil(const std::function<bool()>& condition, double seconds) {
    for (const auto end = Clock::now() + std::chrono::duration<double>(seconds);
         Clock::now() < end;) {
        if (condition()) {
            return true;
        }
        RunFor(0.05);
    }
    return condition();
}

void SampleUntilEnd(const Options& options, const Watched& watched, Tally& tally) {
    const double duration = options.Seconds();
    Sampler sampler(watched);
    std::vector<Sample>& samples = tally.samples;
    samples.push_back(sampler.Take());
    PrintSample(samples.back(), samples.back(), options, tally.faults);
    for (int k = 1; !g_interrupted; ++k) {
        const double due = std::min(duration, k * options.sampleSeconds);
        RunFor(due - sampler.Elapsed());
        samples.push_back(sampler.Take());
        PrintSample(samples.back(), samples[samples.size() - 2], options, tally.faults);
        if (due >= duration) {
            break;
        }
    }
    tally.soakSeconds = samples.back().t;
    tally.worstStallMs = watched.probe.WorstMs();
}

}  // namespace soak
