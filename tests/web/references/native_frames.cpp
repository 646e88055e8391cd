// The native viewer's pictures for the browser suite: the real viewer's start-up and frames on
// Mesa under a private Xvfb (support/render_harness), each state reached from the one before with
// the same keys and drags the suite gives the page, sent through the viewer's own callbacks.
//
// Writes into the folder given as its first argument: states.json, the table of states the suite
// walks through; STATE.ppm, the frame of each state (binary PPM, rows from the top);
// lesson-NAME.ppm, the frame each of the lessons' steps shows; keyboard.json and keys-*.ppm, the
// keyboard-only run's states, drawn after the drags its keys stand for; usage.txt, what the viewer
// printed as it started; outside.json and outside-*.ppm, the model seen from outside cameras, for
// the page's second view. Given state names after the folder, it walks the same states but writes
// only those frames: the lab's reference builds (lab_frames.cmake) draw only what their set needs.
// An argument lesson-NAME=KEYS draws lesson-NAME.ppm, the viewer as it starts after KEYS: a
// lesson's button that also sets the lab's numbers, which that build has edited in.
#include "support/render_harness.h"

#include "input/input.h"
#include "lessons/views.h"

#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    {"light-outside", lessons::sphere(false, false), 'p'},
    {"normals-outside", lessons::sphere(false, false), 'p'},
    {"per-pixel", lessons::sphere(true, true), 'p'},
    {"per-pixel-pixel", lessons::sphere(true, true), 'p'},
};

// The page's second view from outside: the model alone, after these keys from the viewer as it
// starts, seen by a camera `yaw` degrees about y from the eye's side, `pitch` degrees up and
// `distance` units from the model's centre, 6 units in front of the eye, looking at it with the
// viewer's own projection. Drawn here with GLU's gluLookAt multiplied onto that projection.
struct OutsideView {
    const char *name;
    const char *keys;
    double yaw, pitch, distance;
};
constexpr OutsideView OUTSIDE_VIEWS[] = {
    {"outside-sphere-smooth-highlight", "sh", 50.0, 25.0, 20.0},
    {"outside-tree-wireframe", "4w", -120.0, -30.0, 9.0},
    {"outside-ladder-flat", "3", 200.0, 60.0, 14.0},
};
constexpr double MODEL_CENTRE_Z = -6.0;

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

TEST(ReferenceFrames, EachOutsideViewIsDrawnThroughGluLookAt)
{
    if (!onlyStates.empty() || !keyedViews.empty()) {
        GTEST_SKIP() << "only the frames asked for";
    }
    constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;
    std::ofstream json(folder + "/outside.json");
    json << "{\"views\": [\n";
    for (const OutsideView &view : OUTSIDE_VIEWS) {
        SCOPED_TRACE(view.name);
        viewerState = ViewerState{};
        pressKey('p');
        for (const char *key = view.keys; *key != '\0'; ++key) {
            pressKey(static_cast<unsigned char>(*key));
        }
        const double yaw = view.yaw * RADIANS_PER_DEGREE, pitch = view.pitch * RADIANS_PER_DEGREE;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        gluLookAt(view.distance * std::sin(yaw) * std::cos(pitch), view.distance * std::sin(pitch),
                  MODEL_CENTRE_Z + view.distance * std::cos(yaw) * std::cos(pitch), 0.0, 0.0,
                  MODEL_CENTRE_Z, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        const Image frame = renderFrame(viewerState);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        GLint modes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        ASSERT_TRUE(writePpm(frame, folder + "/" + view.name + ".ppm"));
        json << (&view == OUTSIDE_VIEWS ? "" : ",\n") << "  {\"name\": \"" << view.name
             << "\", \"keys\": \"" << view.keys << "\", \"camera\": {\"yaw\": " << view.yaw
             << ", \"pitch\": " << view.pitch << ", \"distance\": " << view.distance
             << "}, \"polygonMode\": \"" << modeName(modes[0]) << "\"}";
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
