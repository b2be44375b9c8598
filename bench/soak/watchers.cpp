#include "bench/soak/watchers.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "bench/soak/soak.h"

namespace soak {

namespace fs = std::filesystem;

// --- TerminalEvents -----------------------------------------------------------------------

TerminalEvents::TerminalEvents(std::string sample, const std::string& logPath)
    : m_sample(std::move(sample)) {
    if (!logPath.empty()) {
        m_file.open(logPath, std::ios::trunc);
    }
}

void TerminalEvents::OnLine(const std::string& line) {
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
            const double gap = std::chrono::duration<double, std::milli>(now - m_lastPrint).count();
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

void TerminalEvents::Flush() {
    std::lock_guard lock(m_fileMutex);
    if (m_file.is_open()) {
        m_file.flush();
    }
}

// --- UiProbe ------------------------------------------------------------------------------

UiProbe::UiProbe() {
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

double UiProbe::TakeIntervalWorstMs() {
    const double worst = static_cast<double>(m_intervalWorstNs) / 1e6;
    m_intervalWorstNs = 0;
    return worst;
}

void UiProbe::Beat() {
    m_beat = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
                 .count();
}

// --- Watchdog -----------------------------------------------------------------------------

Watchdog::Watchdog(const UiProbe& probe, int limitSeconds, std::function<void()> lastWords)
    : m_probe(probe), m_limitMs(limitSeconds * 1000LL), m_lastWords(std::move(lastWords)) {
    m_thread = std::thread([this] { Run(); });
    pthread_setname_np(m_thread.native_handle(), kWatchThread);
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void Watchdog::Run() {
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::seconds(1), [this] { return m_stop; })) {
        const long long now =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
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

// --- PageWatch ----------------------------------------------------------------------------

namespace {

std::u16string Utf16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

PageWatch::PageWatch(CTestDlg& dialog, const sim::SimulatedTerminal& terminal)
    : m_dialog(dialog),
      m_swipe(Utf16(terminal.Card().track1 + "\r\n" + terminal.Card().track2 + "\r\n")) {
    for (const std::string& code : terminal.Codes()) {
        m_codes.push_back(Utf16(code));
    }
}

void PageWatch::Update() {
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
    const std::u16string& codes = m_dialog.m_pageBarcode.m_recvText.str();
    m_emptied = m_emptied || codes.size() < m_codesRead;
    codesTail = codes.substr(std::min(m_codesRead, codes.size()));
    m_codesChars = static_cast<long>(codes.size());
    m_cardRead += ReadSwipes(cardTail);
    m_codesRead += ReadCodes(codesTail);
}

size_t PageWatch::ReadSwipes(const std::u16string& text) {
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

size_t PageWatch::ReadCodes(const std::u16string& text) {
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

// --- SoundFiles ---------------------------------------------------------------------------

SoundFiles::SoundFiles(fs::path first)
    : m_first(std::move(first)), m_played(m_first.parent_path() / "played") {
    fs::create_directories(m_played);
}

long SoundFiles::Count() {
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

void SoundFiles::CheckSizes(bool all) {
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

}  // namespace soak
