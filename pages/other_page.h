// The "Other" page: starts the terminal's device utilities and waits for each.
//
// A click composes the utility's path from the application directory and, when the file is
// there (or, for four of them, in a fallback folder), launches it, hides the tool while it
// runs and brings the tool back to the front when it ends.
#pragma once

#include "platform/afx/afx.h"
#include "res/resource.h"

// Whether a file search finds the path. Paths as long as the system's limit (MAX_PATH
// characters with the terminator) or longer count as missing: they are never cut short.
bool FileExists(LPCWSTR path);

// Launches the program at path and waits for its end with the main window hidden; false
// only when the file does not exist.
bool LaunchAndWait(LPCWSTR path);

class COtherPage : public CDialog {
public:
    COtherPage();
    ~COtherPage() override = default;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnCamera();
    void OnPowerGauge();
    void OnBackLight();
    void OnLinkConfig();
    void OnRadioProbe();

    DECLARE_MESSAGE_MAP()

private:
    // Launches the first path, or the fallback when the first file is missing; then brings
    // this page to the front.
    void Launch(LPCWSTR first, LPCWSTR fallback);
};
