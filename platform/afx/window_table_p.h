// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The framework's record of every window: its widget, kind, id, styles and bound object.
// Handles are never reused. User-interface thread only, except OnWindow and OnWidget, which
// take any thread there.
#pragma once

#include <QMargins>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/afx/ui_thread_p.h"
#include "platform/afx/wnd.h"

class QTimer;
struct AfxDialogTemplate;

namespace afx_detail {

enum class Kind {
    Dialog,
    PushButton,
    CheckBox,
    LineEdit,  // single-line edit
    TextEdit,  // editable multi-line edit
    TextView,  // read-only multi-line edit
    Static,
    ComboBox,
    TabControl,
};

// Where a window was put inside its parent, kept so that it can be put there again when the
// dialog's units change (placement.cpp).
struct Placement {
    enum class Anchor {
        None,      // left where it is
        Units,     // the rectangle in the enclosing dialog's units
        TabPanel,  // distances in pixels: left and top to the first tab's left edge and bottom,
                   // right and bottom to the tab control's edges
    };
    Anchor anchor = Anchor::None;
    QRectF units;
    QMargins panel;
};

struct Window {
    HWND hwnd = nullptr;
    QPointer<QWidget> widget;
    Kind kind = Kind::Dialog;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    CWnd* bound = nullptr;    // sees the messages first (created or subclassed)
    CWnd* creator = nullptr;  // created the window: the widgets go with it
    std::unique_ptr<CWnd> wrapper;
    QString text;  // the window text exactly as set (a text view keeps its own, once)
    std::map<UINT_PTR, std::unique_ptr<QTimer>> timers;
    HICON icons[2] = {nullptr, nullptr};
    Placement placement;
    // Dialogs: pixels per 4 horizontal and 8 vertical dialog units (fractional where the
    // dialog fills a size it was given), and the template it was built from.
    QSizeF baseUnits;
    const AfxDialogTemplate* dialogTemplate = nullptr;
    // Top-level dialogs: the caption row the dialog draws itself where no window manager
    // draws one (caption_row_p.h), and the window size the units were last fitted to.
    QPointer<QWidget> caption;
    int captionHeight = 0;
    QSize fitted;
};

// Enters a widget; the record lives until Forget or the widget's destruction.
Window& Register(QWidget* widget, Kind kind, int id, DWORD style, DWORD exStyle, HWND parent);
Window* Find(HWND hwnd);
// The record of the widget or of its nearest registered ancestor; with withinWindow, the
// search ends at the widget's window (a pop-up list is not its combo box).
Window* FindEnclosing(const QWidget* widget, bool withinWindow = false);
// Drops the record: its timers stop and its bound object is released (m_hWnd cleared,
// PostNcDestroy). The widget is left alone.
void Forget(HWND hwnd);

// The window and its descendants, each after its parent.
std::vector<Window*> Descendants(HWND hwnd);

// The child of a dialog with the control id, or 0.
HWND FindChild(HWND dialog, int id);

// Unbinds a CWnd that goes away; a window it created goes with it, without messages.
void ReleaseObject(CWnd* wnd);

// Destroys a window: WM_DESTROY to it and then to its descendants, timers stopped, bound
// objects released (m_hWnd cleared, PostNcDestroy), widgets deleted.
void DestroyTree(HWND hwnd);

// At the framework's end, before the application object goes: what windows are left go as
// ReleaseObject lets them (records, timers and widgets, without messages).
void ForgetAllWindows();

// What a handle is, for the dialog keys; false for no window. Any thread.
bool IsEditWindow(HWND hwnd);
bool IsPushButton(HWND hwnd);

// Runs fn(window) on the user-interface thread with the record of the handle's window, as a
// sent message does (see ui_thread_p.h), and hands back its result; failValue, without
// calling fn, when the handle names no window (0, destroyed). Any thread.
template <class F, class R = std::invoke_result_t<F&, Window&>>
R OnWindow(HWND hwnd, std::type_identity_t<R> failValue, F&& fn) {
    return OnUi([&]() -> R {
        Window* w = Find(hwnd);
        return w ? fn(*w) : failValue;
    });
}

// The same for operations on the widget: fn(widget); failValue also when the window's
// widget is gone already (while it is being destroyed).
template <class F, class R = std::invoke_result_t<F&, QWidget&>>
R OnWidget(HWND hwnd, std::type_identity_t<R> failValue, F&& fn) {
    return OnWindow(hwnd, failValue,
                    [&](Window& w) -> R { return w.widget ? fn(*w.widget) : failValue; });
}

}  // namespace afx_detail
