#include "program/driver_readers.h"

namespace kvsorv {

FileChannel MainDriverChannel("main driver");

DriverReader MainDriverReader;
DriverReader BaseDriverReader;

}  // namespace kvsorv
