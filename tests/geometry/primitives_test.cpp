#include "support/drawing.h"
#include "support/fake_gl.h"

#include "geometry/primitives.h"
#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using drawing::Facet;
using drawing::Vec3;

struct Shape {
    const char *name;
    bool isSphere;
    double radius;
    double height; // cylinders only
    int facets;
};

// The sizes the viewer draws: the unit models and the rods and balls of the composite models.
const Shape SHAPES[] = {
    {"unit sphere", true, 1.0, 0.0, 800},
    {"ball", true, 0.3, 0.0, 800},
    {"unit cylinder", false, 1.0, 1.0, 20},
    {"rod", false, 0.1, 2.0, 20},
};

void draw(const Shape &shape, bool smooth, bool highlight = false)
{
    viewerState = ViewerState{};
    viewerState.smoothShading = smooth;
    viewerState.highlight = highlight;
    fakegl::reset();
    if (shape.isSphere) {
        drawSphere(shape.radius);
    } else {
        drawCylinder(shape.radius, shape.height);
    }
}

std::string describe(const Shape &shape, bool smooth)
{
    return std::string(shape.name) + (smooth ? ", smooth" : ", flat");
}

// The direction a corner's surface faces: from the centre for a sphere, from the axis for a wall.
Vec3 outward(const Shape &shape, const Vec3 &corner)
{
    const Vec3 v = shape.isSphere ? corner : Vec3{corner[0], corner[1], 0.0};
    const double l = drawing::length(v);
    return {v[0] / l, v[1] / l, v[2] / l};
}

void expectNear(const Vec3 &actual, const Vec3 &expected, double tolerance)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_NEAR(actual[std::size_t(i)], expected[std::size_t(i)], tolerance)
            << "component " << i;
    }
}

TEST(Primitives, MaterialFollowsTheHighlightSwitchAtEveryCall)
{
    const float sphereBlue[] = {0.1f, 0.5f, 0.8f, 1.0f};
    const float cylinderYellow[] = {0.7f, 0.7f, 0.1f, 1.0f};
    const float ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const float black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (const Shape &shape : SHAPES) {
        for (const bool highlight : {false, true, false}) {
            SCOPED_TRACE(std::string(shape.name) + (highlight ? ", highlight" : ", no highlight"));
            draw(shape, false, highlight);
            const float *diffuse = shape.isSphere ? sphereBlue : cylinderYellow;
            struct Step {
                const char *name;
                GLenum pname;
                const float *values;
                float value;
            };
            const Step steps[] = {
                {"glMaterialfv", GL_AMBIENT, ambient, 0},
                {"glMaterialfv", GL_DIFFUSE, diffuse, 0},
                {"glMaterialfv", GL_SPECULAR, highlight ? diffuse : black, 0},
                {"glMaterialf", GL_SHININESS, nullptr, highlight ? 100.0f : 0.0f},
                {"glMaterialfv", GL_EMISSION, black, 0},
            };
            const std::vector<fakegl::Call> &calls = fakegl::calls();
            for (std::size_t i = 0; i < std::size(steps); ++i) {
                EXPECT_EQ(calls[i].name, steps[i].name);
                EXPECT_EQ(calls[i].args[0], double(GL_FRONT));
                EXPECT_EQ(calls[i].args[1], double(steps[i].pname));
                for (std::size_t c = 0; c < 4 && steps[i].values != nullptr; ++c) {
                    EXPECT_EQ(calls[i].args[2 + c], double(steps[i].values[c])) << "step " << i;
                }
                if (steps[i].values == nullptr) {
                    EXPECT_EQ(calls[i].args[2], double(steps[i].value));
                }
            }
            EXPECT_EQ(fakegl::count("glMaterialfv") + fakegl::count("glMaterialf"), 5u);
        }
    }
}

TEST(Primitives, SendEveryFacetAsOneFourCornerPolygon)
{
    for (const Shape &shape : SHAPES) {
        for (const bool smooth : {false, true}) {
            SCOPED_TRACE(describe(shape, smooth));
            draw(shape, smooth);
            const std::vector<Facet> facets = drawing::facets();
            ASSERT_EQ(facets.size(), std::size_t(shape.facets));
            for (const Facet &facet : facets) {
                ASSERT_EQ(facet.primitive, GLenum(GL_POLYGON));
                ASSERT_EQ(facet.corners.size(), 4u);
                ASSERT_EQ(facet.normalsSent, smooth ? 4u : 1u);
                ASSERT_TRUE(facet.normalSentBefore[0]);
            }
            EXPECT_EQ(fakegl::count("glEnd"), std::size_t(shape.facets));
            EXPECT_EQ(fakegl::modelviewDepth(), 1);
            EXPECT_EQ(fakegl::currentMatrix(GL_MODELVIEW), fakegl::identity());
        }
    }
}

