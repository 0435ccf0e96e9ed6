#include "formats/angle_text.h"

#include <cmath>

#include "base/text.h"

std::string angle_degrees(float radians, double stepDegrees) {
    const double pi = 3.14159265358979323846, degrees = radians * 180.0 / pi;
    if (stepDegrees > 0 && std::isfinite(degrees)) {
        const double k = std::round(degrees / stepDegrees);
        // As the grid writes its values: k steps turned into radians, three decimals.
        if (to_float(decimals(k * stepDegrees * (pi / 180.0), 3)) == radians) {
            int places = 1;
            while (places < 3 && std::fabs(stepDegrees * std::pow(10.0, places) -
                                           std::round(stepDegrees * std::pow(10.0, places))) > 1e-6)
                ++places;
            return decimals(k * stepDegrees, places);
        }
    }
    return decimals(degrees, 3);
}
