#pragma once
// An output named either way: by the output file's column name ("Foliage Carbon") or by the
// catalogue symbol of its quantity ("Cf"), as plans and analyses name it.

#include <optional>
#include <string>
#include <string_view>

#include "display/output_table.h"

namespace kvsorv {

// The column name of the output quantity with this catalogue symbol (a state, else a process,
// else a driver); nullopt when no quantity has it.
std::optional<std::string> OutputNameOfSymbol(std::string_view symbol);

// The column named `nameOrSymbol` exactly, else the column of the quantity with that symbol;
// -1 when there is neither.
int FindOutputColumn(const OutputTable& table, std::string_view nameOrSymbol);

}  // namespace kvsorv
