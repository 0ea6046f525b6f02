// kvsorv-cli table: an output file as comma-separated values.

#include <iostream>
#include <limits>
#include <memory>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_options.h"
#include "app/cli_outputs.h"
#include "display/output_table.h"
#include "display/table_csv.h"

namespace kvsorv::cli {

namespace {

struct TableOptions {
  std::string output;
  std::string csv;
};

int Table(const TableOptions& o) {
  OutputTable table = OutputTable::ForCatalogue();
  RefuseInputAsOutput("--csv", {o.csv}, {o.output});
  ReadOutputTable(table, o.output, std::numeric_limits<double>::lowest());
  RequireRecords(table, o.output);
  WriteTableCsv(table, o.csv);
  std::cerr << table.RowCount() << " rows of " << table.ColumnCount() << " columns written to "
            << o.csv << '\n';
  return 0;
}

}  // namespace

CommandBody DeclareTable(CLI::App& command) {
  auto o = std::make_shared<TableOptions>();
  AddRequiredText(command, "--output", "FILE", o->output, "Output file to read");
  AddRequiredText(command, "--csv", "FILE", o->csv, "CSV file to write");
  return [o] { return Table(*o); };
}

}  // namespace kvsorv::cli
