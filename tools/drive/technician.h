// Driving the tool's main dialog through every page as a technician would, against the
// simulated terminal: the tour and the end-to-end tests share this.
//
// Each page's round returns a verdict: whether what the technician did had the effect that
// shows on the page and at the device, and what was seen.
#pragma once

#include <functional>
#include <string>

#include "app/test_dlg.h"
#include "tools/drive/controls.h"
#include "tools/drive/waits.h"
#include "tools/sim/terminal.h"

namespace drive {

struct Verdict {
    std::string page;
    bool ok = false;
    std::string detail;
};

class Technician {
public:
    Technician(sim::SimulatedTerminal& terminal, CTestDlg& dialog);

    // Sends the default text, the hex bytes 1B 40, a file (written into folder) and a few
    // rounds of auto send; the printer must print each.
    Verdict Printer(const std::string& folder);
    // Chooses Track1,2, switches automatic receiving on, swipes the test card: its tracks
    // must show on the Card page and not on the Printer page.
    Verdict Card();
    // Presses special keys and a letter on the KeyBoard page and reads the names shown.
    Verdict Keyboard();
    // Scans a code: it must show on the Barcode page; soundBytes() tells how much sound has
    // been played so far (0 when it cannot be known).
    Verdict Barcode(const std::function<size_t()>& soundBytes);
    // Launches the link configuration utility: it must run (it notes its name in a file in
    // folder), the tool hides while it runs and comes back.
    Verdict Other(const std::string& folder);

    // Shows the tab's page and saves a picture of the whole dialog.
    bool Screenshot(int tab, const std::string& path);
    // How many times the printer has printed the line.
    int Printed(const std::string& line) const;

    // The shared helpers on this dialog, for driving it between rounds.
    void ClickTab(int index) { drive::ClickTab(m_dialog.m_tab, index); }
    void Click(const CWnd& page, int id) { drive::Click(page, id); }
    void SetText(const CWnd& page, int id, LPCWSTR text) { drive::SetText(page, id, text); }
    static CString Text(const CWnd& page, int id) { return drive::Text(page, id); }
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
        return drive::WaitUntil(condition, timeoutMs);
    }

private:
    sim::SimulatedTerminal& m_terminal;
    CTestDlg& m_dialog;
};

}  // namespace drive
