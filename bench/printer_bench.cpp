// The Printer page's sending, on pseudo-terminals.
//
//   AutoSendPeriod   auto send at 20 ms for 10 s, the device timing each text's arrival:
//                    mean and worst period (the interval plus one send step, nothing more)
//   SendFile100MB    a 100 MB file to a line read at full speed: throughput and the growth of
//                    the process's peak memory (the file is streamed, never held)
//   HexEncode        the hex send encoder over a 1 MB text
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <numeric>
#include <thread>

#include "app/test_dlg.h"
#include "bench/qt_bench_main.h"
#include "io/port.h"
#include "pages/hex_send.h"
#include "pages/send_file.h"
#include "platform/win/text.h"
#include "tests/support/device_dir.h"
#include "tests/support/gui.h"
#include "tests/support/process_stats.h"
#include "tests/support/temp_dir.h"
#include "tools/sim/pty.h"

CWinApp g_benchApp;

namespace {

using Clock = std::chrono::steady_clock;
using rvtest::StatusKb;

void AutoSendPeriod(benchmark::State& state) {
    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
    devices.Link("COM0", com0.SlavePath());
    devices.Link("COM2", com2.SlavePath());
    CTestDlg dlg;
    dlg.Create(IDD_RV4417TEST_DIALOG);
    std::vector<Clock::time_point> arrivals;
    std::atomic<bool> stop{false};
    std::thread device([&] {
        while (!stop) {
            const std::string part = com0.Receive(0, 5);
            for (const char c : part) {
                if (c == 'T') {  // the first byte of "This is a sample!\r\n"
                    arrivals.push_back(Clock::now());
                }
            }
        }
    });
    for (auto _ : state) {
        ::SetWindowTextW(::GetDlgItem(dlg.m_pagePrinter, IDC_INTERVAL), _T("20"));
        dlg.m_pagePrinter.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEND, BN_CLICKED), 0);
        rvtest::RunLoop(10000);
        dlg.m_pagePrinter.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEND, BN_CLICKED), 0);
        rvtest::RunLoop(200);
    }
    stop = true;
    device.join();
    std::vector<double> periods;
    for (size_t i = 1; i < arrivals.size(); ++i) {
        periods.push_back(
            std::chrono::duration<double, std::milli>(arrivals[i] - arrivals[i - 1]).count());
    }
    state.counters["sends"] = static_cast<double>(arrivals.size());
    state.counters["mean_ms"] =
        std::accumulate(periods.begin(), periods.end(), 0.0) / periods.size();
    state.counters["worst_ms"] = *std::max_element(periods.begin(), periods.end());
    dlg.DestroyWindow();
}
BENCHMARK(AutoSendPeriod)->Iterations(1)->Unit(benchmark::kSecond);

void SendFile100MB(benchmark::State& state) {
    rvtest::TempDir dir;
    const std::string block(1 << 20, 'x');
    {
        std::ofstream out(dir.path() / "big.bin", std::ios::binary);
        for (int i = 0; i < 100; ++i) {
            out << block;
        }
    }
    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    devices.Link("COM0", com0.SlavePath());
    std::atomic<HANDLE> port{OpenPort(_T("COM0:"))};
    ConfigurePort(port, kCom0Profile);
    size_t received = 0;
    double seconds = 0;
    long growthKb = 0;
    for (auto _ : state) {
        std::thread device([&] {
            while (received < 100u << 20) {
                received +=
                    com0.Receive(1 << 16, 200).size();  // small reads: the device holds little
            }
        });
        CFile file;
        file.Open(FromPosixPath((dir.path() / "big.bin").string()), CFile::modeRead);
        rvtest::ResetPeakRss();  // the peak starts from here
        const long before = StatusKb("VmRSS:");
        const auto start = Clock::now();
        SendFile(file, &port, nullptr);
        device.join();
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        growthKb = StatusKb("VmHWM:") - before;
    }
    state.counters["MB_per_s"] = 100.0 / seconds;
    state.counters["received_MB"] = static_cast<double>(received) / (1 << 20);
    state.counters["peak_growth_MB"] = static_cast<double>(growthKb) / 1024.0;
    CloseHandle(port);
}
BENCHMARK(SendFile100MB)->Iterations(1)->Unit(benchmark::kSecond);

void HexEncode(benchmark::State& state) {
    CString text;
    while (text.GetLength() < (1 << 20)) {
        text += _T("1B 40 41,42;0a ff 00 7e\r\n");
    }
    size_t bytes = 0;
    for (auto _ : state) {
        EncodeHexText(text, [&](const BYTE*, int length) { bytes += static_cast<size_t>(length); });
    }
    state.SetBytesProcessed(state.iterations() * text.GetLength());  // characters read
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(HexEncode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return rvbench::RunQtBenchmarks(argc, argv, rvbench::Framework::kAfx);
}
