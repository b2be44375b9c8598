// TextView on real widgets under the offscreen platform: the text it holds, how it wraps and
// breaks lines, selection and scrolling, mouse and keyboard, selection painting and the
// accessible interface.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <memory>
#include <random>
#include <vector>

#include "platform/afx/qt_text_p.h"
#include "platform/afx/text_view_p.h"

namespace {

using afx_detail::TextView;
using namespace Qt::StringLiterals;

// The GUI entry point makes the application; run alone, the suite makes its own, offscreen.
class QtApplication : public testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (QApplication::instance() == nullptr) {
            m_app = std::make_unique<QApplication>(m_argc, m_argv.data());
        }
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "text_view_test";
    std::array<char*, 2> m_argv{m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] testing::Environment* const kApplication =
    testing::AddGlobalTestEnvironment(new QtApplication);

// A receive box's size, shown.
class TextViewTest : public testing::Test {
protected:
    TextViewTest() {
        view.resize(380, 200);
        view.show();
    }

    static std::vector<int> LineStarts(const TextView& v) {
        std::vector<int> starts;
        starts.reserve(static_cast<size_t>(v.VisualLineCount()));
        for (int line = 0; line < v.VisualLineCount(); ++line) {
            starts.push_back(v.VisualLineStart(line));
        }
        return starts;
    }

    int LineEnd(int line) const {
        return line + 1 < view.VisualLineCount() ? view.VisualLineStart(line + 1) : view.Length();
    }

    int Rows() const { return view.viewport()->height() / view.LineHeight(); }

    // A point inside the character cell that starts at pos.
    QPoint PointAt(int pos) const {
        const QRect rect = view.PositionRect(pos);
        return {rect.left() + 1, rect.center().y()};
    }

