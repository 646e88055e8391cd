#include "support/fake_gl.h"

#include "input/input.h"
#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct Event {
    bool isMotion;
    int button, state; // mouse events only
    int x, y;
};

Event press(int button, int x, int y)
{
    return {false, button, GLUT_DOWN, x, y};
}
Event release(int button, int x, int y)
{
    return {false, button, GLUT_UP, x, y};
}
Event move(int x, int y)
{
    return {true, 0, 0, x, y};
}

struct Case {
    const char *name;
    ViewerState start;
    std::vector<Event> events;
    float angleX, angleY, zoom;
    int dragActive, dragButton, lastMouseX, lastMouseY;
    std::size_t redisplays;
};

ViewerState afterEarlierDrag()
{
    ViewerState state;
    state.lastMouseX = 500;
    state.lastMouseY = 500;
    return state;
}

ViewerState zoomedTo(float zoom)
{
    ViewerState state;
    state.zoom = zoom;
    return state;
}

TEST(Mouse, EveryEventSequenceTurnsAndZoomsAsTheDragsDirect)
{
    const int L = GLUT_LEFT_BUTTON, M = GLUT_MIDDLE_BUTTON, R = GLUT_RIGHT_BUTTON;
    const float zoomDown100 = static_cast<float>(1.0 + 100 * 0.001);
    const Case cases[] = {
        {"press and release without movement",
         {},
         {press(L, 10, 20), release(L, 10, 20)},
         0,
         0,
         1,
         0,
         L,
         10,
         20,
         0},
        {"first movement is measured from the press",
         afterEarlierDrag(),
         {press(L, 100, 100), move(110, 95)},
         -5,
         10,
         1,
         1,
         L,
         110,
         95,
         1},
        {"720 pixels right turns 720 degrees, unwrapped",
         {},
         {press(L, 0, 300), move(360, 300), move(720, 300), release(L, 720, 300)},
         0,
         720,
         1,
         0,
         L,
         720,
         300,
         2},
        {"moving down turns about x", {}, {press(L, 5, 5), move(5, 35)}, 30, 0, 1, 1, L, 5, 35, 1},
        {"1000 pixels up zooms to about 0",
         {},
         {press(R, 300, 1000), move(320, 0)},
         0,
         0,
         0,
         1,
         R,
         320,
         0,
         1},
        {"further up the zoom turns negative",
         zoomedTo(0.0f),
         {press(R, 0, 500), move(0, 0)},
         0,
         0,
         -0.5f,
         1,
         R,
         0,
         0,
         1},
        {"right drag down enlarges, ignoring x",
         {},
         {press(R, 0, 0), move(999, 100)},
         0,
         0,
         zoomDown100,
         1,
         R,
         999,
         100,
         1},
        {"middle button zooms",
         {},
         {press(M, 0, 0), move(0, 100)},
         0,
         0,
         zoomDown100,
         1,
         M,
         0,
         100,
         1},
        {"button 3 zooms", {}, {press(3, 0, 0), move(0, 100)}, 0, 0, zoomDown100, 1, 3, 0, 100, 1},
        {"button 7 zooms", {}, {press(7, 0, 0), move(0, 100)}, 0, 0, zoomDown100, 1, 7, 0, 100, 1},
        {"a second press restarts the measurement with its button",
         {},
         {press(L, 0, 0), move(10, 0), press(R, 50, 50), move(50, 150)},
         0,
         10,
         zoomDown100,
         1,
         R,
         50,
         150,
         2},
        {"any release ends the drag, even of another button",
         {},
         {press(L, 0, 0), release(R, 9, 9), move(40, 40)},
         0,
         0,
         1,
         0,
         R,
         0,
         0,
         0},
        {"motion without a drag does nothing",
         {},
         {move(40, 40), move(-5, 7)},
         0,
         0,
         1,
         0,
         L,
         0,
         0,
         0},
        {"states other than up and down are ignored",
         {},
         {press(L, 1, 1), {false, R, 2, 70, 70}, {false, R, -1, 70, 70}, move(2, 1)},
         0,
         1,
         1,
         1,
         L,
         2,
         1,
         1},
        {"extreme coordinates do not overflow",
         {},
         {press(L, INT_MIN, INT_MAX), move(INT_MAX, INT_MIN)},
         -4294967295.0f,
         4294967295.0f,
         1,
         1,
         L,
         INT_MAX,
         INT_MIN,
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        viewerState = c.start;
        fakegl::reset();
        for (const Event &e : c.events) {
            if (e.isMotion) {
                motion(e.x, e.y);
            } else {
                mouse(e.button, e.state, e.x, e.y);
            }
        }
        EXPECT_EQ(viewerState.angleX, c.angleX);
        EXPECT_EQ(viewerState.angleY, c.angleY);
        EXPECT_NEAR(viewerState.zoom, c.zoom, 1e-7);
        EXPECT_EQ(viewerState.dragActive, c.dragActive);
        EXPECT_EQ(viewerState.dragButton, c.dragButton);
        EXPECT_EQ(viewerState.lastMouseX, c.lastMouseX);
        EXPECT_EQ(viewerState.lastMouseY, c.lastMouseY);
        EXPECT_EQ(fakegl::count("glutPostRedisplay"), c.redisplays);
        EXPECT_EQ(fakegl::calls().size(), c.redisplays) << "mouse input only asks for frames";
    }
}

TEST(Mouse, ZoomIsFormedInDoublePrecisionThenStoredAsFloat)
{
    viewerState = ViewerState{};
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    for (int y = 1; y <= 300; ++y) {
        const float before = viewerState.zoom;
        motion(0, y);
        ASSERT_EQ(viewerState.zoom, static_cast<float>(double(before) + 0.001)) << "step " << y;
    }
}

} // namespace
