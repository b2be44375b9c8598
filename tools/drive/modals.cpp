#include "tools/drive/modals.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <functional>

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

// The modal window of that type on screen now, or nullptr.
template <class Modal>
Modal* ShownModal() {
    auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
    return modal && modal->isVisible() ? modal : nullptr;
}

// Looks for the modal every 5 ms while the timer lives.
void Watch(QTimer& timer, const std::function<void()>& check) {
    QObject::connect(&timer, &QTimer::timeout, check);
    timer.start(5);
}

}  // namespace

MessageBoxes::MessageBoxes(int answer) : m_answer(answer) {
    Watch(m_timer, [this] { Check(); });
}

void MessageBoxes::Check() {
    QMessageBox* box = ShownModal<QMessageBox>();
    if (!box) {
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
    Watch(m_timer, [this] { Check(); });
}

void FileDialogs::Check() {
    QFileDialog* dialog = ShownModal<QFileDialog>();
    if (!dialog) {
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
