// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The caption row a top-level dialog draws itself where no window manager draws one (a
// kiosk's full screen, an X server without a window manager): the dialog's title, and the
// caption's button, "OK" for a dialog with the OK button in its caption. The button closes
// the dialog as a window manager's caption button does.
#pragma once

#include <QFont>
#include <QWidget>

class QLabel;
class QPushButton;

namespace afx_detail {

class CaptionRow : public QWidget {
public:
    CaptionRow(QWidget* dialog, const QString& title, bool okButton);

    // The row's height with the dialog font.
    static int HeightFor(const QFont& font);
    // Takes the dialog font and spans the dialog's width at the top.
    void Fit(const QFont& font);

private:
    QLabel* m_title;
    QPushButton* m_button;
};

}  // namespace afx_detail
