// rv4417-soak: RV4417Test's main dialog against the simulated terminal for hours.
//
// The Printer page sends its text every 20 ms and the simulated printer prints it; the card
// is swiped every second with the Card page receiving; the scanner's trigger key is pressed
// every two seconds and the Barcode page shows the code and plays its confirmation sound
// (into an ALSA file sink). Every sample interval prints one line: memory, CPU, open
// descriptors and threads, and what each device sent against what the pages show. At the end
// the dialog is closed and a summary printed; the exit status is 0 only when nothing was lost
// and the tool kept answering (1: a fault, 2: the tool hung, 64: bad arguments).
//
//   rv4417-soak [MINUTES] [--minutes M] [--sample-seconds S] [--warm-up-seconds S]
//               [--stall-limit-ms MS] [--hang-seconds S] [--max-growth-mb-per-hour MB]
//               [--terminal-log FILE]
//
// The simulated terminal runs in this process on threads named rv4417-sim, whose CPU is
// counted apart from the tool's. Its printer keeps every line it printed in this process's
// memory; the summary counts that, and the text the pages hold, as held rather than leaked.
// Ctrl+C ends the run early, with the summary.
#include <pthread.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_dir.h"
#include "platform/win/module.h"
#include "tests/support/alsa_sink.h"
#include "tests/support/process_stats.h"
#include "tests/support/temp_dir.h"
#include "tools/drive/technician.h"

CWinApp g_soakApp;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using rvtest::StatusKb;

// Thread names: threads inherit their creator's, which is how the simulated terminal's own
// threads are told apart from the tool's.
constexpr const char* kSoakThread = "rv4417-soak";
constexpr const char* kSimThread = "rv4417-sim";
constexpr const char* kWatchThread = "rv4417-watch";

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

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int /*signal*/) {
    g_interrupted = true;
}

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
};

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

// Returns 0, or the exit status for bad arguments.
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
    const double seconds = options.minutes * 60;
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

// --- the process, from /proc/self and getrusage -------------------------------------------

double ThisThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long CountEntries(const char* folder) {
    std::error_code error;
    long count = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        ++count;
    }
    return count;
}

// CPU seconds of the live threads with the given name.
double ThreadCpuSeconds(std::string_view name) {
    static const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    double total = 0;
    std::error_code error;
    for (fs::directory_iterator it("/proc/self/task", error), end; !error && it != end;
         it.increment(error)) {
        std::ifstream in(it->path() / "stat");
        std::string stat;
        std::getline(in, stat);
        const size_t open = stat.find('(');
        const size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            stat.compare(open + 1, close - open - 1, name) != 0) {
            continue;
        }
        // After the name: state, then 10 fields, then utime and stime (in clock ticks).
        std::istringstream fields(stat.substr(close + 2));
        std::string skip;
        for (int i = 0; i < 11; ++i) {
            fields >> skip;
        }
        double user = 0;
        double system = 0;
        fields >> user >> system;
        total += (user + system) / ticks;
    }
    return total;
}

// --- the simulated terminal's side --------------------------------------------------------

// Counts what the simulated terminal did from its log: texts printed, swipes sent. Lines
// printed after StartCounting must all be the sample text.
class TerminalEvents {
public:
    TerminalEvents(std::string sample, const std::string& logPath) : m_sample(std::move(sample)) {
        if (!logPath.empty()) {
            m_file.open(logPath, std::ios::trunc);
        }
    }

    // On the terminal's threads, one line at a time.
    void OnLine(const std::string& line) {
        {
            std::lock_guard lock(m_fileMutex);
            if (m_file.is_open()) {
                m_file << line << '\n';
            }
        }
        if (const size_t at = line.find(kPrinted); at != std::string::npos) {
            ++m_paperLines;
            if (!m_counting) {
                return;
            }
            const auto now = Clock::now();
            if (m_lastPrint != Clock::time_point{}) {
                const double gap =
                    std::chrono::duration<double, std::milli>(now - m_lastPrint).count();
                m_longestGapMs = std::max(m_longestGapMs.load(), gap);
            }
            m_lastPrint = now;
            if (line.compare(at + std::strlen(kPrinted), std::string::npos, m_sample) == 0) {
                ++m_printed;
            } else {
                std::lock_guard lock(m_otherMutex);
                if (m_other.size() < 5) {
                    m_other.push_back(line);
                }
                ++m_otherCount;
            }
        } else if (line.find("card reader: card swiped") != std::string::npos) {
            ++m_swipes;
        }
    }

