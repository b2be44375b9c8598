#include "app/test_app.h"

#include "app/app_dir.h"
#include "app/test_dlg.h"

CTestApp theApp;

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
