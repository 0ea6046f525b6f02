#include "analysis/collinearity.h"

#include <Eigen/Eigenvalues>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kvsorv::analysis {

namespace {

// 1 / sqrt(smallest eigenvalue) of the Gram matrix of unit columns.
double IndexOfGram(const Eigen::MatrixXd& gram) {
  if (!gram.allFinite()) return std::numeric_limits<double>::infinity();
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(gram, Eigen::EigenvaluesOnly);
  const double smallest = solver.eigenvalues()(0);
  return smallest > 0 ? 1.0 / std::sqrt(smallest) : std::numeric_limits<double>::infinity();
}

Eigen::MatrixXd UnitColumns(Eigen::MatrixXd s) {
  for (Eigen::Index j = 0; j < s.cols(); ++j) {
    const double norm = s.col(j).norm();
    s.col(j) = norm > 0 ? Eigen::VectorXd(s.col(j) / norm)
                        : Eigen::VectorXd::Constant(s.rows(), std::nan(""));
  }
  return s;
}

double Binomial(std::size_t n, std::size_t r) {
  double c = 1;
  for (std::size_t i = 1; i <= r; ++i)
    c = c * static_cast<double>(n - r + i) / static_cast<double>(i);
  return c;
}

}  // namespace

double CollinearityIndex(const std::vector<std::vector<double>>& columns) {
  const auto rows = static_cast<Eigen::Index>(columns.empty() ? 0 : columns[0].size());
  Eigen::MatrixXd s(rows, static_cast<Eigen::Index>(columns.size()));
  for (std::size_t j = 0; j < columns.size(); ++j)
    for (Eigen::Index i = 0; i < rows; ++i) s(i, static_cast<Eigen::Index>(j)) = columns[j][i];
  const Eigen::MatrixXd unit = UnitColumns(s);
  return IndexOfGram(unit.transpose() * unit);
}

CollinearityResult CollinearityOf(const LocalResult& local) {
  CollinearityResult r;
  const std::size_t all = local.parameters.size();
  if (all < 2) return r;
  // A parameter whose members failed has no coefficients: it is left out (named), rather than
  // every output time with it, which would leave nothing to compute the others from.
  std::vector<std::size_t> usable;
  std::string without;
  for (std::size_t j = 0; j < all; ++j) {
    bool missing = false;
    for (std::size_t i = 0; i + all <= local.rows.size() && !missing; i += all) {
      bool other = false;
      for (std::size_t o = 0; o < all; ++o)
        other = other || (o != j && std::isfinite(local.rows[i + o].coefficient));
      missing = other && !std::isfinite(local.rows[i + j].coefficient);
    }
    if (missing)
      without += (without.empty() ? "" : ", ") + local.parameters[j];
    else
      usable.push_back(j);
  }
  if (!without.empty())
    r.notes.push_back("collinearity: left out for lack of coefficients (failed members): " +
                      without);
  const std::size_t k = usable.size();
  if (k < 2) return r;
  std::vector<std::vector<double>> kept;
  std::size_t left = 0;
  for (std::size_t i = 0; i + all <= local.rows.size(); i += all) {
    std::vector<double> row(k);
    bool whole = true;
    for (std::size_t j = 0; j < k; ++j) {
      row[j] = local.rows[i + usable[j]].coefficient;
      whole = whole && std::isfinite(row[j]);
    }
    if (whole)
      kept.push_back(std::move(row));
    else
      ++left;
  }
  if (left > 0)
    r.notes.push_back("collinearity: " + std::to_string(left) +
                      " output times without every coefficient are left out");
  Eigen::MatrixXd s(static_cast<Eigen::Index>(kept.size()), static_cast<Eigen::Index>(k));
  for (std::size_t i = 0; i < kept.size(); ++i)
    for (std::size_t j = 0; j < k; ++j)
      s(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) = kept[i][j];
  const Eigen::MatrixXd unit = UnitColumns(s);
  const Eigen::MatrixXd gram = unit.transpose() * unit;

  std::size_t largest = 1;
  double total = 0;
  while (largest < k && total + Binomial(k, largest + 1) <= kMaximumSubsets)
    total += Binomial(k, ++largest);
  if (largest < k)
    r.notes.push_back("collinearity: " + std::to_string(k) + " parameters; only subsets of 2 to " +
                      std::to_string(largest) + " parameters are computed (at most " +
                      std::to_string(kMaximumSubsets) + " subsets)");
  std::size_t infinite = 0;
  for (std::size_t size = 2; size <= largest; ++size) {
    std::vector<std::size_t> pick(size);
    for (std::size_t i = 0; i < size; ++i) pick[i] = i;
    while (true) {
      Eigen::MatrixXd sub(static_cast<Eigen::Index>(size), static_cast<Eigen::Index>(size));
      CollinearityRow row;
      for (std::size_t a = 0; a < size; ++a) {
        row.parameters.push_back(local.parameters[usable[pick[a]]]);
        for (std::size_t b = 0; b < size; ++b)
          sub(static_cast<Eigen::Index>(a), static_cast<Eigen::Index>(b)) =
              gram(static_cast<Eigen::Index>(pick[a]), static_cast<Eigen::Index>(pick[b]));
      }
      row.index = IndexOfGram(sub);
      if (std::isinf(row.index)) ++infinite;
      r.rows.push_back(std::move(row));
      // The next subset in lexicographic order.
      std::size_t i = size;
      while (i > 0 && pick[i - 1] == k - size + i - 1) --i;
      if (i == 0) break;
      ++pick[i - 1];
      for (std::size_t j = i; j < size; ++j) pick[j] = pick[j - 1] + 1;
    }
  }
  if (infinite > 0)
    r.notes.push_back("collinearity: " + std::to_string(infinite) +
                      " subsets are exactly collinear or hold a parameter without effect; "
                      "their index is infinite and left empty");
  return r;
}

}  // namespace kvsorv::analysis
