#pragma once
// A fixed-capacity array addressed from 1 to N, as every model table is.

#include <array>
#include <cassert>
#include <cstddef>

namespace kvsorv {

// Asks an array to leave its slots uninitialised: for arrays that are filled completely
// right away, on paths where zeroing them first would cost more than the work itself.
struct NoInit {
  explicit NoInit() = default;
};
inline constexpr NoInit kNoInit{};

template <typename T, int N>
class OneBasedArray {
 public:
  static constexpr int kCapacity = N;

  constexpr OneBasedArray() : slots_{} {}
  // Slots of a trivial type are left indeterminate; others are default-constructed.
  constexpr explicit OneBasedArray(NoInit) {}

  constexpr T& operator[](int i) {
    assert(i >= 1 && i <= N);
    return slots_[static_cast<std::size_t>(i - 1)];
  }
  constexpr const T& operator[](int i) const {
    assert(i >= 1 && i <= N);
    return slots_[static_cast<std::size_t>(i - 1)];
  }

  constexpr T* begin() { return slots_.data(); }
  constexpr T* end() { return slots_.data() + N; }
  constexpr const T* begin() const { return slots_.data(); }
  constexpr const T* end() const { return slots_.data() + N; }

  friend bool operator==(const OneBasedArray&, const OneBasedArray&) = default;

 private:
  std::array<T, N> slots_;
};

}  // namespace kvsorv
