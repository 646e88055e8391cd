// The native viewer's pictures for the browser suite: the real viewer's start-up and frames on
// Mesa under a private Xvfb (support/render_harness), each state reached from the one before with
// the same keys and drags the suite gives the page, sent through the viewer's own callbacks.
//
// Writes into the folder given as its first argument: states.json, the table of states the suite
// walks through; STATE.ppm, the frame of each state (binary PPM, rows from the top);
// lesson-NAME.ppm, the frame each of the lessons' steps shows; keyboard.json and keys-*.ppm, the
// keyboard-only run's states, drawn after the drags its keys stand for; usage.txt, what the viewer
// printed as it started. Given state names after the folder, it walks the same states but writes
// only those frames: the lab's reference builds (lab_frames.cmake) draw only what their set needs.
// An argument lesson-NAME=KEYS draws lesson-NAME.ppm, the viewer as it starts after KEYS: a
// lesson's button that also sets the lab's numbers, which that build has edited in.
#include "support/render_harness.h"

#include "input/input.h"
#include "lessons/views.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
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

// The keyboard-only run, from the viewer as it starts: each state is the one above it after these
// keys, then these presses of the page's keys that turn and zoom, drawn here with the drags each
// stands for: an arrow is a drag of 15 pixels with the left button that way (with Shift, of one
// pixel), +, = and PageDown a drag of 100 pixels down with the right button, - and PageUp the
// same up. Together they press each of those keys.
struct KeyboardState {
    const char *name;
    const char *keys;
    std::vector<std::string> presses;
};
const KeyboardState KEYBOARD_STATES[] = {
    {"keys-sphere-turned",
     "",
     {"ArrowRight", "ArrowRight", "ArrowRight", "ArrowDown", "ArrowDown"}},
    {"keys-tree-smooth-zoomed", "4s", {"+", "=", "Shift+ArrowLeft", "Shift+ArrowLeft", "PageDown"}},
    {"keys-ladder-wireframe-shrunk", "3w", {"-", "PageUp", "ArrowUp", "-", "Shift+ArrowRight"}},
    {"keys-cylinder-highlight", "2hp", {"ArrowLeft", "Shift+ArrowDown", "ArrowUp"}},
};
constexpr int TURN_PIXELS = 15, FINE_TURN_PIXELS = 1, ZOOM_PIXELS = 100;

Drag dragFor(const std::string &press)
{
    const bool shift = press.rfind("Shift+", 0) == 0;
    const std::string key = shift ? press.substr(std::strlen("Shift+")) : press;
    const int turn = shift ? FINE_TURN_PIXELS : TURN_PIXELS;
    const int x = CENTRE, y = CENTRE;
    if (key == "ArrowLeft" || key == "ArrowRight") {
        return {GLUT_LEFT_BUTTON, x, y, x + (key == "ArrowRight" ? turn : -turn), y};
    }
    if (key == "ArrowUp" || key == "ArrowDown") {
        return {GLUT_LEFT_BUTTON, x, y, x, y + (key == "ArrowDown" ? turn : -turn)};
    }
    const bool enlarge = key == "+" || key == "=" || key == "PageDown";
    return {GLUT_RIGHT_BUTTON, x, y, x, y + (enlarge ? ZOOM_PIXELS : -ZOOM_PIXELS)};
}

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
std::vector<std::string> onlyStates; // empty: every state, the table and the lessons' frames
struct KeyedView {
    std::string name, keys;
};
std::vector<KeyedView> keyedViews;

bool wanted(const char *state)
{
    return onlyStates.empty() ||
           std::find(onlyStates.begin(), onlyStates.end(), state) != onlyStates.end();
}

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
    if (onlyStates.empty() && !keyedViews.empty()) {
        GTEST_SKIP() << "only the lessons' frames asked for";
    }
    for (const State &state : STATES) {
        SCOPED_TRACE(state.name);
        for (const char *key = state.keys; *key != '\0'; ++key) {
            pressKey(static_cast<unsigned char>(*key));
        }
        if (state.drag.button >= 0) {
            drag(state.drag);
        }
        if (!wanted(state.name)) {
            polygonModes.push_back(0);
            continue;
        }
        const Image frame = renderFrame(viewerState);
        GLint modes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        polygonModes.push_back(modes[0]);
        ASSERT_EQ(frame.width, 600);
        ASSERT_EQ(frame.height, 600);
        ASSERT_TRUE(writePpm(frame, folder + "/" + state.name + ".ppm"));
    }
    if (onlyStates.empty()) {
        writeStates();
    }
}

