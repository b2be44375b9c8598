// Driving the real widgets in tests: answering message boxes and file dialogs, waiting for
// the user-interface thread, finding a window's widget.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/afx/wnd.h"

class QWidget;

namespace rvtest {

// Answers every message box that opens while it lives, and remembers what each said.
class MessageBoxes {
public:
    explicit MessageBoxes(int answer = IDOK);
    void Answer(int answer) { m_answer = answer; }

    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    std::vector<Box> Seen() const;
    QStringList Texts() const;

private:
    void Check();
    QTimer m_timer;
    int m_answer;
    mutable std::mutex m_mutex;
    std::vector<Box> m_seen;
};

// Answers file dialogs while it lives: with a path, accepts it; with an empty one, cancels.
class FileDialogs {
public:
    explicit FileDialogs(QString path);
    int Shown() const { return m_shown; }
    QStringList NameFilters() const { return m_filters; }
    QString Directory() const { return m_directory; }

private:
    void Check();
    QTimer m_timer;
    QString m_path;
    int m_shown = 0;
    QStringList m_filters;
    QString m_directory;
};

// Processes events until the condition holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Pump(int ms);
// The same in a real event loop, which never sleeps between events (Pump and WaitUntil
// do, which delays timers by up to 10 ms): for measuring how promptly events are served.
bool RunLoopUntil(const std::function<bool()>& condition, int timeoutMs);
void RunLoop(int ms);

// The widget of a window handle, and a control of a dialog.
QWidget* WidgetOf(HWND hwnd);
QWidget* ControlOf(const CWnd& dialog, int id);

// Saves a picture of the widget (for looking at layouts).
bool Screenshot(QWidget* widget, const QString& path);

}  // namespace rvtest
