#include "run/cell_drivers.h"

#include <memory>

#include "files/cell_file_names.h"
#include "files/driver_series.h"
#include "model/catalogue.h"

namespace kvsorv {

void ReadCellDrivers(RunInputs& in, const std::string& driverFileName) {
  const int nd = Catalogue().def.numdrivers;
  in.cellNumber = GetNextDriverFilename(driverFileName).cellNumber;
  in.mainDrivers = std::make_shared<DriverSeries>(ReadDriverSeries(driverFileName, nd));
  in.baseDrivers = std::make_shared<DriverSeries>(
      ReadDriverSeries(DirectoryOf(driverFileName) + kBaseDriverFile, nd));
}

}  // namespace kvsorv
