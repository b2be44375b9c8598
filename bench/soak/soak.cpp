// rv4417-soak: RV4417Test's main dialog against the simulated terminal for hours.
//
// The Printer page sends its text every 20 ms and the simulated printer prints it; the card
// is swiped every second with the Card page receiving; the scanner's trigger key is pressed
// every two seconds and the Barcode page shows the code and plays its confirmation sound
// (into an ALSA file sink). Every sample interval prints one line: memory, CPU, open
// descriptors and threads, and what each device sent against what the pages show. At the end
// the dialog is closed and a summary printed; the exit status is 0 only when nothing was lost
// and the tool kept answering (1: a fault, 2: the tool hung, 64: bad arguments).
//
//   rv4417-soak [MINUTES] [--minutes M] [--sample-seconds S] [--warm-up-seconds S]
//               [--stall-limit-ms MS] [--hang-seconds S] [--max-growth-mb-per-hour MB]
//               [--terminal-log FILE]
//
// The simulated terminal runs in this process on threads named rv4417-sim, whose CPU is
// counted apart from the tool's. Its printer keeps every line it printed in this process's
// memory; the summary counts that, and the text the pages hold, as held rather than leaked.
// Ctrl+C ends the run early, with the summary.
//
// This file sets the run up and ends it; options.cpp reads the command line, watchers.*
// watch the terminal and the tool, sampling.cpp takes the samples, verdicts.cpp sums up.
#include <pthread.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_dir.h"
#include "bench/soak/soak.h"
#include "bench/soak/watchers.h"
#include "platform/win/module.h"
#include "tests/support/alsa_sink.h"
#include "tests/support/temp_dir.h"
#include "tools/drive/technician.h"

CWinApp g_soakApp;

