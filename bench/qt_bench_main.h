// The main() of a benchmark program on Qt Widgets: Google Benchmark's run inside an
// application object, offscreen unless QT_QPA_PLATFORM says otherwise.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <functional>

#include "platform/afx/winapp.h"

namespace rvbench {

// Whether the dialog framework's services run around the benchmarks (pages and dialogs need
// them; a bare widget does not).
enum class Framework { kNone, kAfx };

// Runs the benchmarks the command line selects. `beforeExit` runs after them, while the
// application object still exists: widgets a program keeps across runs must go there.
inline int RunQtBenchmarks(int argc, char** argv, Framework framework,
                           const std::function<void()>& beforeExit = {}) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (framework == Framework::kAfx) {
        AfxInitFramework();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit) {
        beforeExit();
    }
    if (framework == Framework::kAfx) {
        AfxTermFramework();
    }
    return 0;
}

}  // namespace rvbench
