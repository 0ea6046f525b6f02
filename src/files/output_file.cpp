#include "files/output_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "files/number_text.h"
#include "model/catalogue.h"
#include "model/checked_math.h"
#include "model/errors.h"

namespace kvsorv {

namespace {

constexpr std::size_t kFieldWidth = 20;
// How much of a header line is looked at: its first field.
constexpr std::size_t kHeaderLook = 64;
// Longest data line: every column of full tables, and the line end.
constexpr std::size_t kMaxLineLength =
    (1 + drivearray::kCapacity + statearray::kCapacity + processarray::kCapacity) *
        (kFieldWidth + 1) +
    2;

void CheckCounts(int stateCount, int processCount) {
  if (Catalogue().def.numdrivers < 0 || Catalogue().def.numdrivers > drivearray::kCapacity ||
      stateCount < 0 || stateCount > statearray::kCapacity || processCount < 0 ||
      processCount > processarray::kCapacity)
    throw std::out_of_range("output file: count out of range");
}

void AppendHeaderField(std::string& line, std::string_view text) {
  line += RightField(text, kFieldWidth);
  line += ' ';
}

// A value right-aligned in 20 characters (AppendScientific13), and a space.
char* AppendValueField(char* out, double value) {
  char text[kScientific13MaxLength];
  const auto length = static_cast<std::size_t>(AppendScientific13(text, fp::Finite(value)) - text);
  std::memset(out, ' ', kFieldWidth - length);
  std::memcpy(out + kFieldWidth - length, text, length);
  out[kFieldWidth] = ' ';
  return out + kFieldWidth + 1;
}

}  // namespace

void OpenOutputFile(FileChannel& channel, const std::string& fileName, const drivearray& drivers,
                    int stateCount, const statearray& states, int processCount,
                    const processarray& processes, bool forWriting) {
  CheckCounts(stateCount, processCount);
  if (forWriting) {
    channel.OpenForWriting(fileName);
  } else {
    channel.OpenForReading(fileName);
  }
  try {
    if (!forWriting) {
      TextReader& file = channel.Reader();
      // The names and the units: a line that starts with a number is a record, and the file
      // has lost a header line (its first record would be skipped as one).
      for (int line = 1; line <= 2; ++line) {
        const std::string start = file.ReadLine(kHeaderLook);
        const std::size_t first = start.find_first_not_of(" \t");
        const std::string token =
            first == std::string::npos
                ? ""
                : start.substr(first, start.find_first_of(" \t", first) - first);
        if (!token.empty() && ParseDecimal(token))
          throw EInOutError(EInOutError::Kind::kInvalidNumericInput,
                            "Output file '" + fileName + "', line " + std::to_string(line) +
                                ": a record where the header's " + (line == 1 ? "names" : "units") +
                                " belong (the file has lost a header line)");
      }
      return;
    }
    std::string names;
    std::string units;
    AppendHeaderField(names, "Time");
    AppendHeaderField(units, Catalogue().def.timeunit);
    for (int i = 1; i <= Catalogue().def.numdrivers; ++i) {
      AppendHeaderField(names, drivers[i].name);
      AppendHeaderField(units, drivers[i].units);
    }
    for (int i = 1; i <= stateCount; ++i) {
      AppendHeaderField(names, states[i].name);
      AppendHeaderField(units, states[i].units);
    }
    for (int i = 1; i <= processCount; ++i) {
      AppendHeaderField(names, processes[i].name);
      AppendHeaderField(units, processes[i].units);
    }
    TextWriter& file = channel.Writer();
    file.Write(names);
    file.EndLine();
    file.Write(units);
    file.EndLine();
  } catch (...) {
    channel.Abandon();
    throw;
  }
}

void WriteOutputLine(FileChannel& channel, const drivearray& drivers, int stateCount,
                     const statearray& states, int processCount, const processarray& processes,
                     double time) {
  CheckCounts(stateCount, processCount);
  TextWriter& file = channel.Writer();
  std::array<char, kMaxLineLength + kFieldWidth> line;
  const std::string timeText = FormatOutputTime(fp::Finite(time));
  // A time wider than its field (scientific notation, at most 22 characters) is written
  // whole, as "%20g" does; the line buffer has a spare field's room for it.
  const std::size_t length = std::min(timeText.size(), kFieldWidth * 2);
  std::memcpy(line.data(), timeText.data(), length);
  char* end = line.data() + length;
  *end++ = ' ';
  for (int i = 1; i <= Catalogue().def.numdrivers; ++i)
    end = AppendValueField(end, drivers[i].value);
  for (int i = 1; i <= stateCount; ++i) end = AppendValueField(end, states[i].value);
  for (int i = 1; i <= processCount; ++i) end = AppendValueField(end, processes[i].value);
  *end++ = '\r';
  *end++ = '\n';
  try {
    file.Write(std::string_view(line.data(), static_cast<std::size_t>(end - line.data())));
  } catch (...) {
    channel.Abandon();
    throw;
  }
}

bool ReadOutputLine(FileChannel& channel, double& time, drivearray& drivers, int stateCount,
                    statearray& states, int processCount, processarray& processes) {
  CheckCounts(stateCount, processCount);
  TextReader& file = channel.Reader();
  try {
    if (file.AtEndOfData()) return false;
    time = file.ReadNumber();
    for (int i = 1; i <= Catalogue().def.numdrivers; ++i) drivers[i].value = file.ReadNumber();
    for (int i = 1; i <= stateCount; ++i) states[i].value = file.ReadNumber();
    for (int i = 1; i <= processCount; ++i) processes[i].value = file.ReadNumber();
    file.SkipLine();
    return true;
  } catch (const EInOutError&) {
    channel.Abandon();
    throw;
  }
}

bool ReadWholeOutputLine(FileChannel& channel, double& time, drivearray& drivers, int stateCount,
                         statearray& states, int processCount, processarray& processes) {
  CheckCounts(stateCount, processCount);
  TextReader& file = channel.Reader();
  const int values = 1 + Catalogue().def.numdrivers + stateCount + processCount;
  // A file this program wrote has lines of one width, its header's: then a record of
  // another width was cut (in a value, too, where the numbers alone cannot tell) or joined,
  // and a blank line among the records is a record cut out.
  const std::size_t width = (kFieldWidth + 1) * static_cast<std::size_t>(values);
  const bool fixedWidth = file.FirstLineLength() == width;
  int read = 0, line = 0;
  const auto refuse = [&](int at, const std::string& what) {
    throw EInOutError(
        EInOutError::Kind::kInvalidNumericInput,
        "Output file '" + file.FileName() + "', line " + std::to_string(at) + ": " + what);
  };
  // The next value of the record, or a failure when the record's line has ended.
  const auto next = [&]() {
    // Skipping the blanks before the value crosses the line's end when the record was cut.
    if (read > 0 && (file.AtEndOfData() || file.LineNumber() != line))
      refuse(line, "the record holds " + std::to_string(read) + " of its " +
                       std::to_string(values) + " values");
    const double v = file.ReadNumber();
    if (read++ == 0) line = file.LineNumber();
    return v;
  };
  try {
    const int expectedLine = file.LineNumber();
    if (file.AtEndOfData()) {
      if (fixedWidth && file.Column() > 0)
        refuse(file.LineNumber(), "the record is cut off: only blanks, without its line end");
      return false;
    }
    if (fixedWidth && file.LineNumber() != expectedLine)
      refuse(expectedLine, "the line is blank where a record belongs");
    time = next();
    for (int i = 1; i <= Catalogue().def.numdrivers; ++i) drivers[i].value = next();
    for (int i = 1; i <= stateCount; ++i) states[i].value = next();
    for (int i = 1; i <= processCount; ++i) processes[i].value = next();
    file.SkipChars(std::numeric_limits<std::size_t>::max());
    // A complete file ends every line: a last line without its end was cut in its last value.
    if (file.AtEnd()) refuse(line, "the record is cut off before its line end");
    if (fixedWidth && file.Column() != width)
      refuse(line, "the record is " + std::to_string(file.Column()) +
                       " characters long, the file's lines " + std::to_string(width) +
                       " (cut short or joined to the next)");
    file.SkipLine();
    return true;
  } catch (const EInOutError&) {
    channel.Abandon();
    throw;
  }
}

void CloseOutputFile(FileChannel& channel) {
  channel.Close();
}

}  // namespace kvsorv