TEST(Primitives, EveryCornerLiesOnItsSurface)
{
    for (const Shape &shape : SHAPES) {
        for (const bool smooth : {false, true}) {
            SCOPED_TRACE(describe(shape, smooth));
            draw(shape, smooth);
            for (const Facet &facet : drawing::facets()) {
                for (const Vec3 &c : facet.corners) {
                    if (shape.isSphere) {
                        ASSERT_NEAR(drawing::length(c), shape.radius, 1e-12);
                    } else {
                        ASSERT_NEAR(std::hypot(c[0], c[1]), shape.radius, 1e-12);
                        ASSERT_EQ(std::fabs(c[2]), shape.height / 2);
                    }
                }
            }
        }
    }
}

TEST(Primitives, SmoothNormalsPointAlongTheirCornersDirection)
{
    for (const Shape &shape : SHAPES) {
        SCOPED_TRACE(shape.name);
        draw(shape, true);
        for (const Facet &facet : drawing::facets()) {
            for (std::size_t i = 0; i < 4; ++i) {
                ASSERT_TRUE(facet.normalSentBefore[i]);
                expectNear(facet.cornerNormals[i], outward(shape, facet.corners[i]), 1e-12);
            }
        }
    }
}

TEST(Primitives, FlatNormalsAreSharedByAllFourCornersAndFaceOutOfTheFacetsMiddle)
{
    for (const Shape &shape : SHAPES) {
        SCOPED_TRACE(shape.name);
        draw(shape, false);
        for (const Facet &facet : drawing::facets()) {
            const Vec3 n = facet.cornerNormals[0];
            for (std::size_t i = 1; i < 4; ++i) {
                ASSERT_EQ(facet.cornerNormals[i], n);
                ASSERT_FALSE(facet.normalSentBefore[i]);
            }
            ASSERT_NEAR(drawing::length(n), 1.0, 1e-12);
            Vec3 middle{0, 0, 0};
            for (const Vec3 &c : facet.corners) {
                for (std::size_t a = 0; a < 3; ++a) {
                    middle[a] += c[a] / 4;
                }
            }
            // Off by at most half a facet's angular width (9 degrees) from the middle's direction.
            ASSERT_LT(drawing::angleBetweenDegrees(n, outward(shape, middle)), 9.0);
        }
    }
}

TEST(Primitives, FlatAndSmoothModesSendTheSameCorners)
{
    for (const Shape &shape : SHAPES) {
        SCOPED_TRACE(shape.name);
        draw(shape, false);
        const std::vector<Facet> flat = drawing::facets();
        draw(shape, true);
        const std::vector<Facet> smooth = drawing::facets();
        ASSERT_EQ(flat.size(), smooth.size());
        for (std::size_t f = 0; f < flat.size(); ++f) {
            ASSERT_EQ(flat[f].corners, smooth[f].corners) << "facet " << f;
        }
    }
}

// The facets of each band at j = 9, 10, 29 and 30 touch a pole, where two corners meet.
TEST(Primitives, OnlyPoleFacetsRepeatACorner)
{
    for (const Shape &shape : SHAPES) {
        for (const bool smooth : {false, true}) {
            SCOPED_TRACE(describe(shape, smooth));
            draw(shape, smooth);
            const std::vector<Facet> facets = drawing::facets();
            for (std::size_t f = 0; f < facets.size(); ++f) {
                const std::size_t j = f % std::size_t(SPHERE_FACETS_PER_BAND);
                const bool touchesPole =
                    shape.isSphere && (j == 9 || j == 10 || j == 29 || j == 30);
                int repeats = 0;
                for (std::size_t a = 0; a < 4; ++a) {
                    const Vec3 edge =
                        drawing::subtract(facets[f].corners[a], facets[f].corners[(a + 1) % 4]);
                    repeats += drawing::length(edge) < 1e-9 * shape.radius ? 1 : 0;
                }
                ASSERT_EQ(repeats, touchesPole ? 1 : 0) << "facet " << f;
            }
        }
    }
}

