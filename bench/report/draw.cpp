#include "bench/report/draw.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFont>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace report {

namespace {

const QColor kPalette[] = {QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),
                           QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75)};

QColor Colour(size_t index) {
    return kPalette[index % std::size(kPalette)];
}

QFont Font(int pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Room under a bar chart for the bars' names and numbers: Qt Charts cuts a category label
// wider than a fraction of its category short, so the report writes them itself.
constexpr int kBarLabelHeight = 62;

// A chart of the report's look: no frame, shadow or animation, the title what is measured.
QChart* NewChart(const QString& title, const QRectF& area) {
    auto* chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setTitle(title);
    chart->setTitleFont(Font(13, true));
    chart->setGeometry(area);
    return chart;
}

// The chart laid out again with its series and axes in place: charts lay out on a posted
// event, which a picture drawn at once would miss.
QChart* LaidOut(QChart* chart) {
    chart->layout()->invalidate();
    chart->layout()->activate();
    return chart;
}

QValueAxis* LinearAxis(double top) {
    auto* axis = new QValueAxis;
    axis->setRange(0, top > 0 ? top * 1.12 : 1);
    axis->applyNiceNumbers();
    axis->setLabelFormat("%g");
    axis->setLabelsFont(Font(11));
    return axis;
}

// Bars in one colour; what was asked, if anything, as a dashed red line across. The bars'
// names and numbers are left to BarLabels, in the room kept under the plot.
QChart* BarChart(const Chart& data, const QRectF& area, const QColor& colour) {
    QChart* chart = NewChart(data.axis, area);
    chart->setMargins(QMargins(4, 4, 4, kBarLabelHeight));
    auto* set = new QBarSet(data.axis);
    set->setColor(colour);
    set->setBorderColor(colour);
    QStringList categories;  // distinct, as the axis wants them; not shown
    double top = data.reference.value_or(0);
    for (const Bar& bar : data.bars) {
        *set << bar.value.value_or(0);
        top = std::max(top, bar.value.value_or(0));
        categories << QString::number(categories.size());
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setBarWidth(0.6);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsVisible(false);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    QValueAxis* y = LinearAxis(top);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    chart->legend()->setVisible(false);
    if (data.reference) {
        auto* reference = new QLineSeries;
        reference->setName(data.referenceLabel);
        reference->setPen(QPen(Qt::red, 1.5, Qt::DashLine));
        reference->append(-0.5, *data.reference);
        reference->append(static_cast<double>(data.bars.size()) - 0.5, *data.reference);
        chart->addSeries(reference);
        reference->attachAxis(x);
        reference->attachAxis(y);
        for (QLegendMarker* marker : chart->legend()->markers(series)) {
            marker->setVisible(false);
        }
        chart->legend()->setVisible(true);
        chart->legend()->setAlignment(Qt::AlignTop);
        chart->legend()->setFont(Font(11));
    }
    return LaidOut(chart);
}

// Under each bar of a laid-out bar chart: its name, wrapped to the bar's share of the plot,
// and its number ("n/a" when the results lack it).
void BarLabels(QPainter& p, const QChart& chart, const std::vector<Bar>& bars) {
    const QRectF plot = chart.mapRectToScene(chart.plotArea());
    const double slot = plot.width() / static_cast<double>(bars.size());
    for (size_t i = 0; i < bars.size(); ++i) {
        const QRectF cell(plot.left() + slot * static_cast<double>(i) + 2, plot.bottom() + 6,
                          slot - 4, kBarLabelHeight);
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        p.setPen(Qt::black);
        p.setFont(Font(11));
        QRectF used;
        p.drawText(cell, flags, bars[i].label, &used);
        p.setFont(Font(12, true));
        p.drawText(cell.adjusted(0, used.height(), 0, 0), flags,
                   bars[i].value ? Number(*bars[i].value) : QString("n/a"));
    }
}

// A line per series over the x values in order (evenly apart), each point with its number; a
// logarithmic scale when the values span more than a factor of 20. The legend carries each
// line's first and last value, which the labels may hide.
QChart* LineChart(const Chart& data, const QRectF& area) {
    std::vector<double> xs;
    double low = INFINITY;
    double high = 0;
    for (const auto& [name, line] : data.lines) {
        for (const auto& [x, value] : line.points) {
            xs.push_back(x);
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    const bool logScale = low > 0 && high / low > 20;

    QChart* chart = NewChart(logScale ? data.axis + " (log scale)" : data.axis, area);
    auto* x = new QBarCategoryAxis;
    for (const double value : xs) {
        x->append(Number(value));
    }
    x->setTitleText(data.xAxis);
    x->setTitleFont(Font(12));
    x->setLabelsFont(Font(11));
    chart->addAxis(x, Qt::AlignBottom);
    QAbstractAxis* y = nullptr;
    if (logScale) {
        auto* axis = new QLogValueAxis;
        axis->setBase(10);
        axis->setRange(std::pow(10.0, std::floor(std::log10(low))),
                       std::pow(10.0, std::ceil(std::log10(high))));
        axis->setLabelFormat("%g");
        axis->setLabelsFont(Font(11));
        axis->setMinorTickCount(-1);
        y = axis;
    } else {
        y = LinearAxis(high);
    }
    chart->addAxis(y, Qt::AlignLeft);

    size_t index = 0;
    for (const auto& [name, line] : data.lines) {
        auto* series = new QLineSeries;
        const QColor colour = Colour(index++);
        series->setName(QString("%1: %2 → %3")
                            .arg(name, Number(line.points.begin()->second),
                                 Number(line.points.rbegin()->second)));
        series->setPen(QPen(colour, 2, line.dashed ? Qt::DashLine : Qt::SolidLine));
        series->setPointsVisible(true);
        series->setPointLabelsVisible(true);
        series->setPointLabelsColor(colour.darker(130));
        series->setPointLabelsFont(Font(10));
        series->setPointLabelsFormat("@yPoint");
        for (const auto& [at, value] : line.points) {
            const auto slot = std::find(xs.begin(), xs.end(), at) - xs.begin();
            // At the value as the report writes it, so the point's label reads the same.
            series->append(static_cast<double>(slot), Number(value).toDouble());
        }
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setFont(Font(11));
    return LaidOut(chart);
}

// The place of the panel of that index: two to a row, under the header.
QRect Cell(size_t index) {
    return {static_cast<int>(index % 2) * kPanelWidth,
            kHeaderHeight + static_cast<int>(index / 2) * kPanelHeight, kPanelWidth, kPanelHeight};
}

// Where a panel's charts go: below its title, inside its frame.
QRect Inner(const QRect& cell) {
    return cell.adjusted(10, 40, -10, -10);
}

void Frame(QPainter& p, const QRect& cell, const QString& title) {
    p.setPen(QColor(180, 180, 180));
    p.drawRect(cell.adjusted(4, 4, -5, -5));
    p.setFont(Font(16, true));
    p.setPen(Qt::black);
    p.drawText(cell.adjusted(14, 10, -14, 0), Qt::AlignLeft | Qt::AlignTop, title);
}

void NoData(QPainter& p, const QRect& area, const QString& what) {
    p.setFont(Font(15));
    p.setPen(Qt::darkGray);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
               "No data: " + what + " not in the results");
}

}  // namespace

QImage Draw(const std::vector<Panel>& panels, const QJsonObject& machine, const QString& date) {
    const int rows = static_cast<int>((panels.size() + 1) / 2);
    const QRect page(0, 0, 2 * kPanelWidth, kHeaderHeight + rows * kPanelHeight);
    QImage image(page.size(), QImage::Format_RGB32);
    image.fill(Qt::white);

    // The charts first, into one scene that owns them; frames, titles and notes over them.
    QGraphicsScene scene(page);
    std::vector<std::pair<QRect, QString>> notes;  // where, what is missing
    std::vector<std::pair<const QChart*, const std::vector<Bar>*>> barCharts;
    for (size_t i = 0; i < panels.size(); ++i) {
        const Panel& panel = panels[i];
        const QRect inner = Inner(Cell(i));
        if (!panel.HasData()) {
            notes.emplace_back(inner, panel.sources);
            continue;
        }
        const int width = inner.width() / static_cast<int>(panel.charts.size());
        for (size_t c = 0; c < panel.charts.size(); ++c) {
            const Chart& chart = panel.charts[c];
            const QRect area(inner.left() + static_cast<int>(c) * width, inner.top(), width,
                             inner.height());
            if (!chart.HasData()) {
                notes.emplace_back(area, "these runs are");
            } else if (chart.lineChart) {
                scene.addItem(LineChart(chart, area));
            } else {
                QChart* drawn = BarChart(chart, area, Colour(c));
                scene.addItem(drawn);
                barCharts.emplace_back(drawn, &chart.bars);
            }
        }
    }

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    scene.render(&p, page, page);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(Font(20, true));
    p.setPen(Qt::black);
    p.drawText(QRect(14, 8, page.width() - 28, 26), Qt::AlignLeft, "RV4417Test benchmarks");
    p.setFont(Font(13));
    p.drawText(QRect(14, 34, page.width() - 28, 20), Qt::AlignLeft,
               QString("%1   %2, %3 cores, %4")
                   .arg(date, machine["cpu"].toString())
                   .arg(machine["cores"].toInt())
                   .arg(machine["kernel"].toString()));
    for (size_t i = 0; i < panels.size(); ++i) {
        Frame(p, Cell(i), panels[i].title);
    }
    for (const auto& [chart, bars] : barCharts) {
        BarLabels(p, *chart, *bars);
    }
    for (const auto& [area, what] : notes) {
        NoData(p, area, what);
    }
    return image;
}

}  // namespace report
