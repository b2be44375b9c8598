#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/win/thread.h"
#include "platform/win/thread_p.h"

namespace win_detail {

std::atomic<unsigned> g_traceChannels{0};

namespace {

struct ChannelName {
    std::string_view name;
    unsigned channels;
};

constexpr unsigned kAll = 0x3F;

// The variable the program named; read at start-up.
constinit std::atomic<const char*> g_variable{nullptr};

constexpr ChannelName kChannels[] = {
    {"serial", static_cast<unsigned>(TraceChannel::Serial)},
    {"serial+", static_cast<unsigned>(TraceChannel::Serial) |
                    static_cast<unsigned>(TraceChannel::SerialBytes)},
    {"control", static_cast<unsigned>(TraceChannel::Control)},
    {"sound", static_cast<unsigned>(TraceChannel::Sound)},
    {"process", static_cast<unsigned>(TraceChannel::Process)},
    {"ui", static_cast<unsigned>(TraceChannel::Ui)},
    {"all", kAll},
};

const char* ChannelText(TraceChannel channel) {
    switch (channel) {
        case TraceChannel::Serial:
        case TraceChannel::SerialBytes:
            return "serial";
        case TraceChannel::Control:
            return "control";
        case TraceChannel::Sound:
            return "sound";
        case TraceChannel::Process:
            return "process";
        case TraceChannel::Ui:
            return "ui";
    }
    return "?";
}

void Say(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;  // no standard error: the trace is lost, the tool goes on
        }
        done += static_cast<size_t>(n);
    }
}

unsigned Parse(std::string_view text) {
    unsigned channels = 0;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        std::string_view name = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        while (!name.empty() && name.front() == ' ') {
            name.remove_prefix(1);
        }
        while (!name.empty() && name.back() == ' ') {
            name.remove_suffix(1);
        }
        if (name.empty()) {
            continue;
        }
        bool known = false;
        for (const ChannelName& c : kChannels) {
            if (c.name == name) {
                channels |= c.channels;
                known = true;
            }
        }
        if (!known) {
            Say(std::string(g_variable.load()) + ": unknown channel \"" + std::string(name) +
                "\" (known: serial, serial+, control, sound, process, ui, all)\n");
        }
    }
    return channels;
}

}  // namespace

void ReadTraceSettings() {
    const char* variable = g_variable.load();
    const char* text = variable ? getenv(variable) : nullptr;
    g_traceChannels.store(text ? Parse(text) : 0, std::memory_order_relaxed);
}

void TraceLine(TraceChannel channel, const char* format, ...) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char thread[40];
    if (*CurrentThreadName()) {
        std::snprintf(thread, sizeof thread, "%s", CurrentThreadName());
    } else {
        std::snprintf(thread, sizeof thread, "thread %u",
                      static_cast<unsigned>(GetCurrentThreadId()));
    }
    char head[96];
    std::snprintf(head, sizeof head, "%02d:%02d:%02d.%03ld %s %s: ", local.tm_hour, local.tm_min,
                  local.tm_sec, now.tv_nsec / 1000000, thread, ChannelText(channel));
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string line(head);
    if (size > 0) {
        const size_t at = line.size();
        line.resize(at + static_cast<size_t>(size) + 1);
        std::vsnprintf(line.data() + at, static_cast<size_t>(size) + 1, format, again);
        line.resize(at + static_cast<size_t>(size));
    }
    va_end(again);
    line += '\n';
    Say(line);
}

std::string HexBytes(const void* bytes, std::size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    const auto* in = static_cast<const unsigned char*>(bytes);
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += kDigits[in[i] >> 4];
        text += kDigits[in[i] & 0xF];
    }
    return text;
}

std::string ErrnoText(int err) {
    char buffer[128];
    return strerror_r(err, buffer, sizeof buffer);
}

}  // namespace win_detail

void ReadTraceSettingsFrom(const char* environmentVariable) {
    win_detail::g_variable = environmentVariable;
    win_detail::ReadTraceSettings();
}
