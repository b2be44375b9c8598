// Answers to the modal dialogs the program opens, given as a user gives them while the
// object lives. User-interface thread: a timer of its event loop looks for the dialogs.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <mutex>
#include <vector>

#include "platform/afx/wnd.h"

namespace drive {

// Presses the button of the answer (IDOK, IDYES...) on every message box, and remembers
// what each said; a box without that button is closed as with Esc rather than left open.
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

// Answers file dialogs: with a path, types it into the name box and accepts; with an empty
// one, cancels.
class FileDialogs {
public:
    explicit FileDialogs(QString path);
    // Picks the last file type first (the one for any file), as a user does when the file's
    // type is not the one offered.
    void ChooseLastFilter() { m_lastFilter = true; }

    int Shown() const { return m_shown; }
    QStringList NameFilters() const { return m_filters; }
    QString Directory() const { return m_directory; }
    // The file type chosen when the last dialog was answered.
    QString ChosenFilter() const { return m_chosenFilter; }

private:
    void Check();
    QTimer m_timer;
    QString m_path;
    bool m_lastFilter = false;
    int m_shown = 0;
    QStringList m_filters;
    QString m_directory;
    QString m_chosenFilter;
};

}  // namespace drive
