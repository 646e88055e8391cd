// Angles as the tests measure them: with pi to full double precision, not the viewer's own
// approximation, so that a test's expectation never shares a fault with the code it checks.
#pragma once

#include <cmath>

constexpr double PI = 3.14159265358979323846;

constexpr double toRadians(double degrees)
{
    return degrees * PI / 180.0;
}

constexpr double toDegrees(double radians)
{
    return radians * 180.0 / PI;
}

// gluPerspective(40, 1, ...) maps y / -z to [-1, 1] by f = cot(20 degrees).
inline const double FOCAL = 1.0 / std::tan(toRadians(20.0));