// The viewer's own record of each keyboard state, for the words the page must put to it.
std::string viewerJson(GLint mode)
{
    const ViewerState &v = viewerState;
    std::ostringstream json;
    json << "{\"model\": " << v.objectIndex
         << ", \"smoothShading\": " << (v.smoothShading ? "true" : "false")
         << ", \"highlight\": " << (v.highlight ? "true" : "false") << ", \"polygonMode\": \""
         << modeName(mode) << "\", \"angleX\": " << v.angleX << ", \"angleY\": " << v.angleY
         << ", \"zoom\": " << std::setprecision(9) << v.zoom << "}";
    return json.str();
}

TEST(ReferenceFrames, EachKeyboardStateIsDrawnAfterItsDrags)
{
    if (!onlyStates.empty() || !keyedViews.empty()) {
        GTEST_SKIP() << "only the frames asked for";
    }
    viewerState = ViewerState{};
    pressKey('p');
    std::ofstream json(folder + "/keyboard.json");
    json << "{\"states\": [\n";
    for (const KeyboardState &state : KEYBOARD_STATES) {
        SCOPED_TRACE(state.name);
        for (const char *key = state.keys; *key != '\0'; ++key) {
            pressKey(static_cast<unsigned char>(*key));
        }
        json << (&state == KEYBOARD_STATES ? "" : ",\n") << "  {\"name\": \"" << state.name
             << "\", \"keys\": \"" << state.keys << "\", \"presses\": [";
        for (const std::string &press : state.presses) {
            drag(dragFor(press));
            json << (&press == &state.presses.front() ? "\"" : ", \"") << press << "\"";
        }
        GLint modes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        json << "], \"polygonMode\": \"" << modeName(modes[0])
             << "\", \"viewer\": " << viewerJson(modes[0]) << "}";
        ASSERT_TRUE(writePpm(renderFrame(viewerState), folder + "/" + state.name + ".ppm"));
    }
    json << "\n]}\n";
}

TEST(ReferenceFrames, EachLessonStepIsDrawnFromItsView)
{
    if (!onlyStates.empty() || !keyedViews.empty()) {
        GTEST_SKIP() << "only the frames asked for";
    }
    for (const LessonView &view : LESSON_VIEWS) {
        SCOPED_TRACE(view.name);
        pressKey(view.polygonModeKey);
        const Image frame = renderFrame(view.state);
        ASSERT_TRUE(writePpm(frame, folder + "/lesson-" + view.name + ".ppm"));
    }
}

TEST(ReferenceFrames, EachKeyedLessonStepIsDrawnAfterItsKeys)
{
    if (keyedViews.empty()) {
        GTEST_SKIP() << "no lesson's keys asked for";
    }
    for (const KeyedView &view : keyedViews) {
        SCOPED_TRACE(view.name);
        viewerState = ViewerState{};
        pressKey('p');
        for (const char key : view.keys) {
            pressKey(static_cast<unsigned char>(key));
        }
        ASSERT_TRUE(writePpm(renderFrame(viewerState), folder + "/" + view.name + ".ppm"));
    }
}

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [STATE...]\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            onlyStates.push_back(argument);
        } else {
            keyedViews.push_back({argument.substr(0, equals), argument.substr(equals + 1)});
        }
    }
    // The viewer prints its usage text as the harness starts it, through std::cout; the test's own
    // report goes through stdio.
    std::ofstream usage(folder + "/usage.txt");
    std::streambuf *const out = std::cout.rdbuf(usage.rdbuf());
    const int result = RUN_ALL_TESTS();
    std::cout.rdbuf(out);
    return result;
}
