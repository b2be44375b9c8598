#include "platform/win/trace.h"

#include <pthread.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/win/error.h"
#include "platform/win/text.h"

namespace win_detail {

std::atomic<unsigned> g_traceChannels{0};

namespace {

// The pseudo-handle of the calling thread, as the system has it.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

thread_local char t_threadName[32] = "";

struct ChannelName {
    std::string_view name;
    unsigned channels;
};

constexpr unsigned kAll = 0x3F;

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
            Say("RV4417_TRACE: unknown channel \"" + std::string(name) +
                "\" (known: serial, serial+, control, sound, process, ui, all)\n");
        }
    }
    return channels;
}

// The variable is read before main(), so the first events of start-up are traced too.
const bool kTraceRead = [] {
    ReadTraceSettings();
    return true;
}();

}  // namespace

void ReadTraceSettings() {
    const char* text = getenv("RV4417_TRACE");
    g_traceChannels.store(text ? Parse(text) : 0, std::memory_order_relaxed);
}

void TraceLine(TraceChannel channel, const char* format, ...) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char thread[32];
    if (t_threadName[0]) {
        std::snprintf(thread, sizeof thread, "%s", t_threadName);
    } else {
        std::snprintf(thread, sizeof thread, "thread %ld", static_cast<long>(syscall(SYS_gettid)));
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

HANDLE GetCurrentThread() {
    return win_detail::kCurrentThread;
}

BOOL SetThreadDescription(HANDLE thread, LPCWSTR description) {
    if (thread != win_detail::kCurrentThread || !description) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    const std::string name = win_detail::Utf16ToUtf8(description);
    std::snprintf(win_detail::t_threadName, sizeof win_detail::t_threadName, "%s", name.c_str());
    // The system keeps 15 bytes of a thread's name.
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
    return TRUE;
}
