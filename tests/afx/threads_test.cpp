// Worker threads and the user-interface thread: cross-thread window calls, waits that keep
// serving them, locks, worker threads and timers.
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
