#include "pages/other_page.h"

#include "app/app_dir.h"

BEGIN_MESSAGE_MAP(COtherPage, CDialog)
ON_BN_CLICKED(IDC_CAMERA, OnCamera)
ON_BN_CLICKED(IDC_POWER_GAUGE, OnPowerGauge)
ON_BN_CLICKED(IDC_BACK_LIGHT, OnBackLight)
ON_BN_CLICKED(IDC_LINK_CONFIG, OnLinkConfig)
ON_BN_CLICKED(IDC_RADIO_PROBE, OnRadioProbe)
END_MESSAGE_MAP()

bool FileExists(LPCWSTR path) {
    if (std::char_traits<WCHAR>::length(path) >= MAX_PATH) {
        return false;  // the system could not hold it; a shortened path would be another file
    }
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(find);
    return true;
}

bool LaunchAndWait(LPCWSTR path) {
    if (!FileExists(path)) {
        return false;
    }
    SHELLEXECUTEINFO request;
    memset(&request, 0, sizeof request);
    request.cbSize = SHELLEXECUTEINFO_TERMINAL_SIZE;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = nullptr;
    request.lpVerb = _T("open");
    request.lpFile = path;
    request.lpParameters = nullptr;
    request.lpDirectory = nullptr;
    request.nShow = SW_SHOWNORMAL;
    ShellExecuteEx(&request);

    CWnd* main = AfxGetMainWnd();
    if (main) {
        main->ShowWindow(SW_HIDE);
    }
    // The wait keeps serving the readers' and auto send's window calls; when nothing was
    // started the handle is 0 and it returns at once.
    WaitForSingleObject(request.hProcess, INFINITE);
    if (main) {
        main->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(main->m_hWnd);
    }
    if (request.hProcess) {
        CloseHandle(request.hProcess);
    }
    return true;
}

COtherPage::COtherPage() : CDialog(IDD_OTHER) {}

void COtherPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

void COtherPage::Launch(LPCWSTR first, LPCWSTR fallback) {
    CString path;
    path.Format(first, g_strAppDir);
    if (!LaunchAndWait(path) && fallback) {
        path.Format(fallback, g_strAppDir);
        LaunchAndWait(path);
    }
    ::SetForegroundWindow(m_hWnd);
}

void COtherPage::OnCamera() {
    Launch(_T("%s\\SnapTool.exe"), nullptr);
}

void COtherPage::OnPowerGauge() {
    Launch(_T("%s\\PowerGauge.exe"), _T("%s\\应用程序打包\\PowerGauge.exe"));
}

void COtherPage::OnBackLight() {
    Launch(_T("%s\\LampDimmer.exe"), _T("%s\\应用程序打包\\LampDimmer.exe"));
}

void COtherPage::OnLinkConfig() {
    Launch(_T("%s\\LinkConfig.exe"), _T("%s\\应用程序打包\\LinkConfig.exe"));
}

void COtherPage::OnRadioProbe() {
    Launch(_T("%s\\Radio Probe.exe"), _T("%s\\Radio probe test\\Radio Probe.exe"));
}