namespace soak {

namespace {

void PrintPlan(const Options& options) {
    std::printf(
        "rv4417-soak: %.1f min, a sample every %.0f s, warm-up %.0f s; auto send every "
        "%d ms, a swipe every %.0f s, a scan every %.0f s\n",
        options.minutes, options.sampleSeconds, options.warmUpSeconds, options.autoSendMs,
        options.swipeEverySeconds, options.scanEverySeconds);
    std::fflush(stdout);
}

// Each device once, as the tour does, before the long run (a soak of a tool that does not
// work at all would only measure its idling), then auto send at its interval and the Card
// page receiving. Prints a line per step; a step that failed is a fault.
void SetUp(const Options& options, drive::Technician& technician, CTestDlg& dialog,
           TerminalEvents& events, const rvtest::AlsaFileSink& sink, const std::string& folder,
           Tally& tally) {
    std::vector<drive::Verdict> setup;
    setup.push_back(technician.Printer(folder));
    setup.push_back(technician.Barcode([&] { return sink.Played().size(); }));

    CPrinterPage& printer = dialog.m_pagePrinter;
    technician.ClickTab(0);
    CString interval;
    interval.Format(_T("%d"), options.autoSendMs);
    technician.SetText(printer, IDC_INTERVAL, interval);
    events.StartCounting();
    technician.Click(printer, IDC_AUTO_SEND);
    drive::Verdict autoSend{"Auto send", false, "auto send did not start printing"};
    autoSend.ok = technician.WaitUntil([&] {
        return drive::Technician::Text(printer, IDC_AUTO_SEND) == _T("Stop") &&
               events.Printed() >= 3;
    });
    setup.push_back(autoSend);
    // Track1,2 and automatic receiving; the Card tab stays selected, so COM0's data goes
    // to the Card page while auto send goes on (only other tabs stop it).
    setup.push_back(technician.Card());
    for (const drive::Verdict& v : setup) {
        std::printf("setup  %s  %s: %s\n", v.ok ? "PASS" : "FAIL", v.page.c_str(),
                    v.detail.c_str());
        if (!v.ok) {
            tally.faults.push_back("setup: " + v.page + ": " + v.detail);
        }
    }
    std::fflush(stdout);
}

// What is in flight arrives within moments; swipes and scans go on meanwhile, so the counts
// are compared afresh until they agree. Then the final counts go to the tally.
void Settle(const Watched& watched, CTestDlg& dialog, Tally& tally) {
    PageWatch& pages = watched.pages;
    tally.settled = RunUntil(
        [&] {
            pages.Update();
            return pages.Swipes() == watched.events.Swipes() &&
                   pages.Codes() == watched.terminal.CodesDelivered() &&
                   watched.sounds.Count() == kSoundsPerCode * pages.Codes();
        },
        5);
    tally.swipesSent = watched.events.Swipes();
    tally.swipesShown = pages.Swipes();
    tally.brokenSwipes = pages.BrokenSwipes();
    tally.firstBroken = pages.FirstBroken();
    tally.codesSent = watched.terminal.CodesDelivered();
    tally.codesShown = pages.Codes();
    tally.codesOutOfOrder = pages.CodesOutOfOrder();
    tally.autoSendRan = drive::Technician::Text(dialog.m_pagePrinter, IDC_AUTO_SEND) == _T("Stop");
    if (pages.Emptied()) {
        tally.faults.emplace_back("a page's received text was emptied during the run");
    }
}

// Closes the dialog as the user does; its threads must end with it, and every sound played
// must have been played whole.
void Close(CTestDlg& dialog, SoundFiles& sounds, Tally& tally) {
    const auto closing = Clock::now();
    dialog.DestroyWindow();
    g_soakApp.m_pMainWnd = nullptr;
    tally.closeSeconds = std::chrono::duration<double>(Clock::now() - closing).count();
    tally.threadsEnded = dialog.m_recvThread == nullptr &&
                         dialog.m_pagePrinter.m_autoSendThread == nullptr &&
                         dialog.m_pageBarcode.m_recvThread == nullptr;
    RunFor(0.2);
    tally.sounds = sounds.Count();
    sounds.CheckSizes(true);
    tally.partialSounds = sounds.Partial();
    tally.soundBytes = sounds.Size();
}

// The whole run with the simulated terminal and the dialog: set-up, sampling, settling and
// closing, watched for hangs throughout.
void Run(const Options& options, TerminalEvents& events, const rvtest::AlsaFileSink& sink,
         const std::string& folder, Tally& tally) {
    sim::TerminalOptions terminalOptions;
    terminalOptions.swipeEverySeconds = options.swipeEverySeconds;
    terminalOptions.scanEverySeconds = options.scanEverySeconds;
    terminalOptions.logBytes = false;  // events only: 50 printed lines a second are plenty
    // The terminal's threads take the name they are created under.
    pthread_setname_np(pthread_self(), kSimThread);
    sim::SimulatedTerminal terminal(terminalOptions,
                                    [&](const std::string& line) { events.OnLine(line); });
    pthread_setname_np(pthread_self(), kSoakThread);
    setenv("RV4417_DEVICES", terminal.DeviceDirectory().c_str(), 1);

    UiProbe probe;
    Watchdog watchdog(probe, options.hangSeconds, [&] { events.Flush(); });
    CTestDlg dialog;
    g_soakApp.m_pMainWnd = &dialog;
    dialog.Create(IDD_RV4417TEST_DIALOG);
    drive::Technician technician(terminal, dialog);
    technician.WaitUntil([] { return false; }, 300);
    SetUp(options, technician, dialog, events, sink, folder, tally);

    PageWatch pages(dialog, terminal);
    SoundFiles sounds(sink.Output());
    const Watched watched{events, terminal, pages, sounds, probe};
    watchdog.Phase("soaking");
    SampleUntilEnd(options, watched, tally);
    watchdog.Phase("settling");
    Settle(watched, dialog, tally);
    watchdog.Phase("closing the dialog");
    Close(dialog, sounds, tally);
    watchdog.Phase("ending");
}

}  // namespace

}  // namespace soak

int main(int argc, char** argv) {
    using namespace soak;
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status != 0) {
        return status;
    }
    pthread_setname_np(pthread_self(), kSoakThread);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    rvtest::AlsaFileSink sink;  // before the first sound: ALSA reads its configuration once
    rvtest::TempDir folder;
    CatchInterruptions();

    QApplication application(argc, argv);
    AfxInitFramework();
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);  // beside the program: the sound
    RecordAppDir(path);

    TerminalEvents events(kSampleText, options.terminalLog);
    PrintPlan(options);
    Tally tally;
    Run(options, events, sink, folder.path().string(), tally);
    AfxTermFramework();

    tally.otherLines = events.OtherLines();
    tally.firstOtherLines = events.FirstOtherLines();
    tally.longestGapMs = events.LongestGapMs();
    tally.interrupted = Interrupted();
    return Verdict(options, tally);
}
