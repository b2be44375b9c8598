// The report's picture: the panels drawn with Qt Charts, two to a row under a header.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <vector>

#include "bench/report/panels.h"

namespace report {

constexpr int kPanelWidth = 800;
constexpr int kPanelHeight = 480;
constexpr int kHeaderHeight = 60;

// The panels with the date and the machine ("cpu", "cores", "kernel") in the header; a panel
// or chart without numbers says what is missing. Needs a QApplication: charts are graphics
// widgets.
QImage Draw(const std::vector<Panel>& panels, const QJsonObject& machine, const QString& date);

}  // namespace report
