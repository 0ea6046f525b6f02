#include "windows/charts/ensemble_charts.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "windows/charts/chart_export.h"
#include "windows/charts/chart_parts.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

using namespace chart_parts;

QChart* MakeEnvelopeChart(const EnvelopeChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  x->setLabelFormat("%.0f");
  bool named = false;  // each kind of series enters the legend once
  const auto add = [&](QAbstractSeries* series, const QString& name) {
    series->setName(name);
    Attach(chart, series, x, y);
    if (named) HideLegendOf(chart, series);
  };
  for (const auto& [first, last] : Runs(data.times)) {
    const std::vector<double> t = Slice(data.times, first, last);
    const auto band = [&](const std::vector<double>& low, const std::vector<double>& high,
                          const QString& name, const QColor& colour) {
      auto* area = Area(Line(t, Slice(high, first, last)), Line(t, Slice(low, first, last)));
      area->setColor(colour);
      area->setBorderColor(colour);
      area->setPen(QPen(colour.darker(110), 0.5));
      add(area, name);
    };
    band(data.q05, data.q95, "5–95 %", kBandOuter);
    band(data.q25, data.q75, "25–75 %", kBandInner);
    QLineSeries* median = Line(t, Slice(data.q50, first, last));
    median->setPen(QPen(kMedian, 2));
    add(median, "median");
    QLineSeries* mean = Line(t, Slice(data.mean, first, last));
    mean->setPen(QPen(kMean, 1.5, Qt::DashLine));
    add(mean, "mean");
    named = true;
  }
  std::vector<double> values;
  if (!data.observed.times.empty()) {
    auto* points = new QScatterSeries;
    points->setName(Q(data.observed.legend.empty() ? "observed" : data.observed.legend));
    points->setMarkerSize(8);
    points->setColor(kObserved);
    for (std::size_t i = 0; i < std::min(data.observed.times.size(), data.observed.values.size());
         ++i)
      points->append(data.observed.times[i], data.observed.values[i]);
    Attach(chart, points, x, y);
    values = data.observed.values;
    // Error bars, where the observations have them: a short vertical line each.
    const ObservedPoints& o = data.observed;
    for (std::size_t i = 0; i < o.low.size() && i < o.high.size() && i < o.times.size(); ++i) {
      QLineSeries* bar = Line({o.times[i], o.times[i]}, {o.low[i], o.high[i]});
      bar->setPen(QPen(kObserved, 1));
      Attach(chart, bar, x, y);
      HideLegendOf(chart, bar);
      values.push_back(o.low[i]);
      values.push_back(o.high[i]);
    }
  }
  // The time axis spans the runs drawn as bands (a lone point, such as the start before the
  // first output year, would only squeeze them) and the observations.
  std::vector<double> allTimes, shown;
  for (const auto& [first, last] : Runs(data.times)) {
    if (last - first < 2) continue;
    for (const std::vector<double>* v : {&data.times, &data.q05, &data.q95, &data.mean}) {
      const std::vector<double> part = Slice(*v, first, last);
      (v == &data.times ? allTimes : shown)
          .insert((v == &data.times ? allTimes : shown).end(), part.begin(), part.end());
    }
  }
  if (allTimes.empty()) {
    allTimes = data.times;
    for (const std::vector<double>* v : {&data.q05, &data.q95, &data.mean})
      shown.insert(shown.end(), v->begin(), v->end());
  }
  allTimes.insert(allTimes.end(), data.observed.times.begin(), data.observed.times.end());
  if (!allTimes.empty()) {
    const auto [lo, hi] = std::minmax_element(allTimes.begin(), allTimes.end());
    x->setRange(*lo, *hi > *lo ? *hi : *lo + 1);
  } else {
    x->setRange(0.0, 1.0);  // an axis of no extent has no nice numbers
  }
  const auto [v0, v1] = Range({&shown, &values});
  y->setRange(v0, v1);
  x->applyNiceNumbers();
  y->applyNiceNumbers();
  ReadableLabels(y);
  return chart;
}

