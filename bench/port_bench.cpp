// The port layer's hot paths, on real pseudo-terminals.
//
//   ReadLatency/<burst>  time from the last byte of a burst written into the line to ReadFile
//                        returning it, with the COM0 settings (50-byte reads): median and p99
//   IdleReaderCpu        CPU of a thread reading an idle line in the reader's pattern (COM0
//                        time-outs, 50 ms pause after an empty read) for 10 s, in % of a core
//   WriteText            conversion to code page 936 and writing, mixed ASCII and Chinese
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "io/port.h"
#include "io/write.h"
#include "res/device_settings.h"
#include "tests/support/process_stats.h"
#include "tools/sim/pty.h"

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal linked as COM0 in a fresh device directory, set up as the tool does.
class Com0 {
public:
    Com0() {
        m_dir =
            std::filesystem::temp_directory_path() / ("rv4417-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::filesystem::remove(m_dir / "COM0");
        std::filesystem::create_symlink(line.SlavePath(), m_dir / "COM0");
        setenv(rv_res::kDeviceDirectoryVariable, m_dir.c_str(), 1);
        port = OpenPort(_T("COM0:"));
        if (!IsPortOpen(port)) {
            std::fprintf(stderr, "bench_port: COM0 does not open in %s\n", m_dir.c_str());
            std::exit(1);  // every measurement would wait for bytes that never come
        }
        ConfigurePort(port, kCom0Profile);
    }
    ~Com0() {
        CloseHandle(port);
        std::filesystem::remove_all(m_dir);
    }

    sim::PseudoTerminal line;
    HANDLE port = nullptr;

private:
    std::filesystem::path m_dir;
};

void ReadLatency(benchmark::State& state) {
    const auto burst = static_cast<size_t>(state.range(0));
    Com0 com0;
    std::vector<double> samples;
    for (auto _ : state) {
        samples.clear();
        std::mutex mutex;
        std::condition_variable done;
        Clock::time_point returned;
        bool got = false;
        for (int i = 0; i < 200; ++i) {
            got = false;
            std::thread reader([&] {
                BYTE buf[50];
                DWORD n = 0;
                size_t total = 0;
                while (total < burst) {
                    ReadFile(com0.port, buf, sizeof buf, &n, nullptr);
                    total += n;
                }
                std::lock_guard lock(mutex);
                returned = Clock::now();
                got = true;
                done.notify_one();
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(5));  // reader is waiting
            com0.line.Send(std::string(burst, 'x'));
            const auto written = Clock::now();
            {
                std::unique_lock lock(mutex);
                done.wait(lock, [&] { return got; });
            }
            reader.join();
            samples.push_back(
                std::chrono::duration<double, std::micro>(returned - written).count());
        }
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p99_us"] = samples[samples.size() * 99 / 100];
}
BENCHMARK(ReadLatency)->Arg(50)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

void IdleReaderCpu(benchmark::State& state) {
    Com0 com0;
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            const double start = rvtest::ThreadCpuClockSeconds();
            BYTE buf[50];
            while (!stop) {
                DWORD n = 0;
                if (!ReadFile(com0.port, buf, sizeof buf, &n, nullptr) || n == 0) {
                    Sleep(50);
                }
            }
            cpu = rvtest::ThreadCpuClockSeconds() - start;
        });
        const auto begin = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        stop = true;
        reader.join();
        wall = std::chrono::duration<double>(Clock::now() - begin).count();
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
}
BENCHMARK(IdleReaderCpu)->Iterations(1)->Unit(benchmark::kSecond);

void WriteTextThroughput(benchmark::State& state) {
    HANDLE sink =
        CreateFileW(_T("\\dev\\null"), GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    CString text;
    for (int i = 0; i < 100; ++i) {
        text += _T("Receipt line 12.50 打印测试 中文字符 ABC\r\n");
    }
    const int bytes = WideCharToMultiByte(936, 0, text, -1, nullptr, 0, nullptr, nullptr) - 1;
    for (auto _ : state) {
        WriteText(sink, text, text.GetLength());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["chars_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * text.GetLength(), benchmark::Counter::kIsRate);
    CloseHandle(sink);
}
BENCHMARK(WriteTextThroughput);

}  // namespace

BENCHMARK_MAIN();
