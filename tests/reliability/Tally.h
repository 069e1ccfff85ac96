#pragma once
// Counts of what each matrix case ended with, printed once after all tests: the figures for the
// reliability table.
#include <string>

namespace ov::reliability {

// One more case of `matrix` that ended as `outcome`.
void Tally(const std::string& matrix, const std::string& outcome);

}  // namespace ov::reliability