QChart* MakeTornadoChart(const TornadoChartData& data) {
  QChart* chart = NewChart(data.titles);
  std::vector<TornadoBar> bars = data.bars;
  const auto size = [](const TornadoBar& b) {
    const double s = std::max(std::fabs(b.low), std::fabs(b.high));
    return std::isfinite(s) ? s : -1.0;
  };
  // Bars are listed bottom up: the largest last, on top.
  std::stable_sort(bars.begin(), bars.end(),
                   [&](const TornadoBar& a, const TornadoBar& b) { return size(a) < size(b); });
  auto* low = new QBarSet(Q(data.lowLegend));
  auto* high = new QBarSet(Q(data.highLegend));
  low->setColor(kLow);
  high->setColor(kHigh);
  QStringList names;
  std::vector<double> values;
  for (const TornadoBar& b : bars) {
    names << Q(b.parameter);
    const double l = std::isfinite(b.low) ? b.low : 0.0, h = std::isfinite(b.high) ? b.high : 0.0;
    // Each side drawn where its sign puts it: a stacked series stacks negatives leftwards.
    *low << l;
    *high << h;
    values.push_back(l);
    values.push_back(h);
  }
  // Sides of opposite signs stack into one bar through zero; when both sides of a parameter
  // have the same sign (the output does not follow the parameter monotonically) stacking
  // would add them, so each side gets its own bar.
  const bool sameSign = std::any_of(bars.begin(), bars.end(), [](const TornadoBar& b) {
    return (b.low > 0 && b.high > 0) || (b.low < 0 && b.high < 0);
  });
  QAbstractBarSeries* series = sameSign ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                        : new QHorizontalStackedBarSeries;
  series->append(low);
  series->append(high);
  series->setBarWidth(sameSign ? 0.8 : 0.6);
  chart->addSeries(series);
  CategoryAxis(chart, series, names, data.titles.y, Qt::AlignLeft);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  series->attachAxis(x);
  const auto [v0, v1] = Range({&values}, true);
  const double reach = std::max(std::fabs(v0), std::fabs(v1));
  x->setRange(-reach, reach);  // symmetric, so the zero line sits in the middle
  x->applyNiceNumbers();
  return chart;
}

