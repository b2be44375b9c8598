// The Card page in the real main dialog, with a pseudo-terminal as COM0.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "tests/pages/dialog_fixture.h"

namespace {

using rvtest::WaitUntil;

class CardPageTest : public pagetest::DialogTest {
protected:
    CCardPage& page() { return dlg.m_pageCard; }
    QComboBox* Tracks() { return qobject_cast<QComboBox*>(rvtest::ControlOf(page(), IDC_TRACK)); }
    // Chooses a track in the list as the user does.
    void Choose(int index) { ASSERT_TRUE(rvtest::Choose(page(), IDC_TRACK, index)) << index; }
    CString Box() { return Text(page(), IDC_RECV); }
    void ShowCard() {
        ClickTab(1);
        com0.Send("old data");
        ASSERT_TRUE(WaitUntil([&] { return Box() == _T("old data"); }));
    }
};

TEST_F(CardPageTest, StartsWithNoTrackChosenAndNothingSent) {
    Open();
    EXPECT_EQ(Tracks()->currentIndex(), -1);
    EXPECT_EQ(page().m_trackCombo.GetCurSel(), -1);
    EXPECT_EQ(Tracks()->placeholderText(), "Please Select Track");
    const QStringList items = {"Track1", "Track2", "Track1,2", "Track3", "Track2,3"};
    ASSERT_EQ(Tracks()->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Tracks()->itemText(i), items[i]);
    }
    EXPECT_EQ(Tracks()->height(), 46);  // a 40-pixel field in its frame
    QLabel* label = nullptr;
    for (QLabel* l : rvtest::WidgetOf(page().m_hWnd)->findChildren<QLabel*>()) {
        label = l;
    }
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Swipe & Select:");
    EXPECT_EQ(Received(), "");
}

TEST_F(CardPageTest, EachTrackChoiceEmptiesTheBoxAndSelectsItsTracks) {
    Open();
    const char tracks[] = {0x46, 0x47, 0x48, 0x44, 0x45};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ShowCard();
        Choose(i);
        EXPECT_EQ(Box(), _T(""));
        EXPECT_EQ(Received(6), std::string("\x1B\x4D") + tracks[i] + "\x1B\x4D\x49");
        ClickTab(0);
    }
    // A notice while nothing is selected asks for no track at all.
    Tracks()->setCurrentIndex(-1);
    page().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TRACK, CBN_SELCHANGE), 0);
    EXPECT_EQ(Received(6), std::string("\x1B\x4D\x00\x1B\x4D\x49", 6));
}

TEST_F(CardPageTest, TheSwitchAsksAndSendsOnOrOffOrNothing) {
    Open();
    for (const auto& [answer, command] :
         {std::pair{IDYES, std::string("\x1D\x46\x03\x55")},
          std::pair{IDNO, std::string("\x1D\x46\x03\xAA")}, std::pair{IDCANCEL, std::string()}}) {
        rvtest::MessageBoxes boxes(answer);
        Click(page(), IDC_AUTO_RECV_SWITCH);
        ASSERT_EQ(boxes.Seen().size(), 1u);
        const auto box = boxes.Seen().front();
        EXPECT_EQ(box.text, "Press Yes:Switch On\r\nPress No:Switch Off");
        EXPECT_EQ(box.title, "pages_test");  // the application's title
        EXPECT_EQ(box.icon, QMessageBox::Question);
        EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(Received(command.size()), command);
    }
}

TEST_F(CardPageTest, HexSendsNothingKeepsTheTextAndShowsWhatComesNextAsHex) {
    Open();
    ShowCard();
    Click(page(), IDC_CARD_HEX);
    EXPECT_EQ(Box(), _T("old data"));
    EXPECT_EQ(Received(), "");
    com0.Send("%B");
    EXPECT_TRUE(WaitUntil([&] { return Box() == _T("old data25 42 "); }));
    EXPECT_EQ(Text(dlg.m_pagePrinter, IDC_RECV), _T(""));  // the Printer page saw none of it
}

TEST_F(CardPageTest, WithoutCom0ATrackChoiceStillEmptiesTheBox) {
    rvtest::MessageBoxes boxes(IDOK);
    Open(false);
    SetText(page(), IDC_RECV, _T("left over"));
    Choose(2);
    EXPECT_EQ(Box(), _T(""));
    EXPECT_EQ(boxes.Texts(), QStringList{"Open COM0: Filed!"});  // and nothing more
}

}  // namespace
