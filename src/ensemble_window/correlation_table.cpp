#include "ensemble_window/correlation_table.h"

#include <charconv>
#include <cmath>

#include "ensemble/rank_correlation.h"

namespace kvsorv::ensemble {

namespace {

std::string NumberText(double x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  return std::string(text, end);
}

int PositionOf(const std::vector<std::string>& symbols, const std::string& symbol) {
  for (std::size_t j = 0; j < symbols.size(); ++j)
    if (symbols[j] == symbol) return static_cast<int>(j);
  return -1;
}

// The row's correlation, or the reason there is none (without the row's name).
std::string ReadRow(const std::vector<CorrelationRow>& rows,
                    const std::vector<std::string>& symbols, std::size_t r, RankCorrelation& c) {
  const CorrelationRow& row = rows[r];
  c.a = PositionOf(symbols, row.a);
  c.b = PositionOf(symbols, row.b);
  for (const auto* symbol : {&row.a, &row.b})
    if (PositionOf(symbols, *symbol) < 0)
      return symbol->empty() ? "choose two varied parameters"
                             : "'" + *symbol + "' is not a varied parameter";
  if (c.a == c.b) return "choose two different varied parameters";
  const char* begin = row.rank.data();
  const char* end = begin + row.rank.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [stop, error] = std::from_chars(begin, end, c.rho);
  if (row.rank.empty() || error != std::errc() || stop != end || !(c.rho > -1 && c.rho < 1))
    return "the rank correlation must be a number between -1 and 1";
  for (std::size_t e = 0; e < r; ++e) {
    const int a = PositionOf(symbols, rows[e].a), b = PositionOf(symbols, rows[e].b);
    if ((a == c.a && b == c.b) || (a == c.b && b == c.a))
      return "this pair is correlated in row " + std::to_string(e + 1) + " already";
  }
  return "";
}

}  // namespace

std::vector<CorrelationRow> CorrelationRowsOf(const EnsemblePlan& plan) {
  std::vector<CorrelationRow> rows;
  for (const RankCorrelation& c : plan.correlations)
    rows.push_back({.a = plan.parameters.at(static_cast<std::size_t>(c.a)).symbol,
                    .b = plan.parameters.at(static_cast<std::size_t>(c.b)).symbol,
                    .rank = NumberText(c.rho)});
  return rows;
}

std::string CorrelationRowProblem(const std::vector<CorrelationRow>& rows,
                                  const std::vector<std::string>& symbols, std::size_t row) {
  RankCorrelation c;
  const std::string problem = ReadRow(rows, symbols, row, c);
  if (problem.empty()) return "";
  return "correlation row " + std::to_string(row + 1) + " (" + rows[row].a + ", " + rows[row].b +
         "): " + problem;
}

std::vector<RankCorrelation> CorrelationsOf(const std::vector<CorrelationRow>& rows,
                                            const std::vector<VariedParameter>& parameters) {
  EnsemblePlan plan;
  plan.parameters = parameters;
  std::vector<std::string> symbols;
  for (const VariedParameter& p : parameters) symbols.push_back(p.symbol);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    RankCorrelation c;
    if (!ReadRow(rows, symbols, r, c).empty())
      throw EPlanError(CorrelationRowProblem(rows, symbols, r));
    plan.correlations.push_back(c);
  }
  if (!plan.correlations.empty() &&
      !CholeskyFactor(NormalScoreCorrelation(CorrelationMatrix(plan))))
    throw EPlanError(
        "the rank correlations together are impossible (their matrix is not positive "
        "definite): weaken one");
  return plan.correlations;
}

}  // namespace kvsorv::ensemble
