// The Printer page in the real main dialog, with a pseudo-terminal as COM0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <future>
#include <random>
#include <thread>

#include "io/write.h"
#include "tests/pages/dialog_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using rvtest::WaitUntil;

class PrinterPageTest : public pagetest::DialogTest {
protected:
    void SetUp() override { Open(); }
    CPrinterPage& page() { return dlg.m_pagePrinter; }
    CString Caption() { return Text(page(), IDC_AUTO_SEND); }
    bool SendEnabled() {
        return ::IsWindowEnabled(::GetDlgItem(page(), IDC_SEND)) &&
               ::IsWindowEnabled(::GetDlgItem(page(), IDC_SEND_FILE));
    }
    CString RecvBox() { return Text(page(), IDC_RECV); }
};

constexpr char kDefaultText[] = "This is a sample!\r\n";

TEST_F(PrinterPageTest, AFreshPageShowsItsDefaults) {
    EXPECT_EQ(RecvBox(), _T(""));
    EXPECT_EQ(Text(page(), IDC_SEND_TEXT), _T("This is a sample!\r\n"));
    EXPECT_EQ(Text(page(), IDC_INTERVAL), _T("120"));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(page(), IDC_SEND_HEX), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(page(), IDC_RECV_HEX), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(Caption(), _T("Auto Send"));
}

TEST_F(PrinterPageTest, SendWritesTheTextInCodePage936OrTheTypedHexBytes) {
    Click(page(), IDC_SEND);
    EXPECT_EQ(Received(19), kDefaultText);
    EXPECT_EQ(Received(), "");  // exactly the 19 bytes

    SetText(page(), IDC_SEND_TEXT, _T("中"));
    Click(page(), IDC_SEND);
    EXPECT_EQ(Received(2), "\xD6\xD0");

    SetText(page(), IDC_SEND_TEXT, _T("1B 40\r\n41 00 42"));
    Click(page(), IDC_SEND_HEX);
    Click(page(), IDC_SEND);
    EXPECT_EQ(Received(5), std::string("\x1B\x40\x41\x00\x42", 5));
}

TEST_F(PrinterPageTest, AnIntervalOutOfRangeIsReportedAndTheTextStillGoesOut) {
    rvtest::MessageBoxes boxes(IDOK);
    SetText(page(), IDC_INTERVAL, _T("0"));
    Click(page(), IDC_SEND);
    EXPECT_EQ(boxes.Texts(), QStringList{"Please enter an integer between 1 and 60000."});
    EXPECT_EQ(Received(19), kDefaultText);
}

// The interval's message box waits for the user; what COM0 brings meanwhile must show at once,
// from a click on Send and from an auto-send cycle alike.
TEST_F(PrinterPageTest, WhatArrivesWhileTheIntervalsMessageIsOpenShowsBeforeItCloses) {
    int seen = 0;
    int shownWhileOpen = 0;
    std::string payload;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            return;
        }
        if (payload.empty()) {
            payload = "during " + std::to_string(++seen);
            com0.Send(payload);
        }
        if (RecvBox().str().find(std::u16string(payload.begin(), payload.end())) !=
            std::u16string::npos) {
            ++shownWhileOpen;
        } else if (!box->property("rvStarted").isValid()) {
            box->setProperty("rvStarted", true);
            QTimer::singleShot(3000, box, [box] { box->accept(); });  // give up, the test fails
            return;
        } else {
            return;
        }
        payload.clear();
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start(5);

    SetText(page(), IDC_INTERVAL, _T("x"));
    Click(page(), IDC_SEND);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(shownWhileOpen, 1);

    SetText(page(), IDC_INTERVAL, _T("50"));
    Click(page(), IDC_AUTO_SEND);
    SetText(page(), IDC_INTERVAL, _T("x"));  // every cycle now shows the message
    EXPECT_TRUE(WaitUntil([&] { return seen >= 3; }, 10000));
    SetText(page(), IDC_INTERVAL, _T("50"));
    Click(page(), IDC_AUTO_SEND);
    EXPECT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); }));
    EXPECT_EQ(shownWhileOpen, seen);
}

