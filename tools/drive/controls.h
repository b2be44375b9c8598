// The widgets behind window handles, worked as a user works them: tabs, buttons, lists and
// window texts; pictures of windows; how often a window hides. User-interface thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/afx/wnd.h"

class QEvent;
class QTabBar;
class QWidget;

namespace drive {

// The widget of a window handle, and of a dialog's control (nullptr when there is none).
QWidget* WidgetOf(HWND hwnd);
QWidget* ControlOf(const CWnd& dialog, int id);

// The tab row of a tab control; a click on one of its tabs (false: no such tab).
QTabBar* TabBarOf(const CWnd& tabControl);
bool ClickTab(const CWnd& tabControl, int index);
// Clicks a control near its left edge, where a check box has its box (false: no control).
bool Click(const CWnd& dialog, int id);
// Picks an item of a drop-down list as with the list, so the dialog hears of the choice
// (false: no such list or item).
bool Choose(const CWnd& dialog, int id, int index);

// A control's window text as the program itself sets and reads it.
bool SetText(const CWnd& dialog, int id, LPCWSTR text);
CString Text(const CWnd& dialog, int id);

// Saves a picture of the widget (false: no widget, or the file could not be written).
bool Screenshot(QWidget* widget, const QString& path);

// Counts how often a window is hidden and shown while this lives; the window may go first.
class Visibility : public QObject {
public:
    explicit Visibility(QWidget* window);
    ~Visibility() override;
    Visibility(const Visibility&) = delete;
    Visibility& operator=(const Visibility&) = delete;

    int Hidden() const { return m_hidden; }
    int Shown() const { return m_shown; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    int m_hidden = 0;
    int m_shown = 0;
};

}  // namespace drive
