// Worker threads and the user-interface thread: cross-thread window calls, waits that keep
// serving them, texts that workers queue, locks, worker threads and timers.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QThread>
#include <atomic>
#include <chrono>
#include <new>
#include <thread>

#include "platform/afx/testing.h"
#include "platform/afx/ui_thread_p.h"
#include "tests/afx/test_dialog.h"
#include "tests/support/gui.h"

namespace {

using afxtest::TestDialog;
using Clock = std::chrono::steady_clock;

class ThreadsTest : public testing::Test {
protected:
    void SetUp() override {
        afxtest::RegisterTestResources();
        ASSERT_TRUE(dlg.Create(afxtest::kDialogId));
    }
    void TearDown() override {
        dlg.DestroyWindow();
        AfxScaleTimersForTesting(1);
    }
    QString LineText() {
        return qobject_cast<QLineEdit*>(rvtest::ControlOf(dlg, afxtest::kLine))->text();
    }
    // Workers take the controls once: every lookup is a round trip to the user-interface
    // thread, which the test's waits serve only every few milliseconds.
    CWnd& View() { return *dlg.GetDlgItem(afxtest::kView); }
    CString ViewText() {
        CString text;
        View().GetWindowText(text);
        return text;
    }
    // Chunk i of a worker's growing text, of varying length.
    static CString Chunk(int i) {
        CString chunk;
        chunk.Format(_T("%d:%.*s;"), i, i % 7, _T("abcdefg"));
        return chunk;
    }

    TestDialog dlg;
};

TEST_F(ThreadsTest, AWorkersWindowCallIsServedWhileTheUserInterfaceThreadSleeps) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        dlg.GetDlgItem(afxtest::kLine)->SetWindowText(_T("from the worker"));
        done = true;
    });
    const auto start = Clock::now();
    while (!done && Clock::now() - start < std::chrono::seconds(5)) {
        Sleep(20);  // a platform wait: it serves the call
    }
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(LineText(), "from the worker");
}

TEST_F(ThreadsTest, ALockAWorkerHoldsWhileCallingAWindowCannotBlockTheUserInterfaceThread) {
    CCriticalSection lock;
    std::atomic<bool> holding{false};
    std::thread worker([&] {
        CSingleLock held(&lock, TRUE);
        holding = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        dlg.GetDlgItem(afxtest::kLine)->SetWindowText(_T("under the lock"));
    });
    while (!holding) {
        std::this_thread::yield();
    }
    {
        CSingleLock mine(&lock, TRUE);  // waits, serving the worker's call meanwhile
        EXPECT_EQ(LineText(), "under the lock");
    }
    worker.join();
}