QChart* MakeSobolChart(const SobolChartData& data) {
  QChart* chart = NewChart(data.titles);
  auto* first = new QBarSet("S1 (first order)");
  auto* total = new QBarSet("ST (total)");
  first->setColor(kLow);
  total->setColor(kHigh);
  // Unstable bars are drawn pale (as selected bars) and hatched over.
  first->setSelectedColor(Pale(kLow));
  total->setSelectedColor(Pale(kHigh));
  QStringList names;
  for (const SobolBar& b : data.bars) names << Q(b.parameter);
  auto* series = new QBarSeries;
  constexpr double kWidth = 0.7;
  series->setBarWidth(kWidth);
  series->append(first);
  series->append(total);
  chart->addSeries(series);
  CategoryAxis(chart, series, names, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  series->attachAxis(y);
  // The axis shows 0 to 1 and every estimate and interval end as far as -0.5 to 1.5: what lies
  // beyond is drawn to the axis's edge with an arrowhead and its value written there.
  double low = 0.0, high = 1.0;
  for (const SobolBar& b : data.bars)
    for (const double v : {b.first, b.total, b.firstLow, b.totalLow, b.firstHigh, b.totalHigh})
      if (std::isfinite(v))
        low = std::min(low, std::max(v, -0.5)), high = std::max(high, std::min(v, 1.5));
  y->setRange(low, high);
  y->applyNiceNumbers();
  const double bottom = y->min(), top = y->max(), span = top - bottom;
  const auto clip = [&](double v) { return std::clamp(v, bottom, top); };
  for (std::size_t i = 0; i < data.bars.size(); ++i) {
    const SobolBar& b = data.bars[i];
    *first << (std::isfinite(b.first) ? clip(b.first) : 0.0);
    *total << (std::isfinite(b.total) ? clip(b.total) : 0.0);
    if (b.firstUnstable) first->selectBar(static_cast<int>(i));
    if (b.totalUnstable) total->selectBar(static_cast<int>(i));
  }
  // Whiskers, hatching and marks on a hidden axis of category positions: category i spans
  // i - 0.5 .. i + 0.5, and its two bars share kWidth of it.
  auto* positions = new QValueAxis;
  positions->setRange(-0.5, static_cast<double>(data.bars.size()) - 0.5);
  positions->setVisible(false);
  chart->addAxis(positions, Qt::AlignBottom);
  const double cap = kWidth / 12, barb = 0.03 * span;
  // Where the note of what runs past the top (or bottom) is written for the index whose
  // whisker is at `at`: the point a label is drawn above, staggered so that the notes of a
  // parameter's two indices do not meet; the whisker is broken around it.
  const auto noteAt = [&](bool above, bool firstIndex) {
    return above ? top - (firstIndex ? 0.13 : 0.08) * span
                 : bottom + (firstIndex ? 0.05 : 0.10) * span;
  };
  const auto line = [&](std::initializer_list<QPointF> points) {
    auto* l = new QLineSeries;
    for (const QPointF& p : points) l->append(p);
    l->setPen(QPen(Qt::black, 1.2));
    Attach(chart, l, positions, y);
    HideLegendOf(chart, l);
  };
  // A whisker with a cap at each end, or an arrowhead pointing on where the interval runs past
  // the axis (broken there for the note of its value).
  const auto whisker = [&](double at, double lowEnd, double highEnd, bool firstIndex) {
    if (!std::isfinite(lowEnd) || !std::isfinite(highEnd)) return;
    std::vector<std::pair<double, double>> gaps;
    if (lowEnd < bottom) gaps.emplace_back(noteAt(false, firstIndex) - 0.01 * span, 0.0);
    if (highEnd > top) gaps.emplace_back(noteAt(true, firstIndex) - 0.01 * span, 0.0);
    for (auto& [from, to] : gaps) to = from + 0.055 * span;
    double from = clip(lowEnd);
    for (const auto& [gapFrom, gapTo] : gaps) {
      if (gapFrom > from) line({{at, from}, {at, gapFrom}});
      from = std::max(from, gapTo);
    }
    if (clip(highEnd) > from) line({{at, from}, {at, clip(highEnd)}});
    for (const double v : {lowEnd, highEnd}) {
      const double back = v > top ? -barb : v < bottom ? barb : 0.0;
      line({{at - cap, clip(v) + back}, {at, clip(v)}, {at + cap, clip(v) + back}});
    }
  };
  bool hatchNamed = false;
  const auto hatch = [&](double from, double to, double value, const QColor& colour) {
    const double v = std::isfinite(value) ? clip(value) : 0.0;
    auto *upper = new QLineSeries, *lower = new QLineSeries;
    upper->append(from, v);
    upper->append(to, v);
    lower->append(from, 0.0);
    lower->append(to, 0.0);
    QAreaSeries* area = Area(upper, lower);
    area->setBrush(QBrush(colour.darker(140), Qt::BDiagPattern));
    area->setPen(QPen(colour.darker(140), 1));
    area->setName(Q(data.unstableLegend.empty() ? "not yet usable" : data.unstableLegend));
    Attach(chart, area, positions, y);
    if (hatchNamed) HideLegendOf(chart, area);
    hatchNamed = true;
  };
  // What runs past the axis, written by its edge: "↑ 5.19 (to 21.6)".
  const auto beyond = [&](double at, double estimate, double lowEnd, double highEnd,
                          bool firstIndex) {
    for (const bool above : {true, false}) {
      const auto past = [&](double v) {
        return std::isfinite(v) && (above ? v > top : v < bottom);
      };
      const bool bar = past(estimate), interval = past(above ? highEnd : lowEnd);
      if (!bar && !interval) continue;
      QString text = above ? "↑ " : "↓ ";
      if (bar) text += QString::number(estimate, 'g', 3);
      if (interval)
        text += QString(bar ? " (to %1)" : "to %1").arg(above ? highEnd : lowEnd, 0, 'g', 3);
      auto* mark = new QScatterSeries;
      mark->append(at, noteAt(above, firstIndex));
      mark->setMarkerSize(1);
      mark->setColor(Qt::transparent);
      mark->setBorderColor(Qt::transparent);
      mark->setPointLabelsFormat(text);
      mark->setPointLabelsVisible(true);
      mark->setPointLabelsClipping(false);
      QFont font = mark->pointLabelsFont();
      font.setBold(true);
      mark->setPointLabelsFont(font);
      Attach(chart, mark, positions, y);
      HideLegendOf(chart, mark);
    }
  };
  for (std::size_t i = 0; i < data.bars.size(); ++i) {
    const SobolBar& b = data.bars[i];
    const double centre = static_cast<double>(i);
    if (b.firstUnstable) hatch(centre - kWidth / 2, centre, b.first, kLow);
    if (b.totalUnstable) hatch(centre, centre + kWidth / 2, b.total, kHigh);
    whisker(centre - kWidth / 4, b.firstLow, b.firstHigh, true);
    whisker(centre + kWidth / 4, b.totalLow, b.totalHigh, false);
    beyond(centre - kWidth / 4, b.first, b.firstLow, b.firstHigh, true);
    beyond(centre + kWidth / 4, b.total, b.totalLow, b.totalHigh, false);
  }
  return chart;
}

QChart* MakeMorrisChart(const MorrisChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  std::vector<MorrisPoint> shown;
  std::vector<double> mu, sigma;
  for (const MorrisPoint& p : data.points) {
    if (!std::isfinite(p.muStar) || !std::isfinite(p.sigma)) continue;
    shown.push_back(p);
    mu.push_back(p.muStar);
    sigma.push_back(p.sigma);
  }
  const auto [x0, x1] = Range({&mu}, true);
  const auto [y0, y1] = Range({&sigma}, true);
  // Points closer than a few per cent of the axes would write their names over each other:
  // the highest of them carries all their names ("rg, beta"), the others none, so that no
  // marker of theirs covers the names written above it.
  std::vector<std::string> labels(shown.size());
  std::vector<bool> labelled(shown.size(), false);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (labelled[i]) continue;
    std::string names = shown[i].parameter;
    std::size_t highest = i;
    for (std::size_t j = i + 1; j < shown.size(); ++j)
      if (!labelled[j] && std::fabs(mu[j] - mu[i]) < 0.04 * (x1 - x0) &&
          std::fabs(sigma[j] - sigma[i]) < 0.04 * (y1 - y0)) {
        names += ", " + shown[j].parameter;
        labelled[j] = true;
        if (sigma[j] > sigma[highest]) highest = j;
      }
    labels[highest] = names;
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    auto* point = new QScatterSeries;
    point->setName(Q(shown[i].parameter));
    point->append(mu[i], sigma[i]);
    point->setMarkerSize(10);
    // A format without placeholders shows its own text: the parameters' symbols.
    point->setPointLabelsFormat(Q(labels[i]));
    point->setPointLabelsVisible(!labels[i].empty());
    point->setPointLabelsClipping(false);
    Attach(chart, point, x, y);
    if (shown[i].unstable) Hollow(point);
  }
  x->setRange(x0, x1 + 0.1 * (x1 - x0));
  y->setRange(y0, y1 + 0.1 * (y1 - y0));
  x->applyNiceNumbers();
  y->applyNiceNumbers();
  ReadableLabels(x);
  ReadableLabels(y);
  // Every point carries its name: the legend, when shown, only says what a hollow one means.
  for (QAbstractSeries* s : chart->series()) HideLegendOf(chart, s);
  chart->legend()->setVisible(!data.unstableLegend.empty());
  chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  if (!data.unstableLegend.empty()) {
    auto* key = new QScatterSeries;
    key->setName(Q(data.unstableLegend));
    key->setMarkerSize(10);
    key->setColor(Qt::black);
    Attach(chart, key, x, y);
    Hollow(key);
  }
  return chart;
}

