#include "files/driver_file.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "files/driver_lookup.h"
#include "files/number_text.h"
#include "model/catalogue.h"
#include "model/checked_math.h"
#include "model/errors.h"

namespace kvsorv {

namespace {

constexpr std::size_t kFieldWidth = 20;

void CheckCount(int count) {
  if (count < 0 || count > drivearray::kCapacity)
    throw std::out_of_range("driver file: driver count out of range");
}

// A header field: "%-20.20s" and a space.
void AppendHeaderField(std::string& line, std::string_view text) {
  line += LeftField(text, kFieldWidth);
  line += ' ';
}

// A record field: "%-20.13e" and a space. Returns the end of what was written.
char* AppendRecordField(char* out, double value) {
  char* end = AppendScientific13(out, fp::Finite(value));
  while (end < out + kFieldWidth) *end++ = ' ';
  *end++ = ' ';
  return end;
}

}  // namespace

bool OpenDriverFile(FileChannel& channel, const std::string& fileName, int count,
                    const drivearray& drivers, bool forWriting) {
  CheckCount(count);
  if (forWriting) {
    channel.OpenForWriting(fileName);
    try {
      std::string names;
      std::string units;
      AppendHeaderField(names, "Time");
      AppendHeaderField(units, Catalogue().def.timeunit);
      for (int i = 1; i <= count; ++i) {
        AppendHeaderField(names, drivers[i].name);
        AppendHeaderField(units, drivers[i].units);
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
    return true;
  }
  std::error_code ec;
  if (std::filesystem::status(fileName, ec).type() == std::filesystem::file_type::not_found) {
    channel.LeaveUnopened(fileName);
    return false;
  }
  channel.OpenForReading(fileName);
  try {
    TextReader& file = channel.Reader();
    file.SkipLine();
    file.SkipLine();
  } catch (...) {
    channel.Abandon();
    throw;
  }
  return true;
}

bool ReadDriverRecord(FileChannel& channel, double& time, int count, drivearray& drivers) {
  CheckCount(count);
  TextReader& file = channel.Reader();
  try {
    if (file.AtEndOfData()) return false;
    const double recordTime = file.ReadNumber();
    std::array<double, drivearray::kCapacity> values{};
    bool allZero = recordTime == 0.0;
    for (int i = 0; i < count; ++i) {
      values[static_cast<std::size_t>(i)] = file.ReadNumber();
      allZero = allZero && values[static_cast<std::size_t>(i)] == 0.0;
    }
    file.SkipLine();
    if (allZero) {  // the end record: nothing after it is data
      file.SkipToEnd();
      return false;
    }
    time = recordTime;
    for (int i = 1; i <= count; ++i) drivers[i].value = values[static_cast<std::size_t>(i - 1)];
    return true;
  } catch (const EInOutError&) {
    channel.Abandon();
    throw;
  }
}

void GetDriverValues(FileChannel& channel, DriverReader& reader, drivearray& drivers, double t,
                     double stopTime) {
  const int count = Catalogue().def.numdrivers;
  CheckCount(count);
  LookUpDrivers(reader, drivers, count, t, stopTime, [&](double& time, drivearray& record) {
    return ReadDriverRecord(channel, time, count, record);
  });
}

void WriteDriverRecord(FileChannel& channel, double time, int count, const drivearray& drivers) {
  CheckCount(count);
  TextWriter& file = channel.Writer();
  std::array<char, (drivearray::kCapacity + 1) * (kFieldWidth + 1) + 2> line;
  char* end = AppendRecordField(line.data(), time);
  for (int i = 1; i <= count; ++i) end = AppendRecordField(end, drivers[i].value);
  *end++ = '\r';
  *end++ = '\n';
  try {
    file.Write(std::string_view(line.data(), static_cast<std::size_t>(end - line.data())));
  } catch (...) {
    channel.Abandon();
    throw;
  }
}

void CloseDriverFile(FileChannel& channel) {
  channel.Close();
}

}  // namespace kvsorv
