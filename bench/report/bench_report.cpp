// Merges the benchmark programs' results into one JSON file and draws their headline numbers.
//
//   bench_report <dir of <program>.json files> <results.json> <results.png>
//
// The inputs are Google Benchmark's JSON output, one file per program. A panel whose
// benchmarks are not in the inputs says so: a partial run still gets its picture.
#include <stdlib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kPanelWidth = 800;
constexpr int kPanelHeight = 480;
constexpr int kHeaderHeight = 60;
constexpr int kWidth = 2 * kPanelWidth;
constexpr int kHeight = kHeaderHeight + 3 * kPanelHeight;

const QColor kPalette[] = {QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),
                           QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75)};

QTextStream& Err() {
    static QTextStream err(stderr);
    return err;
}

// Every run carries these; whatever else a run holds is one of its user counters.
bool IsStandardField(const QString& key) {
    static const QStringList fields = {"name",
                                       "run_name",
                                       "run_type",
                                       "family_index",
                                       "repetitions",
                                       "repetition_index",
                                       "threads",
                                       "iterations",
                                       "real_time",
                                       "cpu_time",
                                       "time_unit",
                                       "per_family_instance_index",
                                       "label",
                                       "error_occurred",
                                       "error_message",
                                       "aggregate_name",
                                       "aggregate_unit",
                                       "big_o",
                                       "rms",
                                       "cpu_coefficient",
                                       "real_coefficient"};
    return fields.contains(key);
}

QJsonObject Reduce(const QJsonObject& run) {
    QJsonObject out;
    for (const char* key :
         {"name", "iterations", "real_time", "cpu_time", "time_unit", "label", "error_message"}) {
        if (run.contains(key)) {
            out[key] = run[key];
        }
    }
    QJsonObject counters;
    for (auto it = run.begin(); it != run.end(); ++it) {
        if (!IsStandardField(it.key())) {
            counters[it.key()] = it.value();
        }
    }
    out["counters"] = counters;
    return out;
}

QJsonObject Machine() {
    QString cpu;
    QFile cpuinfo("/proc/cpuinfo");
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    return {{"cpu", cpu},
            {"cores", QThread::idealThreadCount()},
            {"kernel", QSysInfo::kernelType() + " " + QSysInfo::kernelVersion()}};
}

// <program> -> its reduced runs, from every <program>.json in the folder but the output.
std::optional<QJsonObject> ReadPrograms(const QString& dir, const QString& output) {
    const QString skip = QFileInfo(output).canonicalFilePath();
    QJsonObject programs;
    for (const QFileInfo& file : QDir(dir).entryInfoList({"*.json"}, QDir::Files, QDir::Name)) {
        if (file.canonicalFilePath() == skip) {
            continue;
        }
        QFile in(file.filePath());
        if (!in.open(QIODevice::ReadOnly)) {
            Err() << file.filePath() << ": " << in.errorString() << "\n";
            return std::nullopt;
        }
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(in.readAll(), &error);
        const QJsonValue benchmarks = doc.object().value("benchmarks");
        if (error.error != QJsonParseError::NoError || !benchmarks.isArray()) {
            Err() << file.filePath() << ": not a benchmark result ("
                  << (error.error != QJsonParseError::NoError ? error.errorString()
                                                              : QString("no benchmarks"))
                  << ")\n";
            return std::nullopt;
        }
        QJsonArray runs;
        for (const auto& run : benchmarks.toArray()) {
            runs.append(Reduce(run.toObject()));
        }
        programs[file.completeBaseName()] = runs;
    }
    if (programs.isEmpty()) {
        Err() << dir << ": no benchmark results\n";
        return std::nullopt;
    }
    return programs;
}

// The runs of one family: "IdleCpu" finds "IdleCpu/iterations:1".
std::vector<QJsonObject> Family(const QJsonObject& programs, const QString& program,
                                const QString& family) {
    std::vector<QJsonObject> runs;
    for (const auto& value : programs.value(program).toArray()) {
        QJsonObject run = value.toObject();
        if (run.value("name").toString().section('/', 0, 0) == family) {
            runs.push_back(std::move(run));
        }
    }
    return runs;
}

std::optional<double> Counter(const QJsonObject& programs, const QString& program,
                              const QString& family, const QString& counter, double scale = 1) {
    for (const QJsonObject& run : Family(programs, program, family)) {
        const QJsonValue value = run.value("counters").toObject().value(counter);
        if (value.isDouble()) {
            return value.toDouble() * scale;
        }
    }
    return std::nullopt;
}

