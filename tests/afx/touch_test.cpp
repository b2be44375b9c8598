// Stylus and finger on the text boxes, with real touch events: a finger drags the text along
// (kinetic scrolling), a mouse or stylus drag selects it.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QPointingDevice>
#include <QScrollBar>
#include <QScroller>
#include <QTest>

#include <memory>

#include "tests/afx/test_dialog.h"
#include "tests/support/gui.h"

namespace {

class TouchTest : public testing::Test {
protected:
    void SetUp() override {
        afxtest::RegisterTestResources();
        ASSERT_TRUE(dlg.Create(afxtest::kDialogId));
        ASSERT_TRUE(rvtest::WaitUntil([&] { return rvtest::WidgetOf(dlg.m_hWnd)->isVisible(); }));
        CString lines;
        for (int i = 0; i < 200; ++i) {
            lines += _T("a line of text\r\n");
        }
        dlg.GetDlgItem(afxtest::kMulti)->SetWindowText(lines);
        dlg.GetDlgItem(afxtest::kView)->SetWindowText(lines);
    }
    void TearDown() override { dlg.DestroyWindow(); }

    QAbstractScrollArea* Box(int id) {
        return qobject_cast<QAbstractScrollArea*>(rvtest::ControlOf(dlg, id));
    }
    std::pair<int, int> Selection(int id) {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageW(::GetDlgItem(dlg, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }

    afxtest::TestDialog dlg;
};

TEST_F(TouchTest, AFingerScrollsTheTextBoxesAndAMouseDragSelects) {
    const std::unique_ptr<QPointingDevice> screen(
        QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen));
    for (const int id : {afxtest::kMulti, afxtest::kView}) {
        SCOPED_TRACE(id);
        QAbstractScrollArea* box = Box(id);
        ASSERT_NE(box, nullptr);
        QWidget* viewport = box->viewport();
        QScrollBar* bar = box->verticalScrollBar();
        ASSERT_EQ(bar->value(), 0);
        const qreal line = QFontMetricsF(box->font()).lineSpacing();
        const int drag = viewport->height() - 10;
        ASSERT_GT(drag, 3 * line);

        // The finger moves up by drag pixels, and sideways as fingers do, in steps: the text
        // follows it line by line.
        QPoint finger(10, viewport->height() - 5);
        QTest::touchEvent(viewport, screen.get()).press(0, finger, viewport);
        for (int moved = 0; moved < drag; moved += 5) {
            finger += QPoint(2, -5);
            QTest::touchEvent(viewport, screen.get()).move(0, finger, viewport);
            QTest::qWait(5);  // the finger's speed, for the scroller's velocity
        }
        const int followed = bar->value();
        EXPECT_NEAR(followed, drag / line, 2);
        QTest::touchEvent(viewport, screen.get()).release(0, finger, viewport);
        // Let go at speed, the text goes on moving.
        EXPECT_TRUE(rvtest::WaitUntil([&] { return bar->value() > followed + 2; }));
        QScroller::scroller(box)->stop();
        const auto [start, end] = Selection(id);
        EXPECT_EQ(start, end) << "a finger selected text";

        // A mouse (or a stylus, which Qt turns into one) drags a selection.
        bar->setValue(0);
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(5, 5));
        for (int y = 10; y <= 3 * line; y += 5) {
            QTest::mouseMove(viewport, QPoint(40, y));
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(40, static_cast<int>(3 * line)));
        const auto [from, to] = Selection(id);
        EXPECT_GT(to - from, 20);
        EXPECT_EQ(bar->value(), 0);
    }
}

}  // namespace
