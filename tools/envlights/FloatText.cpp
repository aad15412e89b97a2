#include "FloatText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace envlights {

std::string floatText(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
        // Readers that parse to double first and then narrow must get the same float too.
        if (std::strtof(buffer, nullptr) == value &&
            static_cast<float>(std::strtod(buffer, nullptr)) == value)
            break;
    }
    return buffer;
}

std::string doubleText(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return buffer;
}

} // namespace envlights
