#include "model/catalogue_listing.h"

#include "model/globals.h"

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
  std::string out;
  AppendTable(out, "States", States, ModelDef.numstate);
  AppendTable(out, "Drivers", Drivers, ModelDef.numdrivers);
  AppendTable(out, "Parameters", Params, ModelDef.numparam);
  AppendTable(out, "Processes", Processes, ModelDef.numprocess);
  return out;
}

}  // namespace kvsorv
