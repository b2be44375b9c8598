#include "platform/afx/termination_p.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <atomic>

#include "platform/afx/winapp.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/termination_p.h"
#include "platform/win/trace.h"
#include "platform/win/wait_p.h"

namespace afx_detail {

namespace {

std::atomic<int> g_requests{-1};
std::atomic<bool> g_underWay{false};

void CloseWhatWaitsForTheUser(QWidget* main) {
    // A rejected dialog leaves the modal stack at once; the bound is only a safeguard.
    for (int i = 0; i < 16; ++i) {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || modal == main || !modal->isVisible()) {
            return;
        }
        modal->reject();
    }
}

}  // namespace

void CloseMainWindowOnTermination() {
    const int fd = win_detail::TerminationRequests();
    if (fd < 0 || !qApp) {
        return;
    }
    g_requests = fd;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { ServeTerminationRequest(); });
}

int TerminationRequestFd() {
    return g_requests;
}

bool ServeTerminationRequest() {
    const int signal = win_detail::TakeTerminationRequest();
    if (signal == 0) {
        return false;
    }
    RV_TRACE(TraceChannel::Ui, "signal %d: closing the main window", signal);
    g_underWay = true;
    win_detail::EndWaitsForOtherPrograms();
    CWnd* main = AfxGetMainWnd();
    Window* window = main ? Find(main->m_hWnd) : nullptr;
    CloseWhatWaitsForTheUser(window ? window->widget.data() : nullptr);
    if (main && main->m_hWnd) {
        // Posted: the boxes and waits ended above return first, then the caption's button
        // acts.
        ::PostMessageW(main->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else {
        QCoreApplication::quit();
    }
    return true;
}

bool TerminationUnderWay() {
    return g_underWay;
}

}  // namespace afx_detail
