#include "display/axis_dialog_fields.h"

#include "files/number_text.h"

namespace kvsorv {

namespace {

constexpr int kFieldDigits = 15;

}  // namespace

AxisDialogFields OpenAxisDialog(const OutputDisplaySession& session, char decimalSeparator) {
  const bool isX = session.AxisIsX;
  const AxisState& axis = session.Axis(isX);
  const GeneralFormatOptions form{.decimalSeparator = decimalSeparator};
  return {
      .caption = isX ? kIndependentAxisCaption : kDependentAxisCaption,
      .logarithmic = axis.logarithmic,
      .minimum = FormatGeneral(axis.range.minimum, kFieldDigits, form),
      .maximum = FormatGeneral(axis.range.maximum, kFieldDigits, form),
      .increment = FormatGeneral(axis.increment, kFieldDigits, form),
      .autoScale = axis.automatic,
  };
}

void AcceptAxisDialog(OutputDisplaySession& session, const AxisDialogFields& entered,
                      char decimalSeparator) {
  const bool isX = session.AxisIsX;
  if (entered.autoScale) {
    session.SetAxisScale(isX, true, 0, 0, 0);
    return;
  }
  const double minimum = StrToFloat(entered.minimum, decimalSeparator);
  const double maximum = StrToFloat(entered.maximum, decimalSeparator);
  const double increment = StrToFloat(entered.increment, decimalSeparator);
  session.SetAxisScale(isX, false, minimum, maximum, increment);
}

}  // namespace kvsorv
