#include "platform/afx/wnd.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "platform/afx/dialog.h"
#include "platform/afx/queued_text.h"
#include "platform/afx/ui_thread.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_table.h"

using afx_detail::Find;
using afx_detail::OnUi;
using afx_detail::Window;

namespace {

// The messages being handled on this thread, innermost last, for CWnd::Default.
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local std::vector<CurrentMessage> t_messages;

}  // namespace

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A worker moving a caret needs no answer (an edit gives 0), so it need not wait.
    if ((message == EM_SETSEL || message == EM_SCROLLCARET) && !afx_detail::IsUiThread()) {
        afx_detail::QueueOnUi([=] { afx_detail::Dispatch(hwnd, message, wParam, lParam); });
        return 0;
    }
    return OnUi([&] { return afx_detail::Dispatch(hwnd, message, wParam, lParam); });
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!OnUi([&] { return Find(hwnd) != nullptr; })) {
        return FALSE;
    }
    afx_detail::PostToUi(
        [hwnd, message, wParam, lParam] { afx_detail::Dispatch(hwnd, message, wParam, lParam); });
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return OnUi([&] { return Find(hwnd) ? TRUE : FALSE; });
}

BOOL DestroyWindow(HWND hwnd) {
    return OnUi([&] {
        if (!Find(hwnd)) {
            return FALSE;
        }
        afx_detail::DestroyTree(hwnd);
        return TRUE;
    });
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget) {
            return FALSE;
        }
        const BOOL wasVisible = w->widget->isVisible() ? TRUE : FALSE;
        if (cmdShow == SW_HIDE) {
            w->widget->hide();
        } else {
            w->widget->show();
        }
        return wasVisible;
    });
}

BOOL IsWindowVisible(HWND hwnd) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        return w && w->widget && w->widget->isVisible() ? TRUE : FALSE;
    });
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget) {
            return FALSE;
        }
        const BOOL wasDisabled = w->widget->isEnabled() ? FALSE : TRUE;
        w->widget->setEnabled(enable != FALSE);
        return wasDisabled;
    });
}

BOOL IsWindowEnabled(HWND hwnd) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        return w && w->widget && w->widget->isEnabled() ? TRUE : FALSE;
    });
}

BOOL SetWindowPos(HWND hwnd, HWND /*insertAfter*/, int x, int y, int cx, int cy, UINT flags) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget) {
            return FALSE;
        }
        QWidget* widget = w->widget;
        if (!(flags & SWP_NOMOVE)) {
            widget->move(x, y);
        }
        if (!(flags & SWP_NOSIZE)) {
            if (widget->isWindow()) {
                widget->setFixedSize(cx, cy);
            } else {
                widget->resize(cx, cy);
            }
        }
        if (!(flags & SWP_NOZORDER)) {
            widget->raise();
        }
        if (flags & SWP_SHOWWINDOW) {
            widget->show();
        }
        if (flags & SWP_HIDEWINDOW) {
            widget->hide();
        }
        return TRUE;
    });
}

HWND SetFocus(HWND hwnd) {
    return OnUi([&]() -> HWND {
        const HWND previous = GetFocus();
        Window* w = Find(hwnd);
        if (!w || !w->widget) {
            return nullptr;
        }
        w->widget->setFocus(Qt::OtherFocusReason);
        return previous;
    });
}

HWND GetFocus() {
    return OnUi([&]() -> HWND {
        Window* w = afx_detail::FindEnclosing(QApplication::focusWidget());
        return w ? w->hwnd : nullptr;
    });
}

BOOL SetForegroundWindow(HWND hwnd) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget) {
            return FALSE;
        }
        QWidget* top = w->widget->window();
        top->raise();
        top->activateWindow();
        if (!w->widget->isWindow()) {
            w->widget->raise();
        }
        return TRUE;
    });
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget || !rect) {
            return FALSE;
        }
        *rect = RECT{0, 0, w->widget->width(), w->widget->height()};
        return TRUE;
    });
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || !w->widget || !rect) {
            return FALSE;
        }
        const QRect r = w->widget->isWindow()
                            ? w->widget->frameGeometry()
                            : QRect(w->widget->mapToGlobal(QPoint(0, 0)), w->widget->size());
        *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return TRUE;
    });
}

HWND GetParent(HWND hwnd) {
    return OnUi([&]() -> HWND {
        Window* w = Find(hwnd);
        return w ? w->parent : nullptr;
    });
}

HWND GetDlgItem(HWND dialog, int id) {
    return OnUi([&]() -> HWND { return afx_detail::FindChild(dialog, id); });
}

