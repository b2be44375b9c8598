#include "tools/sim/terminal.h"

#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sstream>

namespace sim {

namespace {

constexpr size_t kBytesPerLine = 16;

std::string Stamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return text;
}

// What a run of bytes reads as: printable ASCII as it is, the rest as dots.
std::string Printable(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        out += c >= 0x20 && c < 0x7F ? c : '.';
    }
    return out;
}

const char* CodeName(std::uint32_t code) {
    switch (code) {
        case 500:
            return "stop";
        case 100:
            return "enable";
        case 200:
            return "trigger";
        case 150:
            return "disable";
        default:
            return "?";
    }
}

void Wake(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

}  // namespace

SimulatedTerminal::SimulatedTerminal(TerminalOptions options, LogFn log)
    : m_options(std::move(options)),
      m_log(std::move(log)),
      m_scanner(m_options.codes, m_options.scanDelay) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "rv4417-terminal-XXXXXX").string();
    m_dir = mkdtemp(pattern.data()) ? pattern : "";
    std::filesystem::create_symlink(m_com0.SlavePath(), m_dir + "/COM0");
    std::filesystem::create_symlink(m_com2.SlavePath(), m_dir + "/COM2");
    m_gpr1 = std::make_unique<ControlDeviceServer>(
        m_dir + "/GPR1", [this](std::uint32_t code) { return OnControl(code); });
    const auto now = Clock::now();
    m_nextSwipe = now + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(m_options.swipeEverySeconds));
    m_nextScan = now + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(m_options.scanEverySeconds));
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { Run(); });
    Log("terminal ready in " + m_dir +
        ": COM0 printer and card reader, COM2 scanner, GPR1 its control");
}

SimulatedTerminal::~SimulatedTerminal() {
    m_stop = true;
    Wake(m_wake);
    m_thread.join();
    m_gpr1.reset();
    close(m_wake);
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

void SimulatedTerminal::Log(const std::string& line) const {
    if (!m_log) {
        return;
    }
    std::lock_guard lock(m_logMutex);
    m_log(Stamp() + "  " + line);
}

void SimulatedTerminal::LogBytes(const char* line, const char* direction, std::string_view bytes,
                                 bool cp936) const {
    if (!m_options.logBytes) {
        return;
    }
    for (size_t at = 0; at < bytes.size(); at += kBytesPerLine) {
        const std::string_view part = bytes.substr(at, kBytesPerLine);
        std::string hex;
        for (const char c : part) {
            char h[4];
            std::snprintf(h, sizeof h, "%02X ", static_cast<unsigned char>(c));
            hex += h;
        }
        hex.resize(kBytesPerLine * 3, ' ');
        const std::string decoded = cp936 ? Printable(DecodeCp936(part)) : Printable(part);
        Log(std::string(line) + " " + direction + "  " + hex + " |" + decoded + "|");
    }
}

void SimulatedTerminal::Swipe() {
    std::string bytes;
    {
        std::lock_guard lock(m_mutex);
        bytes = m_reader.Swipe();
        Log(bytes.empty() ? "card reader: swipe ignored (automatic receiving is off)"
                          : "card reader: card swiped, sending " + m_reader.TrackName());
    }
    if (!bytes.empty()) {
        ToTool(m_com0, "COM0", bytes);
    }
}

void SimulatedTerminal::ScanKey() {
    std::lock_guard lock(m_mutex);
    Log("scanner: " + m_scanner.TriggerKey(Clock::now()));
    Wake(m_wake);
}

void SimulatedTerminal::ToTool(PseudoTerminal& line, const char* name, const std::string& bytes) {
    LogBytes(name, ">", bytes, false);
    line.SendSome(bytes, 1000);
}

int SimulatedTerminal::OnControl(std::uint32_t code) {
    std::string what;
    bool accepted = false;
    {
        std::lock_guard lock(m_mutex);
        m_codes.push_back(code);
        accepted = m_scanner.Control(code, Clock::now(), what);
    }
    Log("GPR1 < " + std::to_string(code) + " (" + CodeName(code) + ") " +
        (accepted ? "accepted" : "refused") + ": scanner " + what);
    Wake(m_wake);
    return accepted ? 1 : 0;
}

void SimulatedTerminal::FromCom0(std::string_view bytes, Clock::time_point now) {
    LogBytes("COM0", "<", bytes, true);
    std::lock_guard lock(m_mutex);
    CardReader::Split split = m_reader.Feed(bytes, now);
    std::istringstream events(split.events);
    for (std::string event; std::getline(events, event);) {
        Log(event);
    }
    for (const std::string& printed : m_printer.Feed(split.printer)) {
        Log("PRINTER | " + printed);
    }
}

int SimulatedTerminal::MillisecondsToNextTimer(Clock::time_point now) const {
    std::lock_guard lock(m_mutex);
    std::vector<Clock::time_point> due;
    if (const auto scan = m_scanner.NextDue()) {
        due.push_back(*scan);
    }
    if (m_reader.Holding()) {
        due.push_back(now + CardReader::kFlushAfter);
    }
    if (m_options.swipeEverySeconds > 0) {
        due.push_back(m_nextSwipe);
    }
    if (m_options.scanEverySeconds > 0) {
        due.push_back(m_nextScan);
    }
    if (due.empty()) {
        return -1;
    }
    const auto first = *std::min_element(due.begin(), due.end());
    return static_cast<int>(
        std::max<long>(0, std::chrono::ceil<std::chrono::milliseconds>(first - now).count()));
}

void SimulatedTerminal::Timers(Clock::time_point now) {
    std::string code;
    bool swipe = false;
    bool scan = false;
    {
        std::lock_guard lock(m_mutex);
        code = m_scanner.Due(now);
        for (const std::string& printed : m_printer.Feed(m_reader.Flush(now).printer)) {
            Log("PRINTER | " + printed);
        }
        if (m_options.swipeEverySeconds > 0 && now >= m_nextSwipe) {
            swipe = true;
            m_nextSwipe = now + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(m_options.swipeEverySeconds));
        }
        if (m_options.scanEverySeconds > 0 && now >= m_nextScan) {
            scan = true;
            m_nextScan = now + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(m_options.scanEverySeconds));
        }
    }
    if (!code.empty()) {
        Log("scanner: read " + code.substr(0, code.size() - 2));
        ToTool(m_com2, "COM2", code);
    }
    if (swipe) {
        Swipe();
    }
    if (scan) {
        ScanKey();
    }
}