QChart* MakeConvergenceChart(const ConvergenceChartData& data) {
  QChart* chart = NewChart(data.titles);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  QValueAxis* y = ValueAxis(chart, data.titles.y, Qt::AlignLeft);
  x->setLabelFormat("%.0f");
  std::vector<double> all;
  for (std::size_t i = 0; i < data.lines.size(); ++i) {
    const ConvergenceLine& l = data.lines[i];
    QLineSeries* line = Line(data.basePoints, l.values);
    line->setName(Q(l.parameter));
    line->setPointsVisible(true);
    line->setPen(QPen(kLineColours[i % kLineColours.size()], 2,
                      i < kLineColours.size() ? Qt::SolidLine : Qt::DashLine));
    Attach(chart, line, x, y);
    all.insert(all.end(), l.values.begin(), l.values.end());
  }
  const auto [x0, x1] = Range({&data.basePoints});
  const auto [y0, y1] = Range({&all}, true);
  x->setRange(std::max(0.0, x0), x1);
  y->setRange(y0, y1);
  x->applyNiceNumbers();
  y->applyNiceNumbers();
  return chart;
}

QChart* MakeFailuresChart(const FailuresChartData& data) {
  QChart* chart = NewChart(data.titles);
  auto* set = new QBarSet("failed members");
  set->setColor(kHigh);
  QStringList reasons;
  double most = 0;
  for (const FailureCount& c : data.counts) {
    reasons << Q(c.reason);
    *set << c.members;
    most = std::max(most, static_cast<double>(c.members));
  }
  auto* series = new QHorizontalBarSeries;
  series->append(set);
  chart->addSeries(series);
  CategoryAxis(chart, series, reasons, data.titles.y, Qt::AlignLeft);
  QValueAxis* x = ValueAxis(chart, data.titles.x, Qt::AlignBottom);
  // Whole members only: ticks a whole number of members apart, never "0 0 1 1".
  const double step = std::max(1.0, std::ceil(most / 5));
  x->setLabelFormat("%.0f");
  x->setRange(0, std::max(1.0, std::ceil(most / step)) * step);
  x->setTickType(QValueAxis::TicksDynamic);
  x->setTickAnchor(0);
  x->setTickInterval(step);
  series->attachAxis(x);
  if (data.counts.empty()) chart->setTitle(chart->title() + " (no member failed)");
  chart->legend()->setVisible(false);
  return chart;
}

void SaveEnsembleChart(QChart* chart, QSize size, const std::string& fileName) {
  QChartView view(chart);
  view.setRenderHint(QPainter::Antialiasing);
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(size);
  view.show();  // lays the chart out at its size
  SaveChartFile(view, fileName);
}

}  // namespace kvsorv
