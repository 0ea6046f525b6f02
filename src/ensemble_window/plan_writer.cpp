#include "ensemble_window/plan_writer.h"

#include "ensemble_window/plan_text_parts.h"

#include <charconv>
#include <filesystem>

#include "ensemble/plan_bytes.h"
#include "ensemble_window/plan_table.h"
#include "files/text_writer.h"

namespace kvsorv::ensemble {

std::string PlanText(const EnsemblePlan& plan, const std::string& fileName) {
  std::string t;
  const auto line = [&](const std::string& text) { t += text + "\n"; };
  line("params = " + TomlQuoted(PathFromPlan(plan.paramFile, fileName)));
  line("drivers = " + TomlQuoted(PathFromPlan(plan.driverFile, fileName)));
  line("cells = " + std::to_string(plan.cells));
  line("start = " + TomlNumber(plan.times.start));
  line("stop = " + TomlNumber(plan.times.stop));
  line("step = " + TomlNumber(plan.times.step));
  line("output_step = " + TomlNumber(plan.times.outputStep));
  line("members = " + std::to_string(plan.members));
  line("seed = " + std::to_string(plan.seed));
  line("oat_step = " + TomlNumber(plan.oatStep));
  line("morris_levels = " + std::to_string(plan.morrisLevels));
  // The parameters drawn from a posterior come from its chains file, jointly, as read.
  if (!plan.posteriorFile.empty())
    line("posterior = " + TomlQuoted(PathFromPlan(plan.posteriorFile, fileName)));
  for (std::size_t j = plan.posteriorColumns; j < plan.parameters.size(); ++j) {
    const VariedParameter& p = plan.parameters[j];
    const PlanRow row = RowOf(p);
    line("");
    line("[[parameter]]");
    line("symbol = " + TomlQuoted(p.symbol));
    line("distribution = " + TomlQuoted(row.distribution));
    if (const auto* table = std::get_if<Table>(&p.distribution)) {
      line("values = " + TomlList(table->values));
      continue;
    }
    const std::vector<std::string>& names = ArgumentNames(row.distribution);
    for (std::size_t a = 0; a < names.size(); ++a) line(names[a] + " = " + row.arguments[a]);
  }
  for (const RankCorrelation& c : plan.correlations) {
    line("");
    line("[[correlation]]");
    line("a = " + TomlQuoted(plan.parameters.at(static_cast<std::size_t>(c.a)).symbol));
    line("b = " + TomlQuoted(plan.parameters.at(static_cast<std::size_t>(c.b)).symbol));
    line("rank = " + TomlNumber(c.rho));
  }
  for (const OutputSpec& o : plan.outputs) {
    line("");
    line("[[output]]");
    line("symbol = " + TomlQuoted(o.symbol));
    if (!o.times.empty()) line("times = " + TomlList(o.times));
    if (o.everyLine) line("yearly = true");
  }
  return t;
}

void WritePlan(const EnsemblePlan& plan, const std::string& fileName) {
  const std::string text = PlanText(plan, fileName);
  // A plan ReadPlan would refuse is not written: the file it would replace is kept.
  try {
    CheckPlanText(fileName, text);
  } catch (const EPlanError& e) {
    throw EPlanError(std::string("the plan is not written: ") + e.what());
  }
  TextWriter file(fileName);
  file.Write(text);
  file.Close();
}

}  // namespace kvsorv::ensemble