TEST_F(PrinterPageTest, AutoSendRaisesAShortIntervalAndRepeatsUntilStopped) {
    SetText(page(), IDC_INTERVAL, _T("5"));
    Click(page(), IDC_AUTO_SEND);
    EXPECT_EQ(Text(page(), IDC_INTERVAL), _T("20"));
    EXPECT_EQ(Caption(), _T("Stop"));
    EXPECT_FALSE(SendEnabled());
    const std::string sent = Received(5 * 19, 3000);
    EXPECT_EQ(sent.substr(0, 5 * 19), std::string(kDefaultText) + kDefaultText + kDefaultText +
                                          kDefaultText + kDefaultText);
    Click(page(), IDC_AUTO_SEND);
    ASSERT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); }));
    EXPECT_TRUE(SendEnabled());
    EXPECT_TRUE(WaitUntil([&] { return dlg.m_pagePrinter.m_autoSendThread.load() == nullptr; }));
}

TEST_F(PrinterPageTest, StopTakesEffectOnlyAfterTheCurrentPause) {
    SetText(page(), IDC_INTERVAL, _T("1500"));
    Click(page(), IDC_AUTO_SEND);
    EXPECT_EQ(Received(19, 2000), kDefaultText);
    const auto sent = std::chrono::steady_clock::now();
    Click(page(), IDC_AUTO_SEND);
    EXPECT_EQ(Caption(), _T("Stop"));  // still in its pause
    EXPECT_FALSE(SendEnabled());
    ASSERT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); }, 4000));
    // The pause ran its course: 1.5 s after the send, less the moment the bytes took to come.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(1000));
    EXPECT_TRUE(SendEnabled());
    EXPECT_EQ(Received(), "");  // it did not send again
}

TEST_F(PrinterPageTest, AutoSendWithAnEmptyTextDoesNothing) {
    Click(page(), IDC_CLEAR_SEND);
    Click(page(), IDC_AUTO_SEND);
    EXPECT_EQ(page().m_autoSendThread.load(), nullptr);  // nothing started
    EXPECT_EQ(Caption(), _T("Auto Send"));
    EXPECT_TRUE(SendEnabled());
}

TEST_F(PrinterPageTest, TheCardTabKeepsAutoSendGoingAndEveryOtherChangeStopsIt) {
    SetText(page(), IDC_INTERVAL, _T("50"));
    Click(page(), IDC_AUTO_SEND);
    ClickTab(1);
    Received(0, 100);
    EXPECT_FALSE(Received(19, 1000).empty());  // still sending while Card shows
    EXPECT_EQ(Caption(), _T("Stop"));
    ClickTab(0);  // from Card back to Printer
    ASSERT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); }));

    for (const int tab : {2, 3, 4}) {
        ClickTab(0);
        ASSERT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); }));
        Click(page(), IDC_AUTO_SEND);
        EXPECT_EQ(Caption(), _T("Stop"));
        ClickTab(tab);
        EXPECT_TRUE(WaitUntil([&] { return Caption() == _T("Auto Send"); })) << "tab " << tab;
    }
}

TEST_F(PrinterPageTest, ClosingWhileAutoSendRunsEndsItsThreadFirst) {
    SetText(page(), IDC_INTERVAL, _T("20"));
    Click(page(), IDC_AUTO_SEND);
    Received(3 * 19, 2000);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_pagePrinter.m_autoSendThread.load(), nullptr);
}

TEST_F(PrinterPageTest, ClearingOneBoxKeepsWhatWasTypedInTheOthers) {
    com0.Send("in");
    ASSERT_TRUE(WaitUntil([&] { return RecvBox() == _T("in"); }));
    SetText(page(), IDC_SEND_TEXT, _T("typed, not sent"));
    SetText(page(), IDC_INTERVAL, _T("777"));
    Click(page(), IDC_CLEAR_RECV);
    EXPECT_EQ(RecvBox(), _T(""));
    EXPECT_EQ(Text(page(), IDC_SEND_TEXT), _T("typed, not sent"));
    Click(page(), IDC_CLEAR_SEND);
    EXPECT_EQ(Text(page(), IDC_SEND_TEXT), _T(""));
    EXPECT_EQ(Text(page(), IDC_INTERVAL), _T("777"));
    com0.Send("x");
    ASSERT_TRUE(WaitUntil([&] { return RecvBox() == _T("x"); }));  // the reader starts afresh
}

