#include "tools/drive/modals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>

namespace drive {

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
        m_chosenFilter = dialog->selectedNameFilter();
        dialog->reject();
        return;
    }
    if (m_lastFilter && !m_filters.isEmpty()) {
        dialog->selectNameFilter(m_filters.constLast());
    }
    m_chosenFilter = dialog->selectedNameFilter();
    // Typed into the name box, as a user does (selectFile leaves a focused box alone).
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->setText(m_path);
    }
    static_cast<QDialog*>(dialog)->accept();  // the file dialog checks the choice
}

}  // namespace drive
