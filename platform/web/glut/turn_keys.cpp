// Keys that turn and zoom the model, for everyone who cannot drag: told to the viewer as the mouse
// drags it already knows, so that a press turns it exactly as the drag would.
// - An arrow key is a drag of TURN_PIXELS with the left button that way: ArrowRight a drag to the
//   right, ArrowDown a drag downwards. With Shift held, a drag of one pixel.
// - + and PageDown are a drag of ZOOM_PIXELS downwards with the right button, which enlarges the
//   model; - and PageUp the same drag upwards, which shrinks it. = is + too: on many keyboards it
//   is the same key without Shift.
// GLUT gives none of these keys to the keyboard callback (arrows and pages go to the special-key
// callback, which the viewer does not register), and the viewer's keyboard does nothing with +, =
// and -, so no key of the viewer's is taken. While the probe is on, the arrows are the page's, to
// move its crosshair.
#include "glut/internal.h"

#include <GL/glut.h>

#include <cstring>

namespace {

// The viewer turns the model one degree a pixel, and zooms by a thousandth a pixel.
constexpr int TURN_PIXELS = 15;
constexpr int FINE_TURN_PIXELS = 1;
constexpr int ZOOM_PIXELS = 100;

struct Drag {
    const char *key;
    int button;
    int dx, dy; // in steps of the key's distance
};
constexpr Drag KEY_DRAGS[] = {
    {"ArrowLeft", GLUT_LEFT_BUTTON, -1, 0}, {"ArrowRight", GLUT_LEFT_BUTTON, 1, 0},
    {"ArrowUp", GLUT_LEFT_BUTTON, 0, -1},   {"ArrowDown", GLUT_LEFT_BUTTON, 0, 1},
    {"+", GLUT_RIGHT_BUTTON, 0, 1},         {"=", GLUT_RIGHT_BUTTON, 0, 1},
    {"PageDown", GLUT_RIGHT_BUTTON, 0, 1},  {"-", GLUT_RIGHT_BUTTON, 0, -1},
    {"PageUp", GLUT_RIGHT_BUTTON, 0, -1},
};

} // namespace

bool dragForKey(const char *key, bool shift, int centreX, int centreY)
{
    for (const Drag &drag : KEY_DRAGS) {
        if (std::strcmp(key, drag.key) != 0) {
            continue;
        }
        const bool turning = drag.button == GLUT_LEFT_BUTTON;
        if (turning && !pressesReachViewer()) {
            return false;
        }
        const int distance = !turning ? ZOOM_PIXELS : shift ? FINE_TURN_PIXELS : TURN_PIXELS;
        const int toX = centreX + drag.dx * distance, toY = centreY + drag.dy * distance;
        reportButton(drag.button, GLUT_DOWN, centreX, centreY);
        reportMotion(toX, toY);
        reportButton(drag.button, GLUT_UP, toX, toY);
        return true;
    }
    return false;
}
