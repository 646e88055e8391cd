// Lesson 2's picture of the normals: the marks drawn over the patch of the sphere
// (NORMALS_PATCH, enlarged), in ImageMagick's drawing language (MVG).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace lessons {

using Vec3 = std::array<double, 3>;
using WindowPoint = std::array<double, 2>;

// A facet as the viewer sends it, in eye coordinates: its corners and the normal of each.
struct EyeFacet {
    std::vector<Vec3> corners;
    std::vector<Vec3> normals;
};

// Whether a surface at eye position `point` with `normal` faces the eye.
inline bool facesEye(const Vec3 &point, const Vec3 &normal)
{
    return normal[0] * point[0] + normal[1] * point[1] + normal[2] * point[2] < 0.0;
}

// How long a normal is drawn, in model units.
constexpr double NORMAL_LINE_LENGTH = 0.12;

// The outlines of the facets turned to the eye and the normals the viewer sends: in the left panel
// the flat frame's, one a facet, drawn from its middle; in the right the smooth frame's, one a
// corner. `toWindow` takes an eye position to window pixels.
std::string normalsMarks(const std::vector<EyeFacet> &flat, const std::vector<EyeFacet> &smooth,
                         const std::function<WindowPoint(const Vec3 &)> &toWindow);

} // namespace lessons
