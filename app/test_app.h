// The application object: records the application directory and runs the main dialog.
#pragma once

#include "platform/afx/afx.h"

class CTestApp : public CWinApp {
public:
    CTestApp();
    ~CTestApp() override = default;

    // Runs the main dialog modally; always FALSE, so the program ends when it closes.
    BOOL InitInstance() override;
};

extern CTestApp theApp;
