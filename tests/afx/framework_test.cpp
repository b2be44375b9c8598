// The dialog framework's single-threaded behaviour: templates, message maps, data exchange,
// message boxes and the keys offered to PreTranslateMessage.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "tests/afx/test_dialog.h"
#include "tests/support/gui.h"

CWinApp g_testApp;  // message boxes take its title: the test program's name

namespace {

using afxtest::TestDialog;

class FrameworkTest : public testing::Test {
protected:
    void SetUp() override {
        afxtest::RegisterTestResources();
        ASSERT_TRUE(dlg.Create(afxtest::kDialogId));
        g_testApp.m_pMainWnd = &dlg;
        ASSERT_TRUE(rvtest::WaitUntil([&] { return rvtest::WidgetOf(dlg.m_hWnd)->isVisible(); }));
        rvtest::WidgetOf(dlg.m_hWnd)->activateWindow();
    }
    void TearDown() override {
        dlg.DestroyWindow();
        g_testApp.m_pMainWnd = nullptr;
    }
    QWidget* Control(int id) { return rvtest::ControlOf(dlg, id); }
    CString Text(int id) {
        CString text;
        dlg.GetDlgItem(id)->GetWindowText(text);
        return text;
    }

    TestDialog dlg;
};

TEST_F(FrameworkTest, TemplatesBecomeWidgetsWithTheirTextsAndDialogUnits) {
    EXPECT_NE(qobject_cast<QLineEdit*>(Control(afxtest::kLine)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(Control(afxtest::kMulti)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(Control(afxtest::kCheck)), nullptr);
    auto* label = qobject_cast<QLabel*>(Control(afxtest::kLabel));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "A & B");               // shown with one ampersand
    EXPECT_EQ(Text(afxtest::kLabel), _T("A && B"));  // the window text keeps the template's
    auto* combo = qobject_cast<QComboBox*>(Control(afxtest::kCombo));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);  // from the initialisation data
    EXPECT_EQ(combo->currentIndex(), -1);

    // Dialog units: x * average width / 4, y * height / 8, in the dialog font.
    const QFontMetrics metrics(rvtest::WidgetOf(dlg.m_hWnd)->font());
    const int width =
        (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 +
         1) /
        2;
    EXPECT_EQ(Control(afxtest::kLine)->geometry(),
              QRect((5 * width + 2) / 4, (5 * metrics.height() + 4) / 8, (100 * width + 2) / 4,
                    (12 * metrics.height() + 4) / 8));
}

TEST_F(FrameworkTest, MessagesReachTheMapAndControlNotificationsReachTheDialog) {
    EXPECT_EQ(dlg.SendMessage(WM_APP + 7, 40, 2), 42);
    QTest::mouseClick(Control(afxtest::kButton), Qt::LeftButton);
    QTest::mouseClick(Control(afxtest::kCheck), Qt::LeftButton);
    EXPECT_EQ(dlg.SendMessage(WM_COMMAND, MAKEWPARAM(afxtest::kCheck, BN_CLICKED), 0), 0);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"ping", "button", "check", "check"}));
    EXPECT_EQ(dlg.SendMessage(BM_GETCHECK), 0);  // the dialog is no button
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dlg, afxtest::kCheck), BM_GETCHECK, 0, 0), BST_CHECKED);

    // A posted message waits for the event loop; an unknown window takes nothing.
    dlg.log.clear();
    EXPECT_TRUE(dlg.PostMessage(WM_APP + 7, 1, 1));
    EXPECT_TRUE(dlg.log.empty());
    ASSERT_TRUE(rvtest::WaitUntil([&] { return !dlg.log.empty(); }));
    EXPECT_FALSE(::PostMessageW(reinterpret_cast<HWND>(0x4), WM_APP + 7, 0, 0));
    EXPECT_EQ(::SendMessageW(nullptr, WM_APP + 7, 1, 1), 0);
}

TEST_F(FrameworkTest, EditsKeepTheSystemsLineEndsAndSelections) {
    CEdit* multi = &dlg.m_multi;
    dlg.UpdateData(FALSE);
    multi->SetWindowText(_T("one\r\ntwo"));
    EXPECT_EQ(Text(afxtest::kMulti), _T("one\r\ntwo"));
    multi->SetSel(5, 8);
    int start = 0;
    int end = 0;
    multi->GetSel(start, end);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 8);
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(Control(afxtest::kMulti))->textCursor().selectedText(),
              "two");

    CEdit view;
    ASSERT_TRUE(view.SubclassDlgItem(afxtest::kView, &dlg));
    view.SetWindowText(_T("abcdef"));
    view.SetSel(-1, 0);
    view.GetSel(start, end);
    EXPECT_EQ(start, end);  // no selection
    view.SetSel(0, -1);
    view.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 6);
}

