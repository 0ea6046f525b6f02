#include "display/chart_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kvsorv {

std::optional<ChartFileFormat> ChartFileFormatOf(const std::string& fileName) {
  std::string extension = std::filesystem::path(fileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".png") return ChartFileFormat::kPng;
  if (extension == ".svg") return ChartFileFormat::kSvg;
  if (extension == ".pdf") return ChartFileFormat::kPdf;
  return std::nullopt;
}

std::string ChartDataFileName(const std::string& image) {
  std::filesystem::path path(image);
  path.replace_extension();
  return path.string() + "-data.csv";
}

std::string UnknownChartFormatMessage(const std::string& fileName) {
  return "Cannot save the chart as '" + fileName + "': the name must end in .png, .svg or .pdf.";
}

}  // namespace kvsorv
