// The application object and the program's entry.
//
// The program defines one CWinApp-derived object with static lifetime. The entry (main, in
// the afx_main library) creates the Qt application, gives the object its title (the
// executable's file name without folder and extension, unless it was constructed with a
// name) and its windows the application's id (SetAppID), runs InitInstance, then Run when
// InitInstance returned TRUE, and ExitInstance.
#pragma once

#include "platform/afx/wnd.h"

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // Runs the event loop until the main window is gone; its result is the exit code.
    virtual int Run();
    virtual int ExitInstance();

    HICON LoadIcon(UINT id) const;
    // The application's id, before the framework starts: the id of its desktop entry
    // ("org.example.Tool" for org.example.Tool.desktop), by which a desktop or a compositor
    // matches its windows with the entry and the entry's icon.
    void SetAppID(LPCWSTR appId) { m_pszAppID = appId; }

    CWnd* m_pMainWnd = nullptr;
    LPCWSTR m_pszAppName = nullptr;  // the title: the caption of the application's message boxes
    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppID = nullptr;

private:
    friend void AfxInitFramework();
    CString m_title;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();

// A message box owned by the application's main window, with the application's title.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);

// The program's entry; main() calls it.
int AfxWinMain(int argc, char** argv);

// For a program (or a test) that has made its QApplication itself: starts the framework's
// services on the calling thread, which becomes the user-interface thread, and gives the
// application object its title. AfxTermFramework waits for the worker threads still
// running, lets go of the windows left (their timers and widgets) and stops the services,
// before the QApplication goes.
void AfxInitFramework();
void AfxTermFramework();
