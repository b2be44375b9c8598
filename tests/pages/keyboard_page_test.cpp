// The KeyBoard page in the real main dialog: keys named as they go down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "tests/pages/dialog_fixture.h"

namespace {

using rvtest::WaitUntil;

class KeyboardPageTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        Open();
        ClickTab(2);
        edit = rvtest::ControlOf(page(), IDC_TYPED);
        edit->setFocus();
        ASSERT_TRUE(WaitUntil([&] { return edit->hasFocus(); }));
    }
    CKeyboardPage& page() { return dlg.m_pageKeyboard; }
    CString Name() { return Text(page(), IDC_KEY_NAME); }
    CString Typed() { return Text(page(), IDC_TYPED); }
    void Key(Qt::Key key, bool autoRepeat = false, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }

    QWidget* edit = nullptr;
};

TEST_F(KeyboardPageTest, SpecialKeysAreNamedAndOthersEmptyTheName) {
    const std::vector<std::pair<Qt::Key, LPCWSTR>> keys = {
        {Qt::Key_Down, _T("DOWN")},     {Qt::Key_Delete, _T("Del")},
        {Qt::Key_F4, _T("F4")},         {Qt::Key_Backspace, _T("BACKSPACE")},
        {Qt::Key_PageUp, _T("PageUp")}, {Qt::Key_PageDown, _T("PageDown")},
        {Qt::Key_Left, _T("LEFT")},     {Qt::Key_Up, _T("UP")},
        {Qt::Key_Right, _T("RIGHT")},   {Qt::Key_F1, _T("F1")},
        {Qt::Key_F5, _T("")},
    };
    for (const auto& [key, name] : keys) {
        QTest::keyClick(edit, key);
        EXPECT_EQ(Name(), name);
    }
    QTest::keyClick(edit, Qt::Key_F4);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(Name(), _T(""));
    EXPECT_EQ(Typed(), _T("a"));
}

TEST_F(KeyboardPageTest, RepeatNamesTheKeyAgainAndKeyUpChangesNothing) {
    QTest::keyClick(edit, Qt::Key_Down);
    SetText(page(), IDC_KEY_NAME, _T(""));
    Key(Qt::Key_Down, true);  // the key is held and repeats
    EXPECT_EQ(Name(), _T("DOWN"));
    QTest::keyClick(edit, Qt::Key_F4);
    Key(Qt::Key_Down, false, QEvent::KeyRelease);
    EXPECT_EQ(Name(), _T("F4"));
}

TEST_F(KeyboardPageTest, ReturnIsNamedAndTypedAndEscapeIsNamedAndGoesNoFurther) {
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Name(), _T("RETURN"));
    EXPECT_EQ(Typed(), _T("ab\r\n"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(Name(), _T("ESC"));
    EXPECT_EQ(Typed(), _T("ab\r\n"));
    EXPECT_TRUE(rvtest::WidgetOf(page().m_hWnd)->isVisible());  // Cancel leaves a page as it is
    EXPECT_TRUE(rvtest::WidgetOf(dlg.m_hWnd)->isVisible());
}

TEST_F(KeyboardPageTest, ClearEmptiesTheBoxAndKeepsTheName) {
    QTest::keyClicks(edit, "typed");
    QTest::keyClick(edit, Qt::Key_Up);
    Click(page(), IDC_CLEAR);
    EXPECT_EQ(Typed(), _T(""));
    EXPECT_EQ(Name(), _T("UP"));
}

TEST_F(KeyboardPageTest, KeysOnAnotherPageAreNotNamed) {
    QTest::keyClick(edit, Qt::Key_F2);
    ClickTab(0);
    QWidget* send = rvtest::ControlOf(dlg.m_pagePrinter, IDC_SEND_TEXT);
    send->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return send->hasFocus(); }));
    QTest::keyClick(send, Qt::Key_Down);
    QTest::keyClick(send, Qt::Key_F5);
    EXPECT_EQ(Name(), _T("F2"));
}

}  // namespace
