// Built into RV4417Test-probe only: the program as it ships, with a probe that lets a display
// test see its dialog on a real display server and work it as a user would. Once the dialog
// is up the probe says "up", then answers commands on its standard input, one a line, with
// lines of facts ended by a line ".":
//   window     the screen (logical pixels, device pixel ratio, available area), the window and
//              its frame, whether the window is exposed, the dialog font's pixel size, and
//              the dialog's own OK button when it shows one
//   layout     what is not laid out whole (dialog_layout.h), a line each
//   utility    starts the Other page's first utility; once it has ended and the window has
//              been exposed anew, how often the window was hidden and shown, then as "window"
//   ok         presses the dialog's own OK button ("pressed"), or, where it shows none,
//              closes the window as a window manager's caption does ("closed")
//   launch     answers at once, then starts the Other page's first utility and waits for it
//              as the page does
//   xid        the window's X11 id, for another client to send it what a window manager does
// Places are "x y width height" in the window's logical pixels. Waits end after 10 s.
#include <stdio.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTest>
#include <QWindow>
#include <string>

#include "app/test_dlg.h"
#include "tests/support/dialog_layout.h"
#include "tools/drive/controls.h"
#include "tools/drive/waits.h"

namespace {

constexpr int kWaitMs = 10000;

void Say(const QString& line) {
    std::fputs((line + "\n").toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString Place(const QRect& r) {
    return QString("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Whether the window has come back on the screen since it was hidden: its expose event comes
// once the compositor has configured it anew, while QWindow::isExposed() may still say so
// from before the hide until that event is handled.
class ExposedAgain : public QObject {
public:
    explicit ExposedAgain(QWindow* window) : m_window(window) { window->installEventFilter(this); }
    bool Seen() const { return m_seen; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool expose = event->type() == QEvent::Expose;
        if (event->type() == QEvent::Hide || (expose && !m_window->isExposed())) {
            m_hidden = true;
        } else if (expose && m_hidden) {
            m_seen = true;
        }
        return false;
    }

private:
    QWindow* m_window;
    bool m_hidden = false;
    bool m_seen = false;
};

class Probe : public QObject {
public:
    explicit Probe(CTestDlg& dialog)
        : QObject(qApp), m_dialog(dialog), m_input(STDIN_FILENO, QSocketNotifier::Read, this) {
        connect(&m_input, &QSocketNotifier::activated, this, [this] { Read(); });
        Say("up");
    }

private:
    QWidget* Window() const { return drive::WidgetOf(m_dialog.m_hWnd); }

    void Read() {
        char chunk[512];
        const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            m_input.setEnabled(false);
            return;
        }
        m_pending.append(chunk, static_cast<size_t>(n));
        // A command may wait in nested event loops; the next one is read once it is done.
        m_input.setEnabled(false);
        for (size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
            const QString line = QString::fromStdString(m_pending.substr(0, end));
            m_pending.erase(0, end + 1);
            Run(line);
        }
        m_input.setEnabled(true);
    }

    void Run(const QString& command) {
        if (command == "window") {
            ReportWindow();
        } else if (command == "layout") {
            for (const std::string& fault : rvtest::LayoutFaults(m_dialog)) {
                Say(QString::fromStdString(fault));
            }
        } else if (command == "utility") {
            RunUtility();
        } else if (command == "ok") {
            PressOk();
            return;
        } else if (command == "xid") {
            Say(QString("xid %1").arg(Window()->winId()));
        } else if (command == "launch") {
            Say(".");
            drive::ClickTab(m_dialog.m_tab, 4);
            drive::Click(m_dialog.m_pageOther, IDC_CAMERA);
            return;
        } else {
            Say("unknown " + command);
        }
        Say(".");
    }

    bool WaitExposed() const {
        return drive::WaitUntil(
            [this] { return Window()->windowHandle() && Window()->windowHandle()->isExposed(); },
            kWaitMs);
    }

    void ReportWindow() const {
        const bool exposed = WaitExposed();
        QWidget* window = Window();
        const QScreen* screen = window->screen();
        Say(QString("screen %1 %2 %3")
                .arg(screen->geometry().width())
                .arg(screen->geometry().height())
                .arg(screen->devicePixelRatio()));
        Say("available " + Place(screen->availableGeometry()));
        Say("window " + Place(window->geometry()));
        Say("frame " + Place(window->frameGeometry()));
        Say(QString("exposed %1").arg(exposed ? 1 : 0));
        Say(QString("font %1").arg(QFontInfo(window->font()).pixelSize()));
        if (QAbstractButton* ok = rvtest::OwnOk(window)) {
            Say("ok " + Place(QRect(ok->mapTo(window, QPoint(0, 0)), ok->size())));
        }
    }

    void RunUtility() const {
        drive::ClickTab(m_dialog.m_tab, 4);
        drive::Visibility visibility(Window());
        const ExposedAgain back(Window()->windowHandle());
        // Returns once the utility has ended, as the page's handler does.
        drive::Click(m_dialog.m_pageOther, IDC_CAMERA);
        drive::WaitUntil([&back] { return back.Seen(); }, kWaitMs);
        Say(QString("hidden %1").arg(visibility.Hidden()));
        Say(QString("shown %1").arg(visibility.Shown()));
        ReportWindow();
    }

    void PressOk() const {
        QAbstractButton* ok = rvtest::OwnOk(Window());
        Say(ok ? "pressed" : "closed");
        Say(".");
        if (ok) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            Window()->close();
        }
    }

    CTestDlg& m_dialog;
    QSocketNotifier m_input;
    std::string m_pending;
};

void StartProbe(CDialog& dialog) {
    if (auto* main = dynamic_cast<CTestDlg*>(&dialog)) {
        new Probe(*main);
    }
}

const bool kInstalled = [] {
    AfxSetModalShownHook(&StartProbe);
    return true;
}();

}  // namespace
