#include "display/output_names.h"

#include "model/catalogue.h"

namespace kvsorv {

std::optional<std::string> OutputNameOfSymbol(std::string_view symbol) {
  const std::optional<OutputQuantity> q = FindOutputQuantity(symbol);
  if (!q) return std::nullopt;
  const ModelCatalogue& c = Catalogue();
  switch (q->kind) {
    case OutputKind::kState:
      return c.states[q->index].name;
    case OutputKind::kProcess:
      return c.processes[q->index].name;
    case OutputKind::kDriver:
      return c.drivers[q->index].name;
  }
  return std::nullopt;
}

int FindOutputColumn(const OutputTable& table, std::string_view nameOrSymbol) {
  // A text that is one column's name and another quantity's symbol means the named column.
  if (const int named = table.FindColumn(nameOrSymbol); named >= 0) return named;
  const std::optional<std::string> name = OutputNameOfSymbol(nameOrSymbol);
  return name ? table.FindColumn(*name) : -1;
}

}  // namespace kvsorv
