// An angle of the candidate file in degrees for people: the file holds
// radians with three decimals, so a grid value of 25 degrees reads back as
// 24.981; it is shown as the whole grid step it was written from.
#pragma once
#include <string>

// The angle in degrees: k * stepDegrees, with as many decimals as the step
// needs (at least one), when that value written with three decimals in
// radians is exactly this one; otherwise with three decimals. A step of 0
// or less: always three decimals.
std::string angle_degrees(float radians, double stepDegrees);
