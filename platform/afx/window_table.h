// The framework's record of every window: its widget, kind, id, styles and bound object.
// User-interface thread only.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

#include "platform/afx/wnd.h"

class QTimer;

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
    QString text;                   // the window text exactly as set
    std::uint64_t textLineage = 0;  // text views: the growing text they show (CString::Lineage)
    std::map<UINT_PTR, std::unique_ptr<QTimer>> timers;
    HICON icons[2] = {nullptr, nullptr};
    QSize baseUnits;  // dialogs: the dialog font's average width and height
};

// Enters a widget; the record lives until Forget or the widget's destruction.
Window& Register(QWidget* widget, Kind kind, int id, DWORD style, DWORD exStyle, HWND parent);
Window* Find(HWND hwnd);
// The record of the widget or of its nearest registered ancestor; with withinWindow, the
// search ends at the widget's window (a pop-up list is not its combo box).
Window* FindEnclosing(const QWidget* widget, bool withinWindow = false);
void Forget(HWND hwnd);

// The child of a dialog with the control id, or 0.
HWND FindChild(HWND dialog, int id);

// Unbinds a CWnd that goes away; a window it created goes with it, without messages.
void ReleaseObject(CWnd* wnd);

// WM_SETTEXT with a CString (lParam: const CString*), so text views can append.
constexpr UINT WM_AFX_SETCSTRING = 0x0363;

// Text views: appends tail when the view shows the first base characters of the text of
// that lineage; false, changing nothing, when it does not.
bool AppendViewText(Window& window, std::uint64_t lineage, int base, std::u16string_view tail);
// A text that a worker queued (a copy, so the lineage of the original comes with it): a text
// view takes only what it lacks.
void SetQueuedText(Window& window, const CString& text, std::uint64_t lineage);

// The window text as the system keeps it (statics with their "&&", edits with CR LF).
QString WindowText(const Window& window);
void SetWindowTextOf(Window& window, const QString& text);

// What a handle is, for the dialog keys; false for no window. Any thread.
bool IsEditWindow(HWND hwnd);
bool IsPushButton(HWND hwnd);
// Whether the control shows exactly this text (as a text view fed with it does). Any thread.
bool ShowsText(HWND control, const CString& text);

// Timer intervals as they run (tests may speed the clock up).
int ScaledTimerInterval(UINT milliseconds);

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Sends a message to the window's bound object or its default procedure (UI thread).
LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The window kind's own handling of a message.
LRESULT DefaultProc(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys a window: WM_DESTROY to it and then to its descendants, timers stopped, bound
// objects released (m_hWnd cleared, PostNcDestroy), widgets deleted.
void DestroyTree(HWND hwnd);

// The Qt event being turned into the message in progress, for the default procedure.
class QtEventScope {
public:
    explicit QtEventScope(QEvent* event);
    ~QtEventScope();
    static QEvent* Current();

private:
    QEvent* m_previous;
};

QString ToQString(LPCWSTR text);
QString ToQString(const CString& text);
CString FromQString(const QString& text);

}  // namespace afx_detail