QString Number(double v) {
    const double a = std::fabs(v);
    if (a >= 100 || a == 0) {
        return QString::number(v, 'f', 0);
    }
    if (a >= 10) {
        return QString::number(v, 'f', 1);
    }
    if (a >= 0.1) {
        return QString::number(v, 'f', 2);
    }
    return QString::number(v, 'g', 2);
}

// A round step for about `ticks` intervals up to `top`.
double NiceStep(double top, int ticks) {
    const double raw = top / ticks;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (raw <= m * decade) {
            return m * decade;
        }
    }
    return 10 * decade;
}

void SetFont(QPainter& p, int pixels, bool bold = false) {
    QFont font = p.font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    p.setFont(font);
}

void DrawNoData(QPainter& p, const QRect& area, const QString& what) {
    SetFont(p, 15);
    p.setPen(Qt::darkGray);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
               "No data: " + what + " not in the results");
}

// A vertical axis from 0 to `top` along `plot`, with grid lines; returns the value's y.
std::function<double(double)> DrawLinearAxis(QPainter& p, const QRect& plot, double top) {
    const double step = NiceStep(top, 4);
    const int ticks = static_cast<int>(std::ceil(top / step - 1e-9));
    top = ticks * step;
    const auto y = [plot, top](double v) { return plot.bottom() - v / top * plot.height(); };
    SetFont(p, 11);
    for (int i = 0; i <= ticks; ++i) {
        const double v = i * step;
        p.setPen(QColor(225, 225, 225));
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() - 58, y(v) - 8, 52, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v));
    }
    return y;
}

struct Bar {
    QString label;
    std::optional<double> value;
};

struct BarChart {
    QString axis;  // what is measured, with its unit
    std::vector<Bar> bars;
    std::optional<double> reference;
    QString referenceLabel;
};

struct BarPanel {
    QString title;
    QString source;  // where the numbers come from, for the "no data" note
    std::vector<BarChart> charts;
};

void DrawBarChart(QPainter& p, const QRect& area, const BarChart& chart) {
    const QRect plot = area.adjusted(64, 28, -10, -58);
    SetFont(p, 12, true);
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), area.top(), area.width(), 22), Qt::AlignCenter, chart.axis);
    double top = chart.reference.value_or(0);
    bool any = false;
    for (const Bar& bar : chart.bars) {
        if (bar.value) {
            top = std::max(top, *bar.value);
            any = true;
        }
    }
    if (!any) {
        DrawNoData(p, plot, "these runs are");
        return;
    }
    const auto y = DrawLinearAxis(p, plot, top > 0 ? top * 1.12 : 1);
    const double slot = static_cast<double>(plot.width()) / static_cast<double>(chart.bars.size());
    const double width = std::min(70.0, slot * 0.6);
    for (size_t i = 0; i < chart.bars.size(); ++i) {
        const Bar& bar = chart.bars[i];
        const double centre = plot.left() + slot * (static_cast<double>(i) + 0.5);
        SetFont(p, 11);
        p.setPen(Qt::black);
        p.drawText(QRectF(centre - slot / 2, plot.bottom() + 4, slot, 54),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, bar.label);
        if (!bar.value) {
            p.setPen(Qt::darkGray);
            p.drawText(QRectF(centre - slot / 2, plot.bottom() - 20, slot, 18), Qt::AlignCenter,
                       "n/a");
            continue;
        }
        const QRectF rect(QPointF(centre - width / 2, y(*bar.value)),
                          QPointF(centre + width / 2, plot.bottom()));
        p.fillRect(rect, kPalette[i % std::size(kPalette)]);
        SetFont(p, 12, true);
        p.setPen(Qt::black);
        p.drawText(QRectF(centre - slot / 2, rect.top() - 18, slot, 16), Qt::AlignCenter,
                   Number(*bar.value));
    }
    if (chart.reference) {
        p.setPen(QPen(Qt::red, 1.5, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), y(*chart.reference)),
                   QPointF(plot.right(), y(*chart.reference)));
        SetFont(p, 11);
        p.drawText(QRectF(plot.left() + 4, y(*chart.reference) - 16, plot.width() - 8, 14),
                   Qt::AlignRight, chart.referenceLabel);
    }
    p.setPen(Qt::black);
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
}

