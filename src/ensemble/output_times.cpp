#include "ensemble/output_times.h"

#include <cmath>

namespace kvsorv::ensemble {

std::vector<double> OutputTimes(const RunTimes& t) {
  std::vector<double> times{t.start};
  const long long perOutput = std::llround(t.outputStep / t.step);
  long long counter = 1;
  for (double present = t.start; present + t.step <= t.stop; present += t.step, ++counter) {
    if (counter != perOutput) continue;
    if (present >= kFirstOutputYear) times.push_back(present + t.step);
    counter = 0;
  }
  return times;
}

}  // namespace kvsorv::ensemble