    void StartCounting() { m_counting = true; }
    long Printed() const { return m_printed; }
    long OtherLines() const { return m_otherCount; }
    std::vector<std::string> FirstOtherLines() const {
        std::lock_guard lock(m_otherMutex);
        return m_other;
    }
    long PaperLines() const { return m_paperLines; }
    long Swipes() const { return m_swipes; }
    double LongestGapMs() const { return m_longestGapMs; }
    void Flush() {
        std::lock_guard lock(m_fileMutex);
        if (m_file.is_open()) {
            m_file.flush();
        }
    }

private:
    static constexpr const char* kPrinted = "PRINTER | ";

    const std::string m_sample;
    std::mutex m_fileMutex;
    std::ofstream m_file;
    std::atomic<bool> m_counting{false};
    std::atomic<long> m_printed{0};
    std::atomic<long> m_otherCount{0};
    std::atomic<long> m_paperLines{0};
    std::atomic<long> m_swipes{0};
    std::atomic<double> m_longestGapMs{0};
    Clock::time_point m_lastPrint{};  // the terminal's threads only
    mutable std::mutex m_otherMutex;
    std::vector<std::string> m_other;
};

// --- the tool's side ----------------------------------------------------------------------

// How late a timer due every 50 ms fires on the user-interface thread: how long an input
// event would have waited. Its beat also tells the watchdog that the thread still runs.
class UiProbe {
public:
    UiProbe() {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last != 0) {
                const qint64 late = now - m_last - kPeriodNs;
                m_worstNs = std::max(m_worstNs, late);
                m_intervalWorstNs = std::max(m_intervalWorstNs, late);
            }
            m_last = now;
            Beat();
        });
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.start(static_cast<int>(kPeriodNs / 1000000));
        Beat();
    }
    double WorstMs() const { return static_cast<double>(m_worstNs) / 1e6; }
    // The worst since the last call.
    double TakeIntervalWorstMs() {
        const double worst = static_cast<double>(m_intervalWorstNs) / 1e6;
        m_intervalWorstNs = 0;
        return worst;
    }
    // Marks the thread as running (also while it waits in a loop of its own).
    void Beat() {
        m_beat =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
                .count();
    }
    long long LastBeatMs() const { return m_beat; }

private:
    static constexpr qint64 kPeriodNs = 50000000;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_worstNs = 0;
    qint64 m_intervalWorstNs = 0;
    std::atomic<long long> m_beat{0};
};

// Ends the process when the user-interface thread has not run for the limit: a hung tool
// would otherwise keep the soak waiting for ever.
class Watchdog {
public:
    Watchdog(const UiProbe& probe, int limitSeconds, std::function<void()> lastWords)
        : m_probe(probe), m_limitMs(limitSeconds * 1000LL), m_lastWords(std::move(lastWords)) {
        m_thread = std::thread([this] { Run(); });
        pthread_setname_np(m_thread.native_handle(), kWatchThread);
    }
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Phase(const char* phase) { m_phase = phase; }

private:
    void Run() {
        std::unique_lock lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::seconds(1), [this] { return m_stop; })) {
            const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      Clock::now().time_since_epoch())
                                      .count();
            const long long silent = now - m_probe.LastBeatMs();
            if (silent > m_limitMs) {
                std::printf(
                    "\nHANG: the tool's user-interface thread has not run for %.1f s (while %s)\n"
                    "verdict        FAIL: the tool stopped answering\n",
                    static_cast<double>(silent) / 1000.0, m_phase.load());
                std::fflush(stdout);
                m_lastWords();
                _exit(2);
            }
        }
    }

    const UiProbe& m_probe;
    const long long m_limitMs;
    std::function<void()> m_lastWords;
    std::atomic<const char*> m_phase{"setting up"};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

std::u16string Utf16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// What the Card and Barcode pages show, read under their locks and checked as it arrives:
// the Card page's text must be whole swipes one after the other, the Barcode page's the
// scanner's codes in the order of its list.
class PageWatch {
public:
    PageWatch(CTestDlg& dialog, const sim::SimulatedTerminal& terminal)
        : m_dialog(dialog),
          m_swipe(Utf16(terminal.Card().track1 + "\r\n" + terminal.Card().track2 + "\r\n")) {
        for (const std::string& code : terminal.Codes()) {
            m_codes.push_back(Utf16(code));
        }
    }

