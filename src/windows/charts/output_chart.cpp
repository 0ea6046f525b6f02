#include "windows/charts/output_chart.h"

#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "program/global_tables.h"
#include "windows/charts/chart_markers.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

// "#,##0.0" and "#,##0.000": fixed decimals, thousands separated (the numbers are localized).
constexpr const char* kIndependentLabels = "%.1f";
constexpr const char* kDependentLabels = "%.3f";
constexpr int kIndependentDecimals = 1;
constexpr int kDependentDecimals = 3;
// Decades a fixed pattern cannot tell apart.
constexpr const char* kDecadeLabels = "%.0E";

}  // namespace

// Made with its chart: a view made without one makes a chart of its own, which setChart
// would only give up, never delete.
OutputChart::OutputChart(QWidget* parent) : QChartView(new QChart, parent) {
  QChart* chart = this->chart();
  setRenderHint(QPainter::Antialiasing);
  chart->setTitle(Q(ModelDef.modelname));
  QFont titleFont = chart->titleFont();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->setBackgroundBrush(Qt::white);
  chart->setPlotAreaBackgroundBrush(Qt::white);
  chart->setPlotAreaBackgroundVisible(true);
  chart->setDropShadowEnabled(false);
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  chart->setLocale(locale);
  chart->setLocalizeNumbers(true);
  chart->legend()->setAlignment(Qt::AlignRight);
  chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);

  x_ = {new QValueAxis, new QLogValueAxis, nullptr, Qt::AlignBottom};
  y_ = {new QValueAxis, new QLogValueAxis, nullptr, Qt::AlignLeft};
  for (AxisPair* pair : {&x_, &y_}) {
    const char* format = pair == &x_ ? kIndependentLabels : kDependentLabels;
    pair->linear->setLabelFormat(format);
    pair->linear->setTickType(QValueAxis::TicksDynamic);
    pair->linear->setTickAnchor(0.0);
    pair->logarithmic->setLabelFormat(format);
    pair->logarithmic->setBase(10.0);
    pair->logarithmic->setMinorTickCount(-1);
    pair->current = pair->linear;
    chart->addAxis(pair->linear, pair->alignment);
  }

  const auto& styles = SeriesStyles();
  for (std::size_t k = 0; k < series_.size(); ++k) {
    auto* s = new QLineSeries;
    s->setObjectName(QString("Series%1").arg(k + 1));
    s->setPen(Qt::NoPen);  // points only
    s->setPointsVisible(true);
    s->setMarkerSize(kMarkerSize);
    s->setLightMarker(MarkerImage(styles[k]));
    s->setColor(styles[k].fill);
    chart->addSeries(s);
    s->attachAxis(x_.linear);
    s->attachAxis(y_.linear);
    s->setVisible(false);
    for (QLegendMarker* m : chart->legend()->markers(s)) m->setVisible(false);
    series_[k] = s;
  }
}

OutputChart::~OutputChart() {
  // The axes not attached belong to no chart.
  for (AxisPair* pair : {&x_, &y_}) {
    if (pair->current != pair->linear) delete pair->linear;
    if (pair->current != pair->logarithmic) delete pair->logarithmic;
  }
}

void OutputChart::Show(const ChartData& data, const AxisView& x, const AxisView& y) {
  // Every change of points or scale lays out each series again: scale empty series first.
  for (QLineSeries* s : series_)
    if (s->count() > 0) s->clear();
  ShowAxis(true, x);
  ShowAxis(false, y);
  for (std::size_t k = 0; k < series_.size(); ++k) {
    QLineSeries* s = series_[k];
    const bool active = k < data.series.size();
    QList<QPointF> points;
    if (active) {
      const PlotSeries& source = data.series[k];
      points.reserve(static_cast<qsizetype>(source.points.size()));
      for (const ChartPoint& p : source.points) points.append(QPointF(p.x, p.y));
      s->setName(Q(source.title));
    }
    s->replace(points);
    s->setVisible(active);
    for (QLegendMarker* m : chart()->legend()->markers(s)) m->setVisible(active);
  }
  x_.current->setTitleText(Q(data.xTitle));
}

void OutputChart::ShowAxis(bool isX, const AxisView& axis) {
  const AxisRange& shown = axis.shown;
  AxisPair& pair = isX ? x_ : y_;
  UseAxis(pair, axis.state.logarithmic);
  if (axis.state.logarithmic) {
    const bool fixed =
        FixedLabelsTellDecadesApart(shown, isX ? kIndependentDecimals : kDependentDecimals);
    pair.logarithmic->setLabelFormat(fixed ? (isX ? kIndependentLabels : kDependentLabels)
                                           : kDecadeLabels);
    pair.logarithmic->setRange(shown.minimum, shown.maximum);
    return;
  }
  // A spacing as wide as both ranges while the range changes keeps the ticks few throughout.
  const double span =
      std::max(pair.linear->max() - pair.linear->min(), shown.maximum - shown.minimum);
  if (span > 0.0 && std::isfinite(span)) pair.linear->setTickInterval(span);
  pair.linear->setRange(shown.minimum, shown.maximum);
  pair.linear->setTickInterval(TickIncrement(shown, axis.state.increment));
}

void OutputChart::UseAxis(AxisPair& pair, bool logarithmic) {
  QAbstractAxis* wanted = logarithmic ? static_cast<QAbstractAxis*>(pair.logarithmic) : pair.linear;
  if (pair.current == wanted) return;
  for (QLineSeries* s : series_) s->detachAxis(pair.current);
  chart()->removeAxis(pair.current);
  chart()->addAxis(wanted, pair.alignment);
  for (QLineSeries* s : series_) s->attachAxis(wanted);
  wanted->setTitleText(pair.current->titleText());
  pair.current = wanted;
}

}  // namespace kvsorv