    TextView view;
};

// Received-looking text mixing every kind of character the view treats specially.
QString MixedText(unsigned seed, int pieces) {
    static const QString kPieces[] = {
        "41 0D A5 ",
        "status",
        "OK",
        " ",
        "  ",
        "\r\n",
        "\r",
        "\n",
        "\t",
        u"接收数据"_s,
        u"\U0001F600"_s,
        u"\U0001D11E\U0001F600"_s,
        "Supercalifragilisticexpialidocious-and-then-some-more-characters",
        "\x01"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
    QString text;
    for (int i = 0; i < pieces; ++i) {
        text += kPieces[pick(random)];
    }
    return text;
}

using TextViewText = TextViewTest;

TEST_F(TextViewText, ReadsBackExactlyWhatWasSetAndAppended) {
    const QString samples[] = {
        "",
        "plain",
        "a\r\nb\rc\nd\n\r\r\n",
        u"串口接收：数据正常\r\n"_s,
        u"\U0001F600x\U0001D11E"_s,
        "tab\there\x01\x1b[0m\x7f",
    };
    QString all;
    for (const QString& sample : samples) {
        view.SetText(sample);
        EXPECT_EQ(view.Text(), sample);
        EXPECT_EQ(view.Length(), sample.size());
        all += sample;
    }
    view.SetText({});
    for (const QString& sample : samples) {
        view.AppendText(sample);
    }
    EXPECT_EQ(view.Text(), all);
    EXPECT_EQ(view.Length(), all.size());
}

TEST_F(TextViewText, AppendingInPiecesLaysOutAsSettingTheWhole) {
    TextView whole;
    whole.resize(view.size());
    whole.show();
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const QString text = MixedText(seed, 600);
        whole.SetText(text);
        view.SetText({});
        // Pieces of 1 to 40 units split CR LF pairs and surrogate pairs as often as not.
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> size(1, 40);
        for (int at = 0; at < text.size();) {
            const int n = std::min<int>(size(random), static_cast<int>(text.size()) - at);
            view.AppendText(QStringView(text).mid(at, n));
            at += n;
        }
        ASSERT_EQ(view.Text(), text) << "seed " << seed;
        EXPECT_GT(whole.VisualLineCount(), 50);
        EXPECT_EQ(LineStarts(view), LineStarts(whole)) << "seed " << seed;
    }
    // What ends a line may arrive split: CR | LF, and the halves of a pair where a run of
    // characters without width reaches the longest line kept.
    const std::pair<QString, QString> splits[] = {
        {"data\r", "\nmore"},
        {QString(2047, u'\x01') + QChar(0xd83d), QString(QChar(0xde00)) + "x"},
    };
    for (const auto& [head, tail] : splits) {
        whole.SetText(head + tail);
        view.SetText(head);
        view.AppendText(tail);
        EXPECT_EQ(LineStarts(view), LineStarts(whole));
    }
}

// A bound text is read in place. When its front goes, the lines after the cut stay as they
// were, shifted, the line that held the cut begins the text, and what the text gains after
// that is laid out as if nothing had gone. Emptied without a word, it is laid out anew before
// the next event reads it.
TEST_F(TextViewText, ABoundTextThatLosesItsFrontKeepsTheLinesAfterTheCut) {
    const QString first = MixedText(3, 600);
    const QString more = MixedText(4, 300);
    TextView whole;
    whole.resize(view.size());
    whole.show();
    whole.SetText(first + more);
    CString text = afx_detail::FromQString(first);
    view.Bind(text);
    const int cut = LineStarts(view)[static_cast<size_t>(view.VisualLineCount() / 2)] + 3;
    view.DropFront(cut);
    text.Delete(0, cut);
    view.Grown();
    text += afx_detail::FromQString(more);
    view.Grown();
    ASSERT_TRUE(view.Text() == QStringView(first + more).mid(cut));
    std::vector<int> expected{0};
    for (const int start : LineStarts(whole)) {
        if (start > cut) {
            expected.push_back(start - cut);
        }
    }
    EXPECT_EQ(LineStarts(view), expected);

    text.Empty();  // untold: a click must not read what is gone
    QTest::mouseClick(view.viewport(), Qt::LeftButton);
    EXPECT_EQ(view.Length(), 0);
    EXPECT_EQ(view.VisualLineCount(), 1);
}

using TextViewLines = TextViewTest;

TEST_F(TextViewLines, CrLfIsOneBreakAndLoneCrOrLfBreakToo) {
    const struct {
        QString text;
        std::vector<int> starts;
    } cases[] = {
        {"", {0}},         {"a\r\nb", {0, 3}},    {"a\rb", {0, 2}},
        {"a\nb", {0, 2}},  {"a\n\rb", {0, 2, 3}}, {"a\r\r\nb", {0, 2, 4}},
        {"a\r\n", {0, 3}},
    };
    for (const auto& c : cases) {
        view.SetText(c.text);
        EXPECT_EQ(LineStarts(view), c.starts) << c.text.toStdString();
    }
    // The LF of a CR LF arriving later joins the break already shown.
    view.SetText("a\r");
    view.AppendText(u"\nb");
    EXPECT_EQ(LineStarts(view), (std::vector<int>{0, 3}));
}

TEST_F(TextViewLines, TextWithoutBreaksFillsEveryLineToTheEdge) {
    view.SetText(QString(3000, u'x'));
    ASSERT_GT(view.VisualLineCount(), 3);
    const int perLine = LineEnd(0);
    const double charWidth =
        static_cast<double>(view.PositionRect(perLine - 1).left() - view.PositionRect(0).left()) /
        (perLine - 1);
    const int width = view.viewport()->width();
    EXPECT_LE(perLine * charWidth, width);
    EXPECT_GT((perLine + 1) * charWidth, width - 10);  // small side margins
    for (int line = 0; line + 1 < view.VisualLineCount(); ++line) {
        EXPECT_EQ(LineEnd(line) - view.VisualLineStart(line), perLine) << "line " << line;
    }
}

TEST_F(TextViewLines, HexWrapsAtSpacesWithWholeBytesPerLine) {
    view.SetText(QString("41 0D A5 ").repeated(500));
    for (int boxWidth = 380; boxWidth >= 150; boxWidth -= 23) {
        view.resize(boxWidth, 200);
        const int lines = view.VisualLineCount();
        ASSERT_GT(lines, 3);
        const int width = view.viewport()->width();
        for (int line = 1; line < lines; ++line) {
            const int start = view.VisualLineStart(line);
            ASSERT_EQ(start % 3, 0) << "width " << boxWidth << " line " << line;
            EXPECT_NE(view.Text()[start], u' ');
            // The line before is full: its bytes fit and the next byte would not.
            const int nextByte =
                view.PositionRect(start + 2).left() - view.PositionRect(start).left();
            EXPECT_LE(view.PositionRect(start - 1).left(), width);
            EXPECT_GT(view.PositionRect(start - 1).left() + nextByte + nextByte / 2, width - 10);
        }
    }
}

TEST_F(TextViewLines, SurrogatePairsAndChineseStayWhole) {
    view.SetText(u"\U0001F600接"_s.repeated(400));
    for (int boxWidth = 380; boxWidth >= 150; boxWidth -= 23) {
        view.resize(boxWidth, 200);
        ASSERT_GT(view.VisualLineCount(), 3);
        for (int line = 1; line < view.VisualLineCount(); ++line) {
            ASSERT_FALSE(view.Text()[view.VisualLineStart(line)].isLowSurrogate())
                << "width " << boxWidth << " line " << line;
        }
    }
}

TEST_F(TextViewLines, TabsAdvanceToTheNextStop) {
    view.SetText("a\tb\nabc\tb\nabc");
    const int afterShortTab = view.PositionRect(2).left();
    EXPECT_EQ(view.PositionRect(8).left(), afterShortTab);
    EXPECT_GT(afterShortTab, view.PositionRect(13).left());  // past "abc"
}

TEST_F(TextViewLines, ResizeRewrapsAndKeepsTheTopText) {
    view.SetText(MixedText(7, 800));
    const std::vector<int> wide = LineStarts(view);
    view.verticalScrollBar()->setValue(40);
    const int top = view.VisualLineStart(40);

    view.resize(200, 200);
    EXPECT_GT(view.VisualLineCount(), static_cast<int>(wide.size()));
    const int first = view.verticalScrollBar()->value();
    EXPECT_LE(view.VisualLineStart(first), top);
    EXPECT_GT(LineEnd(first), top);

    view.resize(380, 200);
    EXPECT_EQ(LineStarts(view), wide);
}

using TextViewSelection = TextViewTest;

TEST_F(TextViewSelection, FollowsEditControlRules) {
    view.SetText("hello world");  // 11 units
    view.SetSelection(2, 5);
    EXPECT_EQ(view.Selection(), std::make_pair(2, 5));
    EXPECT_EQ(view.Caret(), 5);

    view.SetSelection(-1, 3);  // drops the selection, the caret stays
    EXPECT_EQ(view.Selection(), std::make_pair(5, 5));
    EXPECT_EQ(view.Caret(), 5);

    view.SetSelection(0, -1);
    EXPECT_EQ(view.Selection(), std::make_pair(0, 11));

    view.SetSelection(8, 3);  // reversed: spans both, caret at the end given
    EXPECT_EQ(view.Selection(), std::make_pair(3, 8));
    EXPECT_EQ(view.Caret(), 3);

    view.SetSelection(4, 100);
    EXPECT_EQ(view.Selection(), std::make_pair(4, 11));
    view.SetSelection(5, -1);
    EXPECT_EQ(view.Selection(), std::make_pair(5, 11));
    view.SetSelection(200, 300);
    EXPECT_EQ(view.Selection(), std::make_pair(11, 11));

    view.SetSelection(1, 4);
    view.AppendText(u" again");
    EXPECT_EQ(view.Selection(), std::make_pair(1, 4));
    view.SetText("new");
    EXPECT_EQ(view.Selection(), std::make_pair(0, 0));
}

TEST_F(TextViewSelection, ScrollToCaretShowsTheLastLine) {
    const QString texts[] = {QString("line of received data\r\n").repeated(400),
                             QString("41 0D A5 ").repeated(5000)};
    for (const QString& text : texts) {
        view.SetText(text);
        const int n = view.Length();
        view.SetSelection(n - 1, n);
        view.ScrollToCaret();
        const QScrollBar* bar = view.verticalScrollBar();
        EXPECT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_TRUE(view.viewport()->rect().contains(view.PositionRect(n)));
        EXPECT_TRUE(view.viewport()->rect().contains(view.PositionRect(n - 1)));
    }
}

TEST_F(TextViewSelection, ScrollToCaretScrollsTheLeastNeeded) {
    view.SetText(QString("line of received data\r\n").repeated(100));
    QScrollBar* bar = view.verticalScrollBar();
    const int rows = Rows();
    ASSERT_GT(rows, 2);
    const auto caretOnLine = [&](int line) {
        view.SetSelection(view.VisualLineStart(line) + 2, view.VisualLineStart(line) + 2);
        view.ScrollToCaret();
    };
    caretOnLine(rows + 2);
    EXPECT_EQ(bar->value(), 3);  // that line is now the last full row
    caretOnLine(4);
    EXPECT_EQ(bar->value(), 3);  // already shown
    caretOnLine(1);
    EXPECT_EQ(bar->value(), 1);
}

TEST_F(TextViewSelection, MouseDragSelectsAndCtrlCCopiesExactlyThat) {
    view.SetText(u"first line\r\nsecond 线路 line\r\nthird line"_s);
    const int from = 3;
    const int to = static_cast<int>(view.Text().indexOf(u"third")) + 2;
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, PointAt(from));
    QTest::mouseMove(view.viewport(), PointAt(from + 5));
    QTest::mouseMove(view.viewport(), PointAt(to));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, PointAt(to));
    EXPECT_EQ(view.Selection(), std::make_pair(from, to));

    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), view.Text().mid(from, to - from));
}