TEST_F(FrameworkTest, AnIntFieldTakesDecimalsWithBlanksAndTellsTheUserAboutTheRest) {
    rvtest::MessageBoxes boxes(IDOK);
    auto set = [&](LPCWSTR text) { dlg.GetDlgItem(afxtest::kNumber)->SetWindowText(text); };
    dlg.GetDlgItem(afxtest::kLine)->SetWindowText(_T("read first"));

    set(_T("abc"));
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_number, 5);               // kept
    EXPECT_EQ(dlg.m_line, _T("read first"));  // exchanged before the failure
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, "Please enter an integer.");
    EXPECT_EQ(boxes.Seen()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes.Seen()[0].title, "afx_test");
    auto* number = qobject_cast<QLineEdit*>(Control(afxtest::kNumber));
    EXPECT_EQ(number->window()->focusWidget(), number);  // has it whenever the window is active
    EXPECT_EQ(number->selectedText(), "abc");

    set(_T(" 42 "));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_number, 42);
    EXPECT_EQ(boxes.Seen().size(), 1u);

    for (const auto& [text, value] : {std::pair{_T("0"), 0}, std::pair{_T("70000"), 70000}}) {
        set(text);
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        EXPECT_EQ(dlg.m_number, value);  // taken before the range test
        EXPECT_EQ(boxes.Texts().back(), "Please enter an integer between 1 and 60000.");
    }
    set(_T("9999999999"));
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(boxes.Texts().back(), "Please enter an integer.");

    dlg.m_number = 120;
    dlg.m_check = 1;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(number->text(), "120");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Control(afxtest::kCheck))->isChecked());
}

TEST_F(FrameworkTest, MessageBoxesAnswerWithTheSystemsCodes) {
    for (const auto& [answer, expected] :
         {std::pair{IDYES, 6}, std::pair{IDNO, 7}, std::pair{IDCANCEL, 2}}) {
        rvtest::MessageBoxes boxes(answer);
        EXPECT_EQ(dlg.MessageBox(_T("Press Yes:Switch On\r\nPress No:Switch Off"), nullptr,
                                 MB_YESNOCANCEL | MB_ICONQUESTION),
                  expected);
        ASSERT_EQ(boxes.Seen().size(), 1u);
        EXPECT_EQ(boxes.Seen()[0].icon, QMessageBox::Question);
        EXPECT_EQ(boxes.Seen()[0].buttons,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
    rvtest::MessageBoxes boxes(IDOK);
    EXPECT_EQ(AfxMessageBox(_T("Open COM0: Filed!"), MB_OK, 0), IDOK);
    EXPECT_EQ(boxes.Seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(FrameworkTest, KeysAreOfferedFromTheFocusedControlUpBeforeTheyAreDispatched) {
    dlg.UpdateData(FALSE);
    dlg.m_multi.log = &dlg.log;
    QWidget* multi = Control(afxtest::kMulti);
    multi->setFocus();
    ASSERT_TRUE(rvtest::WaitUntil([&] { return multi->hasFocus(); }));
    dlg.log.clear();
    QTest::keyClick(multi, Qt::Key_Down);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"edit", "dialog", "edit", "dialog"}));
    EXPECT_EQ(dlg.keys,
              (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}}));

    // Auto-repeat: more key-downs, and no key-up until the key is let go.
    dlg.keys.clear();
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(multi, &repeat);
    }
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_F4, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(multi, &repeatUp);
    EXPECT_EQ(dlg.keys, (std::vector<std::pair<UINT, WPARAM>>(3, {WM_KEYDOWN, VK_F1 + 3})));

    // Return goes into an edit that wants it; Escape there becomes the Cancel command.
    QTest::keyClicks(multi, "ab");
    QTest::keyClick(multi, Qt::Key_Return);
    QTest::keyClick(multi, Qt::Key_Escape);
    EXPECT_EQ(Text(afxtest::kMulti), _T("ab\r\n"));
    EXPECT_EQ(std::count(dlg.log.begin(), dlg.log.end(), "cancel"), 1);
    EXPECT_EQ(std::count(dlg.log.begin(), dlg.log.end(), "ok"), 0);

    // Return in a single-line edit is the OK command, and never reaches the edit.
    QWidget* line = Control(afxtest::kLine);
    line->setFocus();
    ASSERT_TRUE(rvtest::WaitUntil([&] { return line->hasFocus(); }));
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(std::count(dlg.log.begin(), dlg.log.end(), "ok"), 1);
}

TEST(ModalDialogTest, TheCloseButtonPlaysOkAndEndsTheModalRun) {
    afxtest::RegisterTestResources();
    CDialog dialog(afxtest::kDialogId);
    QTimer::singleShot(50, [&] { rvtest::WidgetOf(dialog.m_hWnd)->close(); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_hWnd, nullptr);

    CDialog escaped(afxtest::kDialogId);
    QTimer::singleShot(
        50, [&] { QTest::keyClick(rvtest::ControlOf(escaped, afxtest::kLine), Qt::Key_Escape); });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
}

}  // namespace
