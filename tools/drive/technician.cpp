#include "tools/drive/technician.h"

#include <stdlib.h>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/win/text.h"
#include "tools/drive/modals.h"

namespace drive {

namespace {

std::string Utf8(const CString& text) {
    return Utf16ToUtf8(text.str());
}

}  // namespace

Technician::Technician(sim::SimulatedTerminal& terminal, CTestDlg& dialog)
    : m_terminal(terminal), m_dialog(dialog) {}

int Technician::Printed(const std::string& line) const {
    const auto paper = m_terminal.Paper();
    return static_cast<int>(std::count(paper.begin(), paper.end(), line));
}

bool Technician::Screenshot(int tab, const std::string& path) {
    ClickTab(tab);
    Pump(100);
    return drive::Screenshot(WidgetOf(m_dialog.m_hWnd), QString::fromStdString(path));
}

Verdict Technician::Printer(const std::string& folder) {
    Verdict v{"Printer", false, ""};
    CPrinterPage& page = m_dialog.m_pagePrinter;
    ClickTab(0);
    const std::string sample = "This is a sample!";
    const int before = Printed(sample);
    Click(page, IDC_SEND);
    if (!WaitUntil([&] { return Printed(sample) == before + 1; })) {
        v.detail = "the default text was not printed";
        return v;
    }

    const int initialised = m_terminal.Initialisations();
    SetText(page, IDC_SEND_TEXT, _T("1B 40"));
    Click(page, IDC_SEND_HEX);
    Click(page, IDC_SEND);
    const bool hexOk = WaitUntil([&] { return m_terminal.Initialisations() == initialised + 1; });
    Click(page, IDC_SEND_HEX);
    SetText(page, IDC_SEND_TEXT, _T("This is a sample!\r\n"));
    if (!hexOk) {
        v.detail = "hex 1B 40 did not initialise the printer";
        return v;
    }

    const std::string file = folder + "/receipt.txt";
    std::ofstream(file, std::ios::binary) << "Receipt from a file\n\xB2\xE2\xCA\xD4 OK\n";  // 测试
    {
        MessageBoxes boxes(IDOK);
        FileDialogs files(QString::fromStdString(file));
        files.ChooseLastFilter();  // "All File": the text file is none of the others
        Click(page, IDC_SEND_FILE);
    }
    if (!WaitUntil(
            [&] { return Printed("Receipt from a file") == 1 && Printed("测试 OK") == 1; })) {
        v.detail = "the file was not printed";
        return v;
    }

    const int rounds = Printed(sample);
    SetText(page, IDC_INTERVAL, _T("200"));
    Click(page, IDC_AUTO_SEND);
    const bool repeated = WaitUntil([&] { return Printed(sample) >= rounds + 3; });
    Click(page, IDC_AUTO_SEND);
    const bool stopped = WaitUntil([&] { return Text(page, IDC_AUTO_SEND) == _T("Auto Send"); });
    if (!repeated || !stopped) {
        v.detail = repeated ? "auto send did not stop" : "auto send did not repeat";
        return v;
    }
    v.ok = true;
    v.detail = "printed the default text, initialised on 1B 40, printed a file, " +
               std::to_string(Printed(sample) - rounds) + " rounds of auto send";
    return v;
}

Verdict Technician::Card() {
    Verdict v{"Card", false, ""};
    CCardPage& page = m_dialog.m_pageCard;
    ClickTab(1);
    Choose(page, IDC_TRACK, 2);  // "Track1,2"
    if (!WaitUntil([&] { return m_terminal.Tracks() == "Track1,2"; })) {
        v.detail = "the reader was not told Track1,2";
        return v;
    }
    {
        MessageBoxes yes(IDYES);
        Click(page, IDC_AUTO_RECV_SWITCH);
    }
    if (!WaitUntil([&] { return m_terminal.AutoReceive(); })) {
        v.detail = "automatic receiving was not switched on";
        return v;
    }
    m_terminal.Swipe();
    const std::string track1 = m_terminal.Card().track1;
    const std::string track2 = m_terminal.Card().track2;
    const bool shown = WaitUntil([&] {
        const std::string box = Utf8(Text(page, IDC_RECV));
        return box.find(track1) != std::string::npos && box.find(track2) != std::string::npos;
    });
    if (!shown) {
        v.detail = "the card's tracks did not show on the Card page";
        return v;
    }
    if (Utf8(Text(m_dialog.m_pagePrinter, IDC_RECV)).find("%B") != std::string::npos) {
        v.detail = "the card's data showed on the Printer page too";
        return v;
    }
    v.ok = true;
    v.detail = "Track1,2 chosen, automatic receiving on, swiped card shown: " + track2;
    return v;
}

Verdict Technician::Keyboard() {
    Verdict v{"KeyBoard", false, ""};
    CKeyboardPage& page = m_dialog.m_pageKeyboard;
    ClickTab(2);
    QWidget* edit = ControlOf(page, IDC_TYPED);
    if (edit) {
        edit->window()->activateWindow();
        edit->setFocus();
    }
    if (!edit || !WaitUntil([&] { return edit->hasFocus(); }, 2000)) {
        v.detail = "the edit box did not get the focus";
        return v;
    }
    std::string seen;
    for (const auto& [key, name] :
         {std::pair{Qt::Key_Down, _T("DOWN")}, std::pair{Qt::Key_Delete, _T("Del")},
          std::pair{Qt::Key_F4, _T("F4")}, std::pair{Qt::Key_PageUp, _T("PageUp")},
          std::pair{Qt::Key_Return, _T("RETURN")}, std::pair{Qt::Key_A, _T("")}}) {
        QTest::keyClick(edit, key);
        const CString shown = Text(page, IDC_KEY_NAME);
        seen += (seen.empty() ? "" : " ") + (shown.IsEmpty() ? std::string("(none)") : Utf8(shown));
        if (shown != name) {
            v.detail = "a key was named \"" + Utf8(shown) + "\": " + seen;
            return v;
        }
    }
    v.ok = Text(page, IDC_TYPED) == _T("\r\na");
    v.detail = v.ok ? "named " + seen : "the typed text was wrong";
    return v;
}

Verdict Technician::Barcode(const std::function<size_t()>& soundBytes) {
    Verdict v{"Barcode", false, ""};
    CBarcodePage& page = m_dialog.m_pageBarcode;
    ClickTab(3);
    const size_t sound = soundBytes ? soundBytes() : 0;
    const int delivered = m_terminal.CodesDelivered();
    Click(page, IDC_SCAN);
    if (!WaitUntil([&] { return m_terminal.CodesDelivered() == delivered + 1; })) {
        v.detail = "the scanner read nothing";
        return v;
    }
    const std::string code =
        m_terminal.Codes()[static_cast<size_t>(delivered) % m_terminal.Codes().size()];
    if (!WaitUntil(
            [&] { return Utf8(Text(page, IDC_RECV)).find(code + "\r\n") != std::string::npos; })) {
        v.detail = "the code did not show on the Barcode page";
        return v;
    }
    const bool played = !soundBytes || WaitUntil([&] { return soundBytes() > sound; }, 3000);
    v.ok = played;
    v.detail = played ? "scanned " + code + (soundBytes ? ", confirmation sound played" : "")
                      : "scanned " + code + " but no sound was played";
    return v;
}

Verdict Technician::Other(const std::string& folder) {
    Verdict v{"Other", false, ""};
    const std::string log = folder + "/utilities.log";
    std::remove(log.c_str());
    setenv("RV4417_UTILITY_LOG", log.c_str(), 1);
    ClickTab(4);
    const Visibility main(WidgetOf(m_dialog.m_hWnd));
    Click(m_dialog.m_pageOther, IDC_LINK_CONFIG);  // returns when the utility has ended
    unsetenv("RV4417_UTILITY_LOG");
    const bool back = ::IsWindowVisible(m_dialog.m_hWnd) != FALSE;
    std::ifstream in(log);
    std::string ran;
    std::getline(in, ran);
    v.ok = ran == "LinkConfig" && main.Hidden() == 1 && main.Shown() == 1 && back;
    v.detail = v.ok ? "LinkConfig.exe ran with the tool hidden, and the tool came back"
               : ran != "LinkConfig" ? "LinkConfig.exe did not run (the tool was hidden " +
                                           std::to_string(main.Hidden()) + " times)"
                                     : "the tool was hidden " + std::to_string(main.Hidden()) +
                                           " and shown " + std::to_string(main.Shown()) +
                                           " times, and is " + (back ? "back" : "not back");
    return v;
}

}  // namespace drive