    void Update() {
        std::u16string cardTail;
        std::u16string codesTail;
        {
            CSingleLock lock(&m_dialog.m_recvLock, TRUE);
            const std::u16string& card = m_dialog.m_pageCard.m_recvText.str();
            m_emptied = m_emptied || card.size() < m_cardRead;
            cardTail = card.substr(std::min(m_cardRead, card.size()));
            m_cardChars = static_cast<long>(card.size());
            m_printerChars = m_dialog.m_pagePrinter.m_recvText.GetLength();
        }
        {
            CSingleLock lock(&m_dialog.m_pageBarcode.m_textLock, TRUE);
            const std::u16string& codes = m_dialog.m_pageBarcode.m_recvText.str();
            m_emptied = m_emptied || codes.size() < m_codesRead;
            codesTail = codes.substr(std::min(m_codesRead, codes.size()));
            m_codesChars = static_cast<long>(codes.size());
        }
        m_cardRead += ReadSwipes(cardTail);
        m_codesRead += ReadCodes(codesTail);
    }

    long Swipes() const { return m_swipes; }
    long BrokenSwipes() const { return m_brokenSwipes; }
    long Codes() const { return m_codesShown; }
    long CodesOutOfOrder() const { return m_outOfOrder; }
    long HeldChars() const { return m_cardChars + m_printerChars + m_codesChars; }
    bool Emptied() const { return m_emptied; }
    const std::string& FirstBroken() const { return m_firstBroken; }

private:
    // Returns how much of the text was taken; an incomplete swipe at the end waits.
    size_t ReadSwipes(const std::u16string& text) {
        size_t at = 0;
        while (text.size() - at >= m_swipe.size()) {
            if (text.compare(at, m_swipe.size(), m_swipe) == 0) {
                ++m_swipes;
                at += m_swipe.size();
                m_resyncing = false;
                continue;
            }
            if (!m_resyncing) {
                ++m_brokenSwipes;
                if (m_firstBroken.empty()) {
                    const std::u16string part = text.substr(at, m_swipe.size());
                    m_firstBroken = "\"" + std::string(part.begin(), part.end()) + "\"";
                }
                m_resyncing = true;
            }
            const size_t next = text.find(m_swipe, at + 1);
            if (next == std::u16string::npos) {
                return text.size() - (m_swipe.size() - 1);  // the rest may begin a swipe
            }
            at = next;
        }
        return at;
    }

    size_t ReadCodes(const std::u16string& text) {
        size_t at = 0;
        for (size_t end; (end = text.find(u"\r\n", at)) != std::u16string::npos; at = end + 2) {
            const std::u16string line = text.substr(at, end - at);
            ++m_codesShown;
            if (line == m_codes[m_nextCode]) {
                m_nextCode = (m_nextCode + 1) % m_codes.size();
                continue;
            }
            ++m_outOfOrder;
            const auto known = std::find(m_codes.begin(), m_codes.end(), line);
            if (known != m_codes.end()) {
                m_nextCode = static_cast<size_t>(known - m_codes.begin() + 1) % m_codes.size();
            }
        }
        return at;
    }

    CTestDlg& m_dialog;
    const std::u16string m_swipe;
    std::vector<std::u16string> m_codes;
    size_t m_cardRead = 0;
    size_t m_codesRead = 0;
    long m_swipes = 0;
    long m_brokenSwipes = 0;
    bool m_resyncing = false;
    std::string m_firstBroken;
    long m_codesShown = 0;
    long m_outOfOrder = 0;
    size_t m_nextCode = 0;
    long m_cardChars = 0;
    long m_printerChars = 0;
    long m_codesChars = 0;
    bool m_emptied = false;
};

// The sounds played into the sink: each opens the device anew, which starts the next file
// (out.raw, out.raw.0001, ...). Every sound must be played whole: all files the same size.
class SoundFiles {
public:
    explicit SoundFiles(fs::path first)
        : m_first(std::move(first)), m_played(m_first.parent_path() / "played") {
        fs::create_directories(m_played);
    }

