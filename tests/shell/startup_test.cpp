#include "support/angles.h"
#include "support/fake_gl.h"
#include "support/viewer_main.h"

#include "input/input.h"
#include "shell/viewer_state.h"

#include <cmath>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <vector>

namespace {

const char *const EXPECTED_USAGE = "Orvane Lab 3\n"
                                   "\n"
                                   "1-4: Draw different objects\n"
                                   "S: Toggle Smooth Shading\n"
                                   "H: Toggle Highlight\n"
                                   "W: Draw Wireframe\n"
                                   "P: Draw Polygon\n"
                                   "V: Draw Vertices\n"
                                   "Q: Quit\n"
                                   "\n"
                                   "Left mouse click and drag: rotate the object\n"
                                   "Right mouse click and drag: zooming\n";

struct Expected {
    const char *name;
    std::vector<double> args;
};

// Runs the start-up sequence with standard output captured; the stand-in's main loop returns.
struct Startup {
    std::string output;
    std::size_t outputBeforeGlutInit = 0;
    int result = -1;
};

Startup runStartup()
{
    fakegl::reset();
    std::ostringstream captured;
    std::streambuf *original = std::cout.rdbuf(captured.rdbuf());
    Startup startup;
    fakegl::onCall([&](const fakegl::Call &call) {
        if (call.name == "glutInit") {
            startup.outputBeforeGlutInit = captured.str().size();
        }
    });
    char program[] = "orvane-viewer";
    char option[] = "-iconic";
    char *argv[] = {program, option, nullptr};
    startup.result = viewerMain(2, argv);
    std::cout.rdbuf(original);
    fakegl::onCall(nullptr);
    startup.output = captured.str();
    return startup;
}

TEST(Startup, MakesEveryCallInOrderWithItsValues)
{
    const Startup startup = runStartup();
    const std::vector<Expected> expected = {
        {"glutInit", {2}},
        {"glutInitDisplayMode", {18}},
        {"glutInitWindowSize", {600, 600}},
        {"glutInitWindowPosition", {50, 50}},
        {"glutCreateWindow", {}},
        {"glClearColor", {1, 1, 1, 1}},
        {"glutDisplayFunc", {}},
        {"glutMouseFunc", {}},
        {"glutMotionFunc", {}},
        {"glutKeyboardFunc", {}},
        {"glShadeModel", {GL_SMOOTH}},
        {"glEnable", {GL_NORMALIZE}},
        {"glClearDepth", {1}},
        {"glLightfv", {GL_LIGHT0, GL_POSITION, -100, 100, 100, 1}},
        {"glLightfv", {GL_LIGHT0, GL_AMBIENT, 0.7, 0.7, 0.7, 1}},
        {"glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.8, 0.8, 0.8, 1}},
        {"glLightfv", {GL_LIGHT0, GL_SPECULAR, 1, 1, 1, 1}},
        {"glLightModelf", {GL_LIGHT_MODEL_TWO_SIDE, 0}},
        {"glEnable", {GL_LIGHT0}},
        {"glEnable", {GL_LIGHTING}},
        {"glDisable", {GL_CULL_FACE}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_TRUE}},
        {"glMatrixMode", {GL_PROJECTION}},
        {"gluPerspective", {40, 1, 1, 80}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glutMainLoop", {}},
    };
    const std::vector<fakegl::Call> &calls = fakegl::calls();
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i) + ": " + expected[i].name);
        EXPECT_EQ(calls[i].name, expected[i].name);
        ASSERT_EQ(calls[i].argCount, expected[i].args.size());
        for (std::size_t a = 0; a < expected[i].args.size(); ++a) {
            // Float parameters carry the nearest float to the decimal value.
            EXPECT_NEAR(calls[i].args[a], expected[i].args[a], 1e-6) << "argument " << a;
        }
    }
    EXPECT_EQ(startup.result, 0);
    EXPECT_EQ(fakegl::windowTitle(), "Orvane Assignment 3");
}

TEST(Startup, RegistersTheViewerCallbacks)
{
    runStartup();
    const fakegl::Callbacks &registered = fakegl::callbacks();
    EXPECT_EQ(registered.display, &display);
    EXPECT_EQ(registered.mouse, &mouse);
    EXPECT_EQ(registered.motion, &motion);
    EXPECT_EQ(registered.keyboard, &keyboard);
}

TEST(Startup, WritesTheTwelveLineUsageTextBeforeGlutStarts)
{
    const Startup startup = runStartup();
    EXPECT_EQ(startup.output, EXPECTED_USAGE);
    EXPECT_EQ(startup.outputBeforeGlutInit, startup.output.size());
}

TEST(Startup, LeavesTheProjectionInForceAndTheModelviewTheIdentity)
{
    runStartup();
    const fakegl::Matrix projection = fakegl::currentMatrix(GL_PROJECTION);
    // gluPerspective(40, 1, 1, 80)
    EXPECT_NEAR(projection[0], FOCAL, 1e-12);
    EXPECT_NEAR(projection[5], FOCAL, 1e-12);
    EXPECT_NEAR(projection[10], -81.0 / 79.0, 1e-12);
    EXPECT_NEAR(projection[14], -160.0 / 79.0, 1e-12);
    EXPECT_EQ(fakegl::currentMatrix(GL_MODELVIEW), fakegl::identity());
    EXPECT_EQ(fakegl::modelviewDepth(), 1);
}

} // namespace
