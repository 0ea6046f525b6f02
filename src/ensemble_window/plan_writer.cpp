#include "ensemble_window/plan_writer.h"

#include <charconv>
#include <filesystem>

#include "ensemble/plan_bytes.h"
#include "ensemble_window/plan_table.h"
#include "files/text_writer.h"

namespace kvsorv::ensemble {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) {
  std::string q = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

// A TOML number that reads back to the same double.
std::string Number(double x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  return std::string(text, end);
}

std::string List(const std::vector<double>& values) {
  std::string text = "[";
  // Eight values a line: a plan is read back line by line, and lines are kept short.
  for (std::size_t i = 0; i < values.size(); ++i)
    text += (i == 0 ? "" : i % 8 == 0 ? ",\n  " : ", ") + Number(values[i]);
  return text + "]";
}

// A file's name as the plan at `planFile` should give it.
std::string PathFrom(const std::string& file, const std::string& planFile) {
  const fs::path directory = fs::absolute(planFile).parent_path();
  const fs::path target = fs::absolute(file).lexically_normal();
  const fs::path relative = target.lexically_relative(directory);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return target.string();
}

}  // namespace

std::string PlanText(const EnsemblePlan& plan, const std::string& fileName) {
  std::string t;
  const auto line = [&](const std::string& text) { t += text + "\n"; };
  line("params = " + Quoted(PathFrom(plan.paramFile, fileName)));
  line("drivers = " + Quoted(PathFrom(plan.driverFile, fileName)));
  line("cells = " + std::to_string(plan.cells));
  line("start = " + Number(plan.times.start));
  line("stop = " + Number(plan.times.stop));
  line("step = " + Number(plan.times.step));
  line("output_step = " + Number(plan.times.outputStep));
  line("members = " + std::to_string(plan.members));
  line("seed = " + std::to_string(plan.seed));
  line("oat_step = " + Number(plan.oatStep));
  line("morris_levels = " + std::to_string(plan.morrisLevels));
  for (const VariedParameter& p : plan.parameters) {
    const PlanRow row = RowOf(p);
    line("");
    line("[[parameter]]");
    line("symbol = " + Quoted(p.symbol));
    line("distribution = " + Quoted(row.distribution));
    if (const auto* table = std::get_if<Table>(&p.distribution)) {
      line("values = " + List(table->values));
      continue;
    }
    const std::vector<std::string>& names = ArgumentNames(row.distribution);
    for (std::size_t a = 0; a < names.size(); ++a) line(names[a] + " = " + row.arguments[a]);
  }
  for (const RankCorrelation& c : plan.correlations) {
    line("");
    line("[[correlation]]");
    line("a = " + Quoted(plan.parameters.at(static_cast<std::size_t>(c.a)).symbol));
    line("b = " + Quoted(plan.parameters.at(static_cast<std::size_t>(c.b)).symbol));
    line("rank = " + Number(c.rho));
  }
  for (const OutputSpec& o : plan.outputs) {
    line("");
    line("[[output]]");
    line("symbol = " + Quoted(o.symbol));
    if (!o.times.empty()) line("times = " + List(o.times));
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
