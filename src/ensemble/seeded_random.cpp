#include "ensemble/seeded_random.h"

namespace kvsorv::ensemble {

SeededEngine StreamEngine(std::uint64_t seed, std::uint64_t stream, std::uint64_t index) {
  std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL * (1 + stream * 0x100000001ULL + index);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return SeededEngine(z ^ (z >> 31));
}

}  // namespace kvsorv::ensemble
