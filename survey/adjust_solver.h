// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The adjustment's own pieces: observation equations, the sparse normal
// equations solved by Eigen's Cholesky (LDLT) with its fill-reducing
// ordering, and the entries of their inverse that the statistics need,
// computed on the factor's pattern only (Takahashi's recursion), so that
// memory stays that of the factor.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quillmar::survey::detail {

inline constexpr std::uint32_t kFixed = 0xFFFFFFFF;

// One linearised observation: a row of A (at most five unknowns), its
// misclosure (observed minus computed) and its weight 1 / sigma^2.
struct Equation {
  std::array<std::uint32_t, 5> column{kFixed, kFixed, kFixed, kFixed, kFixed};
  std::array<double, 5> coefficient{};
  double misclosure = 0;
  double weight = 1;
  void add(std::uint32_t unknown, double value) {
    if (unknown == kFixed) return;
    for (std::size_t k = 0; k < column.size(); ++k) {
      if (column[k] == unknown || column[k] == kFixed) {
        column[k] = unknown;
        coefficient[k] += value;
        return;
      }
    }
  }
};

// [pvv] of the equations' misclosures.
double WeightedSquares(const std::vector<Equation>& equations);

class NormalEquations {
 public:
  NormalEquations();
  ~NormalEquations();
  NormalEquations(NormalEquations&&) noexcept;
  NormalEquations& operator=(NormalEquations&&) noexcept;

  // Factorises AᵀPA; returns the unknowns that the equations leave
  // undetermined (a vanishing pivot), empty when it is regular.
  std::vector<std::uint32_t> factorise(std::size_t unknowns, const std::vector<Equation>& equations);
  // The corrections x of AᵀPA x = AᵀPl.
  std::vector<double> solve(const std::vector<Equation>& equations) const;
  // The inverse's entries on the factor's pattern; false when cancelled.
  bool invert(const std::function<bool(double)>& progress);
  // An entry of the inverse; both unknowns must share an equation or be one.
  double inverse(std::uint32_t i, std::uint32_t j) const;
  // a Q aᵀ of an equation's row.
  double rowVariance(const Equation& equation) const;

 private:
  struct Factor;
  std::unique_ptr<Factor> factor_;
};

}  // namespace quillmar::survey::detail
