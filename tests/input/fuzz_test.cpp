#include "support/render_harness.h"

#include "input/input.h"

#include <GL/gl.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <random>

namespace {

constexpr int EVENTS = 24000;
constexpr int EVENTS_PER_FRAME = 12;

std::array<GLdouble, 16> matrix(GLenum which)
{
    std::array<GLdouble, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

// Pointer coordinates: mostly in the window, often far outside it, sometimes at the int limits.
int coordinate(std::mt19937 &random)
{
    switch (std::uniform_int_distribution<int>(0, 5)(random)) {
    case 0:
        return std::uniform_int_distribution<int>(INT_MIN, INT_MIN + 1000)(random);
    case 1:
        return std::uniform_int_distribution<int>(INT_MAX - 1000, INT_MAX)(random);
    case 2:
        return std::uniform_int_distribution<int>(-100000, 100000)(random);
    default:
        return std::uniform_int_distribution<int>(-50, 650)(random);
    }
}

void sendRandomEvent(std::mt19937 &random)
{
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
    case 0: {
        unsigned char key = 'q';
        while (key == 'q' || key == 'Q') {
            key = static_cast<unsigned char>(std::uniform_int_distribution<int>(0, 255)(random));
        }
        keyboard(key, coordinate(random), coordinate(random));
        break;
    }
    case 1:
        mouse(std::uniform_int_distribution<int>(0, 7)(random),
              std::uniform_int_distribution<int>(0, 3)(random), coordinate(random),
              coordinate(random));
        break;
    default:
        motion(coordinate(random), coordinate(random));
        break;
    }
}

// Any stream of events leaves GL without errors and the matrices and state as the frame needs
// them. Set FUZZ_SEED to replay a run.
TEST(Fuzz, NoEventStreamBreaksTheFrameOrTheState)
{
    const char *given = std::getenv("FUZZ_SEED");
    const unsigned seed =
        given != nullptr ? unsigned(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::cout << "FUZZ_SEED=" << seed << std::endl;
    RecordProperty("FUZZ_SEED", std::to_string(seed));
    std::mt19937 random(seed);

    viewerState = ViewerState{};
    const std::array<GLdouble, 16> projection = matrix(GL_PROJECTION_MATRIX);
    const std::array<GLdouble, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    int frames = 0;
    for (int event = 1; event <= EVENTS; ++event) {
        sendRandomEvent(random);
        if (event % EVENTS_PER_FRAME != 0) {
            continue;
        }
        display();
        ++frames;
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "after event " << event;
        ASSERT_EQ(depth, 1) << "after event " << event;
        ASSERT_EQ(matrix(GL_MODELVIEW_MATRIX), identity) << "after event " << event;
        ASSERT_EQ(matrix(GL_PROJECTION_MATRIX), projection) << "after event " << event;
        ASSERT_GE(viewerState.objectIndex, 0);
        ASSERT_LE(viewerState.objectIndex, 3);
        ASSERT_TRUE(viewerState.dragActive == 0 || viewerState.dragActive == 1);
    }
    std::cout << EVENTS << " events, " << frames << " frames checked" << std::endl;
    keyboard('p', 0, 0);
}

} // namespace
