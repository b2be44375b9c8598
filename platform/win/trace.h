// Trace channels: what the platform does, told on standard error, for a technician who needs
// to know why a device stays silent. The tool's own behaviour does not change with them.
//
// RV4417_TRACE names the channels, separated by commas:
//   serial    device lookups and opens (name, resolved path, the error), the settings applied
//             and the termios they became, time-outs, purges, reads and writes (counts),
//             writes given up, a device gone and reattached
//   serial+   serial, and the bytes of every read and write in hex
//   control   control requests: code, answer, time
//   sound     sounds: file, device, failure
//   process   programs launched: path, pid, exit status, failure
//   ui        message boxes: their text and answer
//   all       every channel, serial+ included
// One line per event: time of day to the millisecond, thread, channel, what happened. An
// unknown name is said once on standard error and the others work. The variable is read once,
// at start-up. Off (the default), a trace point costs one relaxed atomic load and nothing is
// printed or written anywhere.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "platform/win/types.h"

enum class TraceChannel : unsigned {
    Serial = 1u << 0,
    SerialBytes = 1u << 1,
    Control = 1u << 2,
    Sound = 1u << 3,
    Process = 1u << 4,
    Ui = 1u << 5,
};

// Names the calling thread, for the trace and for the system's tools (ps, a debugger). The
// thread is GetCurrentThread(); other handles fail with ERROR_INVALID_HANDLE.
HANDLE GetCurrentThread();
BOOL SetThreadDescription(HANDLE thread, LPCWSTR description);

namespace win_detail {

extern std::atomic<unsigned> g_traceChannels;

inline bool TraceOn(TraceChannel channel) {
    return (g_traceChannels.load(std::memory_order_relaxed) & static_cast<unsigned>(channel)) != 0;
}

// Writes one event line; the format is printf's.
void TraceLine(TraceChannel channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Reads RV4417_TRACE again (for tests; the program reads it once at start-up).
void ReadTraceSettings();

// "41 42 0D" for the bytes, for the serial+ channel.
std::string HexBytes(const void* bytes, std::size_t count);

// The text of an errno value, as the trace shows failures.
std::string ErrnoText(int err);

}  // namespace win_detail

#define RV_TRACE(channel, ...)                             \
    do {                                                   \
        if (win_detail::TraceOn(channel)) {                \
            win_detail::TraceLine((channel), __VA_ARGS__); \
        }                                                  \
    } while (false)
