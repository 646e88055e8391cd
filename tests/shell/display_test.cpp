#include "support/drawing.h"
#include "support/fake_gl.h"

#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string_view>
#include <vector>

namespace {

// The calls a primitive makes; everything else in a frame belongs to the frame or the models.
bool isPrimitiveCall(std::string_view name)
{
    static const std::set<std::string_view> primitive = {
        "glBegin", "glEnd", "glNormal3d", "glVertex3d", "glMaterialfv", "glMaterialf"};
    return primitive.count(name) != 0;
}

void drawFrame(const ViewerState &state)
{
    viewerState = state;
    fakegl::reset();
    display();
}

TEST(Display, ClearsTransformsDrawsAndSwapsInOrder)
{
    ViewerState state;
    state.objectIndex = MODEL_CYLINDER;
    state.angleX = 30.0f;
    state.angleY = -45.0f;
    state.zoom = 1.5f;
    drawFrame(state);

    std::vector<std::string_view> frame;
    std::vector<fakegl::Call> transforms;
    for (const fakegl::Call &call : fakegl::calls()) {
        if (!isPrimitiveCall(call.name)) {
            frame.push_back(call.name);
        }
        if (call.name == "glTranslatef" || call.name == "glRotatef" || call.name == "glScalef") {
            transforms.push_back(call);
        }
    }
    const std::vector<std::string_view> expectedFrame = {
        "glClear",   "glPushMatrix", "glTranslatef", "glRotatef",
        "glRotatef", "glScalef",     "glPopMatrix",  "glutSwapBuffers"};
    EXPECT_EQ(frame, expectedFrame);
    EXPECT_EQ(fakegl::calls().front().args[0], double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    // The model is drawn between the scale and the pop.
    EXPECT_EQ(fakegl::calls()[6].name, "glMaterialfv");

    const std::vector<std::vector<double>> expectedTransforms = {
        {0, 0, -6}, {30, 1, 0, 0}, {-45, 0, 1, 0}, {1.5, 1.5, 1.5}};
    ASSERT_EQ(transforms.size(), expectedTransforms.size());
    for (std::size_t i = 0; i < transforms.size(); ++i) {
        ASSERT_EQ(transforms[i].argCount, expectedTransforms[i].size());
        for (std::size_t a = 0; a < transforms[i].argCount; ++a) {
            EXPECT_EQ(transforms[i].args[a], expectedTransforms[i][a]) << "transform " << i;
        }
    }
}

TEST(Display, DispatchesEachModelIndexToItsModel)
{
    struct Case {
        std::int32_t objectIndex;
        std::size_t spheres, cylinders, polygons;
    };
    const Case cases[] = {
        {MODEL_SPHERE, 1, 0, 800},
        {MODEL_CYLINDER, 0, 1, 20},
        {MODEL_TWISTED_LADDER, 80, 40, 64800},
        {MODEL_BRANCHING_TREE, 121, 121, 99220},
        {-1, 0, 0, 0},
        {4, 0, 0, 0},
        {1000, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("objectIndex " + std::to_string(c.objectIndex));
        ViewerState state;
        state.objectIndex = c.objectIndex;
        drawFrame(state);
        EXPECT_EQ(drawing::countParts(true), c.spheres);
        EXPECT_EQ(drawing::countParts(false), c.cylinders);
        EXPECT_EQ(fakegl::count("glBegin"), c.polygons);
        EXPECT_EQ(fakegl::count("glutSwapBuffers"), 1u);
    }
}

TEST(Display, ShowsTheUnitSphereAndTheUnitCylinder)
{
    ViewerState state;
    drawFrame(state);
    for (const drawing::Facet &facet : drawing::facets()) {
        for (const drawing::Vec3 &corner : facet.corners) {
            ASSERT_NEAR(drawing::length(corner), 1.0, 1e-12);
        }
    }
    state.objectIndex = MODEL_CYLINDER;
    drawFrame(state);
    for (const drawing::Facet &facet : drawing::facets()) {
        for (const drawing::Vec3 &corner : facet.corners) {
            ASSERT_NEAR(std::hypot(corner[0], corner[1]), 1.0, 1e-12);
            ASSERT_NEAR(std::fabs(corner[2]), 0.5, 0.0);
        }
    }
}

TEST(Display, LeavesTheModelviewStackAsItFoundIt)
{
    struct Case {
        std::int32_t objectIndex;
        int deepestStack; // entries, counting the base entry
    };
    const Case cases[] = {{MODEL_SPHERE, 2},
                          {MODEL_CYLINDER, 2},
                          {MODEL_TWISTED_LADDER, 4},
                          {MODEL_BRANCHING_TREE, 13},
                          {7, 2}};
    for (const Case &c : cases) {
        for (const float zoom : {1.0f, -0.5f}) {
            SCOPED_TRACE("objectIndex " + std::to_string(c.objectIndex));
            ViewerState state;
            state.objectIndex = c.objectIndex;
            state.angleX = 725.0f;
            state.angleY = -33.0f;
            state.zoom = zoom;
            drawFrame(state);
            EXPECT_FALSE(fakegl::stackFault());
            EXPECT_EQ(fakegl::modelviewDepth(), 1);
            EXPECT_EQ(fakegl::currentMatrix(GL_MODELVIEW), fakegl::identity());
            EXPECT_EQ(fakegl::maxModelviewDepth(), c.deepestStack);
        }
    }
}

} // namespace
