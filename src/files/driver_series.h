#pragma once
// A driver file held in memory, so that any number of runs can read it at once without
// touching the file or any shared reader.

#include <cstddef>
#include <exception>
#include <string>
#include <vector>

#include "files/driver_reader.h"
#include "model/records.h"

namespace kvsorv {

// The records of a driver file up to its end or its end record, in file order.
struct DriverSeries {
  int count = 0;               // drivers per record
  std::vector<double> times;   // one per record, sign included (negative: a ramp)
  std::vector<double> values;  // count per record
  // What stopped the reading before the end of the data (a missing file, text that is not a
  // number); raised when a reader reaches it, as reading the file then would have.
  std::exception_ptr failure;
  bool fileMissing = false;  // the file did not exist (`failure` then names it)

  std::size_t Size() const { return times.size(); }
  void Append(double time, const drivearray& record);
};

// Reads the whole file as ReadDriverRecord reads it record by record. It only reads: it
// shows nothing and changes no program state. A file that does not exist is marked
// `fileMissing`; that failure, and any failure while reading, is kept in the series rather
// than raised.
DriverSeries ReadDriverSeries(const std::string& fileName, int count);

// A reader of a series: where one run stands in it.
struct DriverSeriesReader {
  const DriverSeries* series = nullptr;
  std::size_t nextIndex = 0;
  DriverReader reader;
};

// GetDriverValues on a series in memory: the same values at the same times, and the series'
// failure raised where reading the file would have raised it.
void GetDriverValues(DriverSeriesReader& reader, drivearray& drivers, double t, double stopTime);

}  // namespace kvsorv