// A reader under a flood takes the lock again as soon as it lets it go; the user-interface
// thread, woken only by the release, would lose every race and the window would freeze.
TEST_F(ThreadsTest, AWorkerRetakingALockInALoopLetsAWaitingUserInterfaceThreadIn) {
    CCriticalSection lock;
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread worker([&] {
        while (!stop) {
            CSingleLock held(&lock, TRUE);
            ++rounds;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    while (rounds == 0) {
        std::this_thread::yield();
    }
    for (int turn = 0; turn < 5; ++turn) {
        const int before = rounds;
        {
            CSingleLock mine(&lock, TRUE);
            EXPECT_LE(rounds - before, 2) << "turn " << turn;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    stop = true;
    worker.join();
}

UINT CallsTheDialog(LPVOID param) {
    auto* dialog = static_cast<TestDialog*>(param);
    dialog->SendMessage(WM_APP + 7, 1, 2);
    return 7;
}

// A reader's pattern: the whole growing text for every chunk, then the caret to its end.
// The worker does not wait for these, yet its own later calls and the user-interface
// thread's calls see them done, in order.
TEST_F(ThreadsTest, TextsAWorkerQueuesArriveWholeAndInOrder) {
    CString text;
    std::atomic<int> mismatches{0};
    std::atomic<bool> finished{false};
    CWnd& view = View();
    CWnd& line = *dlg.GetDlgItem(afxtest::kLine);
    std::thread worker([&] {
        for (int i = 0; i < 3000; ++i) {
            text += Chunk(i);
            view.SetWindowText(text);
            const int n = text.GetLength();
            view.SendMessage(EM_SETSEL, static_cast<WPARAM>(n - 1), n);
            view.SendMessage(EM_SCROLLCARET, 0, 0);
            if (i % 250 == 0) {
                CString shown;
                view.GetWindowText(shown);  // waits: comes after what was queued
                mismatches += shown == text ? 0 : 1;
                CString number;
                number.Format(_T("line %d"), i);
                line.SetWindowText(number);  // not a text view
            }
        }
        finished = true;
    });
    ASSERT_TRUE(rvtest::WaitUntil([&] { return finished.load(); }, 30000));
    worker.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(ViewText(), text);
    EXPECT_EQ(LineText(), "line 2750");
    DWORD from = 0;
    DWORD to = 0;
    View().SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(to, static_cast<DWORD>(text.GetLength()));
    EXPECT_EQ(from, to - 1);
}

// The user-interface thread sets the view to something else now and then: a worker's text
// queued after such a change must show whole, whether the change comes between two of the
// worker's texts or races with them.
TEST_F(ThreadsTest, AQueuedTextAfterAnotherChangeOfTheViewShowsWhole) {
    CString text;
    std::atomic<int> round{0};
    std::atomic<int> queued{0};
    std::atomic<bool> racing{false};
    std::atomic<bool> finished{false};
    CWnd& view = View();
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {  // in step: change, then one text
            while (round <= i) {
                std::this_thread::yield();
            }
            text += Chunk(i);
            view.SetWindowText(text);
            queued = i + 1;
        }
        for (int i = 20; racing; ++i) {
            text += Chunk(i);
            view.SetWindowText(text);
        }
        text += _T("end");
        view.SetWindowText(text);
        finished = true;
    });
    for (int i = 0; i < 20; ++i) {
        View().SetWindowText(_T("something else"));
        racing = i == 19;
        ++round;
        ASSERT_TRUE(rvtest::WaitUntil([&] { return queued > i; }, 5000));
        if (i < 19) {
            ASSERT_TRUE(rvtest::WaitUntil([&] { return ViewText() == text; }, 2000)) << i;
        }
    }
    for (int i = 0; i < 30; ++i) {
        View().SetWindowText(_T("something else"));
        rvtest::Pump(2);
    }
    racing = false;
    ASSERT_TRUE(rvtest::WaitUntil([&] { return finished.load(); }, 30000));
    worker.join();
    EXPECT_EQ(ViewText(), text);

    // The user-interface thread's own growing text, emptied and grown again, also appends.
    CString own = _T("abc");
    View().SetWindowText(own);
    own.Empty();
    View().SetWindowText(own);
    own += _T("xyz");
    View().SetWindowText(own);
    EXPECT_EQ(ViewText(), _T("xyz"));
}

// A worker that is far ahead waits for room in the queue; a window that goes while texts
// are queued for it takes them nowhere.
TEST_F(ThreadsTest, AWorkerFarAheadWaitsAndAViewThatGoesTakesNothing) {
    std::atomic<int> done{0};
    // The worker's own wrapper: the framework's one goes with the window.
    CWnd view;
    view.m_hWnd = View().m_hWnd;
    std::thread worker([&] {
        CString text;
        for (int i = 0; i < 5000; ++i) {
            text += Chunk(i);
            view.SetWindowText(text);
            ++done;
        }
    });
    // Not serving: the worker fills the queue and waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(done, 2000);
    rvtest::Pump(20);
    dlg.DestroyWindow();  // the rest goes nowhere
    ASSERT_TRUE(rvtest::WaitUntil([&] { return done == 5000; }, 30000));
    worker.join();
    view.m_hWnd = nullptr;  // nothing left to release
}

TEST_F(ThreadsTest, WaitingForAThreadOnTheUserInterfaceThreadServesItsWindowCalls) {
    CWinThread* thread =
        AfxBeginThread(CallsTheDialog, &dlg, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
    thread->m_bAutoDelete = FALSE;
    Sleep(50);
    EXPECT_TRUE(dlg.log.empty());  // suspended
    thread->ResumeThread();
    EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(dlg.log, std::vector<std::string>{"ping"});
    EXPECT_EQ(thread->ExitCode(), 7u);
    delete thread;  // joins
}

TEST_F(ThreadsTest, AutoDeletingThreadsAreJoinedByTheFramework) {
    std::atomic<int> ran{0};
    for (int i = 0; i < 20; ++i) {
        AfxBeginThread(
            [](LPVOID p) -> UINT { return ++*static_cast<std::atomic<int>*>(p) > 0 ? 0 : 1; },
            &ran);
    }
    EXPECT_TRUE(rvtest::WaitUntil([&] { return ran == 20; }));
    rvtest::Pump(50);  // their release runs in the event loop; leaks would show under ASan
}

TEST_F(ThreadsTest, AWorkersDataExchangeRunsOnTheUserInterfaceThread) {
    rvtest::MessageBoxes boxes(IDOK);
    dlg.GetDlgItem(afxtest::kNumber)->SetWindowText(_T("0"));
    BOOL result = TRUE;
    std::thread worker([&] { result = dlg.UpdateData(TRUE); });
    ASSERT_TRUE(rvtest::WaitUntil([&] { return boxes.Seen().size() == 1; }));
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(dlg.m_number, 0);
}

TEST_F(ThreadsTest, TimersDeliverTheirIdUntilKilledFromAnyThread) {
    dlg.SetTimer(1, 30, nullptr);
    ASSERT_TRUE(rvtest::WaitUntil([&] { return dlg.timers.size() >= 2; }));
    std::atomic<bool> killed{false};
    std::thread killer([&] { killed = dlg.KillTimer(1) != FALSE; });
    ASSERT_TRUE(
        rvtest::WaitUntil([&] { return killed.load(); }));  // a plain join would not serve it
    killer.join();
    const size_t seen = dlg.timers.size();
    rvtest::Pump(120);
    EXPECT_EQ(dlg.timers.size(), seen);
    EXPECT_EQ(dlg.timers.front(), 1u);
    EXPECT_FALSE(dlg.KillTimer(1));

    // Tests may run the clock faster: ten seconds in a tenth of one.
    AfxScaleTimersForTesting(100);
    const auto start = Clock::now();
    dlg.SetTimer(2, 10000, nullptr);
    ASSERT_TRUE(rvtest::WaitUntil([&] { return dlg.timers.back() == 2u; }, 3000));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

// A worker's call may run a handler (a data exchange and its message box): it runs where the
// user-interface thread waits or in its event loop, never inside a window call of its own
// (here a control lookup). What it throws reaches the worker, which always wakes.
TEST_F(ThreadsTest, AWorkersCallRunsOnlyWhereTheUserInterfaceThreadWaitsAndThrowsToTheWorker) {
    bool inLookup = false;
    bool ranInLookup = false;
    std::atomic<bool> ran{false};
    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            afx_detail::RunOnUi([&] {
                ranInLookup = inLookup;
                ran = true;
                throw std::bad_alloc();
            });
        } catch (const std::bad_alloc&) {
            caught = true;
        }
    });
    while (afx_detail::QueuedOnUi() == 0) {
        std::this_thread::yield();
    }
    inLookup = true;
    EXPECT_NE(dlg.GetDlgItem(afxtest::kLine), nullptr);
    inLookup = false;
    EXPECT_FALSE(ran);
    EXPECT_NO_THROW(Sleep(1));  // a wait serves it
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(ranInLookup);
    EXPECT_TRUE(caught);
}

}  // namespace
