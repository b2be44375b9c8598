// Without a keyboard: the on-screen keyboard comes up in the main dialog for the Printer
// page's boxes, keeps the box in view, and its keys type what is sent on COM0.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTest>

#include "tests/pages/dialog_fixture.h"

namespace {

using rvtest::WaitUntil;

class OnScreenKeyboardTest : public pagetest::DialogTest {
protected:
    void SetUp() override {
        Open();
        window = rvtest::WidgetOf(dlg.m_hWnd);
        window->activateWindow();
    }
    void TearDown() override {
        setenv("RV4417_KEYBOARD", "none", 1);
        pagetest::DialogTest::TearDown();
    }
    CPrinterPage& page() { return dlg.m_pagePrinter; }
    QWidget* Box(int id) { return rvtest::ControlOf(page(), id); }

    // A tap on a box, where a technician's finger would go.
    void Tap(QWidget* box) {
        auto* area = qobject_cast<QAbstractScrollArea*>(box);
        QWidget* target = area ? area->viewport() : box;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(10, 10));
        ASSERT_TRUE(WaitUntil([&] { return box->hasFocus(); }));
    }
    QQuickWidget* Keyboard() { return window->findChild<QQuickWidget*>(); }
    bool KeyboardUp() {
        QQuickWidget* keyboard = Keyboard();
        return keyboard && keyboard->isVisible() &&
               keyboard->rootObject()->property("active").toBool();
    }

    // The keys on show now, each with its text (letters, digits) or its Qt key (others).
    std::vector<QQuickItem*> Keys() {
        std::vector<QQuickItem*> keys;
        std::vector<QQuickItem*> items{Keyboard()->rootObject()};
        while (!items.empty()) {
            QQuickItem* item = items.back();
            items.pop_back();
            if (!item->isVisible()) {
                continue;
            }
            if (item->property("key").isValid() && item->property("text").isValid() &&
                item->width() > 0) {
                keys.push_back(item);
            }
            const QList<QQuickItem*> children = item->childItems();
            items.insert(items.end(), children.begin(), children.end());
        }
        return keys;
    }
    void Press(QQuickItem* key) {
        const QPointF centre = key->mapToScene(QPointF(key->width() / 2, key->height() / 2));
        QTest::mouseClick(Keyboard(), Qt::LeftButton, {}, centre.toPoint());
    }
    // Types with the keyboard's own keys: letters by their text, '\n' with its Enter key.
    // The keyboard lays its keys out after it comes up.
    void Type(const QString& text) {
        for (const QChar c : text) {
            QQuickItem* key = nullptr;
            const auto found = [&] {
                for (QQuickItem* k : Keys()) {
                    if (c == u'\n' ? k->property("key").toInt() == Qt::Key_Return
                                   : k->property("text").toString() == c) {
                        key = k;
                    }
                }
                return key != nullptr;
            };
            ASSERT_TRUE(WaitUntil(found)) << "no key for " << QString(c).toStdString();
            Press(key);
        }
    }

    QWidget* window = nullptr;
};

TEST_F(OnScreenKeyboardTest, ItsKeysTypeIntoTheSendBoxKeptInViewAboveItAndTheTextIsSent) {
    SetText(page(), IDC_SEND_TEXT, _T(""));
    QWidget* box = Box(IDC_SEND_TEXT);
    QWidget* tabs = rvtest::ControlOf(dlg, IDC_TAB);
    const QPoint home = tabs->pos();
    Tap(box);
    ASSERT_TRUE(WaitUntil([&] { return KeyboardUp(); }));

    // The send box lies in the dialog's lower half: the dialog's contents went up for it.
    const QRect shown(box->mapTo(window, QPoint(0, 0)), box->size());
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.bottom(), Keyboard()->geometry().top());
    EXPECT_LT(tabs->pos().y(), home.y());
    EXPECT_EQ(Keyboard()->geometry().bottom(), window->height() - 1);

    Type(u"hello\n"_qs);
    EXPECT_EQ(Text(page(), IDC_SEND_TEXT), _T("hello\r\n"));
    EXPECT_TRUE(box->hasFocus());  // the keys never take it
    Click(page(), IDC_SEND);
    EXPECT_EQ(Received(7), "hello\r\n");

    // The focus went to the button: the keyboard went, and the dialog's contents came back.
    EXPECT_FALSE(Keyboard()->isVisible());
    EXPECT_EQ(tabs->pos(), home);
}

TEST_F(OnScreenKeyboardTest, TheIntervalBoxGetsDigitsAndAKeyboardMakesItUnneeded) {
    Tap(Box(IDC_INTERVAL));
    ASSERT_TRUE(WaitUntil([&] { return KeyboardUp(); }));
    Type(u"7"_qs);  // the letters have no 7 of their own
    EXPECT_TRUE(Text(page(), IDC_INTERVAL).Find(_T('7')) >= 0);
    for (QQuickItem* key : Keys()) {
        const QString text = key->property("text").toString();
        EXPECT_FALSE(!text.isEmpty() && text.at(0).isLetter()) << text.toStdString();
    }

    // A keyboard plugged in: the boxes take the focus and no keyboard comes up.
    Tap(Box(IDC_SEND_TEXT));
    ASSERT_TRUE(WaitUntil([&] { return KeyboardUp(); }));
    Click(page(), IDC_SEND_HEX);
    ASSERT_FALSE(Keyboard()->isVisible());
    setenv("RV4417_KEYBOARD", "present", 1);
    Tap(Box(IDC_SEND_TEXT));
    EXPECT_FALSE(Keyboard()->isVisible());
}

}  // namespace
