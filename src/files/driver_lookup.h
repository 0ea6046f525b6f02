#pragma once
// The lookup of drivers at a time, shared by the reader of a driver file and the reader of a
// driver series held in memory: steps and ramps between records read forward in time.

#include <cmath>

#include "files/driver_reader.h"
#include "model/checked_math.h"
#include "model/records.h"

namespace kvsorv {

// Sets the `value` of drivers 1..count in `drivers` for time t (in years). `readNext(time,
// record)` reads the next record into its arguments and returns false, leaving them
// unchanged, at the end of the data; its failures pass through. See GetDriverValues.
template <typename ReadNext>
void LookUpDrivers(DriverReader& reader, drivearray& drivers, int count, double t, double stopTime,
                   ReadNext&& readNext) {
  const auto copyValues = [count](const drivearray& from, drivearray& to) {
    for (int i = 1; i <= count; ++i) to[i].value = from[i].value;
  };
  if (reader.previousTime == 0.0 && reader.nextTime == 0.0) {
    readNext(reader.nextTime, reader.nextRecord);
    reader.previousTime = reader.nextTime;
    copyValues(reader.nextRecord, reader.previousRecord);
    copyValues(reader.nextRecord, drivers);
  }
  while (std::fabs(reader.nextTime) <= t) {
    reader.previousTime = reader.nextTime;
    copyValues(reader.nextRecord, drivers);
    copyValues(reader.nextRecord, reader.previousRecord);
    // With the data exhausted the next time stays at 2 x stopTime; a time at or beyond it
    // would otherwise bring the loop back here for ever.
    if (reader.dataEnded) break;
    if (!readNext(reader.nextTime, reader.nextRecord)) {
      reader.nextTime = 2.0 * stopTime;
      reader.dataEnded = true;
    }
  }
  if (reader.nextTime >= 0.0) return;  // step: the last record holds
  const double from = std::fabs(reader.previousTime);
  const double to = std::fabs(reader.nextTime);
  if (to == from) return;
  const double f = fp::Div(t - from, to - from);
  for (int i = 1; i <= count; ++i) {
    const double a = reader.previousRecord[i].value;
    const double b = reader.nextRecord[i].value;
    drivers[i].value = fp::Finite(a + f * fp::Finite(b - a));
  }
}

}  // namespace kvsorv
