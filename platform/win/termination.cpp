#include "platform/win/termination_p.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace win_detail {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int g_pipe[2] = {-1, -1};
std::atomic<bool> g_requested{false};

// Async-signal-safe only: an atomic flag, write(), and the default action for a second one.
void OnTerminationSignal(int signal) {
    if (g_requested.exchange(true)) {
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigaction(signal, &byDefault, nullptr);
        raise(signal);  // delivered when this handler returns
        return;
    }
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
}

}  // namespace

int TerminationRequests() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            g_pipe[0] = g_pipe[1] = -1;
            return;
        }
        struct sigaction action {};
        action.sa_handler = &OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kSignals) {
            sigaction(signal, &action, nullptr);
        }
    });
    return g_pipe[0];
}

int TakeTerminationRequest() {
    unsigned char byte = 0;
    if (g_pipe[0] < 0 || read(g_pipe[0], &byte, 1) != 1) {
        return 0;
    }
    return byte;
}

}  // namespace win_detail
