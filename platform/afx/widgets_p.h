// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The framework's own Qt widgets behind dialogs and tab controls (the other controls are Qt's
// widgets as they come; see control_builder_p.h).
#pragma once

#include <QTabBar>
#include <QWidget>

namespace afx_detail {

// A dialog's own window: a page inside the tab control, or a top-level dialog whose close
// button plays its OK button. A top-level one fits its units to the size it is given and
// draws its own caption row where no window manager draws one (dialog_fit_p.h).
class DialogWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Looks again whether a caption row must be drawn (dialog_fit_p.h).
    void CheckCaption();
};

// The tab row of a tab control. A left press is offered to the control's window procedure
// as WM_LBUTTONDOWN; the row's own handling runs only as that message's default.
class TabRow : public QTabBar {
public:
    using QTabBar::QTabBar;
    void DefaultPress(QMouseEvent* event) { QTabBar::mousePressEvent(event); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A tab control: the tab row on top, a panel below it where the pages are placed. The row
// takes the tab style sheet of the look (look_p.h), if there is one.
class TabControl : public QWidget {
public:
    explicit TabControl(QWidget* parent);
    TabRow* Row() const { return m_row; }
    // A tab's rectangle in the control's coordinates.
    QRect ItemRect(int index) const { return m_row->tabRect(index).translated(m_row->pos()); }
    // Puts the row at the top, as high as its font needs.
    void LayoutRow();
    // While set, selection changes are the program's own and are not notified.
    bool quiet = false;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TabRow* m_row;
};

}  // namespace afx_detail
