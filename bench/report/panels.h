// The report's panels: a table of what each one shows (which benchmark's counter, under which
// label and unit), and the numbers the table picks from the merged results.
//
// A new benchmark is one row: a bar in a chart of the table, or a chart or panel of its own.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QTextStream>
#include <map>
#include <optional>
#include <vector>

namespace report {

// One user counter of the runs of one benchmark family, in one program's results
// (<program>.json, as bench/run_all.sh writes them). The family is the benchmark's name up to
// its first '/': "IdleCpu" finds "IdleCpu/iterations:1".
struct Source {
    QString program;
    QString family;
    QString counter;
};

// A bar: the counter's value times `scale`, which turns the counter's unit into the chart's.
// With a `wholeUnit`, the counter's own value follows the label, unrounded, in that unit
// (bytes sent and shown: one byte lost must not round away).
struct BarRow {
    QString label;
    Source source;
    double scale = 1;
    QString wholeUnit;
};

// Where a run goes in a line chart, from its name: its line and its place on the x axis.
struct Point {
    QString line;
    double x = 0;
};
using PlaceRun = std::optional<Point> (*)(const QString& runName);

// Lines: every run of the source's family that PlaceRun places, the counter's value its y;
// dashed to tell them from another row's lines in the same chart.
struct LineRow {
    Source source;
    PlaceRun place = nullptr;
    bool dashed = false;
};

// A chart: bars, or lines over the x axis. `axis` tells what is measured and its unit.
struct ChartRow {
    QString axis;
    std::vector<BarRow> bars;
    std::vector<LineRow> lines;
    QString xAxis;                    // lines: what the x axis counts
    std::optional<double> reference;  // bars: a dashed line at what was asked
    QString referenceLabel;
};

// A panel: a title over one chart or several side by side.
struct PanelRow {
    QString title;
    std::vector<ChartRow> charts;
};

// The report's panels, in the order they are drawn (left to right, top to bottom).
const std::vector<PanelRow>& PanelTable();

// --- the numbers the table picks ---

struct Bar {
    QString label;
    std::optional<double> value;  // none: not in the results
};

struct Line {
    bool dashed = false;
    std::map<double, double> points;  // x -> value
};
using Lines = std::map<QString, Line>;  // by name

struct Chart {
    bool lineChart = false;  // lines over the x axis, else bars
    QString axis;
    QString xAxis;
    std::vector<Bar> bars;
    Lines lines;
    std::optional<double> reference;
    QString referenceLabel;

    bool HasData() const;
};

struct Panel {
    QString title;
    QString sources;  // "bench_printer AutoSendPeriod is": what is missing when nothing shows
    std::vector<Chart> charts;

    bool HasData() const;
};

// The table's numbers from the merged results' "programs" object (program -> reduced runs,
// each with its "counters").
std::vector<Panel> Panels(const QJsonObject& programs,
                          const std::vector<PanelRow>& table = PanelTable());

// A number as the report shows it: three significant digits or so, whole from 100 up.
QString Number(double value);

// The panels' numbers as text, for the terminal.
void PrintPanels(QTextStream& out, const std::vector<Panel>& panels);

}  // namespace report
