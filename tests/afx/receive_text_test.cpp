// Receive texts: a worker appending through the readers' step to a text that data exchange
// binds to its box, as the pages' readers do; the bound; the box going while chunks are on
// their way.
#include "platform/afx/receive_text.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <atomic>
#include <thread>
#include <vector>

#include "tests/afx/test_templates.h"
#include "tests/support/gui.h"

namespace {

// A page in miniature: its receive box bound by data exchange to its receive text.
class ReceivePage : public CDialog {
public:
    ReceivePage() : CDialog(afxtest::kDialogId) {}

    CEdit m_recvEdit;
    CString m_recvText;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, afxtest::kView, m_recvEdit);
        DDX_Text(dx, afxtest::kView, m_recvText);
    }
};

class ReceiveTextTest : public testing::Test {
protected:
    void SetUp() override {
        afxtest::RegisterTestResources();
        ASSERT_TRUE(page.Create(afxtest::kDialogId));
    }
    void TearDown() override { page.DestroyWindow(); }

    CString Box() {
        CString text;
        page.m_recvEdit.GetWindowText(text);
        return text;
    }

    ReceivePage page;
};

// What a reader hands over, and where each whole unit (a character, or a hex group) begins.
struct Stream {
    std::vector<CString> chunks;
    std::u16string all;
    std::vector<bool> unitStart;  // per position of all, and one past its end
};

// Hex chunks of 50 bytes, with a chunk of characters now and then, as when the user ticks
// and unticks "Hex" during a flood.
Stream MakeStream(int characters) {
    Stream s;
    for (int i = 0; static_cast<int>(s.all.size()) < characters; ++i) {
        CString chunk;
        const bool hex = i % 97 != 0;
        for (int k = 0; k < 50; ++k) {
            CString one;
            one.Format(hex ? _T("%.2X ") : _T("%c"), static_cast<unsigned char>(i * 7 + k));
            for (int u = 0; u < one.GetLength(); ++u) {
                s.unitStart.push_back(u == 0);
            }
            chunk += one;
        }
        s.all += chunk.str();
        s.chunks.push_back(chunk);
    }
    s.unitStart.push_back(true);
    return s;
}

TEST_F(ReceiveTextTest, AFloodPastTheBoundKeepsTheNewestWholeUnitsWithTheCaretAtTheEnd) {
    const Stream stream = MakeStream(kAfxReceiveTextLimit + kAfxReceiveTextLimit / 2);
    std::atomic<bool> finished{false};
    std::thread reader([&] {
        for (const CString& chunk : stream.chunks) {
            AfxAppendAndShow(page.m_recvText, chunk, page.m_recvEdit);
        }
        page.m_recvEdit.GetWindowTextLength();  // waits: comes after every step queued
        finished = true;
    });
    int longest = 0;
    ASSERT_TRUE(rvtest::WaitUntil(
        [&] {
            longest = std::max(longest, page.m_recvText.GetLength());
            return finished.load();
        },
        120000));
    reader.join();

    const std::u16string& kept = page.m_recvText.str();
    EXPECT_LE(longest, kAfxReceiveTextLimit);
    ASSERT_GE(kept.size(), static_cast<size_t>(kAfxReceiveTextLimit / 8 * 7));
    ASSERT_LE(kept.size(), static_cast<size_t>(kAfxReceiveTextLimit));
    const size_t cut = stream.all.size() - kept.size();
    EXPECT_TRUE(kept == stream.all.substr(cut)) << "not the newest text";
    EXPECT_TRUE(stream.unitStart[cut]) << "a character or a group was split at " << cut;
    EXPECT_TRUE(Box() == page.m_recvText);
    int start = 0;
    int end = 0;
    page.m_recvEdit.GetSel(start, end);
    EXPECT_EQ(end, static_cast<int>(kept.size()));
    EXPECT_EQ(start, end - 1);
    const QScrollBar* bar =
        qobject_cast<QAbstractScrollArea*>(rvtest::ControlOf(page, afxtest::kView))
            ->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());  // the last line in view
}

// Data exchange binds the member to the box: reading leaves it as the box shows it, showing
// it empties the box after a clear, and what the reader appends goes to both.
TEST_F(ReceiveTextTest, DataExchangeReadsAndShowsTheTextTheReaderAppendsTo) {
    page.m_recvEdit.SetWindowText(_T("typed in"));
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_recvText, _T("typed in"));
    AfxAppendAndShow(page.m_recvText, _T(" 41 "), page.m_recvEdit);
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_recvText, _T("typed in 41 "));
    EXPECT_EQ(Box(), _T("typed in 41 "));
    page.m_recvText.Empty();
    ASSERT_TRUE(page.UpdateData(FALSE));
    EXPECT_EQ(Box(), _T(""));
    AfxAppendAndShow(page.m_recvText, _T("0D "), page.m_recvEdit);
    EXPECT_EQ(Box(), _T("0D "));
    int start = 0;
    int end = 0;
    page.m_recvEdit.GetSel(start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 3);
}

// Chunks still on their way when the box goes touch neither the box nor the text.
TEST_F(ReceiveTextTest, ChunksForABoxThatWentGoNowhere) {
    std::atomic<int> handed{0};
    CEdit box;  // the reader's own wrapper: the page's goes with the window
    box.m_hWnd = page.m_recvEdit.m_hWnd;
    std::thread reader([&] {
        for (int i = 0; i < 5000; ++i) {
            AfxAppendAndShow(page.m_recvText, _T("41 "), box);
            ++handed;
        }
    });
    ASSERT_TRUE(rvtest::WaitUntil([&] { return handed > 100; }));
    page.DestroyWindow();
    const int shown = page.m_recvText.GetLength();
    ASSERT_TRUE(rvtest::WaitUntil([&] { return handed == 5000; }, 30000));
    reader.join();
    rvtest::Pump(20);
    EXPECT_EQ(page.m_recvText.GetLength(), shown);
    EXPECT_LT(shown, 3 * 5000);
    box.m_hWnd = nullptr;  // nothing left to release
}

}  // namespace