// Past a pole (cos alpha < 0, j = 10 to 29) a great circle runs back, so there the sphere's
// corners turn the other way; the wall's all run clockwise.
TEST(Primitives, CornersRunClockwiseSeenFromOutsideExceptPastThePoles)
{
    for (const Shape &shape : SHAPES) {
        SCOPED_TRACE(shape.name);
        draw(shape, false);
        const std::vector<Facet> facets = drawing::facets();
        for (std::size_t f = 0; f < facets.size(); ++f) {
            // Newell's normal points to the side from which the corners run anticlockwise.
            Vec3 newell{0, 0, 0};
            Vec3 middle{0, 0, 0};
            for (std::size_t a = 0; a < 4; ++a) {
                const Vec3 &p = facets[f].corners[a];
                const Vec3 &q = facets[f].corners[(a + 1) % 4];
                newell[0] += (p[1] - q[1]) * (p[2] + q[2]);
                newell[1] += (p[2] - q[2]) * (p[0] + q[0]);
                newell[2] += (p[0] - q[0]) * (p[1] + q[1]);
                for (std::size_t c = 0; c < 3; ++c) {
                    middle[c] += p[c] / 4;
                }
            }
            const std::size_t j = f % std::size_t(SPHERE_FACETS_PER_BAND);
            const bool pastPole = shape.isSphere && j >= 10 && j <= 29;
            const double facing = drawing::dot(newell, outward(shape, middle));
            ASSERT_TRUE(pastPole ? facing > 0.0 : facing < 0.0) << "facet " << f;
        }
    }
}

// What the primitives must send, written the plain way: every angle from its own formula and
// every sine and cosine computed where it is used.
std::vector<Vec3> formulaStream(const Shape &shape, bool smooth, std::vector<bool> &isNormal)
{
    std::vector<Vec3> stream;
    auto normal = [&](double x, double y, double z) {
        stream.push_back({x, y, z});
        isNormal.push_back(true);
    };
    auto vertex = [&](double x, double y, double z) {
        stream.push_back({x, y, z});
        isNormal.push_back(false);
    };
    const double r = shape.radius;
    if (!shape.isSphere) {
        const double zb = -0.5 * shape.height, zt = 0.5 * shape.height;
        for (int k = 0; k < 20; ++k) {
            const double t0 = 2 * k * PI_APPROX / 20, t1 = (2 * k + 2) * PI_APPROX / 20;
            const double tm = (k + 0.5) * 2 * PI_APPROX / 20;
            const double corners[4][2] = {{t0, zb}, {t1, zb}, {t1, zt}, {t0, zt}};
            if (!smooth) {
                normal(std::sin(tm), std::cos(tm), 0.0);
            }
            for (const auto &c : corners) {
                if (smooth) {
                    normal(std::sin(c[0]), std::cos(c[0]), 0.0);
                }
                vertex(r * std::sin(c[0]), r * std::cos(c[0]), c[1]);
            }
        }
        return stream;
    }
    for (int i = 0; i < 20; ++i) {
        for (int j = 0; j < 40; ++j) {
            const double b0 = i * PI_APPROX / 20, b1 = (i + 1) * PI_APPROX / 20;
            const double a0 = j * PI_APPROX / 20, a1 = (j + 1) * PI_APPROX / 20;
            const double bm = (i + 0.5) * PI_APPROX / 20, am = (j + 0.5) * PI_APPROX / 20;
            const double corners[4][2] = {{b0, a0}, {b1, a0}, {b1, a1}, {b0, a1}};
            if (!smooth) {
                normal(std::sin(bm) * std::cos(am), std::cos(bm) * std::cos(am), std::sin(am));
            }
            for (const auto &c : corners) {
                const double b = c[0], a = c[1];
                if (smooth) {
                    normal(std::sin(b) * std::cos(a), std::cos(b) * std::cos(a), std::sin(a));
                }
                // The radius scales the band's sine and cosine, as they are computed per band.
                vertex((r * std::sin(b)) * std::cos(a), (r * std::cos(b)) * std::cos(a),
                       r * std::sin(a));
            }
        }
    }
    return stream;
}

bool bitIdentical(double a, double b)
{
    std::uint64_t x = 0, y = 0;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

TEST(Primitives, EveryValueSentIsBitIdenticalToTheFormulas)
{
    for (const Shape &shape : SHAPES) {
        for (const bool smooth : {false, true}) {
            SCOPED_TRACE(describe(shape, smooth));
            std::vector<bool> isNormal;
            const std::vector<Vec3> expected = formulaStream(shape, smooth, isNormal);
            draw(shape, smooth);
            std::size_t n = 0;
            for (const fakegl::Call &call : fakegl::calls()) {
                if (call.name != "glNormal3d" && call.name != "glVertex3d") {
                    continue;
                }
                ASSERT_LT(n, expected.size());
                ASSERT_EQ(call.name == "glNormal3d", isNormal[n]) << "value " << n;
                for (std::size_t a = 0; a < 3; ++a) {
                    ASSERT_TRUE(bitIdentical(call.args[a], expected[n][a]))
                        << "value " << n << " component " << a << ": " << call.args[a]
                        << " != " << expected[n][a];
                }
                ++n;
            }
            EXPECT_EQ(n, expected.size());
        }
    }
}

} // namespace
