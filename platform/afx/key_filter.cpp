#include "platform/afx/key_filter_p.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/afx/virtual_keys_p.h"
#include "platform/afx/window_table_p.h"

namespace afx_detail {

namespace {

class KeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;
};

KeyFilter* g_filter = nullptr;

// The widget a key event is delivered to first: the focus widget, or a window without one.
// Qt shows the filter each delivery (the window, the focus widget, parents it propagates to).
bool IsFirstReceiver(QObject* target) {
    if (!target->isWidgetType()) {
        return false;
    }
    const QWidget* focus = QApplication::focusWidget();
    return focus ? target == focus : static_cast<QWidget*>(target)->isWindow();
}

bool Offer(QKeyEvent* key, QWidget* target) {
    const Window* window = FindEnclosing(target, true);
    if (!window) {
        return false;
    }
    const bool down = key->type() == QEvent::KeyPress;
    const bool alt = key->modifiers() & Qt::AltModifier;
    MSG msg{};
    msg.hwnd = window->hwnd;
    msg.message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    msg.wParam = VirtualKeyOf(*key);
    const DWORD scan = key->nativeScanCode() & 0xFF;
    DWORD flags = 1 | (scan << 16);  // repeat count 1
    if (key->isAutoRepeat() || !down) {
        flags |= 1u << 30;  // the key was down before
    }
    if (!down) {
        flags |= 1u << 31;
    }
    msg.lParam = static_cast<LPARAM>(flags);
    // A handler may destroy windows on the way: each step looks its window up afresh.
    for (HWND hwnd = msg.hwnd; hwnd;) {
        const Window* w = Find(hwnd);
        if (!w) {
            return true;  // the window went away while handling the key: it was used
        }
        const HWND parent = w->parent;
        if (w->bound && w->bound->PreTranslateMessage(&msg)) {
            return true;
        }
        hwnd = parent;
    }
    return false;
}

bool KeyFilter::eventFilter(QObject* target, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (!IsFirstReceiver(target) || (key->type() == QEvent::KeyRelease && key->isAutoRepeat())) {
        return false;
    }
    return Offer(key, static_cast<QWidget*>(target));
}

}  // namespace

void InstallKeyFilter() {
    if (!g_filter) {
        g_filter = new KeyFilter(qApp);
        qApp->installEventFilter(g_filter);
    }
}

void RemoveKeyFilter() {
    if (g_filter) {
        qApp->removeEventFilter(g_filter);
        delete g_filter;
        g_filter = nullptr;
    }
}

}  // namespace afx_detail
