// The simulated terminal: COM0 (printer and card reader), COM2 and GPR1 (scanner) in a
// temporary device directory, with a readable log of every byte each way.
//
// The device directory holds COM0 and COM2 as pseudo-terminals and GPR1 as a Unix socket
// speaking the control-device protocol; point RV4417_DEVICES at it and start the tool. One
// thread serves the lines and the timers; Swipe, ScanKey and the queries may be called from
// any thread. The log callback is called on the terminal's threads, one line at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/card_reader.h"
#include "tools/sim/control_device.h"
#include "tools/sim/printer.h"
#include "tools/sim/pty.h"
#include "tools/sim/scanner.h"

namespace sim {

struct TerminalOptions {
    std::vector<std::string> codes = {"6901234567892", "4006381333931", "RV4417-TEST-0001"};
    std::chrono::milliseconds scanDelay{300};
    double swipeEverySeconds = 0;  // 0: only when asked
    double scanEverySeconds = 0;
    bool logBytes = true;  // every byte each way, hex and decoded
};

class SimulatedTerminal {
public:
    using Clock = std::chrono::steady_clock;
    using LogFn = std::function<void(const std::string& line)>;

    explicit SimulatedTerminal(TerminalOptions options = {}, LogFn log = nullptr);
    ~SimulatedTerminal();
    SimulatedTerminal(const SimulatedTerminal&) = delete;
    SimulatedTerminal& operator=(const SimulatedTerminal&) = delete;

    const std::string& DeviceDirectory() const { return m_dir; }

    // A card drawn through the reader, the scanner's own trigger key.
    void Swipe();
    void ScanKey();

    std::string Status() const;
    std::vector<std::string> Paper() const;
    std::string PendingLine() const;
    int Initialisations() const;
    bool AutoReceive() const;
    std::string Tracks() const;
    std::vector<std::uint32_t> ControlCodes() const;
    int CodesDelivered() const;
    const TestCard& Card() const { return m_reader.Card(); }
    const std::vector<std::string>& Codes() const { return m_options.codes; }

private:
    void Run();
    void Log(const std::string& line) const;
    void LogBytes(const char* line, const char* direction, std::string_view bytes,
                  bool cp936) const;
    void FromCom0(std::string_view bytes, Clock::time_point now);
    void ToTool(PseudoTerminal& line, const char* name, const std::string& bytes);
    int OnControl(std::uint32_t code);
    int MillisecondsToNextTimer(Clock::time_point now) const;
    void Timers(Clock::time_point now);

    TerminalOptions m_options;
    LogFn m_log;
    std::string m_dir;
    PseudoTerminal m_com0;
    PseudoTerminal m_com2;

    mutable std::mutex m_mutex;  // the devices' state below
    Printer m_printer;
    CardReader m_reader;
    Scanner m_scanner;
    std::vector<std::uint32_t> m_codes;
    Clock::time_point m_nextSwipe;
    Clock::time_point m_nextScan;

    mutable std::mutex m_logMutex;
    int m_wake = -1;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<ControlDeviceServer> m_gpr1;
    std::thread m_thread;
};

}  // namespace sim
