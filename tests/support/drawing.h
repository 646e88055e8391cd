// Views of the recorded calls that the geometry tests share: the facets sent and the parts drawn.
#pragma once

#include "support/fake_gl.h"

#include <array>
#include <vector>

namespace drawing {

using Vec3 = std::array<double, 3>;

struct Facet {
    GLenum primitive = 0;
    std::vector<Vec3> corners;
    // The normal in force at each corner, and whether each was sent right before that corner.
    std::vector<Vec3> cornerNormals;
    std::vector<bool> normalSentBefore;
    std::size_t normalsSent = 0;
};

// Every glBegin ... glEnd group among the recorded calls.
std::vector<Facet> facets();

struct Part {
    bool isSphere = false;
    fakegl::Matrix modelview; // in force when the part set its material
};

// Each primitive drawn, told apart by the diffuse colour its material step sets.
std::vector<Part> parts();
std::size_t countParts(bool spheres);

double length(const Vec3 &v);
Vec3 subtract(const Vec3 &a, const Vec3 &b);
double dot(const Vec3 &a, const Vec3 &b);
double angleBetweenDegrees(const Vec3 &a, const Vec3 &b);

} // namespace drawing
