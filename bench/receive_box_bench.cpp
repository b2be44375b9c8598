// A receive box taking one 50-character chunk, as a dialog does when data arrives: append,
// select the last character, scroll it into view, repaint. QPlainTextEdit against TextView,
// on a 380x200 box already holding 0, 256 KB, 1 MB or 2 MB of UTF-16 text, for
//
//   lines  text with a line break about every 60 characters
//   hex    "41 0D A5 " repeated: one paragraph without any break
//
// The time is the process's CPU time per chunk (Qt paints partly on pooled threads; wall time
// on a shared machine mostly measures the neighbours). median_us is its median, vs_empty that
// median over the same box's when empty: what the tool feels after hours of receiving.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/qt_bench_main.h"
#include "platform/afx/testing.h"
#include "tests/support/process_stats.h"

namespace {

constexpr int kChunk = 50;
constexpr int kMaxFill = 2048 * 1024 / 2;  // 2 MB of UTF-16
// A box that has grown this far past its fill goes back to it, untimed, so the fill holds.
constexpr int kRegrow = 4096;

enum class Widget { kPlainTextEdit, kTextView };
enum class Mode { kLines, kHex };

// What a box receives, in order; long enough for the largest fill and the appends after it.
const QString& Received(Mode mode) {
    static const auto make = [](Mode m) {
        QString text;
        text.reserve(kMaxFill + kRegrow + kChunk);
        for (int n = 0; text.size() < kMaxFill + kRegrow + kChunk; ++n) {
            if (m == Mode::kHex) {
                text += u"41 0D A5 ";
            } else {
                text += QString("RX %1: status OK, level %2, flags 0x%3, seq %4\r\n")
                            .arg(n % 10000, 4, 10, QChar(u'0'))
                            .arg(n * 37 % 1000, 3)
                            .arg(n * 13 % 256, 2, 16, QChar(u'0'))
                            .arg(n, 7);
            }
        }
        return text;
    };
    static const QString lines = make(Mode::kLines);
    static const QString hex = make(Mode::kHex);
    return mode == Mode::kHex ? hex : lines;
}

class Box {
public:
    virtual ~Box() = default;
    virtual void Load(const QString& text) = 0;
    virtual void Receive(QStringView chunk) = 0;
};

class PlainTextEditBox : public Box {
public:
    PlainTextEditBox() {
        m_edit.setReadOnly(true);
        m_edit.resize(380, 200);
        m_edit.show();
    }
    void Load(const QString& text) override {
        m_edit.setPlainText(text);
        QApplication::processEvents();
    }
    void Receive(QStringView chunk) override {
        QTextCursor cursor(m_edit.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(chunk.toString());
        const int end = cursor.position();
        cursor.setPosition(end - 1);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        m_edit.setTextCursor(cursor);
        m_edit.ensureCursorVisible();
        m_edit.viewport()->repaint();
    }

private:
    QPlainTextEdit m_edit;
};

// The framework's text view, through the testing hook (its class is the framework's own).
class TextViewBox : public Box {
public:
    TextViewBox() {
        m_view.Widget()->resize(380, 200);
        m_view.Widget()->show();
    }
    void Load(const QString& text) override {
        m_view.SetText(Utf16(text));
        QApplication::processEvents();
    }
    void Receive(QStringView chunk) override {
        m_view.AppendText(Utf16(chunk));
        const int end = m_view.Length();
        m_view.SetSel(end - 1, end);
        m_view.ScrollToCaret();
        m_view.Repaint();
    }

private:
    static std::u16string_view Utf16(QStringView text) {
        return {text.utf16(), static_cast<size_t>(text.size())};
    }

