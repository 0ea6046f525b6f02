#include "editors/driver_text.h"

#include "files/number_text.h"
#include "files/text_writer.h"

namespace kvsorv {

std::string DriverTextHeaderField(std::string_view text) {
  return LeftField(text, kDriverTextFieldWidth);
}

std::string DriverTextNumberField(double value) {
  std::string text = FormatForEditing(value);
  if (text.size() >= kDriverTextFieldWidth) return text + ' ';
  text.resize(kDriverTextFieldWidth, ' ');
  return text;
}

std::string DriverText(const drivearray& drivers, int count, std::string_view timeUnit,
                       const DriverSeries& series) {
  std::string text = DriverTextHeaderField("Time");
  for (int i = 1; i <= count; ++i) text += DriverTextHeaderField(drivers[i].name);
  text += '\n';
  text += DriverTextHeaderField(timeUnit);
  for (int i = 1; i <= count; ++i) text += DriverTextHeaderField(drivers[i].units);
  const auto stride = static_cast<std::size_t>(series.count);
  for (std::size_t r = 0; r < series.Size(); ++r) {
    text += '\n';
    text += DriverTextNumberField(series.times[r]);
    for (std::size_t i = 0; i < stride; ++i)
      text += DriverTextNumberField(series.values[r * stride + i]);
  }
  return text;
}

void WriteDriverText(const std::string& fileName, std::string_view text) {
  TextWriter file(fileName);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    file.Write(line);
    file.EndLine();
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  file.Close();
}

}  // namespace kvsorv
