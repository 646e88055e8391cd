#include "support/drawing.h"

#include "support/angles.h"

#include <cmath>

namespace drawing {

std::vector<Facet> facets()
{
    std::vector<Facet> result;
    Facet *open = nullptr;
    Vec3 normal{0.0, 0.0, 1.0}; // GL's initial current normal
    bool normalPending = false;
    for (const fakegl::Call &call : fakegl::calls()) {
        if (call.name == "glBegin") {
            result.emplace_back();
            open = &result.back();
            open->primitive = GLenum(call.args[0]);
        } else if (call.name == "glEnd") {
            open = nullptr;
        } else if (call.name == "glNormal3d") {
            normal = {call.args[0], call.args[1], call.args[2]};
            normalPending = true;
            if (open != nullptr) {
                ++open->normalsSent;
            }
        } else if (call.name == "glVertex3d" && open != nullptr) {
            open->corners.push_back({call.args[0], call.args[1], call.args[2]});
            open->cornerNormals.push_back(normal);
            open->normalSentBefore.push_back(normalPending);
            normalPending = false;
        }
    }
    return result;
}

std::vector<Part> parts()
{
    constexpr float SPHERE_BLUE = 0.8f;
    std::vector<Part> result;
    for (const fakegl::Call &call : fakegl::calls()) {
        if (call.name == "glMaterialfv" && GLenum(call.args[1]) == GL_DIFFUSE) {
            result.push_back({call.args[4] == double(SPHERE_BLUE), fakegl::modelviewAt(call)});
        }
    }
    return result;
}

std::size_t countParts(bool spheres)
{
    std::size_t n = 0;
    for (const Part &part : parts()) {
        n += part.isSphere == spheres ? 1 : 0;
    }
    return n;
}

double length(const Vec3 &v)
{
    return std::sqrt(dot(v, v));
}

Vec3 subtract(const Vec3 &a, const Vec3 &b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double dot(const Vec3 &a, const Vec3 &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double angleBetweenDegrees(const Vec3 &a, const Vec3 &b)
{
    const double c = dot(a, b) / (length(a) * length(b));
    return toDegrees(std::acos(std::fmax(-1.0, std::fmin(1.0, c))));
}

} // namespace drawing
