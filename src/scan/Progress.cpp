#include "scan/Progress.h"

#include <cmath>

namespace qm::scan {

int Percent(double numerator, double denominator) {
    if (denominator == 0) return -1;
    const double value = numerator / denominator * 100.0;
    if (!std::isfinite(value)) return -1;
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(std::fmax(-1e9, std::fmin(1e9, value))));
}

}  // namespace qm::scan