TEST_F(PrinterPageTest, TheReceiveHexBoxChangesOnlyWhatArrivesNext) {
    com0.Send("A");
    ASSERT_TRUE(WaitUntil([&] { return RecvBox() == _T("A"); }));
    Click(page(), IDC_RECV_HEX);
    com0.Send("B\xA5");
    EXPECT_TRUE(WaitUntil([&] { return RecvBox() == _T("A42 A5 "); }));
}

class PrinterFileTest : public PrinterPageTest {
protected:
    // The device reads while the page sends: the click returns when the send has ended.
    std::string SendFile(const std::string& content) {
        const auto path = dir.Write("data.bin", content);
        rvtest::FileDialogs answer(QString::fromStdString(path.string()));
        std::string received;
        std::thread device([&] {
            for (int idle = 0; received.size() < content.size() && idle < 20;) {
                const std::string part = com0.Receive(0, 100);
                idle = part.empty() ? idle + 1 : 0;
                received += part;
            }
        });
        Click(page(), IDC_SEND_FILE);
        device.join();
        EXPECT_EQ(answer.Shown(), 1);
        return received;
    }
    rvtest::TempDir dir;
};

TEST_F(PrinterFileTest, AFileGoesOutExactlyAsItIsWhateverTheHexBoxesSay) {
    EXPECT_EQ(SendFile(""), "");
    std::string content(100000, '\0');
    std::mt19937 random(3);
    for (char& c : content) {
        c = static_cast<char>(random());
    }
    Click(page(), IDC_SEND_HEX);
    Click(page(), IDC_RECV_HEX);
    // XON and XOFF bytes are data here; the device's flow control is not under test.
    DCB dcb{};
    GetCommState(dlg.m_port, &dcb);
    dcb.fInX = 0;
    SetCommState(dlg.m_port, &dcb);
    EXPECT_TRUE(SendFile(content) == content);
}

TEST_F(PrinterFileTest, ALongSendShowsItsProgressAndCancelStopsItWithAPrefixSent) {
    const std::string content(300000, 'z');
    com0.Send("\x13");  // XOFF: the port takes (almost) nothing
    int canceled = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (progress && progress->isVisible() && !canceled) {
            ++canceled;
            progress->findChild<QPushButton*>()->click();
        }
    });
    watcher.start(20);
    const auto path = dir.Write("big.bin", content);
    rvtest::FileDialogs answer(QString::fromStdString(path.string()));
    Click(page(), IDC_SEND_FILE);  // returns once the send has ended
    EXPECT_EQ(canceled, 1);
    com0.Send("\x11");  // XON: what was taken comes out
    const std::string sent = Received(0, 1000);
    EXPECT_LT(sent.size(), content.size());
    EXPECT_EQ(sent, content.substr(0, sent.size()));
}

// Cancel while the send waits for its file (a pipe here), the port taking nothing: the write
// that would come next never starts, even once the port takes again.
TEST_F(PrinterFileTest, CancelBeforeAWriteStartsSendsNothingMore) {
    com0.Send("\x13");  // XOFF
    const std::string fifo = (dir.path() / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::promise<void> canceled;
    std::thread file([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);  // once the page has opened it
        canceled.get_future().wait();
        const std::string chunk(1024, 'z');
        EXPECT_EQ(write(fd, chunk.data(), chunk.size()), 1024);
        close(fd);
        com0.Send("\x11");  // XON: a write under way or to come would go out now
    });
    bool clicked = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (progress && progress->isVisible() && !clicked) {
            clicked = true;
            progress->findChild<QPushButton*>()->click();
            canceled.set_value();
        }
    });
    watcher.start(20);
    rvtest::FileDialogs answer(QString::fromStdString(fifo));
    Click(page(), IDC_SEND_FILE);  // returns once the send has ended
    file.join();
    EXPECT_TRUE(clicked);
    // Whatever the send wrote comes before the mark.
    const BYTE mark[] = {'#'};
    WriteBytes(dlg.m_port, mark, 1);
    std::string sent;
    while (sent.empty() || sent.back() != '#') {
        const std::string part = Received(1, 5000);
        ASSERT_FALSE(part.empty());
        sent += part;
    }
    EXPECT_EQ(sent, "#");
}

}  // namespace
