#include "editors/value_column.h"

#include "files/number_text.h"
#include "model/errors.h"
#include "program/prompter.h"

namespace kvsorv {

std::string BadValueMessage(const ValueCell& cell) {
  return EConvertError(cell.text)
      .WithLineBefore("No values stored: the value of " + cell.symbol + " is not a number.")
      .Message();
}

ConvertedColumn ConvertValueColumn(const std::vector<ValueCell>& cells) {
  ConvertedColumn converted;
  converted.values.reserve(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    try {
      converted.values.push_back(StrToFloat(cells[i].text));
    } catch (const EConvertError&) {
      CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk,
                                BadValueMessage(cells[i]));
      converted.values.clear();
      converted.badCell = i;
      break;
    }
  }
  return converted;
}

}  // namespace kvsorv
