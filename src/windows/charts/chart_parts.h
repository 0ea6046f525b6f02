#pragma once
// The parts every chart of results is drawn from: colours, titled charts and axes, lines,
// areas, ranges and the runs of a time axis without gaps.

#include <QColor>
#include <QStringList>
#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "charts/ensemble_charts_data.h"

class QAbstractAxis;
class QAbstractSeries;
class QAreaSeries;
class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace kvsorv::chart_parts {

inline const QColor kBandOuter(70, 130, 180, 70);   // 5-95 %
inline const QColor kBandInner(70, 130, 180, 140);  // 25-75 %
inline const QColor kMedian(20, 60, 120);
inline const QColor kMean(200, 80, 20);
inline const QColor kObserved(0, 0, 0);
inline const QColor kLow(66, 133, 200);
inline const QColor kHigh(214, 96, 77);
// Ten colours told apart at a glance, for one line per parameter; past ten the lines repeat
// them dashed.
inline const std::array<QColor, 10> kLineColours = {
    QColor(31, 119, 180),  QColor(255, 127, 14), QColor(44, 160, 44),   QColor(214, 39, 40),
    QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127),
    QColor(188, 189, 34),  QColor(23, 190, 207)};

QChart* NewChart(const ChartTitles& titles);
QValueAxis* ValueAxis(QChart* chart, const std::string& title, Qt::Alignment side);
// Whole numbers for axes of large values ("25000", not "2.5e+04"); four significant digits
// otherwise. Called once the axis has its final range.
void ReadableLabels(QValueAxis* axis);
// The axis of named bars (parameters, reasons), attached to `series`.
void CategoryAxis(QChart* chart, QAbstractSeries* series, const QStringList& names,
                  const std::string& title, Qt::Alignment side);
void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y);
// The finite points of x and y.
QLineSeries* Line(const std::vector<double>& x, const std::vector<double>& y);
// An area between two lines that owns them: an area series leaves its lines to the caller,
// and a chart replaced at every redraw would leave them behind.
QAreaSeries* Area(QLineSeries* upper, QLineSeries* lower);
// The smallest and largest finite values of several series, widened a little.
std::pair<double, double> Range(std::initializer_list<const std::vector<double>*> series,
                                bool includeZero = false);
// A colour's pale form, for what is drawn but not yet to be read as a result.
QColor Pale(const QColor& colour);
// A point drawn as a ring of its colour: an estimate not yet to be read as a result.
void Hollow(QScatterSeries* points);
void HideLegendOf(QChart* chart, QAbstractSeries* series);
// Index ranges [first, last) of runs of times without a gap: a step more than ten times the
// usual one (such as from the start to the first output year) breaks the bands and lines.
std::vector<std::pair<std::size_t, std::size_t>> Runs(const std::vector<double>& times);
std::vector<double> Slice(const std::vector<double>& v, std::size_t first, std::size_t last);

}  // namespace kvsorv::chart_parts
