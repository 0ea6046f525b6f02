#include "program/run_settings.h"

namespace kvsorv {

TRunSettings RunSettings;

}  // namespace kvsorv
