#include "io/write.h"

#include <chrono>
#include <vector>

#include "io/port.h"

void WriteBytes(HANDLE port, const BYTE* bytes, int length) {
    WriteBytesCounted(port, bytes, length);
}

int WriteBytesCounted(HANDLE port, const BYTE* bytes, int length,
                      const std::function<bool()>& stopped) {
    if (!IsPortOpen(port) || length < 1) {
        return 0;
    }
    using Clock = std::chrono::steady_clock;
    int remaining = length;
    int offset = 0;
    auto lastProgress = Clock::now();
    for (;;) {
        if (stopped && stopped()) {
            RV_TRACE(TraceChannel::Serial, "write stopped: %d of %d bytes unsent", remaining,
                     length);
            return offset;
        }
        DWORD written = 0;
        const BOOL ok =
            WriteFile(port, bytes + offset, static_cast<DWORD>(remaining), &written, nullptr);
        if (written > 0) {
            remaining -= static_cast<int>(written);
            offset += static_cast<int>(written);
            lastProgress = Clock::now();
        }
        if (remaining <= 0) {
            return offset;
        }
        if (!ok) {
            RV_TRACE(TraceChannel::Serial, "write given up: the port failed, %d of %d bytes unsent",
                     remaining, length);
            return offset;
        }
        if (Clock::now() - lastProgress >= std::chrono::milliseconds(kWriteStallMs)) {
            RV_TRACE(TraceChannel::Serial,
                     "write given up: the port took no byte for %d ms, %d of %d bytes unsent",
                     kWriteStallMs, remaining, length);
            return offset;
        }
        Sleep(10);
    }
}

// The text is taken by value: the interface gives every caller its own copy to convert.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void WriteText(HANDLE port, CString text, int length) {
    if (!IsPortOpen(port) || length < 1) {
        return;
    }
    const size_t n = std::char_traits<WCHAR>::length(text);
    std::vector<char> buffer(2 * (n + 1), 0);
    WideCharToMultiByte(CP_GBK, 0, text, -1, buffer.data(), static_cast<int>(buffer.size()),
                        nullptr, nullptr);
    const size_t m = strlen(buffer.data());
    if (m > 0) {
        WriteBytes(port, reinterpret_cast<const BYTE*>(buffer.data()), static_cast<int>(m));
    }
}
