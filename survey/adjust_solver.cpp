// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/adjust_solver.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>

namespace quillmar::survey::detail {
namespace {

using Sparse = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

// A pivot this small beside its diagonal leaves its unknown to roundoff:
// the equations do not fix it.
constexpr double kVanishingPivot = 1e-10;

// Every pair of unknowns an equation joins, lower triangle first index
// larger: calls `use(row, column, value)`.
template <typename Use>
void eachProduct(const Equation& e, Use use) {
  for (std::size_t a = 0; a < e.column.size() && e.column[a] != kFixed; ++a) {
    for (std::size_t b = 0; b <= a; ++b) {
      const std::uint32_t i = std::max(e.column[a], e.column[b]);
      const std::uint32_t j = std::min(e.column[a], e.column[b]);
      const double value = e.weight * e.coefficient[a] * e.coefficient[b];
      use(i, j, value);
    }
  }
}

}  // namespace

struct NormalEquations::Factor {
  Sparse normal;
  Eigen::SimplicialLDLT<Sparse, Eigen::Lower> ldlt;  // AMD ordering by default
  std::size_t equations = 0;
  bool analysed = false;
  std::vector<int> permuted;                          // permuted[original] = index in the factor
  std::vector<double> inverseLower, inverseDiagonal;  // on the factor's pattern

