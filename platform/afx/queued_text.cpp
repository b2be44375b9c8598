#include "platform/afx/queued_text_p.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_table_p.h"
#include "platform/afx/window_text_p.h"

namespace afx_detail {

namespace {

// What the window will show once the queue has run, as far as queued texts go.
struct Queued {
    bool view = false;          // a text view: it can take the added part alone
    bool gone = false;          // destroyed: texts for it go nowhere, without asking
    std::uint64_t lineage = 0;  // the text last queued (0: unknown, send the next one whole)
    int length = 0;
};

struct QueuedTexts {
    std::mutex mutex;
    // Entered on the user-interface thread; kept when destroyed (handles are never reused),
    // so that a worker still writing to it does not wait for that thread each time.
    std::map<HWND, Queued> windows;
};

QueuedTexts& Texts() {
    static QueuedTexts* texts = new QueuedTexts;  // never destroyed: workers may set texts late
    return *texts;
}

// Enters the window on the user-interface thread, where windows come and go; false when
// there is no such window.
bool Enter(HWND hwnd) {
    return OnUi([&] {
        const Window* w = Find(hwnd);
        if (w) {
            QueuedTexts& texts = Texts();
            std::lock_guard lock(texts.mutex);
            texts.windows.try_emplace(hwnd, Queued{w->kind == Kind::TextView});
        }
        return w != nullptr;
    });
}

}  // namespace

void QueueWindowText(HWND hwnd, const CString& text) {
    if (!hwnd) {
        return;
    }
    QueuedTexts& texts = Texts();
    bool known = false;
    {
        std::lock_guard lock(texts.mutex);
        const auto it = texts.windows.find(hwnd);
        if (it != texts.windows.end() && it->second.gone) {
            return;  // the text goes nowhere, as a message to a dead window
        }
        known = it != texts.windows.end();
    }
    if (!known && !Enter(hwnd)) {
        return;
    }
    WaitForRoomOnUi();
    std::function<void()> work;
    std::unique_lock lock(texts.mutex);
    const auto it = texts.windows.find(hwnd);
    if (it == texts.windows.end()) {
        return;
    }
    Queued& queued = it->second;
    if (queued.gone) {
        return;
    }
    const std::uint64_t lineage = text.Lineage();
    if (queued.view && queued.lineage == lineage && text.GetLength() >= queued.length) {
        const int base = queued.length;
        std::u16string tail(text.str(), static_cast<size_t>(base));
        work = [hwnd, lineage, base, tail = std::move(tail)] {
            Window* w = Find(hwnd);
            if (w && !AppendViewText(*w, lineage, base, tail)) {
                // Its text changed meanwhile: this part counts as set before that change.
                ForgetQueuedText(hwnd);
            }
        };
    } else {
        work = [hwnd, lineage, copy = text] {
            if (Window* w = Find(hwnd)) {
                SetQueuedText(*w, copy, lineage);
            }
        };
    }
    queued.lineage = lineage;
    queued.length = text.GetLength();
    // Queued under the lock, so that texts reach the queue in the order they were counted.
    if (!TryQueueOnUi(work)) {
        lock.unlock();
        work();
    }
}

void ForgetQueuedText(HWND hwnd) {
    QueuedTexts& texts = Texts();
    std::lock_guard lock(texts.mutex);
    const auto it = texts.windows.find(hwnd);
    if (it != texts.windows.end()) {
        it->second.lineage = 0;
    }
}

void ForgetQueuedWindow(HWND hwnd) {
    QueuedTexts& texts = Texts();
    std::lock_guard lock(texts.mutex);
    const auto it = texts.windows.find(hwnd);
    if (it != texts.windows.end()) {
        it->second.gone = true;
    }
}

}  // namespace afx_detail
