#include "platform/afx/key_filter_p.h"

#include <QApplication>
#include <QKeyEvent>

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
    msg.wParam = VirtualKeyOf(key->key());
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

WPARAM VirtualKeyOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<WPARAM>(key);  // the same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return VK_F1 + static_cast<WPARAM>(key - Qt::Key_F1);
    }
    switch (key) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_Print:
            return 0x2C;
        case Qt::Key_Menu:
            return 0x5D;
        case Qt::Key_NumLock:
            return 0x90;
        case Qt::Key_ScrollLock:
            return 0x91;
        case Qt::Key_Semicolon:
        case Qt::Key_Colon:
            return 0xBA;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return 0xBB;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return 0xBC;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return 0xBD;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return 0xBE;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return 0xBF;
        default:
            return 0;
    }
}

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
