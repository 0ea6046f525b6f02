#include "ensemble/results_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <netcdf>
#include <vector>

#include "files/csv_table.h"
#include "files/text_writer.h"

namespace kvsorv::ensemble {

namespace {

// Members read at once: their values stay within about this many bytes.
constexpr std::size_t kBlockBytes = std::size_t{16} << 20;

void AppendNumber(std::string& line, double x) {
  if (std::isnan(x)) return;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  line.append(text, end);
}

const char* StatusWord(MemberStatus s) {
  switch (s) {
    case MemberStatus::kDone:
      return "done";
    case MemberStatus::kFailed:
      return "failed";
    case MemberStatus::kMissing:
      break;
  }
  return "missing";
}

// "cell2/Cf": "2" and "Cf"; "Cf": "" and "Cf".
std::pair<std::string, std::string> CellAndSymbol(const std::string& output) {
  const std::size_t slash = output.find('/');
  if (slash == std::string::npos || output.rfind("cell", 0) != 0) return {"", output};
  return {output.substr(4, slash - 4), output.substr(slash + 1)};
}

}  // namespace

namespace {

bool WriteTidyCsv(const ResultsFile& results, const std::string& csvFile, Feedback* feedback) {
  const ResultsDescription d = results.Describe();
  const std::vector<MemberStatus> statuses = results.Statuses();
  const Matrix parameters = results.Parameters();
  const std::vector<signed char> kept = results.KeptMask();
  const std::size_t times = d.times.size(), outputs = d.variables.size();
  const std::size_t members = statuses.size(), memberValues = times * outputs;

  // The cells that are the same on many rows, as text once.
  std::vector<std::string> timeText(times), cellText(outputs), outputText(outputs);
  for (std::size_t t = 0; t < times; ++t) AppendNumber(timeText[t], d.times[t]);
  for (std::size_t v = 0; v < outputs; ++v) {
    const auto [cell, symbol] = CellAndSymbol(d.variables[v]);
    cellText[v] = cell;
    outputText[v] = CsvField(symbol);
  }

  TextWriter out(csvFile);
  std::string line = "member,cell,time,output,value,status";
  for (const std::string& p : d.parameters) line += "," + CsvField(p);
  out.Write(line);
  out.EndLine();

  const std::size_t block =
      std::clamp<std::size_t>(kBlockBytes / std::max<std::size_t>(memberValues * 8, 1), 1, 4096);
  std::vector<double> values;
  std::string rows;
  for (std::size_t m0 = 0; m0 < members; m0 += block) {
    if (feedback != nullptr && feedback->IsCanceled()) return false;  // the writer drops it all
    const std::size_t count = std::min(block, members - m0);
    values.resize(count * memberValues);
    results.ReadValues(m0, count, 0, outputs, values.data());
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t m = m0 + i;
      const std::string member = std::to_string(m);
      std::string tail = std::string(",") + StatusWord(statuses[m]);
      for (const double p : parameters[m]) {
        tail += ',';
        AppendNumber(tail, p);
      }
      tail += "\r\n";
      const bool done = statuses[m] == MemberStatus::kDone;
      for (std::size_t v = 0; v < outputs; ++v)
        for (std::size_t t = 0; t < times; ++t) {
          if (kept[t * outputs + v] == 0) continue;
          rows += member;
          rows += ',';
          rows += cellText[v];
          rows += ',';
          rows += timeText[t];
          rows += ',';
          rows += outputText[v];
          rows += ',';
          if (done) AppendNumber(rows, values[i * memberValues + t * outputs + v]);
          rows += tail;
        }
      if (rows.size() > (std::size_t{1} << 20)) {
        out.Write(rows);
        rows.clear();
      }
    }
  }
  out.Write(rows);
  out.Close();
  return true;
}

}  // namespace

bool ExportTidyCsv(const ResultsFile& results, const std::string& csvFile, Feedback* feedback) {
  try {
    return WriteTidyCsv(results, csvFile, feedback);
  } catch (const netCDF::exceptions::NcException&) {  // the library's own text names no file
    throw EResultsError(results.Name() + ": cannot be read: damaged (its values cannot be read)");
  }
}

}  // namespace kvsorv::ensemble
