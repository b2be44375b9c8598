// The whole program, as a user starts it, against pseudo-terminals as COM0 and COM2.
//
//   StartToShown   time from starting the program (offscreen) until its dialog is up:
//                  median and worst of 10 starts. It runs RV4417Test-shown, the same program
//                  with a hook that says "shown" and ends it once the dialog is up
//                  (bench/exit_when_shown.cpp).
//   IdleCpu        CPU the program takes over 10 s with its readers on silent ports, in % of
//                  one core (after a few seconds to settle)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/process_stats.h"
#include "tools/sim/pty.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A device directory with COM0 and COM2, and the program started against it: with
// exitWhenShown RV4417Test-shown, which ends once its dialog is up, otherwise RV4417Test.
class Program {
public:
    explicit Program(bool exitWhenShown) {
        m_dir =
            std::filesystem::temp_directory_path() / ("rv4417-program-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        for (const auto& [name, line] : {std::pair{"COM0", &m_com0}, std::pair{"COM2", &m_com2}}) {
            std::filesystem::remove(m_dir / name);
            std::filesystem::create_symlink(line->SlavePath(), m_dir / name);
        }
        int out[2];
        pipe2(out, O_CLOEXEC);
        m_out = out[0];
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            env.emplace_back(*e);
        }
        env.push_back("RV4417_DEVICES=" + m_dir.string());
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::string path =
            exitWhenShown ? RV_BINARY_DIR "/RV4417Test-shown" : RV_BINARY_DIR "/RV4417Test";
        char* argv[] = {path.data(), nullptr};
        m_started = Clock::now();
        posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
    }
    ~Program() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        close(m_out);
        std::filesystem::remove_all(m_dir);
    }

    // Milliseconds from the start until the program said its dialog is shown; -1 if never.
    double MillisecondsToShown() {
        std::string seen;
        while (seen.find("shown") == std::string::npos) {
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, 20000) <= 0) {
                return -1;
            }
            char buf[64];
            const ssize_t n = read(m_out, buf, sizeof buf);
            if (n <= 0) {
                return -1;
            }
            seen.append(buf, static_cast<size_t>(n));
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - m_started).count();
    }

    // CPU seconds the program's threads have run, from the scheduler's own accounting (in
    // nanoseconds, where the tick counts of /proc/<pid>/stat are 10 ms coarse).
    double CpuSeconds() const { return rvtest::SchedstatCpuSeconds(m_pid); }

private:
    std::filesystem::path m_dir;
    sim::PseudoTerminal m_com0;
    sim::PseudoTerminal m_com2;
    pid_t m_pid = 0;
    int m_out = -1;
    Clock::time_point m_started;
};

void StartToShown(benchmark::State& state) {
    std::vector<double> times;
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i) {
            Program program(true);
            times.push_back(program.MillisecondsToShown());
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
}
BENCHMARK(StartToShown)->Iterations(1)->Unit(benchmark::kMillisecond);

void IdleCpu(benchmark::State& state) {
    double percent = 0;
    for (auto _ : state) {
        Program program(false);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double before = program.CpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        percent = 100.0 * (program.CpuSeconds() - before) / 10.0;
    }
    state.counters["cpu_percent_of_core"] = percent;
}
BENCHMARK(IdleCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