    // The sink looks for a free name by trying them one by one from the first, so its files
    // are moved aside as they come: a sink stepping over thousands of names would cost the
    // tool more CPU every hour, and it gives up at ten thousand. A file still being written
    // goes on being written where it was moved.
    long Count() {
        m_settled = m_count;
        std::vector<fs::path> found;
        std::error_code error;
        const std::string prefix = m_first.filename().string();
        for (const auto& entry : fs::directory_iterator(m_first.parent_path(), error)) {
            if (entry.path().filename().string().rfind(prefix, 0) == 0) {
                found.push_back(entry.path());
            }
        }
        for (const fs::path& file : found) {
            fs::rename(file, Played(m_count), error);
            if (!error) {
                ++m_count;
            }
        }
        return m_count;
    }
    // Sizes of the files finished so far: those moved before the last count (sounds are far
    // shorter than a sample interval), or all of them once nothing plays any more.
    void CheckSizes(bool all) {
        if (all) {
            Count();
        }
        const long done = all ? m_count : m_settled;
        std::error_code error;
        for (; m_checked < done; ++m_checked) {
            const auto size = static_cast<long long>(fs::file_size(Played(m_checked), error));
            if (m_size < 0) {
                m_size = size;
            } else if (size != m_size) {
                ++m_partial;
            }
        }
    }
    long Partial() const { return m_partial; }
    long long Size() const { return m_size; }

private:
    fs::path Played(long index) const { return m_played / std::to_string(index); }

    fs::path m_first;
    fs::path m_played;
    long m_count = 0;
    long m_settled = 0;
    long m_checked = 0;
    long long m_size = -1;
    long m_partial = 0;
};

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
    double HeldKb() const {
        return (static_cast<double>(heldChars) * kHeldBytesPerChar +
                static_cast<double>(paperLines) * kPaperLineBytes) /
               1024.0;
    }
};

// Least-squares slope of value(sample) against time, per hour.
double SlopePerHour(const std::vector<Sample>& samples,
                    const std::function<double(const Sample&)>& value) {
    const double n = static_cast<double>(samples.size());
    if (samples.size() < 2) {
        return 0;
    }
    double st = 0;
    double sv = 0;
    for (const Sample& s : samples) {
        st += s.t;
        sv += value(s);
    }
    double num = 0;
    double den = 0;
    for (const Sample& s : samples) {
        num += (s.t - st / n) * (value(s) - sv / n);
        den += (s.t - st / n) * (s.t - st / n);
    }
    return den > 0 ? num / den * 3600.0 : 0;
}

// Runs the event loop for a while, as the program's own does (never sleeping between events);
// an interruption ends it early.
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

