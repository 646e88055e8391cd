// Lesson 2's picture of the normals: facet outlines and normals, clipped to the patch.
#include "lessons/normals_picture.h"

#include "lessons/numbers.h"
#include "lessons/views.h"

#include <cmath>
#include <set>

namespace lessons {

namespace {

using ToWindow = std::function<WindowPoint(const Vec3 &)>;

constexpr double NORMAL_DOT_RADIUS = 3.0; // pixels of the picture

bool inPatch(const WindowPoint &p)
{
    const lessons::Region &patch = lessons::NORMALS_PATCH;
    return p[0] >= patch.left && p[0] <= patch.left + patch.size && p[1] >= patch.top &&
           p[1] <= patch.top + patch.size;
}

// A point of the window in the picture: in panel `column` of the second row, which shows the patch.
std::string inPicture(const WindowPoint &p, int column)
{
    const lessons::Region &patch = lessons::NORMALS_PATCH;
    return number(lessons::panelOffset(patch, column) + (p[0] - patch.left) * patch.scale, 1) +
           "," + number(lessons::panelOffset(patch, 1) + (p[1] - patch.top) * patch.scale, 1);
}

// The part of the segment from a to b that lies in the patch (Liang and Barsky's clipping), as an
// MVG line; empty when none of it does.
std::string patchLine(const WindowPoint &a, const WindowPoint &b, int column)
{
    const lessons::Region &patch = lessons::NORMALS_PATCH;
    double enter = 0.0, leave = 1.0;
    for (std::size_t axis = 0; axis < 2; ++axis) {
        const double low = axis == 0 ? patch.left : patch.top;
        const double d = b[axis] - a[axis];
        for (const auto &[p, q] : {std::array<double, 2>{-d, a[axis] - low},
                                   std::array<double, 2>{d, low + patch.size - a[axis]}}) {
            if (p == 0.0 && q < 0.0) {
                return "";
            }
            if (p < 0.0) {
                enter = std::fmax(enter, q / p);
            } else if (p > 0.0) {
                leave = std::fmin(leave, q / p);
            }
        }
    }
    if (enter > leave) {
        return "";
    }
    auto along = [&](double t) {
        return WindowPoint{a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])};
    };
    return "line " + inPicture(along(enter), column) + " " + inPicture(along(leave), column) + "\n";
}

Vec3 along(const Vec3 &from, const Vec3 &direction, double distance)
{
    return {from[0] + distance * direction[0], from[1] + distance * direction[1],
            from[2] + distance * direction[2]};
}

// A dot where the normal applies and a short line along it, when the dot lies in the patch.
std::string normalLine(const ToWindow &toWindow, const Vec3 &from, const Vec3 &normal, int column)
{
    const WindowPoint a = toWindow(from);
    if (!inPatch(a)) {
        return "";
    }
    const WindowPoint b = toWindow(along(from, normal, NORMAL_LINE_LENGTH));
    const WindowPoint rim{a[0] + NORMAL_DOT_RADIUS / lessons::NORMALS_PATCH.scale, a[1]};
    return "circle " + inPicture(a, column) + " " + inPicture(rim, column) + "\n" +
           patchLine(a, b, column);
}

std::string outlines(const ToWindow &toWindow, const std::vector<EyeFacet> &facets, int column)
{
    std::string mvg;
    for (const EyeFacet &facet : facets) {
        if (!facesEye(facet.corners[0], facet.normals[0])) {
            continue;
        }
        for (std::size_t k = 0; k < facet.corners.size(); ++k) {
            mvg += patchLine(toWindow(facet.corners[k]),
                             toWindow(facet.corners[(k + 1) % facet.corners.size()]), column);
        }
    }
    return mvg;
}

} // namespace

std::string normalsMarks(const std::vector<EyeFacet> &flat, const std::vector<EyeFacet> &smooth,
                         const ToWindow &toWindow)
{
    constexpr const char *OUTLINE_STYLE =
        "fill none stroke '#ffffff' stroke-opacity 0.4 stroke-width 1\n";
    constexpr const char *NORMAL_STYLE =
        "stroke '#b2182b' fill '#b2182b' stroke-opacity 1 stroke-width 2\n";
    std::string mvg = OUTLINE_STYLE + outlines(toWindow, flat, 0) + NORMAL_STYLE;
    for (const EyeFacet &facet : flat) {
        Vec3 middle{};
        for (const Vec3 &corner : facet.corners) {
            middle = along(middle, corner, 1.0 / double(facet.corners.size()));
        }
        if (facesEye(middle, facet.normals[0])) {
            mvg += normalLine(toWindow, middle, facet.normals[0], 0);
        }
    }
    mvg += OUTLINE_STYLE + outlines(toWindow, smooth, 1) + NORMAL_STYLE;
    // Each corner is sent by every facet that shares it, with the same normal: one line each.
    std::set<std::string> seen;
    for (const EyeFacet &facet : smooth) {
        for (std::size_t k = 0; k < facet.corners.size(); ++k) {
            const std::string line = normalLine(toWindow, facet.corners[k], facet.normals[k], 1);
            if (facesEye(facet.corners[k], facet.normals[k]) && seen.insert(line).second) {
                mvg += line;
            }
        }
    }
    return mvg;
}

} // namespace lessons
