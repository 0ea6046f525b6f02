#pragma once
// The picture formats the chart is saved in, told by the file name's extension.

#include <optional>
#include <string>

namespace kvsorv {

enum class ChartFileFormat { kPng, kSvg, kPdf };

inline constexpr const char* kChartFileFilter =
    "PNG Images (*.png)|*.png|SVG Drawings (*.svg)|*.svg|PDF Documents (*.pdf)|*.pdf";
inline constexpr const char* kTableFileFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";

// The format of ".png", ".svg" or ".pdf" (in any case); nothing for other names.
std::optional<ChartFileFormat> ChartFileFormatOf(const std::string& fileName);

// The CSV of what a chart saved as `image` draws, beside it: "fig.png" -> "fig-data.csv".
std::string ChartDataFileName(const std::string& image);

// "Cannot save the chart as '<name>': the name must end in .png, .svg or .pdf."
std::string UnknownChartFormatMessage(const std::string& fileName);

}  // namespace kvsorv
