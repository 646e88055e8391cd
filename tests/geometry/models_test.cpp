#include "support/angles.h"
#include "support/drawing.h"
#include "support/fake_gl.h"

#include "geometry/models.h"
#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using drawing::Part;
using drawing::Vec3;

void drawLadder()
{
    fakegl::reset();
    drawTwistedLadder();
}

// The caller's half of the tree's stack protocol: push, and let the tree pop.
void drawTree(int depth)
{
    fakegl::reset();
    glPushMatrix();
    drawBranchingTree(depth);
}

Vec3 centreOf(const Part &part)
{
    return fakegl::transformPoint(part.modelview, 0, 0, 0);
}

Vec3 axisOf(const Part &part)
{
    return fakegl::transformDirection(part.modelview, 0, 0, 1);
}

TEST(Models, DrawTheirRodsBallsAndPolygonsAndKeepTheStackBalanced)
{
    struct Case {
        const char *name;
        std::function<void()> draw;
        std::size_t rods, balls, polygons;
        int deepestStack; // counting the base entry
    };
    const Case cases[] = {
        {"ladder", drawLadder, 40, 80, 64800, 3},
        {"tree of depth 5", [] { drawTree(5); }, 121, 121, 99220, 12},
        {"tree of depth 2", [] { drawTree(2); }, 4, 4, 3280, 6},
        {"tree of depth 1", [] { drawTree(1); }, 1, 1, 820, 4},
        {"tree of depth 0", [] { drawTree(0); }, 0, 0, 0, 2},
        {"tree of depth -3", [] { drawTree(-3); }, 0, 0, 0, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.draw();
        EXPECT_EQ(drawing::countParts(false), c.rods);
        EXPECT_EQ(drawing::countParts(true), c.balls);
        EXPECT_EQ(fakegl::count("glBegin"), c.polygons);
        EXPECT_FALSE(fakegl::stackFault());
        EXPECT_EQ(fakegl::maxModelviewDepth(), c.deepestStack);
        EXPECT_EQ(fakegl::modelviewDepth(), 1);
        EXPECT_EQ(fakegl::currentMatrix(GL_MODELVIEW), fakegl::identity());
    }
}

// Rung k (from 1) is turned 10 k degrees about x and centred at x = -10 + 0.5 k in the frame
// the ladder sets up, which is scaled by 0.5; its balls sit at the rod's two ends.
TEST(Models, LadderRungsStepAlongXAndTwistTenDegreesEach)
{
    drawLadder();
    const std::vector<Part> parts = drawing::parts();
    ASSERT_EQ(parts.size(), 120u);
    for (std::size_t rung = 0; rung < 40; ++rung) {
        const double k = double(rung + 1);
        SCOPED_TRACE("rung " + std::to_string(rung + 1));
        const Part &rod = parts[3 * rung];
        ASSERT_FALSE(rod.isSphere);
        const Vec3 centre = centreOf(rod);
        EXPECT_NEAR(centre[0] / 0.5, -10 + 0.5 * k, 1e-5);
        EXPECT_NEAR(centre[1], 0.0, 1e-5);
        EXPECT_NEAR(centre[2], 0.0, 1e-5);

        const Vec3 axis = axisOf(rod); // rotating z by t about x gives (0, -sin t, cos t)
        const double degrees = toDegrees(std::atan2(-axis[1], axis[2]));
        EXPECT_NEAR(std::remainder(degrees - 10 * k, 360.0), 0.0, 1e-3);

        for (const std::size_t end : {1u, 2u}) {
            const Part &ball = parts[3 * rung + end];
            ASSERT_TRUE(ball.isSphere);
            const double side = end == 1 ? 1.0 : -1.0;
            const Vec3 expected{centre[0] + side * axis[0], centre[1] + side * axis[1],
                                centre[2] + side * axis[2]};
            for (std::size_t a = 0; a < 3; ++a) {
                EXPECT_NEAR(centreOf(ball)[a], expected[a], 1e-5);
            }
        }
    }
}

// The tree is drawn depth first: a node's rod, its ball, then its three subtrees.
struct Node {
    Vec3 ballCentre;
    Vec3 axis;
    int parent; // -1 for the root
};

void readTree(const std::vector<Part> &parts, std::size_t &next, int depth, int parent,
              std::vector<Node> &nodes)
{
    const Part &rod = parts.at(next++);
    const Part &ball = parts.at(next++);
    ASSERT_FALSE(rod.isSphere);
    ASSERT_TRUE(ball.isSphere);
    nodes.push_back({centreOf(ball), axisOf(rod), parent});
    const int self = int(nodes.size()) - 1;
    for (int branch = 0; branch < 3 && depth > 1; ++branch) {
        readTree(parts, next, depth - 1, self, nodes);
    }
}

TEST(Models, TreeBallsSitOnePointNineFromTheirParentsOnBranchesLeaning70Point2Degrees)
{
    drawTree(5);
    const std::vector<Part> parts = drawing::parts();
    std::vector<Node> nodes;
    std::size_t next = 0;
    readTree(parts, next, 5, -1, nodes);
    ASSERT_EQ(nodes.size(), 121u);
    ASSERT_EQ(next, parts.size());

    // The root stands on the origin along z, its ball at the rod's top.
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_NEAR(nodes[0].ballCentre[a], a == 2 ? 1.0 : 0.0, 1e-6);
        EXPECT_NEAR(nodes[0].axis[a], a == 2 ? 1.0 : 0.0, 1e-6);
    }
    for (std::size_t n = 1; n < nodes.size(); ++n) {
        SCOPED_TRACE("node " + std::to_string(n));
        const Node &parent = nodes[std::size_t(nodes[n].parent)];
        const Vec3 offset = drawing::subtract(nodes[n].ballCentre, parent.ballCentre);
        EXPECT_NEAR(drawing::length(offset), 1.9, 1e-5);
        EXPECT_NEAR(drawing::angleBetweenDegrees(offset, nodes[n].axis), 0.0, 1e-3);
        EXPECT_NEAR(drawing::angleBetweenDegrees(nodes[n].axis, parent.axis), 70.2, 1e-3);
    }
    // The three branches of a node leave 120 degrees apart about its axis.
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        std::vector<Vec3> children;
        for (const Node &child : nodes) {
            if (child.parent == int(n)) {
                children.push_back(child.axis);
            }
        }
        ASSERT_TRUE(children.empty() || children.size() == 3);
        for (std::size_t c = 0; c < children.size(); ++c) {
            const Vec3 &a = children[c];
            const Vec3 &b = children[(c + 1) % children.size()];
            const Vec3 &up = nodes[n].axis;
            // Project each branch onto the plane across the parent's axis.
            const Vec3 pa{a[0] - drawing::dot(a, up) * up[0], a[1] - drawing::dot(a, up) * up[1],
                          a[2] - drawing::dot(a, up) * up[2]};
            const Vec3 pb{b[0] - drawing::dot(b, up) * up[0], b[1] - drawing::dot(b, up) * up[1],
                          b[2] - drawing::dot(b, up) * up[2]};
            EXPECT_NEAR(drawing::angleBetweenDegrees(pa, pb), 120.0, 1e-3);
        }
    }
}

TEST(Models, RodsAndBallsFollowTheShadingSwitches)
{
    for (const bool smooth : {false, true}) {
        for (const bool highlight : {false, true}) {
            viewerState = ViewerState{};
            viewerState.smoothShading = smooth;
            viewerState.highlight = highlight;
            for (const auto &draw :
                 {std::function<void()>(drawLadder), std::function<void()>([] { drawTree(5); })}) {
                draw();
                std::size_t shininess = 0;
                for (const fakegl::Call &call : fakegl::calls()) {
                    if (call.name == "glMaterialf") {
                        ASSERT_EQ(call.args[2], highlight ? 100.0 : 0.0);
                        ++shininess;
                    }
                }
                EXPECT_EQ(shininess, drawing::parts().size());
                EXPECT_EQ(fakegl::count("glNormal3d"), fakegl::count("glBegin") * (smooth ? 4 : 1));
            }
        }
    }
    viewerState = ViewerState{};
}

} // namespace