QRect DrawFrame(QPainter& p, const QRect& area, const QString& title) {
    p.setPen(QColor(180, 180, 180));
    p.drawRect(area.adjusted(4, 4, -5, -5));
    SetFont(p, 16, true);
    p.setPen(Qt::black);
    p.drawText(area.adjusted(14, 10, -14, 0), Qt::AlignLeft | Qt::AlignTop, title);
    return area.adjusted(10, 40, -10, -10);
}

void DrawBarPanel(QPainter& p, const QRect& area, const BarPanel& panel) {
    const QRect inner = DrawFrame(p, area, panel.title);
    const bool any = std::any_of(panel.charts.begin(), panel.charts.end(), [](const BarChart& c) {
        return std::any_of(c.bars.begin(), c.bars.end(), [](const Bar& b) { return b.value; });
    });
    if (!any) {
        DrawNoData(p, inner, panel.source);
        return;
    }
    const int width = inner.width() / static_cast<int>(panel.charts.size());
    for (size_t i = 0; i < panel.charts.size(); ++i) {
        DrawBarChart(
            p,
            QRect(inner.left() + static_cast<int>(i) * width, inner.top(), width, inner.height()),
            panel.charts[i]);
    }
}

using Series = std::map<QString, std::map<int, double>>;  // line -> KB held -> µs

// The receive boxes' cost per chunk against the text they hold: one line per widget and
// mode, and the reader's whole path through the framework.
Series ReceiveSeries(const QJsonObject& programs) {
    Series series;
    for (const QJsonObject& run : Family(programs, "bench_receive_box", "ReceiveChunk")) {
        // ReceiveChunk/<widget>/<mode>/<n>KB/...
        const QString name = run.value("name").toString();
        const QJsonValue us = run.value("counters").toObject().value("median_us");
        if (us.isDouble()) {
            const int kb = name.section('/', 3, 3).chopped(2).toInt();
            series[name.section('/', 1, 1) + " " + name.section('/', 2, 2)][kb] = us.toDouble();
        }
    }
    for (const QJsonObject& run : Family(programs, "bench_receive_path", "ReceivePath")) {
        // ReceivePath/<hex>/<UTF-16 characters held>/...
        const QString name = run.value("name").toString();
        const QJsonValue us = run.value("counters").toObject().value("median_us");
        if (us.isDouble()) {
            const int kb = name.section('/', 2, 2).toInt() * 2 / 1024;
            const QString mode = name.section('/', 1, 1) == "1" ? "hex" : "lines";
            series["reader path " + mode][kb] = us.toDouble();
        }
    }
    return series;
}

const char* const kReceiveTitle = "Receive box: CPU per 50-character chunk (median)";

