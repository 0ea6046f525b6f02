#include "program/driver_readers.h"

namespace kvsorv {

DriverReader MainDriverReader;
DriverReader BaseDriverReader;

}  // namespace kvsorv
