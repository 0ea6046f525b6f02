#include "editors/driver_text_check.h"

#include <vector>

#include "files/file_errors.h"
#include "files/number_text.h"

namespace kvsorv {

namespace {

// The blank-separated tokens of a line.
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32) ++i;
    const std::size_t start = i;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > 32) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

}  // namespace

std::optional<DriverTextFault> CheckDriverText(std::string_view text, int count) {
  const auto wanted = static_cast<std::size_t>(count) + 1;
  int endRecordLine = 0;
  for (int line = 1; !text.empty(); ++line) {
    const std::size_t end = text.find('\n');
    const std::string_view current = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line <= 2) continue;  // the header

    const std::vector<std::string_view> tokens = Tokens(current);
    if (tokens.empty()) continue;
    if (endRecordLine > 0)
      return DriverTextFault{
          .kind = DriverTextFault::Kind::kDataAfterEnd, .line = endRecordLine, .token = {}};

    bool allZero = true;
    for (std::size_t i = 0; i < tokens.size() && i < wanted; ++i) {
      const std::optional<double> value =
          tokens[i].size() <= kMaxNumberTokenLength ? ParseDecimal(tokens[i]) : std::nullopt;
      if (!value) {
        return DriverTextFault{.kind = DriverTextFault::Kind::kNotANumber,
                               .line = line,
                               .token = std::string(tokens[i])};
      }
      allZero = allZero && *value == 0.0;
    }
    if (tokens.size() < wanted) {
      return DriverTextFault{.kind = DriverTextFault::Kind::kTooFewNumbers,
                             .line = line,
                             .token = std::string(tokens.back()),
                             .numbers = static_cast<int>(tokens.size())};
    }
    if (allZero) endRecordLine = line;
  }
  return std::nullopt;
}

std::string DriverTextFaultMessage(const DriverTextFault& fault, int count) {
  const std::string line = "Line " + std::to_string(fault.line);
  switch (fault.kind) {
    case DriverTextFault::Kind::kNotANumber:
      return line + " of the driver text does not read: '" + PrintableText(fault.token) +
             "' is not a number.";
    case DriverTextFault::Kind::kTooFewNumbers:
      return line + " holds " + std::to_string(fault.numbers) + " of the " +
             std::to_string(count + 1) + " numbers of a driver record, the last of them '" +
             PrintableText(fault.token) + "': it will not read back as written.";
    case DriverTextFault::Kind::kDataAfterEnd:
      return line +
             " holds only zeros, which end the driver data: the lines after it will not "
             "be read.";
  }
  return line;
}

}  // namespace kvsorv
