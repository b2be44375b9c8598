// The main dialog under a flood on COM0, shown as hex on the Printer page.
//
//   Flood1MiB     1 MiB at the full speed of a pseudo-terminal: CPU seconds until every byte
//                 is on screen and the program is idle again, the longest the window went
//                 without answering, peak memory growth, and that the last byte is shown
//   Flood60s      the same for 60 s of flooding, shown as hex (/1) or as characters that are
//                 all line breaks (/0: a visual line per character, the most a box's layout
//                 holds): bytes sent, the text held and whether it is exactly the newest of
//                 them, the longest stall, the longest a click on the Printer page waited for
//                 its handler to run, peak memory growth against the text held
//   BusyDevice    50 bytes every 100 ms for 10 s: CPU in % of one core
//   VanishedPorts COM0 and COM2 gone for 10 s: CPU in % of one core
//
// The window's answer time is measured by a timer due every 5 ms: how late it fires is how
// long an input event would have waited.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "app/test_dlg.h"
#include "bench/qt_bench_main.h"
#include "tests/support/device_dir.h"
#include "tests/support/gui.h"
#include "tests/support/process_stats.h"
#include "tools/sim/pty.h"

CWinApp g_benchApp;

namespace {

using Clock = std::chrono::steady_clock;
using rvtest::StatusKb;

// Measures how late a timer due every 5 ms fires: the longest wait an input event would see.
class Responsiveness {
public:
    Responsiveness() {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last) {
                m_worst = std::max(m_worst, now - m_last - kPeriodNs);
            }
            m_last = now;
        });
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.start(kPeriodNs / 1000000);
    }
    double WorstMs() const { return static_cast<double>(m_worst) / 1e6; }

private:
    static constexpr qint64 kPeriodNs = 5000000;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_worst = 0;
};

// Clicks a button every 250 ms and measures how long after it was due its handler has run:
// how late the click came (behind the readers' steps queued before it) plus how long the
// handler took.
class ClickProbe {
public:
    explicit ClickProbe(QAbstractButton* button) {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this, button] {
            const qint64 due = m_due;
            button->click();
            const qint64 now = m_clock.nsecsElapsed();
            m_worst = std::max(m_worst, now - due);
            ++m_clicks;
            m_due = now + kPeriodNs;
            m_timer.start(kPeriodNs / 1000000);
        });
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(true);
        m_due = kPeriodNs;
        m_timer.start(kPeriodNs / 1000000);
    }
    double WorstMs() const { return static_cast<double>(m_worst) / 1e6; }
    int Clicks() const { return m_clicks; }

private:
    static constexpr qint64 kPeriodNs = 250000000;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_due = 0;
    qint64 m_worst = 0;
    int m_clicks = 0;
};

