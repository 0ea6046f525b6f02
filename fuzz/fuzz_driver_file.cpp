// libFuzzer target: arbitrary bytes as a driver file ("*.drr").

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "reader_harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kvsorv::fuzzing::PrepareModel();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string scratch = kvsorv::fuzzing::ScratchPath("drr");
  kvsorv::fuzzing::ReadDriverFileBytes(scratch,
                                       std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
