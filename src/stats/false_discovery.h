#pragma once
// Benjamini-Hochberg control of the false discovery rate over a family of rules.
//
// Of the family's p-values, the m present ones are sorted ascending,
// p_(1) <= ... <= p_(m) (equal p-values in their family order). Then
//   q_(i) = min(1, min over j >= i of p_(j) / (j / m))
// (the step-up: a q-value is never above that of a larger p-value, so q is monotone in
// p's order; equal p-values get equal q-values; q >= p always). Rejecting every rule with
// q < alpha keeps the expected share of false discoveries among the rejected rules at
// most alpha when the tests are independent or positively dependent. This is
// statsmodels' multipletests(method="fdr_bh"), which divides by j / m the same way.
//
// Absent p-values (rules without trades) are left out of m and get no q-value.
#include <optional>
#include <vector>

namespace kovo::stats {

inline constexpr double kDefaultDiscoveryThreshold = 0.10;

struct FalseDiscovery {
    std::vector<std::optional<double>> qValues;  // one per p-value, in the family's order
    int tested = 0;                              // m, the rules with a p-value
    int passing = 0;                             // rules with q < threshold
};

FalseDiscovery BenjaminiHochberg(const std::vector<std::optional<double>>& pValues,
                                 double threshold = kDefaultDiscoveryThreshold);

}  // namespace kovo::stats
