#include "ensemble/plan_bytes.h"

#include <filesystem>
#include <fstream>

namespace kvsorv::ensemble {

namespace {

class ShapeCheck {
 public:
  explicit ShapeCheck(const std::string& fileName) : fileName_(fileName) {}

  [[noreturn]] void Fail(const std::string& entry, const std::string& what) const {
    throw EPlanError(fileName_ + ": " + entry + ": " + what);
  }
  [[noreturn]] void FailAt(int line, const std::string& what) const {
    Fail("line " + std::to_string(line), what);
  }

  // Counts, in a single pass, what the parser's time grows with.
  void Check(const std::string& bytes) const {
    int depth = 0, line = 1;
    std::size_t lineStart = 0, values = 0, lineValues = 0, tables = 0, keys = 0;
    char quote = 0;
    bool comment = false, blankSoFar = true;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
      const char c = i < bytes.size() ? bytes[i] : '\n';
      if (c == '\n') {
        if (i - lineStart > kLongestPlanLine)
          FailAt(line, "longer than " + std::to_string(kLongestPlanLine) +
                           " characters; split a long list over several lines, or give a "
                           "table's values in a file");
        ++line, lineStart = i + 1, comment = false, blankSoFar = true, lineValues = 0;
        continue;
      }
      if (comment) continue;
      if (quote != 0) {
        if (c == '\\' && quote == '"')
          ++i;  // an escaped character
        else if (c == quote)
          quote = 0;
        continue;
      }
      const bool header = blankSoFar && depth == 0 && c == '[';
      if (c != ' ' && c != '\t' && c != '\r') blankSoFar = false;
      if (c == '"' || c == '\'') quote = c;
      if (c == '#') comment = true;
      if (header) {
        // The parser takes longer for each table and, within a table, for each key.
        if (++tables > kMostPlanTables)
          FailAt(line, "more than " + std::to_string(kMostPlanTables) +
                           " tables; a plan may vary at most " +
                           std::to_string(kMostPlanParameters) + " parameters, keep at most " +
                           std::to_string(kMostPlanOutputs) + " outputs and give at most " +
                           std::to_string(kMostPlanCorrelations) + " correlations");
        keys = 0;
      }
      if (c == '=' && depth == 0 && ++keys > kMostKeysOfAPlanTable)
        FailAt(line, "more than " + std::to_string(kMostKeysOfAPlanTable) +
                         " keys in one table; no table of a plan has as many");
      if (c == ',' && depth > 0) {
        // Each value of a list takes the parser a scan of the rest of its line.
        if (++lineValues > kMostValuesOnAPlanLine)
          FailAt(line, "more than " + std::to_string(kMostValuesOnAPlanLine) +
                           " values on one line; split the list over several lines");
        if (++values > kMostPlanListValues)
          FailAt(line, "the plan's lists hold more than " + std::to_string(kMostPlanListValues) +
                           " values; an output may keep at most " + std::to_string(kMostKeptTimes) +
                           " times, and a long table of values belongs in a CSV file named by "
                           "the distribution's 'file' key");
      }
      if (c == '[' || c == '{') ++depth;
      if (c == ']' || c == '}') --depth;
      if (depth > kDeepestPlanNesting)
        FailAt(line,
               "lists or tables nested more than " + std::to_string(kDeepestPlanNesting) + " deep");
    }
  }

 private:
  const std::string& fileName_;
};

}  // namespace

// The size's message: `size` bytes or, when the file's size is not known, more than the limit.
std::string SizeRefusal(const std::string& size) {
  return size + " bytes; a plan may have at most " + std::to_string(kLargestPlanBytes) +
         " bytes (1 MiB): give a long table of values in a CSV file named by the "
         "distribution's 'file' key";
}

std::string ReadPlanBytes(const std::string& fileName) {
  const ShapeCheck check(fileName);
  std::error_code ignored;
  const std::filesystem::file_status status = std::filesystem::status(fileName, ignored);
  if (status.type() == std::filesystem::file_type::not_found) check.Fail("file", "no such file");
  if (std::filesystem::is_directory(status)) check.Fail("file", "a directory, not a plan");
  std::ifstream in(fileName, std::ios::binary);
  if (!in) check.Fail("file", "cannot be read");
  std::string bytes(kLargestPlanBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() > kLargestPlanBytes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    check.Fail("file", SizeRefusal(error ? "more than " + std::to_string(kLargestPlanBytes)
                                         : std::to_string(size)));
  }
  check.Check(bytes);
  return bytes;
}

void CheckPlanText(const std::string& fileName, const std::string& text) {
  const ShapeCheck check(fileName);
  if (text.size() > kLargestPlanBytes) check.Fail("file", SizeRefusal(std::to_string(text.size())));
  check.Check(text);
}

}  // namespace kvsorv::ensemble
