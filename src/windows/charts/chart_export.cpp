#include "windows/charts/chart_export.h"

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <functional>

#include "display/axis_scale.h"
#include "display/chart_file.h"
#include "files/file_errors.h"
#include "model/errors.h"
#include "windows/charts/output_chart.h"
#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

constexpr double kScreenDpi = 96.0;

// The chart, laid out as it is now, drawn into `target` on the painter's device.
void DrawChart(QChartView& chart, QPainter& painter, const QRectF& target) {
  QApplication::sendPostedEvents();  // lay out what the last changes left pending
  painter.setRenderHint(QPainter::Antialiasing);
  chart.render(&painter, target, chart.viewport()->rect());
}

}  // namespace

void PrintChart(QChartView& chart, QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
  QPainter painter(&printer);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const QSizeF size = QSizeF(chart.viewport()->size()).scaled(page.size(), Qt::KeepAspectRatio);
  DrawChart(chart, painter, QRectF(QPointF(0, 0), size));  // painting starts at the page's corner
}

void PaintToFile(const std::string& fileName, QSize size, const QString& title,
                 const std::function<void(QPainter&)>& paint) {
  const auto format = ChartFileFormatOf(fileName);
  if (!format) throw Exception(UnknownChartFormatMessage(fileName));
  QSaveFile file(Q(fileName));
  if (!file.open(QIODevice::WriteOnly))
    throw FileAccessError("create", fileName, S(file.errorString()));
  const QRectF area(QPointF(0, 0), QSizeF(size));
  switch (*format) {
    case ChartFileFormat::kPng: {
      QImage image(size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::white);
      {
        QPainter painter(&image);
        paint(painter);
      }
      if (!image.save(&file, "PNG"))
        throw FileAccessError("write", fileName, S(file.errorString()));
      break;
    }
    case ChartFileFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      svg.setSize(size);
      svg.setViewBox(area);
      svg.setResolution(static_cast<int>(kScreenDpi));
      svg.setTitle(title);
      QPainter painter(&svg);
      paint(painter);
      break;
    }
    case ChartFileFormat::kPdf: {
      QPdfWriter pdf(&file);
      pdf.setResolution(static_cast<int>(kScreenDpi));
      pdf.setPageSize(QPageSize(QSizeF(size) * (72.0 / kScreenDpi), QPageSize::Point));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle(title);
      QPainter painter(&pdf);
      paint(painter);
      break;
    }
  }
  if (!file.commit()) throw FileAccessError("write", fileName, S(file.errorString()));
}

void DrawChartInto(QChartView& chart, QPainter& painter, const QRectF& target) {
  DrawChart(chart, painter, target);
}

void SaveChartFile(QChartView& chart, const std::string& fileName) {
  const QSize size = chart.viewport()->size();
  PaintToFile(fileName, size, chart.chart()->title(), [&](QPainter& painter) {
    DrawChart(chart, painter, QRectF(QPointF(0, 0), QSizeF(size)));
  });
}

void SaveChartPicture(const ChartData& data, QSize size, const std::string& fileName) {
  OutputChart chart;
  chart.setAttribute(Qt::WA_DontShowOnScreen);
  chart.resize(size);
  chart.show();  // lays the chart out at its size
  const ChartExtent extent = ExtentOf(data);
  const AxisRange x = IndependentAutoRange(extent);
  const AxisRange y = DependentAutoRange(extent);
  chart.Show(
      data,
      {.state = {.logarithmic = false, .automatic = true, .range = x, .increment = 0}, .shown = x},
      {.state = {.logarithmic = false, .automatic = false, .range = y, .increment = 0},
       .shown = y});
  SaveChartFile(chart, fileName);
}

}  // namespace kvsorv
