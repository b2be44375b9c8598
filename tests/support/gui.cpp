#include "tests/support/gui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/afx/window_table.h"

namespace rvtest {

namespace {

QMessageBox::StandardButton ButtonFor(int answer) {
    switch (answer) {
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDRETRY:
            return QMessageBox::Retry;
        default:
            return QMessageBox::Ok;
    }
}

}  // namespace

MessageBoxes::MessageBoxes(int answer) : m_answer(answer) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
    m_timer.start(5);
}

void MessageBoxes::Check() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    QMessageBox::StandardButtons buttons;
    for (QAbstractButton* b : box->buttons()) {
        buttons |= box->standardButton(b);
    }
    {
        std::lock_guard lock(m_mutex);
        m_seen.push_back({box->windowTitle(), box->text(), box->icon(), buttons});
    }
    QAbstractButton* button = box->button(ButtonFor(m_answer));
    if (button) {
        button->click();
    } else {
        box->reject();
    }
}

std::vector<MessageBoxes::Box> MessageBoxes::Seen() const {
    std::lock_guard lock(m_mutex);
    return m_seen;
}

QStringList MessageBoxes::Texts() const {
    QStringList texts;
    for (const Box& box : Seen()) {
        texts << box.text;
    }
    return texts;
}

FileDialogs::FileDialogs(QString path) : m_path(std::move(path)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
    m_timer.start(5);
}

void FileDialogs::Check() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) {
        return;
    }
    ++m_shown;
    m_filters = dialog->nameFilters();
    m_directory = dialog->directory().absolutePath();
    if (m_path.isEmpty()) {
        dialog->reject();
    } else {
        // Typed into the name box, as a user does (selectFile leaves a focused box alone).
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setText(m_path);
        }
        static_cast<QDialog*>(dialog)->accept();  // the file dialog checks the choice
    }
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

void Pump(int ms) {
    QTest::qWait(ms);
}

bool RunLoopUntil(const std::function<bool()>& condition, int timeoutMs) {
    if (condition()) {
        return true;
    }
    QEventLoop loop;
    bool held = false;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (condition()) {
            held = true;
            loop.quit();
        }
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    return held;
}

void RunLoop(int ms) {
    // No condition to poll: a millisecond check would cost what a bench measures as idle.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QWidget* WidgetOf(HWND hwnd) {
    afx_detail::Window* window = afx_detail::Find(hwnd);
    return window ? window->widget.data() : nullptr;
}

QWidget* ControlOf(const CWnd& dialog, int id) {
    return WidgetOf(::GetDlgItem(dialog.m_hWnd, id));
}

bool Screenshot(QWidget* widget, const QString& path) {
    return widget && widget->grab().save(path);
}

}  // namespace rvtest
