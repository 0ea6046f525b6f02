#include "windows/charts/chart_parts.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "windows/common/qt_text.h"

namespace kvsorv::chart_parts {

QChart* NewChart(const ChartTitles& titles) {
  auto* chart = new QChart;
  chart->setTitle(Q(titles.chart));
  QFont font = chart->titleFont();
  font.setPointSizeF(font.pointSizeF() * 1.2);
  font.setBold(true);
  chart->setTitleFont(font);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  return chart;
}

QValueAxis* ValueAxis(QChart* chart, const std::string& title, Qt::Alignment side) {
  auto* axis = new QValueAxis;
  axis->setTitleText(Q(title));
  axis->setLabelFormat("%.4g");
  chart->addAxis(axis, side);
  return axis;
}

// Whole numbers for axes of large values ("25000", not "2.5e+04"); four significant digits
// otherwise. Called once the axis has its final range.
void ReadableLabels(QValueAxis* axis) {
  const double largest = std::max(std::abs(axis->min()), std::abs(axis->max()));
  if (largest >= 1e4 && largest < 1e12) axis->setLabelFormat("%.0f");
}

// The axis of named bars (parameters, reasons), attached to `series`.
void CategoryAxis(QChart* chart, QAbstractSeries* series, const QStringList& names,
                  const std::string& title, Qt::Alignment side) {
  auto* categories = new QBarCategoryAxis;
  categories->append(names);
  categories->setTruncateLabels(false);  // a failure's reason is read whole
  categories->setTitleText(Q(title));
  chart->addAxis(categories, side);
  series->attachAxis(categories);
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

QLineSeries* Line(const std::vector<double>& x, const std::vector<double>& y) {
  auto* line = new QLineSeries;
  for (std::size_t i = 0; i < std::min(x.size(), y.size()); ++i)
    if (std::isfinite(x[i]) && std::isfinite(y[i])) line->append(x[i], y[i]);
  return line;
}

// An area between two lines that owns them: an area series leaves its lines to the caller,
// and a chart replaced at every redraw would leave them behind.
QAreaSeries* Area(QLineSeries* upper, QLineSeries* lower) {
  auto* area = new QAreaSeries(upper, lower);
  upper->setParent(area);
  lower->setParent(area);
  return area;
}

// The smallest and largest finite values of several series, widened a little.
std::pair<double, double> Range(std::initializer_list<const std::vector<double>*> series,
                                bool includeZero) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const auto* s : series)
    for (const double v : *s)
      if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
  if (includeZero) low = std::min(low, 0.0), high = std::max(high, 0.0);
  if (!std::isfinite(low)) return {0.0, 1.0};
  if (high == low) {
    const double pad = low == 0 ? 1.0 : 0.05 * std::fabs(low);
    return {low - pad, high + pad};
  }
  const double margin = 0.05 * (high - low);
  return {includeZero && low == 0 ? 0.0 : low - margin,
          includeZero && high == 0 ? 0.0 : high + margin};
}

// A colour's pale form, for what is drawn but not yet to be read as a result.
QColor Pale(const QColor& colour) {
  return QColor::fromHsvF(colour.hsvHueF(), 0.25 * colour.hsvSaturationF(), 1.0);
}

// A point drawn as a ring of its colour: an estimate not yet to be read as a result.
void Hollow(QScatterSeries* points) {
  const QColor colour = points->color();
  points->setColor(Qt::white);
  points->setBorderColor(colour);
  QPen pen = points->pen();
  pen.setColor(colour);
  pen.setWidthF(2);
  points->setPen(pen);
}

void HideLegendOf(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

// Index ranges [first, last) of runs of times without a gap: a step more than ten times the
// usual one (such as from the start to the first output year) breaks the bands and lines.
std::vector<std::pair<std::size_t, std::size_t>> Runs(const std::vector<double>& times) {
  std::vector<double> steps;
  for (std::size_t i = 1; i < times.size(); ++i) steps.push_back(times[i] - times[i - 1]);
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  if (times.empty()) return runs;
  double usual = 0;
  if (!steps.empty()) {
    std::vector<double> sorted = steps;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    usual = sorted[sorted.size() / 2];
  }
  std::size_t first = 0;
  for (std::size_t i = 1; i < times.size(); ++i) {
    if (usual > 0 && steps[i - 1] > 10 * usual) {
      runs.emplace_back(first, i);
      first = i;
    }
  }
  runs.emplace_back(first, times.size());
  return runs;
}

std::vector<double> Slice(const std::vector<double>& v, std::size_t first, std::size_t last) {
  return {v.begin() + static_cast<std::ptrdiff_t>(std::min(first, v.size())),
          v.begin() + static_cast<std::ptrdiff_t>(std::min(last, v.size()))};
}

}  // namespace kvsorv::chart_parts
