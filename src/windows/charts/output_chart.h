#pragma once
// The output display's chart (ChOutput) on Qt Charts: the model's name as title, ten point
// series Series1 ... Series10 in their tabled shapes and colours, a legend of the active
// series, the independent axis at the bottom ("#,##0.0" labels) and the dependent axis on the
// left ("#,##0.000" labels), each linear or logarithmic. It draws what it is given; the rules
// of what to draw live in the display session.

#include <QChartView>
#include <array>

#include "display/axis_scale.h"
#include "display/chart_data.h"

class QLineSeries;
class QLogValueAxis;
class QValueAxis;

namespace kvsorv {

// An axis as the chart draws it: its scale and the range it shows.
struct AxisView {
  AxisState state;
  AxisRange shown;
};

class OutputChart : public QChartView {
  Q_OBJECT
 public:
  explicit OutputChart(QWidget* parent = nullptr);
  ~OutputChart() override;

  // Series 1 .. n take the data's series (points, title) and become active; the others are
  // emptied and made inactive (neither drawn nor listed). The bottom axis takes the data's
  // independent title, the two axes their scales.
  void Show(const ChartData& data, const AxisView& x, const AxisView& y);
  // One axis's scale: linear or logarithmic, the range shown and its tick increment.
  void ShowAxis(bool isX, const AxisView& axis);

  QLineSeries* Series(int k) const { return series_[static_cast<std::size_t>(k)]; }
  // The bottom or left axis now attached.
  QAbstractAxis* Axis(bool isX) const { return (isX ? x_ : y_).current; }

 private:
  struct AxisPair {
    QValueAxis* linear;
    QLogValueAxis* logarithmic;
    QAbstractAxis* current;
    Qt::Alignment alignment;
  };
  void UseAxis(AxisPair& pair, bool logarithmic);

  std::array<QLineSeries*, 10> series_{};
  AxisPair x_{};
  AxisPair y_{};
};

}  // namespace kvsorv
