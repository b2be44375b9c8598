#include "platform/afx/termination_p.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#include "platform/afx/winapp.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/termination_p.h"
#include "platform/win/trace.h"

namespace afx_detail {

namespace {

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
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        const int signal = win_detail::TakeTerminationRequest();
        if (signal == 0) {
            return;
        }
        RV_TRACE(TraceChannel::Ui, "signal %d: closing the main window", signal);
        CWnd* main = AfxGetMainWnd();
        Window* window = main ? Find(main->m_hWnd) : nullptr;
        CloseWhatWaitsForTheUser(window ? window->widget.data() : nullptr);
        if (main && main->m_hWnd) {
            // Posted: the boxes closed above return first, then the caption's button acts.
            ::PostMessageW(main->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else {
            QCoreApplication::quit();
        }
    });
}

}  // namespace afx_detail
