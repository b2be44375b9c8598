#include "platform/afx/wnd.h"

#include <vector>

#include "platform/afx/data_exchange.h"
#include "platform/afx/dispatch_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_table_p.h"
#include "platform/afx/window_text_p.h"

using afx_detail::Find;
using afx_detail::OnUi;
using afx_detail::OnWindow;
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

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd) {
        afx_detail::OnUi([&] { afx_detail::ReleaseObject(this); });
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return OnWindow(hwnd, nullptr, [hwnd](Window& w) -> CWnd* {
        if (w.bound) {
            return w.bound;
        }
        if (!w.wrapper) {
            w.wrapper = std::make_unique<CWnd>();
            w.wrapper->m_hWnd = hwnd;
        }
        return w.wrapper.get();
    });
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return OnWindow(hwnd, nullptr, [](const Window& w) { return w.bound; });
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    return OnWindow(hwnd, FALSE, [&](Window& w) {
        if (w.bound || m_hWnd) {
            return FALSE;
        }
        w.bound = this;
        m_hWnd = hwnd;
        return TRUE;
    });
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    const HWND item = ::GetDlgItem(parent ? parent->m_hWnd : nullptr, static_cast<int>(id));
    return item ? SubclassWindow(item) : FALSE;
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

void CWnd::GetWindowText(CString& text) const {
    text = OnWindow(m_hWnd, CString(), [](const Window& w) {
        return afx_detail::FromQString(afx_detail::WindowText(w));
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