TEST_F(TextViewSelection, DoubleClickSelectsAWord) {
    view.SetText("41 0D A5 ");
    const QPoint point = PointAt(4);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, point);
    EXPECT_EQ(view.Selection(), std::make_pair(3, 5));
}

TEST_F(TextViewSelection, KeyboardMovesCaretAndNeverEdits) {
    const QString text = QString("line of received data\r\n").repeated(100);
    view.SetText(text);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.Selection(), std::make_pair(0, view.Length()));

    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.Caret(), view.Length());
    EXPECT_EQ(view.Selection(), std::make_pair(view.Length(), view.Length()));
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());

    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.Caret(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);

    QTest::keyClick(&view, Qt::Key_End);
    const int lineEnd = static_cast<int>(text.indexOf(u'\r'));
    EXPECT_EQ(view.Caret(), lineEnd);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view.Selection(), std::make_pair(lineEnd, view.VisualLineStart(2) + lineEnd));

    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.VisualLineOf(view.Caret()), 2 + Rows());
    EXPECT_TRUE(view.viewport()->rect().contains(view.PositionRect(view.Caret())));

    QTest::keyClicks(&view, "xyz");
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view.Text(), text);
}

// Whether any pixel of the viewport has the highlight colour.
bool ShowsHighlight(TextView& view) {
    const QImage image = view.viewport()->grab().toImage();
    const QRgb highlight = view.palette().color(QPalette::Highlight).rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == highlight) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(TextViewSelection, SelectionIsPaintedOnlyWithFocusUnlessAskedOtherwise) {
    view.SetText("received data");
    view.SetSelection(0, 8);
    ASSERT_FALSE(view.hasFocus());
    EXPECT_FALSE(ShowsHighlight(view));

    view.SetHideSelectionWithoutFocus(false);
    EXPECT_TRUE(ShowsHighlight(view));

    view.SetHideSelectionWithoutFocus(true);
    view.activateWindow();
    view.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    ASSERT_TRUE(view.hasFocus());
    EXPECT_TRUE(ShowsHighlight(view));
    view.SetSelection(-1, 0);
    EXPECT_FALSE(ShowsHighlight(view));
}