  void assemble(std::size_t unknowns, const std::vector<Equation>& equations) {
    const bool same =
        analysed && normal.rows() == static_cast<Eigen::Index>(unknowns) && this->equations == equations.size();
    if (!same) {
      normal = Sparse(static_cast<Eigen::Index>(unknowns), static_cast<Eigen::Index>(unknowns));
      Eigen::VectorXi perColumn = Eigen::VectorXi::Zero(static_cast<Eigen::Index>(unknowns));
      for (const Equation& e : equations)
        eachProduct(e, [&](std::uint32_t, std::uint32_t j, double) { ++perColumn[j]; });
      normal.reserve(perColumn);
      analysed = false;
    } else {
      std::fill(normal.valuePtr(), normal.valuePtr() + normal.nonZeros(), 0.0);
    }
    for (const Equation& e : equations)
      eachProduct(e, [&](std::uint32_t i, std::uint32_t j, double v) { normal.coeffRef(i, j) += v; });
    normal.makeCompressed();
    this->equations = equations.size();
  }
};

double WeightedSquares(const std::vector<Equation>& equations) {
  double sum = 0;
  for (const Equation& e : equations) sum += e.weight * e.misclosure * e.misclosure;
  return sum;
}

NormalEquations::NormalEquations() : factor_(std::make_unique<Factor>()) {}
NormalEquations::~NormalEquations() = default;
NormalEquations::NormalEquations(NormalEquations&&) noexcept = default;
NormalEquations& NormalEquations::operator=(NormalEquations&&) noexcept = default;

std::vector<std::uint32_t> NormalEquations::factorise(std::size_t unknowns, const std::vector<Equation>& equations) {
  Factor& f = *factor_;
  if (unknowns == 0) {
    // Eigen's compression of a matrix without columns reads before its start.
    f.normal = Sparse();
    f.analysed = false;
    return {};
  }
  f.assemble(unknowns, equations);
  if (!f.analysed) {
    f.ldlt.analyzePattern(f.normal);
    f.analysed = true;
  }
  f.ldlt.factorize(f.normal);
  const auto& indices = f.ldlt.permutationP().indices();
  f.permuted.assign(indices.data(), indices.data() + indices.size());
  std::vector<std::uint32_t> original(unknowns);
  for (std::size_t i = 0; i < unknowns; ++i)
    original[static_cast<std::size_t>(f.permuted[i])] = static_cast<std::uint32_t>(i);
  const Eigen::VectorXd d = f.ldlt.vectorD();
  // After the first vanishing pivot the factor is roundoff: that one only.
  for (std::size_t k = 0; k < unknowns; ++k) {
    const double diagonal = f.normal.coeff(original[k], original[k]);
    if (!(d[static_cast<Eigen::Index>(k)] > kVanishingPivot * diagonal)) return {original[k]};
  }
  return {};
}

std::vector<double> NormalEquations::solve(const std::vector<Equation>& equations) const {
  const Factor& f = *factor_;
  Eigen::VectorXd right = Eigen::VectorXd::Zero(f.normal.rows());
  for (const Equation& e : equations)
    for (std::size_t k = 0; k < e.column.size() && e.column[k] != kFixed; ++k)
      right[e.column[k]] += e.weight * e.coefficient[k] * e.misclosure;
  if (right.size() == 0) return {};
  const Eigen::VectorXd x = f.ldlt.solve(right);
  return std::vector<double>(x.data(), x.data() + x.size());
}

// Takahashi's recursion from the last column back: the inverse Z of
// L D Lᵀ on L's pattern, Z_ij = -sum_k L_kj Z_ik, Z_jj = 1/D_j - sum_k L_kj Z_kj.
// Column j's rows form a clique of the factor's graph: walking each of their
// columns finds every Z_ik needed, in order and without searching.
bool NormalEquations::invert(const std::function<bool(double)>& progress) {
  Factor& f = *factor_;
  if (f.normal.rows() == 0) return true;
  const Sparse& lower = f.ldlt.matrixL().nestedExpression();
  const int* start = lower.outerIndexPtr();
  const int* rows = lower.innerIndexPtr();
  const double* values = lower.valuePtr();
  const Eigen::VectorXd d = f.ldlt.vectorD();
  const auto n = static_cast<std::size_t>(lower.cols());
  f.inverseLower.assign(static_cast<std::size_t>(lower.nonZeros()), 0.0);
  f.inverseDiagonal.assign(n, 0.0);
  std::vector<int> place(n, -1);  // a row's place in the column being done
  std::vector<double> column;
  for (std::size_t jj = n; jj-- > 0;) {
    const int j = static_cast<int>(jj);
    if (progress && jj % 4096 == 0 && !progress(1.0 - static_cast<double>(jj) / static_cast<double>(n))) return false;
    const int first = start[j], last = start[j + 1];
    column.assign(static_cast<std::size_t>(last - first), 0.0);
    for (int p = first; p < last; ++p) place[static_cast<std::size_t>(rows[p])] = p - first;
    for (int p = first; p < last; ++p) {
      const int k = rows[p];
      const double lkj = values[p];
      column[static_cast<std::size_t>(p - first)] -= lkj * f.inverseDiagonal[static_cast<std::size_t>(k)];
      for (int q = start[k]; q < start[k + 1]; ++q) {
        const int at = place[static_cast<std::size_t>(rows[q])];
        if (at < 0) continue;
        const double zrk = f.inverseLower[static_cast<std::size_t>(q)];
        column[static_cast<std::size_t>(at)] -= lkj * zrk;
        column[static_cast<std::size_t>(p - first)] -= values[first + at] * zrk;
      }
    }
    double diagonal = 1.0 / d[j];
    for (int p = first; p < last; ++p) {
      f.inverseLower[static_cast<std::size_t>(p)] = column[static_cast<std::size_t>(p - first)];
      diagonal -= values[p] * column[static_cast<std::size_t>(p - first)];
      place[static_cast<std::size_t>(rows[p])] = -1;
    }
    f.inverseDiagonal[jj] = diagonal;
  }
  return true;
}

double NormalEquations::inverse(std::uint32_t i, std::uint32_t j) const {
  const Factor& f = *factor_;
  int r = f.permuted[i], c = f.permuted[j];
  if (r == c) return f.inverseDiagonal[static_cast<std::size_t>(r)];
  if (r < c) std::swap(r, c);
  const Sparse& lower = f.ldlt.matrixL().nestedExpression();
  const int* rows = lower.innerIndexPtr();
  const int* begin = rows + lower.outerIndexPtr()[c];
  const int* end = rows + lower.outerIndexPtr()[c + 1];
  const int* found = std::lower_bound(begin, end, r);
  return found != end && *found == r ? f.inverseLower[static_cast<std::size_t>(found - rows)] : 0.0;
}

double NormalEquations::rowVariance(const Equation& e) const {
  double sum = 0;
  for (std::size_t a = 0; a < e.column.size() && e.column[a] != kFixed; ++a)
    for (std::size_t b = 0; b < e.column.size() && e.column[b] != kFixed; ++b)
      sum += e.coefficient[a] * e.coefficient[b] * inverse(e.column[a], e.column[b]);
  return sum;
}

}  // namespace quillmar::survey::detail
