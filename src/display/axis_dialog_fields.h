#pragma once
// The axis dialog's rules (TDlgScale): the fields it opens with for the axis named by the
// session's AxisIsX, and what OK applies. Numbers are general text with up to 15 significant
// digits, read back with the number parser.

#include <string>

#include "display/display_session.h"

namespace kvsorv {

inline constexpr const char* kIndependentAxisCaption = "Independent Axis";
inline constexpr const char* kDependentAxisCaption = "Dependent Axis";

struct AxisDialogFields {
  std::string caption;
  bool logarithmic = false;
  std::string minimum, maximum, increment;
  bool autoScale = false;
};

AxisDialogFields OpenAxisDialog(const OutputDisplaySession& session, char decimalSeparator = '.');

// OK: Auto Scale returns the axis to its automatic scale, ignoring the fields; otherwise the
// three numbers become its explicit range and increment. A field that is not a number raises
// EConvertError and leaves the axis as it was.
void AcceptAxisDialog(OutputDisplaySession& session, const AxisDialogFields& entered,
                      char decimalSeparator = '.');

}  // namespace kvsorv
