#include "model/catalogue_listing.h"

#include "model/catalogue.h"

namespace kvsorv {

namespace {

template <typename Table>
void AppendTable(std::string& out, const char* heading, const Table& table, int count) {
  out += heading;
  out += '\n';
  for (int i = 1; i <= count; ++i) {
    out += std::to_string(i);
    out += '\t';
    out += table[i].symbol;
    out += '\t';
    out += table[i].name;
    out += '\t';
    out += table[i].units;
    out += '\n';
  }
}

}  // namespace

std::string FormatCatalogueListing() {
  const ModelCatalogue& c = Catalogue();
  std::string out;
  AppendTable(out, "States", c.states, c.def.numstate);
  AppendTable(out, "Drivers", c.drivers, c.def.numdrivers);
  AppendTable(out, "Parameters", c.params, c.def.numparam);
  AppendTable(out, "Processes", c.processes, c.def.numprocess);
  return out;
}

}  // namespace kvsorv