std::string Hms(double seconds) {
    const long s = std::lround(seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

double Mb(long kb) {
    return static_cast<double>(kb) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status != 0) {
        return status;
    }
    const double duration = options.minutes * 60;
    pthread_setname_np(pthread_self(), kSoakThread);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    rvtest::AlsaFileSink sink;  // before the first sound: ALSA reads its configuration once
    rvtest::TempDir folder;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    QApplication application(argc, argv);
    AfxInitFramework();
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);  // beside the program: the sound
    RecordAppDir(path);

    const std::string sample = "This is a sample!";
    TerminalEvents events(sample, options.terminalLog);
    sim::TerminalOptions terminalOptions;
    terminalOptions.swipeEverySeconds = options.swipeEverySeconds;
    terminalOptions.scanEverySeconds = options.scanEverySeconds;
    terminalOptions.logBytes = false;  // events only: 50 printed lines a second are plenty

    std::printf(
        "rv4417-soak: %.1f min, a sample every %.0f s, warm-up %.0f s; auto send every "
        "%d ms, a swipe every %.0f s, a scan every %.0f s\n",
        options.minutes, options.sampleSeconds, options.warmUpSeconds, options.autoSendMs,
        options.swipeEverySeconds, options.scanEverySeconds);
    std::fflush(stdout);

    std::vector<Sample> samples;
    std::vector<std::string> faults;
    Sample last;
    long finalSwipesSent = 0;
    long finalSwipesShown = 0;
    long brokenSwipes = 0;
    std::string firstBroken;
    long finalCodesSent = 0;
    long finalCodesShown = 0;
    long codesOutOfOrder = 0;
    long finalSounds = 0;
    long partialSounds = 0;
    long long soundBytes = 0;
    bool settled = false;
    bool autoSendRan = false;
    bool threadsEnded = false;
    double closeSeconds = 0;
    double worstStallMs = 0;
    double soakSeconds = 0;
    {
        // The terminal's threads take the name they are created under.
        pthread_setname_np(pthread_self(), kSimThread);
        sim::SimulatedTerminal terminal(terminalOptions,
                                        [&](const std::string& line) { events.OnLine(line); });
        pthread_setname_np(pthread_self(), kSoakThread);
        setenv("RV4417_DEVICES", terminal.DeviceDirectory().c_str(), 1);

        UiProbe probe;
        Watchdog watchdog(probe, options.hangSeconds, [&] { events.Flush(); });
        CTestDlg dialog;
        g_soakApp.m_pMainWnd = &dialog;
        dialog.Create(IDD_RV4417TEST_DIALOG);
        drive::Technician technician(terminal, dialog);
        technician.WaitUntil([] { return false; }, 300);

        // Each device once, as the tour does, before the long run: a soak of a tool that does
        // not work at all would only measure its idling.
        std::vector<drive::Verdict> setup;
        setup.push_back(technician.Printer(folder.path().string()));
        setup.push_back(technician.Barcode([&] { return sink.Played().size(); }));

        CPrinterPage& printer = dialog.m_pagePrinter;
        technician.ClickTab(0);
        CString interval;
        interval.Format(_T("%d"), options.autoSendMs);
        technician.SetText(printer, IDC_INTERVAL, interval);
        events.StartCounting();
        technician.Click(printer, IDC_AUTO_SEND);
        drive::Verdict autoSend{"Auto send", false, "auto send did not start printing"};
        autoSend.ok = technician.WaitUntil([&] {
            return drive::Technician::Text(printer, IDC_AUTO_SEND) == _T("Stop") &&
                   events.Printed() >= 3;
        });
        setup.push_back(autoSend);
        // Track1,2 and automatic receiving; the Card tab stays selected, so COM0's data goes
        // to the Card page while auto send goes on (only other tabs stop it).
        setup.push_back(technician.Card());
        for (const drive::Verdict& v : setup) {
            std::printf("setup  %s  %s: %s\n", v.ok ? "PASS" : "FAIL", v.page.c_str(),
                        v.detail.c_str());
            if (!v.ok) {
                faults.push_back("setup: " + v.page + ": " + v.detail);
            }
        }
        std::fflush(stdout);

        PageWatch pages(dialog, terminal);
        SoundFiles sounds(sink.Output());
        const auto started = Clock::now();
        const double cpuBase = rvtest::ProcessCpuSeconds();
        const double simBase = ThreadCpuSeconds(kSimThread);
        double samplingCpu = 0;

        auto takeSample = [&] {
            const double before = ThisThreadCpuSeconds();
            Sample s;
            s.t = std::chrono::duration<double>(Clock::now() - started).count();
            pages.Update();
            s.rssKb = StatusKb("VmRSS:");
            s.peakKb = StatusKb("VmHWM:");
            s.fds = CountEntries("/proc/self/fd");
            s.threads = CountEntries("/proc/self/task");
            s.printed = events.Printed();
            s.swipesSent = events.Swipes();
            s.swipesShown = pages.Swipes();
            s.codesSent = terminal.CodesDelivered();
            s.codesShown = pages.Codes();
            s.sounds = sounds.Count();
            sounds.CheckSizes(false);
            s.heldChars = pages.HeldChars();
            s.paperLines = events.PaperLines();
            s.stallMs = probe.TakeIntervalWorstMs();
            s.simCpu = ThreadCpuSeconds(kSimThread) - simBase;
            samplingCpu += ThisThreadCpuSeconds() - before;
            s.soakCpu = samplingCpu + ThreadCpuSeconds(kWatchThread);
            s.cpu = rvtest::ProcessCpuSeconds() - cpuBase;
            return s;
        };

        auto report = [&](const Sample& s, const Sample& previous) {
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
                100.0 * (s.simCpu - previous.simCpu) / span, s.fds, s.threads, s.printed,
                s.swipesSent, s.swipesShown, s.codesSent, s.codesShown, s.sounds, s.heldChars,
                s.stallMs, notes.c_str());
            std::fflush(stdout);
        };

        watchdog.Phase("soaking");
        samples.push_back(takeSample());
        report(samples.back(), samples.back());
        for (int k = 1; !g_interrupted; ++k) {
            const double due = std::min(duration, k * options.sampleSeconds);
            RunFor(due - std::chrono::duration<double>(Clock::now() - started).count());
            samples.push_back(takeSample());
            report(samples.back(), samples[samples.size() - 2]);
            if (due >= duration) {
                break;
            }
        }
        last = samples.back();
        soakSeconds = last.t;
        worstStallMs = probe.WorstMs();

        // What is in flight arrives within moments; swipes and scans go on meanwhile, so the
        // counts are compared afresh until they agree.
        watchdog.Phase("settling");
        settled = RunUntil(
            [&] {
                pages.Update();
                return pages.Swipes() == events.Swipes() &&
                       pages.Codes() == terminal.CodesDelivered() &&
                       sounds.Count() == kSoundsPerCode * pages.Codes();
            },
            5);
        finalSwipesSent = events.Swipes();
        finalSwipesShown = pages.Swipes();
        brokenSwipes = pages.BrokenSwipes();
        firstBroken = pages.FirstBroken();
        finalCodesSent = terminal.CodesDelivered();
        finalCodesShown = pages.Codes();
        codesOutOfOrder = pages.CodesOutOfOrder();
        autoSendRan = drive::Technician::Text(printer, IDC_AUTO_SEND) == _T("Stop");
        if (pages.Emptied()) {
            faults.emplace_back("a page's received text was emptied during the run");
        }

        watchdog.Phase("closing the dialog");
        const auto closing = Clock::now();
        dialog.DestroyWindow();
        g_soakApp.m_pMainWnd = nullptr;
        closeSeconds = std::chrono::duration<double>(Clock::now() - closing).count();
        threadsEnded = dialog.m_recvThread == nullptr && printer.m_autoSendThread == nullptr &&
                       dialog.m_pageBarcode.m_recvThread == nullptr;
        RunFor(0.2);
        finalSounds = sounds.Count();
        sounds.CheckSizes(true);
        partialSounds = sounds.Partial();
        soundBytes = sounds.Size();
        watchdog.Phase("ending");
    }
    AfxTermFramework();

    // --- the summary ---
    const Sample& first = samples.front();
    const auto warm = std::find_if(samples.begin(), samples.end(),
                                   [&](const Sample& s) { return s.t >= options.warmUpSeconds; });
    const std::vector<Sample> afterWarmUp(warm, samples.end());
    const Sample& warmSample = afterWarmUp.empty() ? last : afterWarmUp.front();
    const double rssPerHour =
        SlopePerHour(afterWarmUp, [](const Sample& s) { return static_cast<double>(s.rssKb); }) /
        1024.0;
    const double boxesPerHour =
        SlopePerHour(afterWarmUp,
                     [](const Sample& s) {
                         return static_cast<double>(s.heldChars) * kHeldBytesPerChar / 1024.0;
                     }) /
        1024.0;
    const double paperPerHour =
        SlopePerHour(afterWarmUp,
                     [](const Sample& s) {
                         return static_cast<double>(s.paperLines) * kPaperLineBytes / 1024.0;
                     }) /
        1024.0;
    const double unexplained = rssPerHour - boxesPerHour - paperPerHour;
    const double toolCpu = last.ToolCpu();
    const long printedInRun = last.printed - first.printed;
    const double printPeriodMs =
        printedInRun > 0 ? 1000.0 * (last.t - first.t) / static_cast<double>(printedInRun) : 0.0;

    if (finalSwipesShown != finalSwipesSent) {
        faults.push_back(std::to_string(finalSwipesSent) + " swipes sent but " +
                         std::to_string(finalSwipesShown) + " shown on the Card page");
    }
    if (brokenSwipes > 0) {
        faults.push_back(std::to_string(brokenSwipes) +
                         " places on the Card page that are not a whole swipe, first " +
                         firstBroken);
    }
    if (finalCodesShown != finalCodesSent) {
        faults.push_back(std::to_string(finalCodesSent) + " codes delivered but " +
                         std::to_string(finalCodesShown) + " shown on the Barcode page");
    }
    if (codesOutOfOrder > 0) {
        faults.push_back(std::to_string(codesOutOfOrder) +
                         " codes on the Barcode page out of the scanner's order");
    }
    if (finalSounds != kSoundsPerCode * finalCodesShown) {
        faults.push_back(std::to_string(finalSounds) + " sounds played for " +
                         std::to_string(finalCodesShown) + " codes (" +
                         std::to_string(kSoundsPerCode) + " each expected)");
    }
    if (partialSounds > 0) {
        faults.push_back(std::to_string(partialSounds) + " sounds not played whole");
    }
    if (events.OtherLines() > 0) {
        faults.push_back(std::to_string(events.OtherLines()) +
                         " printed lines that are not the text sent");
    }
    if (!autoSendRan) {
        faults.emplace_back("auto send was no longer running at the end");
    }
    if (!threadsEnded) {
        faults.emplace_back("a reader or the auto-send thread was still running after the close");
    }
    if (last.fds - warmSample.fds > kHandleSlack) {
        faults.push_back("open descriptors grew from " + std::to_string(warmSample.fds) + " to " +
                         std::to_string(last.fds) + " after the warm-up");
    }
    if (last.threads - warmSample.threads > kHandleSlack) {
        faults.push_back("threads grew from " + std::to_string(warmSample.threads) + " to " +
                         std::to_string(last.threads) + " after the warm-up");
    }
    if (options.maxGrowthMbPerHour > 0 && unexplained > options.maxGrowthMbPerHour) {
        char text[96];
        std::snprintf(text, sizeof text, "memory grows by %.1f MB/h more than the text held",
                      unexplained);
        faults.emplace_back(text);
    }

    std::printf("=== soak summary ===\n");
    std::printf("duration       %.1f min (%.0f s)%s; samples every %.0f s, warm-up %.0f s\n",
                soakSeconds / 60, soakSeconds, g_interrupted ? ", interrupted" : "",
                options.sampleSeconds, options.warmUpSeconds);
    std::printf(
        "CPU            the tool %.2f s = %.2f %% of one core; the simulated terminal "
        "%.2f s = %.2f %%; the soak's own sampling %.2f s\n",
        toolCpu, 100.0 * toolCpu / std::max(1.0, soakSeconds), last.simCpu,
        100.0 * last.simCpu / std::max(1.0, soakSeconds), last.soakCpu);
    std::printf(
        "RSS            start %.1f MB, after warm-up (%s) %.1f MB, end %.1f MB, peak "
        "%.1f MB\n",
        Mb(first.rssKb), Hms(warmSample.t).c_str(), Mb(warmSample.rssKb), Mb(last.rssKb),
        Mb(last.peakKb));
    std::printf(
        "growth         after warm-up %+.2f MB/h; held text %+.2f MB/h (the pages' %ld "
        "characters at %.0f B), the simulated printer's paper %+.2f MB/h (%ld lines at "
        "~%.0f B); unexplained %+.2f MB/h\n",
        rssPerHour, boxesPerHour, last.heldChars, kHeldBytesPerChar, paperPerHour, last.paperLines,
        kPaperLineBytes, unexplained);
    std::printf(
        "handles        descriptors %ld at start, %ld after warm-up, %ld at end; threads "
        "%ld, %ld, %ld\n",
        first.fds, warmSample.fds, last.fds, first.threads, warmSample.threads, last.threads);
    std::printf(
        "printed        %ld texts \"%s\": one every %.1f ms, longest gap %.0f ms; %ld "
        "other lines\n",
        last.printed, sample.c_str(), printPeriodMs, events.LongestGapMs(), events.OtherLines());
    for (const std::string& line : events.FirstOtherLines()) {
        std::printf("               other: %s\n", line.c_str());
    }
    std::printf("swipes         %ld sent, %ld shown on the Card page, %ld not whole\n",
                finalSwipesSent, finalSwipesShown, brokenSwipes);
    std::printf("codes          %ld delivered, %ld shown on the Barcode page, %ld out of order\n",
                finalCodesSent, finalCodesShown, codesOutOfOrder);
    std::printf(
        "sounds         %ld played (%ld a code expected), %ld not whole (%lld bytes each)\n",
        finalSounds, kSoundsPerCode, partialSounds, soundBytes);
    std::printf("window         worst answer delay %.0f ms (limit %d ms)\n", worstStallMs,
                options.stallLimitMs);
    std::printf("end            counts %s; auto send %s; dialog closed in %.2f s, %s\n",
                settled ? "agreed" : "did not agree within 5 s",
                autoSendRan ? "still running" : "had stopped", closeSeconds,
                threadsEnded ? "its threads ended" : "a thread still ran");
    if (faults.empty()) {
        std::printf("verdict        PASS\n");
    } else {
        std::printf("verdict        FAIL\n");
        for (const std::string& fault : faults) {
            std::printf("  - %s\n", fault.c_str());
        }
    }
    std::fflush(stdout);
    return faults.empty() ? 0 : 1;
}
