#pragma once
// Where the reading of one driver file forward in time stands: the record that took effect
// last and the next one.

#include "model/records.h"

namespace kvsorv {

// The state of one driver file being read forward in time. Not started while both times
// are 0.
struct DriverReader {
  double previousTime = 0.0;  // time of the record that took effect last, sign included
  double nextTime = 0.0;      // time of the next record not yet reached, sign included
  drivearray previousRecord;  // values of the record that took effect last
  drivearray nextRecord;      // values of the next record
  bool dataEnded = false;     // no record follows nextRecord

  void Reset() {
    previousTime = 0.0;
    nextTime = 0.0;
    dataEnded = false;
  }
};

}  // namespace kvsorv
