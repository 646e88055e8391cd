// How the lessons write their numbers.
#pragma once

#include <array>
#include <iomanip>
#include <sstream>
#include <string>

namespace lessons {

// At most `decimals` decimals, without trailing zeros: 0.27, 68.85, 100.
inline std::string number(double v, int decimals)
{
    std::ostringstream out;
    out << std::fixed << std::setprecision(decimals) << v;
    std::string s = out.str();
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    return s == "-0" ? "0" : s;
}

inline std::string list(const std::array<double, 3> &v, int decimals)
{
    return number(v[0], decimals) + ", " + number(v[1], decimals) + ", " + number(v[2], decimals);
}

} // namespace lessons
