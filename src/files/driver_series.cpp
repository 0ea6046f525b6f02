#include "files/driver_series.h"

#include <filesystem>
#include <stdexcept>

#include "files/driver_file.h"
#include "files/driver_lookup.h"
#include "model/errors.h"

namespace kvsorv {

void DriverSeries::Append(double time, const drivearray& record) {
  times.push_back(time);
  for (int i = 1; i <= count; ++i) values.push_back(record[i].value);
}

DriverSeries ReadDriverSeries(const std::string& fileName, int count) {
  if (count < 0 || count > drivearray::kCapacity)
    throw std::out_of_range("driver series: driver count out of range");
  DriverSeries series;
  series.count = count;
  FileChannel channel("driver");
  drivearray record;
  std::error_code ec;
  if (std::filesystem::status(fileName, ec).type() == std::filesystem::file_type::not_found) {
    // The reading below then fails as reading the file would, naming it.
    channel.LeaveUnopened(fileName);
    series.fileMissing = true;
  } else {
    OpenDriverFile(channel, fileName, count, record, false);
  }
  try {
    double time = 0.0;
    while (ReadDriverRecord(channel, time, count, record)) series.Append(time, record);
  } catch (const Exception&) {
    series.failure = std::current_exception();
  }
  return series;
}

void GetDriverValues(DriverSeriesReader& r, drivearray& drivers, double t, double stopTime) {
  const DriverSeries& series = *r.series;
  const int count = series.count;
  LookUpDrivers(r.reader, drivers, count, t, stopTime, [&](double& time, drivearray& record) {
    if (r.nextIndex >= series.Size()) {
      if (series.failure) std::rethrow_exception(series.failure);
      return false;
    }
    time = series.times[r.nextIndex];
    const double* values = series.values.data() + r.nextIndex * static_cast<std::size_t>(count);
    for (int i = 1; i <= count; ++i) record[i].value = values[i - 1];
    ++r.nextIndex;
    return true;
  });
}

}  // namespace kvsorv