void SimulatedTerminal::Run() {
    while (!m_stop) {
        pollfd fds[3] = {
            {m_com0.MasterFd(), POLLIN, 0}, {m_com2.MasterFd(), POLLIN, 0}, {m_wake, POLLIN, 0}};
        poll(fds, 3, MillisecondsToNextTimer(Clock::now()));
        if (fds[2].revents) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(m_wake, &count, sizeof count);
        }
        char buf[4096];
        if (fds[0].revents & POLLIN) {
            const ssize_t n = read(m_com0.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                FromCom0(std::string_view(buf, static_cast<size_t>(n)), Clock::now());
            }
        }
        if (fds[1].revents & POLLIN) {
            const ssize_t n = read(m_com2.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                LogBytes("COM2", "<", std::string_view(buf, static_cast<size_t>(n)), false);
            }
        }
        Timers(Clock::now());
    }
}

std::string SimulatedTerminal::Status() const {
    std::lock_guard lock(m_mutex);
    std::ostringstream out;
    out << "printer: " << m_printer.Paper().size() << " lines printed, "
        << m_printer.Initialisations() << " initialisations\n"
        << "card reader: " << m_reader.TrackName() << ", automatic receiving "
        << (m_reader.AutoReceive() ? "on" : "off") << "\n"
        << "scanner: " << (m_scanner.Enabled() ? "enabled" : "disabled")
        << (m_scanner.NextDue() ? ", scanning" : "") << ", " << m_scanner.Delivered()
        << " codes read\n"
        << "devices: " << m_dir;
    return out.str();
}

std::vector<std::string> SimulatedTerminal::Paper() const {
    std::lock_guard lock(m_mutex);
    return m_printer.Paper();
}

std::string SimulatedTerminal::PendingLine() const {
    std::lock_guard lock(m_mutex);
    return m_printer.Pending();
}

int SimulatedTerminal::Initialisations() const {
    std::lock_guard lock(m_mutex);
    return m_printer.Initialisations();
}

bool SimulatedTerminal::AutoReceive() const {
    std::lock_guard lock(m_mutex);
    return m_reader.AutoReceive();
}

std::string SimulatedTerminal::Tracks() const {
    std::lock_guard lock(m_mutex);
    return m_reader.TrackName();
}

std::vector<std::uint32_t> SimulatedTerminal::ControlCodes() const {
    std::lock_guard lock(m_mutex);
    return m_codes;
}

int SimulatedTerminal::CodesDelivered() const {
    std::lock_guard lock(m_mutex);
    return m_scanner.Delivered();
}

}  // namespace sim
