#pragma once
// Sweeps too big for one machine are split by their pairs into independent runs; their
// results merge into the result one run over all the pairs would have given: the same
// rows (each rule's figures depend only on the rule, the series and the seed), q-values
// recomputed over the union, ranked again.
#include <string>
#include <variant>
#include <vector>

#include "sweep/sweep_run.h"

namespace kovo::sweep {

// The merge of completed sweeps of the same series, range and settings (everything but
// the pairs and the jobs); `names` name the parts in messages. Refused: parts of other
// settings, a pair in two parts, no part. A body's cycles or the Moon's phases in several
// parts are the same rows, taken once.
std::variant<SweepResult, std::string> MergeSweeps(std::vector<SweepResult> parts, const std::vector<std::string>& names);

}  // namespace kovo::sweep
