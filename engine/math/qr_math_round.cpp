#include "math/qr_math_round.h"

#include <cmath>
#include <limits>

int QRMATHRound::floor(float x)
{
    if (std::isnan(x))
        return 0;
    const double below = std::floor(static_cast<double>(x));
    if (below <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (below >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(below);
}

float QRMATHRound::roundTo(float value, float steps)
{
    // nearbyint follows the current rounding mode, which the program keeps at round-to-nearest-even.
    return std::nearbyint(value * steps) / steps;
}