// The dialog on a pseudo-terminal COM0, the Printer page showing hex or characters.
struct Bench {
    explicit Bench(bool hex = true) {
        devices.Link("COM0", com0.SlavePath());
        devices.Link("COM2", com2.SlavePath());
        dlg.Create(IDD_RV4417TEST_DIALOG);
        g_benchApp.m_pMainWnd = &dlg;
        if (hex) {
            // Ticked as a technician does, so that the page's data exchange keeps it.
            qobject_cast<QAbstractButton*>(rvtest::ControlOf(dlg.m_pagePrinter, IDC_RECV_HEX))
                ->click();
        }
        rvtest::Pump(200);
    }
    ~Bench() {
        dlg.DestroyWindow();
        g_benchApp.m_pMainWnd = nullptr;
    }
    int Shown() {
        CSingleLock lock(&dlg.m_recvLock, TRUE);
        return dlg.m_pagePrinter.m_recvText.GetLength();
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
    CTestDlg dlg;
};

// The device end, played by a child process, so that the CPU measured is the tool's alone
// (the peer of a serial terminal is another program too). The child is forked before the
// measurement starts, since forking a process of this size takes milliseconds itself, and
// plays when told to; its result, a byte count, comes back through a pipe. Waiting for it
// comes after the measurement too: a big process takes milliseconds to exit as well.
class Peer {
public:
    explicit Peer(const std::function<size_t()>& play) {
        int go[2];
        int result[2];
        if (pipe(go) != 0 || pipe(result) != 0) {
            std::abort();
        }
        m_pid = fork();
        if (m_pid == 0) {
            close(go[1]);
            close(result[0]);
            char byte = 0;
            size_t sent = 0;
            if (read(go[0], &byte, 1) == 1) {
                sent = play();
            }
            [[maybe_unused]] const ssize_t n = write(result[1], &sent, sizeof sent);
            _exit(0);
        }
        close(go[0]);
        close(result[1]);
        m_go = go[1];
        m_result = result[0];
    }
    ~Peer() { Wait(); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    void Start() {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(m_go, &byte, 1);
    }
    // Whether the child has reported, without waiting.
    bool Reported() const {
        pollfd fd{m_result, POLLIN, 0};
        return m_haveResult || poll(&fd, 1, 0) == 1;
    }
    // The byte count the child reports (it has sent that many when it reports).
    size_t Result() {
        if (!m_haveResult) {
            [[maybe_unused]] const ssize_t n = read(m_result, &m_sent, sizeof m_sent);
            m_haveResult = true;
        }
        return m_sent;
    }
    size_t Wait() {
        if (m_pid > 0) {
            close(m_go);  // a child never started gives up
            Result();
            close(m_result);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        return m_sent;
    }

private:
    pid_t m_pid = -1;
    int m_go = -1;
    int m_result = -1;
    size_t m_sent = 0;
    bool m_haveResult = false;
};

// Flood bytes: every value but XON and XOFF, which COM0's flow control takes for itself.
std::string FloodBlock(size_t size) {
    std::string block;
    for (size_t i = 0; block.size() < size; ++i) {
        const char c = static_cast<char>(i % 256);
        if (c != 0x11 && c != 0x13) {
            block += c;
        }
    }
    return block;
}

void Flood1MiB(benchmark::State& state) {
    Bench bench;
    const std::string data = FloodBlock(1 << 20);
    double cpu = 0;
    double worst = 0;
    long growthKb = 0;
    bool lastShown = false;
    for (auto _ : state) {
        Peer device([&] {
            bench.com0.Send(data);
            return data.size();
        });
        rvtest::ResetPeakRss();
        const long before = StatusKb("VmRSS:");
        Responsiveness probe;
        const double start = rvtest::RusageCpuSeconds();
        device.Start();
        rvtest::RunLoopUntil([&] { return bench.Shown() >= static_cast<int>(3 * data.size()); },
                             60000);
        rvtest::RunLoop(50);  // until it is idle again
        cpu = rvtest::RusageCpuSeconds() - start;
        worst = probe.WorstMs();
        growthKb = StatusKb("VmHWM:") - before;
        device.Wait();
        CString text;
        bench.dlg.m_pagePrinter.m_recvEdit.GetWindowText(text);
        CString last;
        last.Format(_T("%.2X "), static_cast<unsigned char>(data.back()));
        lastShown = text.GetLength() == static_cast<int>(3 * data.size()) && text.Right(3) == last;
    }
    state.counters["cpu_s"] = cpu;
    state.counters["worst_stall_ms"] = worst;
    state.counters["peak_growth_MB"] = static_cast<double>(growthKb) / 1024.0;
    state.counters["last_byte_shown"] = lastShown ? 1 : 0;
}
BENCHMARK(Flood1MiB)->Iterations(1)->Unit(benchmark::kSecond);

// Whether text is the last bytes of a stream of sent bytes that repeats block, shown as hex or
// as characters; with tail, only its last tail bytes are compared.
bool HoldsNewest(const std::u16string& text, const std::string& block, size_t sent, bool hex,
                 size_t tail = 0) {
    const size_t width = hex ? 3 : 1;
    const size_t bytes = text.size() / width;
    if (text.size() % width != 0 || bytes > sent) {
        return false;
    }
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (size_t i = tail > 0 && tail < bytes ? bytes - tail : 0; i < bytes; ++i) {
        const auto byte = static_cast<unsigned char>(block[(sent - bytes + i) % block.size()]);
        const char16_t* shown = text.data() + i * width;
        const bool same = hex ? shown[0] == kDigits[byte >> 4] && shown[1] == kDigits[byte & 15] &&
                                    shown[2] == u' '
                              : shown[0] == byte;
        if (!same) {
            return false;
        }
    }
    return true;
}

void Flood60s(benchmark::State& state) {
    const bool hex = state.range(1) != 0;
    Bench bench(hex);
    const std::string block = hex ? FloodBlock(4096) : std::string(4096, '\n');
    const auto seconds = std::chrono::seconds(state.range(0));
    const std::u16string& held = bench.dlg.m_pagePrinter.m_recvText.str();
    size_t sent = 0;
    double worst = 0;
    double worstClick = 0;
    int clickCount = 0;
    long peakKb = 0;
    for (auto _ : state) {
        Peer device([&] {
            size_t count = 0;  // the stream repeats block, whatever each write takes
            for (const auto end = Clock::now() + seconds; Clock::now() < end;) {
                count +=
                    bench.com0.SendSome(std::string_view(block).substr(count % block.size()), 100);
            }
            return count;
        });
        rvtest::ResetPeakRss();
        const long before = StatusKb("VmRSS:");
        Responsiveness probe;
        ClickProbe clicks(qobject_cast<QAbstractButton*>(
            rvtest::ControlOf(bench.dlg.m_pagePrinter, IDC_SEND_HEX)));
        device.Start();
        rvtest::RunLoop(static_cast<int>(state.range(0)) * 1000);
        rvtest::RunLoopUntil([&] { return device.Reported(); }, 60000);
        sent = device.Result();
        rvtest::RunLoopUntil([&] { return HoldsNewest(held, block, sent, hex, 4096); }, 60000);
        worst = probe.WorstMs();
        worstClick = clicks.WorstMs();
        clickCount = clicks.Clicks();
        peakKb = StatusKb("VmHWM:") - before;
        device.Wait();
    }
    state.counters["worst_click_ms"] = worstClick;
    state.counters["clicks"] = clickCount;
    state.counters["bytes_sent"] = static_cast<double>(sent);
    state.counters["held_chars"] = static_cast<double>(held.size());
    state.counters["newest_held_exactly"] = HoldsNewest(held, block, sent, hex) ? 1 : 0;
    state.counters["worst_stall_ms"] = worst;
    state.counters["peak_growth_MB"] = static_cast<double>(peakKb) / 1024.0;
    state.counters["growth_per_text_byte"] =
        static_cast<double>(peakKb) * 1024.0 / (static_cast<double>(held.size()) * 2.0);
}
BENCHMARK(Flood60s)->Args({60, 1})->Args({60, 0})->Iterations(1)->Unit(benchmark::kSecond);

void BusyDevice(benchmark::State& state) {
    Bench bench;
    const std::string chunk = FloodBlock(50);
    double percent = 0;
    for (auto _ : state) {
        Peer device([&] {
            for (const auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
                bench.com0.Send(chunk);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            return size_t{0};
        });
        const double start = rvtest::RusageCpuSeconds();
        device.Start();
        rvtest::RunLoop(10000);
        percent = 100.0 * (rvtest::RusageCpuSeconds() - start) / 10.0;
        device.Wait();
    }
    state.counters["cpu_percent_of_core"] = percent;
}
BENCHMARK(BusyDevice)->Iterations(1)->Unit(benchmark::kSecond);

// COM0 and COM2 gone (their peers closed, as when an adapter is pulled): the readers must
// keep to their pause instead of spinning on a port that fails at once.
void VanishedPorts(benchmark::State& state) {
    Bench bench;
    double percent = 0;
    for (auto _ : state) {
        bench.com0.Hangup();
        bench.com2.Hangup();
        rvtest::RunLoop(500);  // the readers notice
        const double start = rvtest::RusageCpuSeconds();
        rvtest::RunLoop(10000);
        percent = 100.0 * (rvtest::RusageCpuSeconds() - start) / 10.0;
    }
    state.counters["cpu_percent_of_core"] = percent;
}
BENCHMARK(VanishedPorts)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    return rvbench::RunQtBenchmarks(argc, argv, rvbench::Framework::kAfx);
}