int GetDlgCtrlID(HWND hwnd) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        return w ? w->id : 0;
    });
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    return static_cast<BOOL>(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG GetWindowLongW(HWND hwnd, int index) {
    return OnUi([&]() -> LONG {
        Window* w = Find(hwnd);
        if (!w) {
            return 0;
        }
        switch (index) {
            case GWL_STYLE:
                return static_cast<LONG>(w->style);
            case GWL_EXSTYLE:
                return static_cast<LONG>(w->exStyle);
            case GWL_ID:
                return w->id;
            default:
                return 0;
        }
    });
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC /*proc*/) {
    return OnUi([&]() -> UINT_PTR {
        Window* w = Find(hwnd);
        if (!w) {
            return 0;
        }
        auto& timer = w->timers[id];
        if (!timer) {
            timer = std::make_unique<QTimer>();
            timer->setTimerType(Qt::PreciseTimer);  // never early, as the system's timers
            QObject::connect(timer.get(), &QTimer::timeout,
                             [hwnd, id] { afx_detail::Dispatch(hwnd, WM_TIMER, id, 0); });
        }
        timer->start(afx_detail::ScaledTimerInterval(elapse));
        return id;
    });
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        return w && w->timers.erase(id) > 0 ? TRUE : FALSE;
    });
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return afx_detail::ShowMessageBox(owner, text, caption, type);
}

// CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd) {
        afx_detail::OnUi([&] { afx_detail::ReleaseObject(this); });
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return OnUi([&]() -> CWnd* {
        Window* w = Find(hwnd);
        if (!w) {
            return nullptr;
        }
        if (w->bound) {
            return w->bound;
        }
        if (!w->wrapper) {
            w->wrapper = std::make_unique<CWnd>();
            w->wrapper->m_hWnd = hwnd;
        }
        return w->wrapper.get();
    });
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return OnUi([&]() -> CWnd* {
        Window* w = Find(hwnd);
        return w ? w->bound : nullptr;
    });
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    return OnUi([&] {
        Window* w = Find(hwnd);
        if (!w || w->bound || m_hWnd) {
            return FALSE;
        }
        w->bound = this;
        m_hWnd = hwnd;
        return TRUE;
    });
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    const HWND item = ::GetDlgItem(parent ? parent->m_hWnd : nullptr, static_cast<int>(id));
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    return OnUi([&]() -> HWND {
        const HWND hwnd = m_hWnd;
        if (Window* w = Find(hwnd); w && w->bound == this) {
            w->bound = nullptr;
        }
        m_hWnd = nullptr;
        return hwnd;
    });
}

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) {
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCWSTR text) {
    ::SetWindowTextW(m_hWnd, text);
}

void CWnd::SetWindowText(const CString& text) {
    if (afx_detail::IsUiThread()) {
        SendMessage(afx_detail::WM_AFX_SETCSTRING, 0, reinterpret_cast<LPARAM>(&text));
    } else {
        afx_detail::QueueWindowText(m_hWnd, text);
    }
}

void CWnd::GetWindowText(CString& text) const {
    text = OnUi([&] {
        Window* w = Find(m_hWnd);
        return w ? afx_detail::FromQString(afx_detail::WindowText(*w)) : CString();
    });
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int cmdShow) {
    return ::ShowWindow(m_hWnd, cmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}

CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    // Without a caption the framework's boxes carry the application's title.
    if (!caption && AfxGetApp()) {
        caption = AfxGetApp()->m_pszAppName;
    }
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    if (!afx_detail::IsUiThread()) {
        return OnUi([&] { return UpdateData(saveAndValidate); });
    }
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange* /*dx*/) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    t_messages.push_back({m_hWnd, message, wParam, lParam});
    struct Pop {
        ~Pop() { t_messages.pop_back(); }
    } pop;
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(m_hWnd);
    return w ? afx_detail::DefaultProc(*w, message, wParam, lParam) : 0;
}

LRESULT CWnd::Default() {
    if (t_messages.empty()) {
        return 0;
    }
    const CurrentMessage m = t_messages.back();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        return OnCommand(wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        return OnNotify(wParam, lParam, result);
    }
    if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0)) {
        *result = entry->pfn(this, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (!entry) {
        return FALSE;
    }
    entry->pfn(this, wParam, 0);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) {
        return FALSE;
    }
    if (CWnd* child = FromHandlePermanent(header->hwndFrom);
        child && child->OnChildNotify(WM_NOTIFY, wParam, lParam, result)) {
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (!entry) {
        return FALSE;
    }
    *result = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* /*result*/) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const UINT code = message == WM_NOTIFY && header ? header->code : 0;
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + message, code, 0);
    return entry && entry->pfn(this, wParam, lParam) ? TRUE : FALSE;
}

void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnTimer(UINT_PTR /*id*/) {
    Default();
}

void CWnd::OnLButtonDown(UINT /*flags*/, CPoint /*point*/) {
    Default();
}