    AfxTextViewForTesting m_view;
};

// Filling a QPlainTextEdit with one 1M-character paragraph takes seconds: the box is kept
// across the runs the library makes of one case.
struct Cached {
    Widget widget{};
    Mode mode{};
    int fill = -1;
    std::unique_ptr<Box> box;
    int received = 0;  // characters of Received(mode) the box holds
};

// Its widget must go before the application object does.
Cached g_box;

Cached& BoxFor(Widget widget, Mode mode, int fill) {
    if (g_box.box && g_box.widget == widget && g_box.mode == mode && g_box.fill == fill) {
        return g_box;
    }
    g_box.box.reset();
    if (widget == Widget::kTextView) {
        g_box.box = std::make_unique<TextViewBox>();
    } else {
        g_box.box = std::make_unique<PlainTextEditBox>();
    }
    g_box.widget = widget;
    g_box.mode = mode;
    g_box.fill = fill;
    g_box.box->Load(Received(mode).left(fill));
    g_box.received = fill;
    return g_box;
}

double Median(std::vector<double> samples) {
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

std::map<std::pair<Widget, Mode>, double>& EmptyCost() {
    static std::map<std::pair<Widget, Mode>, double> costs;
    return costs;
}

void ReceiveChunk(benchmark::State& state, Widget widget, Mode mode, int fillKb) {
    const int fill = fillKb * 1024 / 2;
    const QString& source = Received(mode);
    Cached& cached = BoxFor(widget, mode, fill);
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(state.max_iterations));
    for ([[maybe_unused]] auto _ : state) {
        if (cached.received + kChunk > fill + kRegrow) {
            state.PauseTiming();
            cached.box->Load(source.left(fill));
            cached.received = fill;
            state.ResumeTiming();
        }
        const QStringView chunk = QStringView(source).mid(cached.received, kChunk);
        const double start = rvtest::ProcessCpuClockSeconds();
        cached.box->Receive(chunk);
        QApplication::processEvents();
        const double took = rvtest::ProcessCpuClockSeconds() - start;
        state.SetIterationTime(took);
        samples.push_back(took);
        cached.received += kChunk;
    }
    const double perChunk = Median(std::move(samples));
    state.counters["median_us"] = perChunk * 1e6;
    if (fillKb == 0) {
        EmptyCost()[{widget, mode}] = perChunk;
    }
    const auto empty = EmptyCost().find({widget, mode});
    if (empty != EmptyCost().end()) {
        state.counters["vs_empty"] = perChunk / empty->second;
    }
    state.counters["chars"] = static_cast<double>(cached.received);
}

void Timing(benchmark::internal::Benchmark* bench) {
    bench->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(0.3);
}

}  // namespace

// clang-format off
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/lines/0KB, Widget::kPlainTextEdit, Mode::kLines, 0)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/lines/256KB, Widget::kPlainTextEdit, Mode::kLines, 256)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/lines/1024KB, Widget::kPlainTextEdit, Mode::kLines, 1024)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/lines/2048KB, Widget::kPlainTextEdit, Mode::kLines, 2048)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/hex/0KB, Widget::kPlainTextEdit, Mode::kHex, 0)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/hex/256KB, Widget::kPlainTextEdit, Mode::kHex, 256)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/hex/1024KB, Widget::kPlainTextEdit, Mode::kHex, 1024)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, QPlainTextEdit/hex/2048KB, Widget::kPlainTextEdit, Mode::kHex, 2048)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/lines/0KB, Widget::kTextView, Mode::kLines, 0)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/lines/256KB, Widget::kTextView, Mode::kLines, 256)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/lines/1024KB, Widget::kTextView, Mode::kLines, 1024)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/lines/2048KB, Widget::kTextView, Mode::kLines, 2048)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/hex/0KB, Widget::kTextView, Mode::kHex, 0)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/hex/256KB, Widget::kTextView, Mode::kHex, 256)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/hex/1024KB, Widget::kTextView, Mode::kHex, 1024)->Apply(Timing);
BENCHMARK_CAPTURE(ReceiveChunk, TextView/hex/2048KB, Widget::kTextView, Mode::kHex, 2048)->Apply(Timing);
// clang-format on

int main(int argc, char** argv) {
    return rvbench::RunQtBenchmarks(argc, argv, rvbench::Framework::kNone,
                                    [] { g_box.box.reset(); });
}
