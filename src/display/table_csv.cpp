#include "display/table_csv.h"

#include <charconv>

#include "files/csv_table.h"
#include "files/text_writer.h"

namespace kvsorv {

void WriteTableCsv(const OutputTable& table, const std::string& fileName) {
  TextWriter file(fileName);
  const int columns = table.ColumnCount();
  for (const bool units : {false, true}) {
    for (int c = 0; c < columns; ++c) {
      if (c > 0) file.Write(",");
      const TableColumn& column = table.Column(c);
      file.Write(CsvField(units ? column.units : column.name));
    }
    file.EndLine();
  }
  char number[32];
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < columns; ++c) {
      if (c > 0) file.Write(",");
      const auto written = std::to_chars(number, number + sizeof number, table.Value(r, c));
      file.Write(std::string_view(number, static_cast<std::size_t>(written.ptr - number)));
    }
    file.EndLine();
  }
  file.Close();
}

}  // namespace kvsorv
