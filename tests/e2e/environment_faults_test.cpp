#include "e2e/viewer_session.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

namespace {

using EnvironmentFaults = ViewerTest;

// The viewport follows the window while the projection keeps its aspect of 1, so a wide, low
// window stretches the sphere across and squeezes it down.
TEST_F(EnvironmentFaults, ResizedWindowsKeepDrawingWithTheSquareProjectionStretched)
{
    xdotool("windowsize " + viewer_.window + " 1 1");
    pressKeys("s");
    xdotool("windowsize " + viewer_.window + " 1600 300");
    const Image wide = captureChanged(viewer_, first_);
    ASSERT_EQ(wide.width, 1600);
    ASSERT_EQ(wide.height, 300);
    const Box sphere = nonWhiteBox(wide);
    const Box square = nonWhiteBox(first_);
    EXPECT_NEAR(sphere.width, square.width * 1600.0 / 600.0, 8.0);
    EXPECT_NEAR(sphere.height, square.height * 300.0 / 600.0, 4.0);
    EXPECT_NEAR(sphere.left + sphere.width / 2.0, 800.0, 2.0);
    EXPECT_NEAR(sphere.top + sphere.height / 2.0, 150.0, 2.0);
    EXPECT_EQ(waitForExit(viewer_, 0), -1) << "still running";
    EXPECT_EQ(readErrors(viewer_), "");
}

TEST_F(EnvironmentFaults, ClosingTheWindowEndsTheProcess)
{
    ASSERT_TRUE(closeWindowAsAWindowManagerWould(viewer_));
    const int status = waitForExit(viewer_, 10000);
    ASSERT_NE(status, -1) << "still running";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(EnvironmentFaults, LosingTheXServerEndsTheProcessWithGlutsError)
{
    kill(viewer_.display.pid, SIGKILL);
    const int status = waitForExit(viewer_, 10000);
    ASSERT_NE(status, -1) << "hangs without its X server";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
    EXPECT_NE(readErrors(viewer_), "");
}

// Ten thousand pointer movements in one burst, back and forth and 90 pixels right in all, turn
// the model exactly as one drag of 90 pixels does, and the viewer keeps answering.
TEST_F(EnvironmentFaults, ABurstOfMotionTurnsTheModelByTheSumOfItsMovements)
{
    const int y = viewer_.top + 300;
    int x = viewer_.left + 200;
    std::string script =
        "mousemove " + std::to_string(x) + " " + std::to_string(y) + "\nmousedown 1\n";
    auto moveBy = [&](int steps, int step) {
        for (int i = 0; i < steps; ++i) {
            x += step;
            script += "mousemove " + std::to_string(x) + " " + std::to_string(y) + "\n";
        }
    };
    for (int cycle = 0; cycle < 49; ++cycle) {
        moveBy(100, 1);
        moveBy(100, -1);
    }
    moveBy(145, 1);
    moveBy(55, -1);
    script += "mouseup 1\n";
    xdotoolScript(script);
    const Image burst = captureChanged(viewer_, first_);
    ASSERT_FALSE(burst.rgb.empty()) << "the burst changed nothing";

    drag(viewer_, 1, 290, 300, 200, 300);
    EXPECT_EQ(captureChanged(viewer_, burst).rgb, first_.rgb) << "one drag back undoes the burst";
    drag(viewer_, 1, 200, 300, 290, 300);
    EXPECT_EQ(captureChanged(viewer_, first_).rgb, burst.rgb) << "one drag redoes it";
}

} // namespace
