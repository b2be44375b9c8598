#include "platform/afx/receive_text.h"

#include <algorithm>
#include <string>

#include "platform/afx/gui_types.h"

void AfxGrowSharedText(CCriticalSection& lock, const std::function<CString*()>& target, int room,
                       int slice) {
    if (room <= 0 || slice <= 0) {
        return;
    }
    const auto extra = static_cast<size_t>(room);
    const auto step = static_cast<size_t>(slice);
    CString* text = nullptr;
    std::uint64_t lineage = 0;
    size_t wanted = 0;
    {
        CSingleLock hold(&lock, TRUE);
        text = target();
        if (!text) {
            return;
        }
        const std::u16string& now = text->str();
        if (now.capacity() - now.size() >= extra || now.size() <= step) {
            return;
        }
        lineage = text->Lineage();
        wanted = std::max(2 * now.capacity(), now.size() + extra);
    }
    // Allocated outside the lock; the pages are touched slice by slice as they are filled.
    std::u16string grown;
    grown.reserve(wanted);
    for (;;) {
        CSingleLock hold(&lock, TRUE);
        // Same text, same lineage: it only grew, so what was copied is still its beginning.
        if (target() != text || text->Lineage() != lineage) {
            return;
        }
        const std::u16string& now = text->str();
        if (now.size() + extra > grown.capacity()) {
            return;  // it outgrew the new room meanwhile: copying on would reallocate
        }
        const size_t left = now.size() - grown.size();
        grown.append(now, grown.size(), std::min(left, step));
        if (left <= step) {
            text->AdoptRoom(std::move(grown));
            return;
        }
    }
}

void AfxAppendAndShow(CString& text, const CString& chunk, CEdit& box) {
    text += chunk;
    box.SetWindowText(text);
    const int n = text.GetLength();
    box.SendMessage(EM_SETSEL, static_cast<WPARAM>(n - 1), n);
    box.SendMessage(EM_SCROLLCARET, 0, 0);
}
