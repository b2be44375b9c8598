// Growing a shared receive text in slices, and the reader's step of appending and showing.
#include "platform/afx/receive_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// A text shared under a lock, as a reader and the user-interface thread share a receive text.
struct SharedText {
    CCriticalSection lock;
    CString* text = nullptr;
    int locks = 0;
    // What another thread did while the lock was free: run as the next hold begins, before
    // the growth looks at the text again.
    std::function<void()> between;

    std::function<CString*()> Target() {
        return [this] {
            if (locks++ > 0 && between) {
                between();
            }
            return text;
        };
    }
};

TEST(ReceiveTextTest, ASharedTextGrowsInSlicesAndKeepsWhatIsAppendedMeanwhile) {
    CString text(u'a', 100);
    const auto lineage = text.Lineage();
    SharedText shared;
    shared.text = &text;
    CString expected(u'a', 100);
    shared.between = [&] {
        text += _T("bc");
        expected += _T("bc");
    };
    AfxGrowSharedText(shared.lock, shared.Target(), 50, 10);
    EXPECT_GE(shared.locks, 10);  // never the whole copy under one hold
    EXPECT_EQ(text.Lineage(), lineage);
    EXPECT_EQ(text, expected);
    const int length = text.GetLength();
    const LPCWSTR before = text.GetString();
    text += CString(u'z', 50);  // the room is there: no copy
    EXPECT_EQ(text.GetString(), before);
    EXPECT_EQ(text.GetLength(), length + 50);
}

TEST(ReceiveTextTest, ASharedTextReplacedOrReroutedDuringTheGrowthIsLeftAsItIs) {
    CString text(u'a', 100);
    CString other(_T("other"));
    SharedText shared;
    shared.text = &text;
    shared.between = [&] {
        if (shared.locks == 3) {
            text = _T("cleared");  // the user cleared the box
        }
    };
    AfxGrowSharedText(shared.lock, shared.Target(), 50, 10);
    EXPECT_EQ(text, _T("cleared"));
    EXPECT_EQ(shared.locks, 3);  // gave up at once

    CString long1(u'b', 100);
    shared.text = &long1;
    shared.locks = 0;
    shared.between = [&] {
        shared.text = &other;  // another page became the receive target
    };
    AfxGrowSharedText(shared.lock, shared.Target(), 50, 10);
    EXPECT_EQ(long1, CString(u'b', 100));
    EXPECT_EQ(other, _T("other"));

    // Outgrowing the new room meanwhile leaves the growth to the append.
    CString grows(u'c', 100);
    shared.text = &grows;
    shared.locks = 0;
    shared.between = [&] { grows += CString(u'd', 150); };
    AfxGrowSharedText(shared.lock, shared.Target(), 50, 10);
    EXPECT_EQ(grows.GetLength(), 100 + 150 * (shared.locks - 1));
    EXPECT_EQ(grows.Left(250), CString(u'c', 100) + CString(u'd', 150));
}

TEST(ReceiveTextTest, ASharedTextGrowsWhileAnotherThreadAppends) {
    CString text(u'a', 1000);
    SharedText shared;
    shared.text = &text;
    std::atomic<bool> stop{false};
    std::thread appender([&] {
        for (int i = 0; !stop; ++i) {
            CSingleLock hold(&shared.lock, TRUE);
            CString chunk;
            chunk.Format(_T("%d;"), i);
            text += chunk;
        }
    });
    for (int round = 0; round < 200; ++round) {
        AfxGrowSharedText(shared.lock, shared.Target(), 64, 100);
    }
    stop = true;
    appender.join();
    CString expected(u'a', 1000);
    for (int i = 0; expected.GetLength() < text.GetLength(); ++i) {
        CString chunk;
        chunk.Format(_T("%d;"), i);
        expected += chunk;
    }
    EXPECT_EQ(text, expected);
}

}  // namespace