// What reached the screen after painting only what changed equals a full repaint.
TEST_F(TextViewSelection, PartialRepaintsLeaveTheScreenAsAFullRepaint) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.SetHideSelectionWithoutFocus(false);
    view.SetText(QString("line of received data\r\n").repeated(5));
    const QString more = MixedText(3, 200);
    const auto onScreen = [&] {
        QApplication::processEvents();
        const QPoint at = view.viewport()->mapTo(&view, QPoint(0, 0));
        return view.screen()
            ->grabWindow(view.winId(), at.x(), at.y(), view.viewport()->width(),
                         view.viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto painted = [&] {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (int at = 0; at < more.size(); at += 97) {
        view.AppendText(QStringView(more).mid(at, 97));
        const int n = view.Length();
        view.SetSelection(n - 7, n);
        view.ScrollToCaret();
        ASSERT_EQ(onScreen(), painted()) << "after " << at;
    }
    view.SetSelection(3, 40);
    view.verticalScrollBar()->setValue(2);
    ASSERT_EQ(onScreen(), painted());
}

using TextViewAccessibility = TextViewTest;

TEST_F(TextViewAccessibility, ExposesReadOnlyTextSelectionAndLines) {
    const QString text = u"串口 received\r\n"_s + QString("41 0D A5 ").repeated(100);
    view.SetText(text);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_TRUE(face->state().readOnly);
    EXPECT_EQ(face->text(QAccessible::Value), text);

    QAccessibleTextInterface* textFace = face->textInterface();
    ASSERT_NE(textFace, nullptr);
    EXPECT_EQ(textFace->characterCount(), text.size());
    EXPECT_EQ(textFace->text(0, textFace->characterCount()), text);

    view.SetSelection(9, 2);
    int start = -1;
    int end = -1;
    EXPECT_EQ(textFace->selectionCount(), 1);
    textFace->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 9));
    EXPECT_EQ(textFace->cursorPosition(), 2);
    textFace->setSelection(0, 4, 6);
    EXPECT_EQ(view.Selection(), std::make_pair(4, 6));
    textFace->removeSelection(0);
    EXPECT_EQ(textFace->selectionCount(), 0);

    // Lines are the lines shown.
    const int line = 3;
    const int offset = view.VisualLineStart(line) + 1;
    const QString shown = textFace->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
    EXPECT_EQ(start, view.VisualLineStart(line));
    EXPECT_EQ(end, LineEnd(line));
    EXPECT_EQ(shown, text.mid(start, end - start));
    EXPECT_EQ(textFace->offsetAtPoint(view.viewport()->mapToGlobal(PointAt(5))), 5);
}

}  // namespace
