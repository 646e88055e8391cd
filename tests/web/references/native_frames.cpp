// The native viewer's pictures for the browser suite: the real viewer's start-up and frames on
// Mesa under a private Xvfb (support/render_harness), each state reached from the one before with
// the same keys and drags the suite gives the page, sent through the viewer's own callbacks.
//
// Writes into the folder given as its argument: states.json, the table of states the suite walks
// through; STATE.ppm, the frame of each state (binary PPM, rows from the top); lesson-NAME.ppm, the
// frame each of the lessons' steps shows; usage.txt, what the viewer printed as it started.
#include "support/render_harness.h"

#include "input/input.h"
#include "lessons/views.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Drag {
    int button; // GLUT's numbering, -1 for no drag
    int fromX, fromY, toX, toY;
};
constexpr Drag NO_DRAG = {-1, 0, 0, 0, 0};

// Each state is the one above it after these keys, then this drag. Together they show every
// model, both kinds of normals, the highlight, the three polygon modes, rotation and zoom with
// each button.
struct State {
    const char *name;
    const char *keys;
    Drag drag;
};
constexpr State STATES[] = {
    {"sphere-flat", "", NO_DRAG},
    {"tree-flat", "4", NO_DRAG},
    {"sphere-smooth", "1s", NO_DRAG},
    {"sphere-smooth-highlight", "h", NO_DRAG},
    {"sphere-turned", "", {GLUT_LEFT_BUTTON, 300, 300, 260, 350}},
    {"cylinder-turned-smooth-highlight", "2", NO_DRAG},
    {"cylinder-turned-flat", "sh", NO_DRAG},
    {"ladder-zoomed-out", "3", {GLUT_RIGHT_BUTTON, 300, 500, 320, 180}},
    {"ladder-wireframe", "w", NO_DRAG},
    {"ladder-points", "v", NO_DRAG},
    {"tree-points", "4", NO_DRAG},
    {"tree-filled", "p", NO_DRAG},
    {"tree-zoomed-in", "", {GLUT_MIDDLE_BUTTON, 300, 200, 300, 450}},
    {"tree-smooth-highlight-wireframe", "shw", NO_DRAG},
    {"tree-turned-back", "p", {GLUT_LEFT_BUTTON, 300, 300, 640, 240}}, // let go outside
};

// What each of the lessons page's buttons must show, by the name the button carries: the state
// the lessons' own pictures are drawn from, in the polygon mode the key gives.
struct LessonView {
    const char *name;
    ViewerState state;
    unsigned char polygonModeKey;
};
const LessonView LESSON_VIEWS[] = {
    {"light", lessons::sphere(false, false), 'p'},
    {"normals", lessons::sphere(true, false), 'p'},
    {"highlight", lessons::sphere(true, true), 'p'},
    {"polygon-modes", lessons::sphere(false, false), 'w'},
    {"ladder", lessons::ladder(), 'p'},
    {"tree", lessons::tree(), 'p'},
    {"shader", lessons::sphere(true, true), 'p'},
};

std::string folder;

// The polygon mode each state was drawn in, as GL reports it.
std::vector<GLint> polygonModes;

const char *modeName(GLint mode)
{
    return mode == GL_LINE ? "line" : mode == GL_POINT ? "point" : "fill";
}

void writeStates()
{
    std::ofstream json(folder + "/states.json");
    json << "{\"states\": [\n";
    for (const State &state : STATES) {
        const auto index = static_cast<std::size_t>(&state - STATES);
        json << "  {\"name\": \"" << state.name << "\", \"keys\": \"" << state.keys
             << "\", \"polygonMode\": \"" << modeName(polygonModes.at(index)) << "\"";
        if (state.drag.button >= 0) {
            const Drag &d = state.drag;
            json << ", \"drag\": {\"button\": " << d.button << ", \"from\": [" << d.fromX << ", "
                 << d.fromY << "], \"to\": [" << d.toX << ", " << d.toY << "]}";
        }
        json << (&state == &STATES[std::size(STATES) - 1] ? "}\n" : "},\n");
    }
    json << "]}\n";
}

// A drag as GLUT reports it: the press, one motion to the end point, the release.
void drag(const Drag &d)
{
    mouse(d.button, GLUT_DOWN, d.fromX, d.fromY);
    motion(d.toX, d.toY);
    mouse(d.button, GLUT_UP, d.toX, d.toY);
}

TEST(ReferenceFrames, EachStateIsDrawnAfterItsInput)
{
    for (const State &state : STATES) {
        SCOPED_TRACE(state.name);
        for (const char *key = state.keys; *key != '\0'; ++key) {
            pressKey(static_cast<unsigned char>(*key));
        }
        if (state.drag.button >= 0) {
            drag(state.drag);
        }
        const Image frame = renderFrame(viewerState);
        GLint modes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        polygonModes.push_back(modes[0]);
        ASSERT_EQ(frame.width, 600);
        ASSERT_EQ(frame.height, 600);
        ASSERT_TRUE(writePpm(frame, folder + "/" + state.name + ".ppm"));
    }
    writeStates();
}

TEST(ReferenceFrames, EachLessonStepIsDrawnFromItsView)
{
    for (const LessonView &view : LESSON_VIEWS) {
        SCOPED_TRACE(view.name);
        pressKey(view.polygonModeKey);
        const Image frame = renderFrame(view.state);
        ASSERT_TRUE(writePpm(frame, folder + "/lesson-" + view.name + ".ppm"));
    }
}

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    // The viewer prints its usage text as the harness starts it, through std::cout; the test's own
    // report goes through stdio.
    std::ofstream usage(folder + "/usage.txt");
    std::streambuf *const out = std::cout.rdbuf(usage.rdbuf());
    const int result = RUN_ALL_TESTS();
    std::cout.rdbuf(out);
    return result;
}
