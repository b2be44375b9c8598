#include "bench/report/panels.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>

namespace report {

namespace {

// ReceiveChunk/<widget>/<mode>/<n>KB/...: a line per widget and mode, at the KB held.
std::optional<Point> ReceiveBoxPoint(const QString& name) {
    const QString held = name.section('/', 3, 3);
    if (!held.endsWith("KB")) {
        return std::nullopt;
    }
    return Point{name.section('/', 1, 1) + " " + name.section('/', 2, 2),
                 static_cast<double>(held.chopped(2).toInt())};
}

// ReceivePath/<hex 0|1>/<UTF-16 characters held>/...: a line per mode, at the KB held.
std::optional<Point> ReceivePathPoint(const QString& name) {
    const QString mode = name.section('/', 1, 1) == "1" ? "hex" : "lines";
    return Point{"reader path " + mode,
                 static_cast<double>(name.section('/', 2, 2).toInt() * 2 / 1024)};
}

constexpr double kMiB = 1.0 / (1 << 20);

}  // namespace

const std::vector<PanelRow>& PanelTable() {
    static const std::vector<PanelRow> table = {
        {"Receive box: CPU per 50-character chunk (median)",
         {{"µs per chunk",
           {},
           {{{"bench_receive_box", "ReceiveChunk", "median_us"}, ReceiveBoxPoint},
            {{"bench_receive_path", "ReceivePath", "median_us"}, ReceivePathPoint, true}},
           "text already held (KB of UTF-16)"}}},
        {"Idle CPU",
         {{"% of one core",
           {{"whole program, silent ports (IdleCpu)",
             {"bench_program", "IdleCpu", "cpu_percent_of_core"}},
            {"one reader, idle line (IdleReaderCpu)",
             {"bench_port", "IdleReaderCpu", "cpu_percent_of_core"}},
            {"busy device, 50 B per 100 ms (BusyDevice)",
             {"bench_flood", "BusyDevice", "cpu_percent_of_core"}},
            {"both ports gone (VanishedPorts)",
             {"bench_flood", "VanishedPorts", "cpu_percent_of_core"}}}}}},
        {"Start-up until the dialog is shown (10 starts)",
         {{"time (ms)",
           {{"median", {"bench_program", "StartToShown", "median_ms"}},
            {"worst", {"bench_program", "StartToShown", "worst_ms"}}}}}},
        {"Auto send every 20 ms: period seen by the device",
         {{"period (ms)",
           {{"mean", {"bench_printer", "AutoSendPeriod", "mean_ms"}},
            {"worst", {"bench_printer", "AutoSendPeriod", "worst_ms"}}},
           {},
           {},
           20.0,
           "asked: 20 ms"}}},
        {"Sending a 100 MB file",
         {{"throughput (MB/s)",
           {{"SendFile100MB", {"bench_printer", "SendFile100MB", "MB_per_s"}}}},
          {"peak memory growth (MB)",
           {{"SendFile100MB", {"bench_printer", "SendFile100MB", "peak_growth_MB"}}}}}},
        {"Flood on COM0, shown as hex",
         {{"CPU (s)", {{"1 MiB", {"bench_flood", "Flood1MiB", "cpu_s"}}}},
          {"worst wait (ms)",
           {{"1 MiB stall", {"bench_flood", "Flood1MiB", "worst_stall_ms"}},
            {"60 s stall", {"bench_flood", "Flood60s", "worst_stall_ms"}},
            {"60 s click", {"bench_flood", "Flood60s", "worst_click_ms"}}}},
          {"memory growth (MB)",
           {{"1 MiB peak", {"bench_flood", "Flood1MiB", "peak_growth_MB"}},
            {"60 s", {"bench_flood", "Flood60s", "growth_MB"}}}},
          {"60 s: data (MiB)",
           {{"sent", {"bench_flood", "Flood60s", "bytes_sent"}, kMiB, "B"},
            {"shown", {"bench_flood", "Flood60s", "bytes_shown"}, kMiB, "B"}}}}},
    };
    return table;
}

namespace {

// The runs of the source's family, in the order of the results.
std::vector<QJsonObject> Family(const QJsonObject& programs, const Source& source) {
    std::vector<QJsonObject> runs;
    for (const auto& value : programs.value(source.program).toArray()) {
        QJsonObject run = value.toObject();
        if (run.value("name").toString().section('/', 0, 0) == source.family) {
            runs.push_back(std::move(run));
        }
    }
    return runs;
}

std::optional<double> CounterOf(const QJsonObject& run, const QString& counter) {
    const QJsonValue value = run.value("counters").toObject().value(counter);
    return value.isDouble() ? std::optional(value.toDouble()) : std::nullopt;
}

// The counter of the family's first run that has it.
std::optional<double> Counter(const QJsonObject& programs, const Source& source) {
    for (const QJsonObject& run : Family(programs, source)) {
        if (const auto value = CounterOf(run, source.counter)) {
            return value;
        }
    }
    return std::nullopt;
}

Chart PickChart(const QJsonObject& programs, const ChartRow& row) {
    Chart chart;
    chart.lineChart = !row.lines.empty();
    chart.axis = row.axis;
    chart.xAxis = row.xAxis;
    chart.reference = row.reference;
    chart.referenceLabel = row.referenceLabel;
    for (const BarRow& bar : row.bars) {
        const std::optional<double> value = Counter(programs, bar.source);
        QString label = bar.label;
        if (value && !bar.wholeUnit.isEmpty()) {
            label += QString(" %1 %2").arg(*value, 0, 'f', 0).arg(bar.wholeUnit);
        }
        chart.bars.push_back({label, value ? std::optional(*value * bar.scale) : std::nullopt});
    }
    for (const LineRow& line : row.lines) {
        for (const QJsonObject& run : Family(programs, line.source)) {
            const std::optional<double> value = CounterOf(run, line.source.counter);
            const std::optional<Point> point = line.place(run.value("name").toString());
            if (value && point) {
                Line& drawn = chart.lines[point->line];
                drawn.dashed = line.dashed;
                drawn.points[point->x] = *value;
            }
        }
    }
    return chart;
}

// "bench_flood Flood1MiB and Flood60s are": the families a panel shows, each after its program.
QString Sources(const PanelRow& row) {
    std::vector<std::pair<QString, QString>> families;  // program, family
    const auto add = [&](const Source& source) {
        const std::pair<QString, QString> family{source.program, source.family};
        if (std::find(families.begin(), families.end(), family) == families.end()) {
            families.push_back(family);
        }
    };
    for (const ChartRow& chart : row.charts) {
        for (const BarRow& bar : chart.bars) {
            add(bar.source);
        }
        for (const LineRow& line : chart.lines) {
            add(line.source);
        }
    }
    QStringList names;
    QString program;
    for (const auto& [p, family] : families) {
        names << (p == program ? family : p + " " + family);
        program = p;
    }
    const QString last = names.isEmpty() ? QString() : names.takeLast();
    const QString all = names.isEmpty() ? last : names.join(", ") + " and " + last;
    return all + (families.size() == 1 ? " is" : " are");
}

}  // namespace

bool Chart::HasData() const {
    return !lines.empty() ||
           std::any_of(bars.begin(), bars.end(), [](const Bar& bar) { return bar.value; });
}

bool Panel::HasData() const {
    return std::any_of(charts.begin(), charts.end(), [](const Chart& c) { return c.HasData(); });
}

std::vector<Panel> Panels(const QJsonObject& programs, const std::vector<PanelRow>& table) {
    std::vector<Panel> panels;
    for (const PanelRow& row : table) {
        Panel panel{row.title, Sources(row), {}};
        for (const ChartRow& chart : row.charts) {
            panel.charts.push_back(PickChart(programs, chart));
        }
        panels.push_back(std::move(panel));
    }
    return panels;
}

QString Number(double value) {
    const double a = std::fabs(value);
    if (a >= 100 || a == 0) {
        return QString::number(value, 'f', 0);
    }
    if (a >= 10) {
        return QString::number(value, 'f', 1);
    }
    if (a >= 0.1) {
        return QString::number(value, 'f', 2);
    }
    return QString::number(value, 'g', 2);
}

void PrintPanels(QTextStream& out, const std::vector<Panel>& panels) {
    for (const Panel& panel : panels) {
        out << panel.title << "\n";
        for (const Chart& chart : panel.charts) {
            if (chart.lineChart) {
                out << "  " << chart.axis << " at each " << chart.xAxis << "\n";
                if (chart.lines.empty()) {
                    out << "    no data\n";
                }
                for (const auto& [name, line] : chart.lines) {
                    out << "    " << qSetFieldWidth(24) << Qt::left << name << qSetFieldWidth(0);
                    for (const auto& [x, value] : line.points) {
                        out << "  " << x << ": " << Number(value);
                    }
                    out << "\n";
                }
                continue;
            }
            QStringList values;
            for (const Bar& bar : chart.bars) {
                values << bar.label + ": " + (bar.value ? Number(*bar.value) : QString("n/a"));
            }
            const bool wide = values.join("  ").size() > 72;
            out << "  " << qSetFieldWidth(wide ? 0 : 24) << Qt::left << chart.axis
                << qSetFieldWidth(0) << (wide ? "\n    " : "  ")
                << values.join(wide ? "\n    " : "  ") << "\n";
        }
    }
}

}  // namespace report
