#include "editors/parameter_pages.h"

#include "program/global_tables.h"

namespace kvsorv {

std::vector<ParameterPage> BuildParameterPages() {
  std::vector<ParameterPage> pages;
  for (int p = ModelDef.numstate + 1; p <= ModelDef.numprocess; ++p) {
    const Tprocessvariable& process = Processes[p];
    if (process.paramcount <= 0) continue;
    ParameterPage page;
    page.process = p;
    page.caption = process.name;
    page.symbol = process.symbol;
    page.units = process.units;
    const int offset = GetParamOffset(p);
    for (int j = 1; j <= process.paramcount; ++j) {
      const Tparamvariable& param = Params[offset + j];
      ParameterRow row;
      row.slot = offset + j;
      row.symbol = param.symbol;
      row.name = param.name;
      row.units = param.units;
      page.rows.push_back(std::move(row));
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace kvsorv
