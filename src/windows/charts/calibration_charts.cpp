#include "windows/charts/calibration_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <memory>

#include "windows/charts/chart_export.h"
#include "windows/charts/chart_parts.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

using namespace chart_parts;

namespace {

const QColor kBurnIn(200, 200, 200, 110);
const QColor kPosterior(20, 60, 120);
const QColor kPrior(200, 80, 20);

void SetRange(QValueAxis* axis, std::pair<double, double> range) {
  axis->setRange(range.first, range.second);
  ReadableLabels(axis);
}

}  // namespace

QChart* MakeTraceChart(const TraceChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  x->setLabelFormat("%.0f");
  std::vector<const std::vector<double>*> all;
  for (const auto& c : data.chains) all.push_back(&c);
  double low = 0, high = 1;
  if (!data.chains.empty()) {
    std::tie(low, high) = Range({&data.chains.front()});
    for (const auto& c : data.chains) {
      const auto [l, h] = Range({&c});
      low = std::min(low, l), high = std::max(high, h);
    }
  }
  if (data.burnIn > 0 && !data.generations.empty()) {
    const double end = std::min(data.burnIn, data.generations.back());
    auto* area = Area(Line({data.generations.front(), end}, {high, high}),
                      Line({data.generations.front(), end}, {low, low}));
    area->setColor(kBurnIn);
    area->setBorderColor(kBurnIn);
    area->setName("burn-in");
    Attach(chart, area, x, y);
  }
  for (std::size_t k = 0; k < data.chains.size(); ++k) {
    QLineSeries* line = Line(data.generations, data.chains[k]);
    QPen pen(kLineColours[k % kLineColours.size()], 1);
    if (k >= kLineColours.size()) pen.setStyle(Qt::DashLine);
    line->setPen(pen);
    line->setName(Q("chain " + std::to_string(k + 1)));
    Attach(chart, line, x, y);
    if (data.chains.size() > 10) HideLegendOf(chart, line);
  }
  if (!data.generations.empty()) x->setRange(data.generations.front(), data.generations.back());
  SetRange(y, {low, high});
  return chart;
}

QChart* MakeMarginalChart(const MarginalChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  QLineSeries* posterior = Line(data.x, data.posterior);
  posterior->setPen(QPen(kPosterior, 2));
  posterior->setName("posterior");
  Attach(chart, posterior, x, y);
  QLineSeries* prior = Line(data.x, data.prior);
  prior->setPen(QPen(kPrior, 1.5, Qt::DashLine));
  prior->setName("prior");
  Attach(chart, prior, x, y);
  SetRange(x, Range({&data.x}));
  const auto [low, high] = Range({&data.posterior, &data.prior}, true);
  y->setRange(0, high);
  (void)low;
  return chart;
}

QChart* MakePairsChart(const PairsChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  auto* points = new QScatterSeries;
  points->setMarkerSize(4);
  points->setColor(QColor(20, 60, 120, 90));
  points->setBorderColor(Qt::transparent);
  for (std::size_t i = 0; i < std::min(data.x.size(), data.y.size()); ++i)
    points->append(data.x[i], data.y[i]);
  points->setName("posterior draws");
  Attach(chart, points, x, y);
  SetRange(x, Range({&data.x}));
  SetRange(y, Range({&data.y}));
  chart->legend()->hide();
  return chart;
}

void SaveChartGrid(const std::vector<QChart*>& charts, QSize cell, int columns,
                   const std::string& fileName) {
  std::vector<std::unique_ptr<QChartView>> views;
  for (QChart* chart : charts) {
    auto view = std::make_unique<QChartView>(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(cell);
    view->show();  // lays the chart out at its size
    views.push_back(std::move(view));
  }
  columns = std::max(1, std::min(columns, static_cast<int>(views.size())));
  const int rows = (static_cast<int>(views.size()) + columns - 1) / columns;
  const QSize size(cell.width() * columns, cell.height() * std::max(1, rows));
  const QString title = charts.empty() ? QString() : charts.front()->title();
  PaintToFile(fileName, size, title, [&](QPainter& painter) {
    for (std::size_t i = 0; i < views.size(); ++i) {
      const int r = static_cast<int>(i) / columns, c = static_cast<int>(i) % columns;
      DrawChartInto(*views[i], painter,
                    QRectF(QPointF(c * cell.width(), r * cell.height()), QSizeF(cell)));
    }
  });
}

}  // namespace kvsorv
