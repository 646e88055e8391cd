#include "support/render_harness.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

double whiteShare(const Image &image)
{
    return double(countPixels(image, isWhite)) / double(image.width * image.height);
}

TEST(RenderModels, LadderAndTreeShowYellowRodsAndBlueBalls)
{
    for (const std::int32_t model : {MODEL_TWISTED_LADDER, MODEL_BRANCHING_TREE}) {
        SCOPED_TRACE("model " + std::to_string(model));
        ViewerState state;
        state.objectIndex = model;
        const Image image = renderFrame(state);
        EXPECT_GT(countPixels(image, isYellow), 500u);
        EXPECT_GT(countPixels(image, isBlue), 5000u);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// The ladder runs from x = -4.75 to +5 with balls of radius 0.15 at the ends of its rungs, so at
// zoom 0.3 it fits the window, reaching further right of the centre than left.
TEST(RenderModels, LadderSpansFromLeftToRightOfCentreAsItsLengthImplies)
{
    ViewerState state;
    state.objectIndex = MODEL_TWISTED_LADDER;
    state.zoom = 0.3f;
    const Box box = nonWhiteBox(renderFrame(state));
    // The outermost balls: first rung turned 10 degrees, last 400; their nearer ball projects
    // widest. The zoom scales every length, the 6 units to the eye excepted.
    auto outerEdge = [&](double x, double twistDegrees, double side) {
        const double zoom = state.zoom;
        const double nearer = 0.5 * std::cos(toRadians(twistDegrees));
        const double edge = zoom * (x + side * 0.15);
        return CENTRE + side * FOCAL * std::fabs(edge) / (6.0 - zoom * nearer) * CENTRE;
    };
    EXPECT_NEAR(box.left, outerEdge(-4.75, 10, -1), 3.0);
    EXPECT_NEAR(box.left + box.width, outerEdge(5.0, 400, 1), 3.0);
}

TEST(RenderModels, WireframeLadderIsMostlyWhiteWithLinesOfBothColours)
{
    ViewerState state;
    state.objectIndex = MODEL_TWISTED_LADDER;
    const double filled = whiteShare(renderFrame(state));
    pressKey('w');
    const Image wireframe = renderFrame(state);
    pressKey('p');
    EXPECT_GT(whiteShare(wireframe), filled);
    EXPECT_GT(whiteShare(wireframe), 0.5);
    EXPECT_GT(countPixels(wireframe, isYellow), 100u);
    EXPECT_GT(countPixels(wireframe, isBlue), 100u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
