#pragma once
// The output chart on paper and in files: printed in landscape on a printer, saved as a PNG
// picture, or as an SVG or PDF drawing (vector text, axes and grid; the point markers are
// their small pictures).

#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <string>

#include "display/chart_data.h"

class QChartView;
class QPainter;
class QPrinter;

namespace kvsorv {

// Draws the chart on the printer's page in landscape, as large as fits with its proportions.
void PrintChart(QChartView& chart, QPrinter& printer);

// Saves the chart as drawn at its present size, in the format of the name's extension (.png,
// .svg or .pdf). The file is replaced only once fully written. Exception with
// UnknownChartFormatMessage for another extension; EInOutError when it cannot be written.
void SaveChartFile(QChartView& chart, const std::string& fileName);

// Paints into a new picture file of `size` pixels (or points, for a drawing), in the format
// of the name's extension; failures as SaveChartFile.
void PaintToFile(const std::string& fileName, QSize size, const QString& title,
                 const std::function<void(QPainter&)>& paint);
// Draws the chart, laid out at its present size, into `target` of the painter's device.
void DrawChartInto(QChartView& chart, QPainter& painter, const QRectF& target);

// The chart of `data` as the display draws it after an update (both axes on their automatic
// scale), `size` pixels large, saved as SaveChartFile does. Needs a QApplication.
void SaveChartPicture(const ChartData& data, QSize size, const std::string& fileName);

}  // namespace kvsorv
