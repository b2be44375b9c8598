// A long job with a progress window.
//
// Run starts Work on a worker thread and waits for it on the user-interface thread, serving
// window calls. A job that ends within the delay shows nothing; a longer one gets a modal
// window with the caption, the text (its %1 and %2 replaced by the amounts done and in all),
// a bar and a Cancel button. Cancel sets IsCanceled, which Work is to look at between steps,
// and calls OnCancel on the user-interface thread (to end a step that blocks), again at each
// refresh until Work returns, for a step that began just as Cancel came. The window closes
// when Work returns; Run returns then.
#pragma once

#include <atomic>

#include "platform/afx/wnd.h"

class CProgressJob {
public:
    virtual ~CProgressJob() = default;

    // FALSE when the job was canceled.
    BOOL Run(CWnd* owner, LPCWSTR caption, LPCWSTR text, DWORD delayMs);

    BOOL IsCanceled() const { return m_canceled ? TRUE : FALSE; }
    // Any thread.
    void SetProgress(ULONGLONG done, ULONGLONG total);

protected:
    virtual void Work() = 0;
    virtual void OnCancel() {}

private:
    static UINT Entry(LPVOID job);

    std::atomic<bool> m_canceled{false};
    std::atomic<ULONGLONG> m_done{0};
    std::atomic<ULONGLONG> m_total{0};
};
