#include "app/test_app.h"

#include "app/app_dir.h"
#include "app/test_dlg.h"

CTestApp theApp;

// The id of the desktop entry installed with the program (data/).
CTestApp::CTestApp() {
    SetAppID(_T("org.rv4417.rv4417test"));
}

BOOL CTestApp::InitInstance() {
    WCHAR path[MAX_PATH] = {};  // stays empty when the path cannot be had
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    RecordAppDir(path);

    CTestDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
