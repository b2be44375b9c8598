// The receive box on the reader's path: one chunk appended to the page's text, the text shown
// in the box, the last character selected and scrolled to, and the box repainted - against
// the text already held. The box reads the text in place and lays out only what was added, so
// the cost must not depend on what is there already; at the limit, where every chunk makes
// the text drop its oldest part now and then, the mean shows what the drops cost.
//
//   ReceivePath/<hex 0|1>/<characters held>   counters: median_us, mean_us, vs_empty
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <map>
#include <vector>

#include "bench/qt_bench_main.h"
#include "platform/afx/afx.h"
#include "platform/afx/receive_text.h"
#include "res/resource.h"
#include "tests/support/gui.h"
#include "tests/support/process_stats.h"

namespace {

// 50 received bytes as the reader formats them.
CString Chunk(bool hex, int n) {
    CString chunk;
    CString one;
    for (int i = 0; i < 50; ++i) {
        const unsigned char byte = hex ? static_cast<unsigned char>(n * 50 + i)
                                       : ((i == 48)   ? '\r'
                                          : (i == 49) ? '\n'
                                                      : 'a' + i % 26);
        one.Format(hex ? _T("%.2X ") : _T("%c"), byte);
        chunk += one;
    }
    return chunk;
}

std::map<bool, double> g_empty;

void ReceivePath(benchmark::State& state) {
    const bool hex = state.range(0) != 0;
    const int held = static_cast<int>(state.range(1));
    CDialog page(IDD_PRINTER);
    page.Create(IDD_PRINTER, nullptr);
    page.ShowWindow(SW_SHOW);
    CEdit box;
    box.SubclassDlgItem(IDC_RECV, &page);
    CString text;
    int n = 0;
    while (text.GetLength() + 1500 < held) {  // at the limit, the drop comes within ten steps
        text += Chunk(hex, n++);
    }
    AfxAppendAndShow(text, Chunk(hex, n++), box);  // shows it whole, once
    QWidget* widget = rvtest::WidgetOf(box.m_hWnd);
    rvtest::Pump(20);

    std::vector<double> samples;
    for (auto _ : state) {
        // The process's CPU clock: Qt paints partly on its own threads.
        const double start = rvtest::ProcessCpuClockSeconds();
        AfxAppendAndShow(text, Chunk(hex, n++), box);  // the readers' step
        widget->repaint();
        QApplication::processEvents();
        const double elapsed = (rvtest::ProcessCpuClockSeconds() - start) * 1e6;  // µs
        samples.push_back(elapsed);
        state.SetIterationTime(elapsed / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    double sum = 0;
    for (const double sample : samples) {
        sum += sample;
    }
    if (held == 0) {
        g_empty[hex] = median;
    }
    state.counters["median_us"] = median;
    state.counters["mean_us"] = sum / static_cast<double>(samples.size());
    state.counters["vs_empty"] = g_empty.count(hex) ? median / g_empty[hex] : 0;
    page.DestroyWindow();
}
BENCHMARK(ReceivePath)
    ->ArgsProduct({{0, 1}, {0, 1 << 20, 2 << 20, kAfxReceiveTextLimit}})
    ->UseManualTime()
    ->MinTime(0.5)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return rvbench::RunQtBenchmarks(argc, argv, rvbench::Framework::kAfx);
}
