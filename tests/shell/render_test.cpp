#include "support/render_harness.h"

#include "geometry/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Vec3 = std::array<double, 3>;

// Where a point in eye coordinates lands in the window, in pixels from the top left.
std::array<double, 2> project(const Vec3 &eye)
{
    return {(1.0 + FOCAL * eye[0] / -eye[2]) * CENTRE, (1.0 - FOCAL * eye[1] / -eye[2]) * CENTRE};
}

TEST(Render, FirstFrameShowsTheUnitSphereCentredOnWhite)
{
    const Image image = renderFrame(ViewerState{});
    ASSERT_EQ(image.width, 600);
    ASSERT_EQ(image.height, 600);
    // The silhouette of a unit sphere 6 units away subtends asin(1/6) from its centre.
    const double radius = FOCAL * std::tan(std::asin(1.0 / 6.0)) * CENTRE;
    const Box box = nonWhiteBox(image);
    EXPECT_NEAR(box.width / 2.0, radius, 3.0);
    EXPECT_NEAR(box.height / 2.0, radius, 3.0);
    EXPECT_NEAR(box.left + box.width / 2.0, CENTRE, 1.0);
    EXPECT_NEAR(box.top + box.height / 2.0, CENTRE, 1.0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (std::hypot(x + 0.5 - CENTRE, y + 0.5 - CENTRE) > radius + 2) {
                ASSERT_TRUE(isWhite(image.at(x, y))) << "at " << x << ", " << y;
            }
        }
    }
}

TEST(Render, TheUpperLeftSideFacesTheLight)
{
    const Image image = renderFrame(ViewerState{});
    const int offset = 70;
    EXPECT_GT(brightness(image.at(CENTRE - offset, CENTRE - offset)),
              brightness(image.at(CENTRE + offset, CENTRE + offset)) + 100);
}

TEST(Render, TheHighlightIsBlueTintedNeverWhite)
{
    ViewerState state;
    const Rgb plain = brightestColour(renderFrame(state));
    state.highlight = true;
    const Rgb highlighted = brightestColour(renderFrame(state));
    EXPECT_GT(brightness(highlighted), brightness(plain) + 60);
    EXPECT_GE(highlighted.b, 250);
    EXPECT_LT(highlighted.r, 200) << "a white highlight would saturate red too";
}

TEST(Render, TheCylinderShowsAYellowBand)
{
    ViewerState state;
    state.objectIndex = MODEL_CYLINDER;
    const Image image = renderFrame(state);
    EXPECT_GT(countPixels(image, isYellow), 3000u);
    EXPECT_EQ(countPixels(image, isBlue), 0u);
}

TEST(Render, FlatNormalsShowFacetEdgesThatSmoothNormalsDoNot)
{
    ViewerState state;
    const int flat = steepestStep(renderFrame(state), CENTRE, CENTRE, 120);
    state.smoothShading = true;
    const int smooth = steepestStep(renderFrame(state), CENTRE, CENTRE, 120);
    EXPECT_GT(flat, 20);
    EXPECT_LE(smooth, 8);
}

// GL's lighting equation for one vertex of the sphere without highlight: its emission is black,
// and there is no specular term, which leaves the global ambient (GL's default 0.2), the light's
// ambient and the diffuse term. Result per channel, 0 to 1.
Vec3 litColour(const Vec3 &eyePosition, const Vec3 &normal)
{
    const Vec3 materialDiffuse{0.1, 0.5, 0.8};
    const double materialAmbient = 0.3, globalAmbient = 0.2, lightAmbient = 0.7, lightDiffuse = 0.8;
    const Vec3 light{-100, 100, 100};
    Vec3 toLight{light[0] - eyePosition[0], light[1] - eyePosition[1], light[2] - eyePosition[2]};
    const double length =
        std::sqrt(toLight[0] * toLight[0] + toLight[1] * toLight[1] + toLight[2] * toLight[2]);
    const double facing = std::max(
        0.0, (normal[0] * toLight[0] + normal[1] * toLight[1] + normal[2] * toLight[2]) / length);
    Vec3 colour{};
    for (std::size_t c = 0; c < 3; ++c) {
        colour[c] = std::min(1.0, materialAmbient * (globalAmbient + lightAmbient) +
                                      materialDiffuse[c] * lightDiffuse * facing);
    }
    return colour;
}

TEST(Render, AFlatFacetHasTheColourOfTheLightingEquation)
{
    const Image image = renderFrame(ViewerState{});
    // Facets (band i, step j) that face the viewer: upper left, lower right, upper right, lower
    // left and middle.
    const std::array<int, 2> facets[] = {{14, 12}, {14, 5}, {6, 5}, {6, 13}, {10, 8}};
    for (const auto &[i, j] : facets) {
        SCOPED_TRACE("facet " + std::to_string(i) + ", " + std::to_string(j));
        auto direction = [](double beta, double alpha) {
            return Vec3{std::sin(beta) * std::cos(alpha), std::cos(beta) * std::cos(alpha),
                        std::sin(alpha)};
        };
        const double step = PI_APPROX / 20;
        const Vec3 normal = direction((i + 0.5) * step, (j + 0.5) * step);
        ASSERT_GT(normal[2], 0.4) << "faces the viewer";
        // The facet's corners, 6 units in front of the eye; its middle is lit as their mean.
        Vec3 middle{}, colour{};
        for (const auto &[di, dj] : {std::array<int, 2>{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
            Vec3 corner = direction((i + di) * step, (j + dj) * step);
            corner[2] -= 6.0;
            const Vec3 lit = litColour(corner, normal);
            for (std::size_t c = 0; c < 3; ++c) {
                middle[c] += corner[c] / 4;
                colour[c] += lit[c] / 4;
            }
        }
        const auto [x, y] = project(middle);
        const Rgb pixel = image.at(int(x), int(y));
        EXPECT_NEAR(pixel.r, 255 * colour[0], 3.0);
        EXPECT_NEAR(pixel.g, 255 * colour[1], 3.0);
        EXPECT_NEAR(pixel.b, 255 * colour[2], 3.0);
    }
}

} // namespace
