// Touch screens and pens, through the page's Pointer Events, told to the viewer as the mouse drags
// it already knows:
// - one finger is the left button: its drag turns the model as a left drag of the same pixels;
// - two fingers pinch: the change in the distance between them is the vertical movement of the
//   right button, so fingers moving apart zoom in as dragging down does;
// - a pen is the mouse, its barrel button the right button.
// A third finger changes nothing. Once a pinch loses a finger, the fingers left do nothing until
// all have been lifted, so that lifting two fingers one after the other does not turn the model.
// A touch the browser cancels (pointercancel) ends its drag as lifting it would.
#include "glut/internal.h"

#include <GL/glut.h>
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

enum Phase { DOWN, MOVE, UP };
enum Kind { TOUCH, PEN };

using PointerHandler = void (*)(int phase, int kind, int id, int button, int buttons, double x,
                                double y);

} // namespace

// Mouse pointers are left to the mouse events, which GLUT's button chords need. For touch and pen
// the press is kept from the browser (no scrolling, no mouse events made up from a tap) and the
// pointer captured, so that moves and the lift outside the canvas still belong to the drag.
EM_JS(void, listenForPointerEvents, (PointerHandler handler), {
    var canvas = document.querySelector('#canvas');
    var phases = {pointerdown : 0, pointermove : 1, pointerup : 2, pointercancel : 2};
    Object.keys(phases).forEach(function(type) {
        canvas.addEventListener(
            type, function(event) {
                if (event.pointerType == 'mouse') {
                    return;
                }
                if (type == 'pointerdown') {
                    event.preventDefault();
                    canvas.setPointerCapture(event.pointerId);
                }
                var pixel = glutWindow.pixelAt(event.clientX, event.clientY);
                wasmTable.get(handler)(phases[type], event.pointerType == 'pen' ? 1 : 0,
                                       event.pointerId, event.button, event.buttons, pixel.x,
                                       pixel.y);
            });
    });
});

namespace {

// The DOM's buttons bit for a pen's barrel button.
constexpr int BARREL_BUTTON = 2;

struct Finger {
    int id;
    double x, y; // canvas pixels
};

enum class Gesture { NONE, TURNING, PINCHING, SPENT };

std::vector<Finger> fingers; // on the canvas, in the order they came down
Gesture gesture = Gesture::NONE;
int pinchX = 0, pinchY = 0;      // where the pinch's right-button drag starts
double pinchStartDistance = 0.0; // between the first two fingers when the pinch began

int penButton = -1; // GLUT's button the pen pressed, or -1

int pixel(double coordinate)
{
    return static_cast<int>(std::floor(coordinate));
}

double distanceApart()
{
    return std::hypot(fingers[1].x - fingers[0].x, fingers[1].y - fingers[0].y);
}

void pinchMoved()
{
    const double growth = distanceApart() - pinchStartDistance;
    reportMotion(pinchX, pinchY + static_cast<int>(std::lround(growth)));
}

void fingerDown(const Finger &finger)
{
    fingers.push_back(finger);
    if (gesture == Gesture::NONE && fingers.size() == 1) {
        gesture = Gesture::TURNING;
        reportButton(GLUT_LEFT_BUTTON, GLUT_DOWN, pixel(finger.x), pixel(finger.y));
    } else if (gesture == Gesture::TURNING && fingers.size() == 2) {
        reportButton(GLUT_LEFT_BUTTON, GLUT_UP, pixel(fingers[0].x), pixel(fingers[0].y));
        gesture = Gesture::PINCHING;
        pinchX = pixel((fingers[0].x + fingers[1].x) / 2.0);
        pinchY = pixel((fingers[0].y + fingers[1].y) / 2.0);
        pinchStartDistance = distanceApart();
        reportButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, pinchX, pinchY);
    }
}

void fingerMoved(std::size_t index)
{
    if (gesture == Gesture::TURNING && index == 0) {
        reportMotion(pixel(fingers[0].x), pixel(fingers[0].y));
    } else if (gesture == Gesture::PINCHING && index < 2) {
        pinchMoved();
    }
}

void fingerUp(std::size_t index)
{
    if (gesture == Gesture::TURNING && index == 0) {
        reportButton(GLUT_LEFT_BUTTON, GLUT_UP, pixel(fingers[0].x), pixel(fingers[0].y));
        gesture = Gesture::SPENT;
    } else if (gesture == Gesture::PINCHING && index < 2) {
        const double growth = distanceApart() - pinchStartDistance;
        reportButton(GLUT_RIGHT_BUTTON, GLUT_UP, pinchX,
                     pinchY + static_cast<int>(std::lround(growth)));
        gesture = Gesture::SPENT;
    }
    fingers.erase(fingers.begin() + static_cast<std::ptrdiff_t>(index));
    if (fingers.empty()) {
        gesture = Gesture::NONE;
    }
}

void onTouch(int phase, const Finger &finger)
{
    const auto found = std::find_if(fingers.begin(), fingers.end(),
                                    [&](const Finger &f) { return f.id == finger.id; });
    if (phase == DOWN) {
        if (found == fingers.end()) {
            fingerDown(finger);
        }
        return;
    }
    if (found == fingers.end()) {
        return;
    }
    const auto index = static_cast<std::size_t>(found - fingers.begin());
    fingers[index] = finger;
    phase == MOVE ? fingerMoved(index) : fingerUp(index);
}

void onPen(int phase, int button, int buttons, int x, int y)
{
    if (phase == DOWN && penButton < 0) {
        penButton = (buttons & BARREL_BUTTON) != 0 ? GLUT_RIGHT_BUTTON : glutButton(button);
        reportButton(penButton, GLUT_DOWN, x, y);
    } else if (phase == MOVE && penButton >= 0) {
        reportMotion(x, y);
    } else if (phase == UP && penButton >= 0) {
        reportButton(penButton, GLUT_UP, x, y);
        penButton = -1;
    }
}

void onPointer(int phase, int kind, int id, int button, int buttons, double x, double y)
{
    if (phase == DOWN && !pressesReachViewer()) {
        return;
    }
    if (kind == PEN) {
        onPen(phase, button, buttons, pixel(x), pixel(y));
    } else {
        onTouch(phase, {id, x, y});
    }
}

} // namespace

void listenForPointers()
{
    listenForPointerEvents(onPointer);
}
