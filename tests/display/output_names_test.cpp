// An output found by its column name or by its catalogue symbol, in the plot command's
// lookup and in the series list's typed search.

#include <gtest/gtest.h>

#include <string>

#include "display/output_names.h"
#include "display/series_list.h"

namespace kvsorv {
namespace {

TEST(OutputNames, NameOrSymbol_FindsTheColumnAndTheNameWins) {
  const OutputTable table({{"Time", "yr"}, {"Foliage Carbon", "g"}, {"Wood Carbon", "g"}});
  const OutputTable clash({{"Time", "yr"}, {"Foliage Carbon", "g"}, {"Cf", "g"}});
  struct Case {
    const OutputTable* table;
    const char* text;
    int column;
  };
  const Case cases[] = {
      {.table = &table, .text = "Wood Carbon", .column = 2},
      {.table = &table, .text = "Cf", .column = 1},
      {.table = &table, .text = "Cw", .column = 2},
      {.table = &table, .text = "Nothing", .column = -1},
      {.table = &table, .text = "Cr", .column = -1},  // a symbol whose column the table lacks
      {.table = &clash, .text = "Cf", .column = 2},   // a column's exact name wins
  };
  for (const Case& c : cases) EXPECT_EQ(FindOutputColumn(*c.table, c.text), c.column) << c.text;
}

TEST(OutputNames, TypedText_FindsNameStartElseSymbol) {
  const SeriesList list{.names = {"Foliage Carbon", "Time", "Wood Carbon"},
                        .selected = {false, false, false}};
  struct Case {
    const char* typed;
    int item;
  };
  const Case cases[] = {
      {.typed = "wood", .item = 2}, {.typed = "Cf", .item = 0},  {.typed = "Cw", .item = 2},
      {.typed = "T", .item = 1},    {.typed = "zz", .item = -1},
  };
  for (const Case& c : cases) EXPECT_EQ(list.FindTyped(c.typed), c.item) << c.typed;
}

}  // namespace
}  // namespace kvsorv
