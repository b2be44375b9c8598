#include "platform/afx/winapp.h"

#include <QApplication>

#include "platform/afx/input_panel.h"
#include "platform/afx/input_panel_p.h"
#include "platform/afx/key_filter_p.h"
#include "platform/afx/message_box_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/termination_p.h"
#include "platform/afx/thread_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/module.h"

namespace {

CWinApp* g_app = nullptr;

// The executable's file name without folder and extension.
CString TitleFromModule() {
    CString path;
    GetModuleFileNameW(nullptr, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer();
    CString name = path.Mid(path.ReverseFind(u'\\') + 1);
    const int dot = name.ReverseFind(u'.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    return QApplication::exec();
}

int CWinApp::ExitInstance() {
    return 0;
}

HICON CWinApp::LoadIcon(UINT id) const {
    return LoadIconW(m_hInstance, MAKEINTRESOURCE(id));
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app ? g_app->m_hInstance : nullptr;
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT /*helpId*/) {
    CWnd* main = AfxGetMainWnd();
    const LPCWSTR title = g_app ? g_app->m_pszAppName : nullptr;
    return afx_detail::ShowMessageBox(main ? main->m_hWnd : nullptr, text, title, type);
}

void AfxInitFramework() {
    afx_detail::StartUiThread();
    afx_detail::InstallKeyFilter();
    afx_detail::InstallInputPanel();
    if (g_app && !g_app->m_pszAppName) {
        g_app->m_title = TitleFromModule();
        g_app->m_pszAppName = g_app->m_title;
    }
    // Qt names windows by it: the Wayland app_id, the X11 desktop file property.
    if (g_app && g_app->m_pszAppID) {
        QGuiApplication::setDesktopFileName(afx_detail::ToQString(g_app->m_pszAppID));
    }
}

void AfxTermFramework() {
    afx_detail::JoinAllThreads();
    afx_detail::ForgetAllWindows();
    afx_detail::RemoveInputPanel();
    afx_detail::RemoveKeyFilter();
    afx_detail::StopUiThread();
}

int AfxWinMain(int argc, char** argv) {
    AfxPrepareInputPanel();
    QApplication application(argc, argv);
    AfxInitFramework();
    afx_detail::CloseMainWindowOnTermination();
    int result = 0;
    if (g_app) {
        if (g_app->InitInstance()) {
            result = g_app->Run();
        }
        const int exitCode = g_app->ExitInstance();
        result = result ? result : exitCode;
    }
    AfxTermFramework();
    return result;
}
