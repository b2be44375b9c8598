#include "platform/afx/message_box_p.h"

#include <QMessageBox>
#include <vector>

#include "platform/afx/qt_text_p.h"
#include "platform/afx/termination_p.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/text.h"
#include "platform/win/trace.h"

namespace afx_detail {

namespace {

struct Choice {
    QMessageBox::StandardButton button;
    int id;
};

QMessageBox::Icon IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

std::vector<Choice> ChoicesFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{QMessageBox::Abort, IDABORT},
                    {QMessageBox::Retry, IDRETRY},
                    {QMessageBox::Ignore, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES},
                    {QMessageBox::No, IDNO},
                    {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL:
            return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

}  // namespace

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    RV_TRACE(TraceChannel::Ui, "message box \"%s\"", Utf16ToUtf8(text ? text : u"").c_str());
    const int answer = OnUi([&] {
        const std::vector<Choice> choices = ChoicesFor(type);
        // Closed at once, as the request closed the boxes that were open.
        const int closed = choices.size() == 1 ? IDOK : IDCANCEL;
        if (TerminationUnderWay()) {
            return closed;
        }
        Window* window = Find(owner);
        QWidget* parent = window && window->widget ? window->widget->window() : nullptr;
        QMessageBox box(IconFor(type), caption ? ToQString(caption) : QStringLiteral("Error"),
                        ToQString(text), QMessageBox::NoButton, parent);
        for (const Choice& choice : choices) {
            box.addButton(choice.button);
        }
        box.setDefaultButton(choices.front().button);
        // Closing the box answers Cancel where there is one, and OK for a box with OK alone.
        for (const Choice& choice : choices) {
            if (choice.id == IDCANCEL || choices.size() == 1) {
                box.setEscapeButton(choice.button);
            }
        }
        const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
        for (const Choice& choice : choices) {
            if (choice.button == clicked) {
                return choice.id;
            }
        }
        return closed;
    });
    RV_TRACE(TraceChannel::Ui, "message box \"%s\" answered %d",
             Utf16ToUtf8(text ? text : u"").c_str(), answer);
    return answer;
}

}  // namespace afx_detail