void DrawReceivePanel(QPainter& p, const QRect& area, const Series& series) {
    const QRect inner = DrawFrame(p, area, kReceiveTitle);
    if (series.empty()) {
        DrawNoData(p, inner,
                   "bench_receive_box ReceiveChunk and bench_receive_path ReceivePath are");
        return;
    }
    std::vector<int> held;
    double low = INFINITY;
    double high = 0;
    for (const auto& [name, points] : series) {
        for (const auto& [kb, us] : points) {
            held.push_back(kb);
            low = std::min(low, us);
            high = std::max(high, us);
        }
    }
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());

    const QRect plot = inner.adjusted(64, 24, -210, -46);
    SetFont(p, 12, true);
    p.setPen(Qt::black);
    const bool logScale = low > 0 && high / low > 20;
    p.drawText(QRect(plot.left() - 64, inner.top(), plot.width() + 64, 20), Qt::AlignLeft,
               logScale ? "µs per chunk (log scale)" : "µs per chunk");
    p.drawText(QRect(plot.left(), plot.bottom() + 24, plot.width(), 20), Qt::AlignCenter,
               "text already held (KB of UTF-16)");
    std::function<double(double)> y;
    if (logScale) {
        const int first = static_cast<int>(std::floor(std::log10(low)));
        const int last = static_cast<int>(std::ceil(std::log10(high)));
        y = [plot, first, last](double v) {
            return plot.bottom() - (std::log10(v) - first) / (last - first) * plot.height();
        };
        SetFont(p, 11);
        for (int e = first; e <= last; ++e) {
            const double v = std::pow(10.0, e);
            p.setPen(QColor(225, 225, 225));
            p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
            p.setPen(Qt::black);
            p.drawText(QRectF(plot.left() - 58, y(v) - 8, 52, 16),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        }
    } else {
        y = DrawLinearAxis(p, plot, high * 1.12);
    }
    const double slot = static_cast<double>(plot.width()) / static_cast<double>(held.size());
    const auto x = [&](int kb) {
        const auto index = std::find(held.begin(), held.end(), kb) - held.begin();
        return plot.left() + slot * (static_cast<double>(index) + 0.5);
    };
    SetFont(p, 11);
    p.setPen(Qt::black);
    for (const int kb : held) {
        p.drawText(QRectF(x(kb) - slot / 2, plot.bottom() + 4, slot, 16), Qt::AlignCenter,
                   QString::number(kb));
    }
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    p.setRenderHint(QPainter::Antialiasing);
    int index = 0;
    for (const auto& [name, points] : series) {
        const QColor colour = kPalette[index % std::size(kPalette)];
        const bool dashed = name.startsWith("reader path");
        p.setPen(QPen(colour, 2, dashed ? Qt::DashLine : Qt::SolidLine));
        QPainterPath path;
        for (const auto& [kb, us] : points) {
            const QPointF at(x(kb), y(us));
            if (path.elementCount() == 0) {
                path.moveTo(at);
            } else {
                path.lineTo(at);
            }
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        SetFont(p, 10);
        for (const auto& [kb, us] : points) {
            const QPointF at(x(kb), y(us));
            p.setBrush(colour);
            p.setPen(colour);
            p.drawEllipse(at, 3.5, 3.5);
            p.drawText(at + QPointF(6, -4), Number(us));
        }
        // The legend carries each line's first and last value, which the labels may hide.
        const QRectF entry(plot.right() + 16, plot.top() + 4 + index * 40, 190, 38);
        p.setPen(QPen(colour, 2, dashed ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(QPointF(entry.left(), entry.top() + 8),
                   QPointF(entry.left() + 22, entry.top() + 8));
        SetFont(p, 12);
        p.setPen(Qt::black);
        p.drawText(entry.adjusted(28, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, name);
        SetFont(p, 10);
        p.drawText(entry.adjusted(28, 18, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   QString("%1 → %2 µs")
                       .arg(Number(points.begin()->second), Number(points.rbegin()->second)));
        ++index;
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
}

std::vector<BarPanel> BarPanels(const QJsonObject& programs) {
    std::vector<BarPanel> panels;
    const auto value = [&](const char* program, const char* family, const char* counter,
                           double scale = 1) {
        return Counter(programs, program, family, counter, scale);
    };
    panels.push_back({"Idle CPU",
                      "bench_program IdleCpu, bench_port IdleReaderCpu, bench_flood "
                      "BusyDevice and VanishedPorts are",
                      {{"% of one core",
                        {{"whole program, silent ports (IdleCpu)",
                          value("bench_program", "IdleCpu", "cpu_percent_of_core")},
                         {"one reader, idle line (IdleReaderCpu)",
                          value("bench_port", "IdleReaderCpu", "cpu_percent_of_core")},
                         {"busy device, 50 B per 100 ms (BusyDevice)",
                          value("bench_flood", "BusyDevice", "cpu_percent_of_core")},
                         {"both ports gone (VanishedPorts)",
                          value("bench_flood", "VanishedPorts", "cpu_percent_of_core")}}}}});
    panels.push_back({"Start-up until the dialog is shown (10 starts)",
                      "bench_program StartToShown is",
                      {{"time (ms)",
                        {{"median", value("bench_program", "StartToShown", "median_ms")},
                         {"worst", value("bench_program", "StartToShown", "worst_ms")}}}}});
    panels.push_back({"Auto send every 20 ms: period seen by the device",
                      "bench_printer AutoSendPeriod is",
                      {{"period (ms)",
                        {{"mean", value("bench_printer", "AutoSendPeriod", "mean_ms")},
                         {"worst", value("bench_printer", "AutoSendPeriod", "worst_ms")}},
                        20.0,
                        "asked: 20 ms"}}});
    panels.push_back(
        {"Sending a 100 MB file",
         "bench_printer SendFile100MB is",
         {{"throughput (MB/s)",
           {{"SendFile100MB", value("bench_printer", "SendFile100MB", "MB_per_s")}}},
          {"peak memory growth (MB)",
           {{"SendFile100MB", value("bench_printer", "SendFile100MB", "peak_growth_MB")}}}}});
    constexpr double kMiB = 1.0 / (1 << 20);
    // Whole bytes beside the MiB: one byte lost must not round away.
    const auto exact = [&](const char* counter) {
        const auto bytes = value("bench_flood", "Flood60s", counter);
        return bytes ? QString(" %1 B").arg(*bytes, 0, 'f', 0) : QString();
    };
    panels.push_back(
        {"Flood on COM0, shown as hex",
         "bench_flood Flood1MiB and Flood60s are",
         {{"CPU (s)", {{"1 MiB", value("bench_flood", "Flood1MiB", "cpu_s")}}},
          {"worst wait (ms)",
           {{"1 MiB stall", value("bench_flood", "Flood1MiB", "worst_stall_ms")},
            {"60 s stall", value("bench_flood", "Flood60s", "worst_stall_ms")},
            {"60 s click", value("bench_flood", "Flood60s", "worst_click_ms")}}},
          {"memory growth (MB)",
           {{"1 MiB peak", value("bench_flood", "Flood1MiB", "peak_growth_MB")},
            {"60 s", value("bench_flood", "Flood60s", "growth_MB")}}},
          {"60 s: data (MiB)",
           {{"sent" + exact("bytes_sent"), value("bench_flood", "Flood60s", "bytes_sent", kMiB)},
            {"shown" + exact("bytes_shown"),
             value("bench_flood", "Flood60s", "bytes_shown", kMiB)}}}}});
    return panels;
}

QImage Draw(const Series& series, const std::vector<BarPanel>& panels, const QJsonObject& machine,
            const QString& date) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    SetFont(p, 20, true);
    p.drawText(QRect(14, 8, kWidth - 28, 26), Qt::AlignLeft, "RV4417Test benchmarks");
    SetFont(p, 13);
    p.drawText(QRect(14, 34, kWidth - 28, 20), Qt::AlignLeft,
               QString("%1   %2, %3 cores, %4")
                   .arg(date, machine["cpu"].toString())
                   .arg(machine["cores"].toInt())
                   .arg(machine["kernel"].toString()));
    // Two columns: the receive boxes first, then the bar panels in order.
    const auto cell = [](int index) {
        return QRect(index % 2 * kPanelWidth, kHeaderHeight + index / 2 * kPanelHeight, kPanelWidth,
                     kPanelHeight);
    };
    DrawReceivePanel(p, cell(0), series);
    for (size_t i = 0; i < panels.size(); ++i) {
        DrawBarPanel(p, cell(static_cast<int>(i) + 1), panels[i]);
    }
    return image;
}

// The same numbers as text, for the terminal.
void PrintTable(const Series& series, const std::vector<BarPanel>& panels) {
    QTextStream out(stdout);
    out << kReceiveTitle << ", µs at each KB held\n";
    if (series.empty()) {
        out << "  no data\n";
    }
    for (const auto& [name, points] : series) {
        out << "  " << qSetFieldWidth(24) << Qt::left << name << qSetFieldWidth(0);
        for (const auto& [kb, us] : points) {
            out << "  " << kb << ": " << Number(us);
        }
        out << "\n";
    }
    for (const BarPanel& panel : panels) {
        out << panel.title << "\n";
        for (const BarChart& chart : panel.charts) {
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

bool Write(const QString& path, const QByteArray& data) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(data) != data.size() ||
        !out.flush()) {
        Err() << path << ": " << out.errorString() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);  // text on a QImage needs the font database
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        Err() << "usage: bench_report <dir of benchmark JSON files> <results.json> <results.png>\n";
        return 2;
    }
    const std::optional<QJsonObject> programs = ReadPrograms(args[1], args[2]);
    if (!programs) {
        return 1;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
    const QJsonObject machine = Machine();
    const QJsonObject results{{"date", date}, {"machine", machine}, {"programs", *programs}};
    if (!Write(args[2], QJsonDocument(results).toJson(QJsonDocument::Indented))) {
        return 1;
    }
    const Series series = ReceiveSeries(*programs);
    const std::vector<BarPanel> panels = BarPanels(*programs);
    const QImage image = Draw(series, panels, machine, date);
    if (!image.save(args[3], "PNG")) {
        Err() << args[3] << ": cannot write the image\n";
        return 1;
    }
    PrintTable(series, panels);
    return 0;
}
