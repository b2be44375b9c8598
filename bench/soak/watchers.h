// What the soak watches: the simulated terminal's log on one side, the tool's window, pages and
// sounds on the other.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/test_dlg.h"
#include "tools/sim/terminal.h"

namespace soak {

using Clock = std::chrono::steady_clock;

// --- the simulated terminal's side --------------------------------------------------------

// Counts what the simulated terminal did from its log: texts printed, swipes sent. Lines
// printed after StartCounting must all be the sample text.
class TerminalEvents {
public:
    TerminalEvents(std::string sample, const std::string& logPath);

    // On the terminal's threads, one line at a time.
    void OnLine(const std::string& line);

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
    void Flush();

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
    UiProbe();
    double WorstMs() const { return static_cast<double>(m_worstNs) / 1e6; }
    // The worst since the last call.
    double TakeIntervalWorstMs();
    // Marks the thread as running (also while it waits in a loop of its own).
    void Beat();
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
    Watchdog(const UiProbe& probe, int limitSeconds, std::function<void()> lastWords);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Phase(const char* phase) { m_phase = phase; }

private:
    void Run();

    const UiProbe& m_probe;
    const long long m_limitMs;
    std::function<void()> m_lastWords;
    std::atomic<const char*> m_phase{"setting up"};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

// What the Card and Barcode pages show, read under their locks and checked as it arrives:
// the Card page's text must be whole swipes one after the other, the Barcode page's the
// scanner's codes in the order of its list.
class PageWatch {
public:
    PageWatch(CTestDlg& dialog, const sim::SimulatedTerminal& terminal);

    void Update();

    long Swipes() const { return m_swipes; }
    long BrokenSwipes() const { return m_brokenSwipes; }
    long Codes() const { return m_codesShown; }
    long CodesOutOfOrder() const { return m_outOfOrder; }
    long HeldChars() const { return m_cardChars + m_printerChars + m_codesChars; }
    bool Emptied() const { return m_emptied; }
    const std::string& FirstBroken() const { return m_firstBroken; }

private:
    // Returns how much of the text was taken; an incomplete swipe at the end waits.
    size_t ReadSwipes(const std::u16string& text);
    size_t ReadCodes(const std::u16string& text);

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
    explicit SoundFiles(std::filesystem::path first);

    // The sink looks for a free name by trying them one by one from the first, so its files
    // are moved aside as they come: a sink stepping over thousands of names would cost the
    // tool more CPU every hour, and it gives up at ten thousand. A file still being written
    // goes on being written where it was moved.
    long Count();
    // Sizes of the files finished so far: those moved before the last count (sounds are far
    // shorter than a sample interval), or all of them once nothing plays any more.
    void CheckSizes(bool all);
    long Partial() const { return m_partial; }
    long long Size() const { return m_size; }

private:
    std::filesystem::path Played(long index) const { return m_played / std::to_string(index); }

    std::filesystem::path m_first;
    std::filesystem::path m_played;
    long m_count = 0;
    long m_settled = 0;
    long m_checked = 0;
    long long m_size = -1;
    long m_partial = 0;
};

// What a sample reads besides the process itself.
struct Watched {
    const TerminalEvents& events;
    const sim::SimulatedTerminal& terminal;
    PageWatch& pages;
    SoundFiles& sounds;
    UiProbe& probe;
};

}  // namespace soak
