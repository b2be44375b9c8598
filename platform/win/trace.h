// Trace channels: what the platform does, told on standard error, for a technician who needs
// to know why a device stays silent. The tool's own behaviour does not change with them.
//
// An environment variable that the program chooses (ReadTraceSettingsFrom) names the channels,
// separated by commas:
//   serial    device lookups and opens (name, resolved path, the error), the settings applied
//             and the termios they became, time-outs, purges, reads and writes (counts),
//             writes given up, a device gone and reattached
//   serial+   serial, and the bytes of every read and write in hex
//   control   control requests: code, answer, time
//   sound     sounds: file, device, failure
//   process   programs launched: path, pid, exit status, failure
//   ui        message boxes: their text and answer
//   all       every channel, serial+ included
// One line per event: time of day to the millisecond, thread (its name: thread.h), channel,
// what happened. An
// unknown name is said once on standard error and the others work. Off (the default), a trace
// point costs one relaxed atomic load and nothing is printed or written anywhere.
#pragma once

#include <atomic>

#include "platform/win/types.h"

enum class TraceChannel : unsigned {
    Serial = 1u << 0,
    SerialBytes = 1u << 1,
    Control = 1u << 2,
    Sound = 1u << 3,
    Process = 1u << 4,
    Ui = 1u << 5,
};

// Reads the channels from the environment variable, once, at start-up (before the threads
// that trace run).
void ReadTraceSettingsFrom(const char* environmentVariable);

namespace win_detail {

extern std::atomic<unsigned> g_traceChannels;

inline bool TraceOn(TraceChannel channel) {
    return (g_traceChannels.load(std::memory_order_relaxed) & static_cast<unsigned>(channel)) != 0;
}

// Writes one event line; the format is printf's.
void TraceLine(TraceChannel channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace win_detail

#define RV_TRACE(channel, ...)                             \
    do {                                                   \
        if (win_detail::TraceOn(channel)) {                \
            win_detail::TraceLine((channel), __VA_ARGS__); \
        }                                                  \
    } while (false)
