// The GLUT subset the viewer calls, on Emscripten's HTML5 API. The window is the page's canvas
// (#canvas); its title and position go to the page through the hooks page/page.js puts on Module.
//
// Events enter the program here, and so does exit(): a callback that calls it throws
// Emscripten's ExitStatus out through the viewer's frames. Every callback is run through
// callIntoViewer, which catches that where the event came in, so the viewer ends as a page can:
// no more frames or input, the page told, nothing left uncaught.
#include "glut/internal.h"

#include "gl/gl_layer.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Trampoline = void (*)(const void *event);

} // namespace

// Runs call(event). Returns 1, with the exit status in *status, if the call ended the program
// with exit(); 0 if it returned. Any other exception goes on up, as loud as it came.
EM_JS(int, callIntoViewer, (Trampoline call, const void *event, int *status), {
    var stack = stackSave();
    try {
        wasmTable.get(call)(event);
        return 0;
    } catch (e) {
        stackRestore(stack);
        if (!(e instanceof ExitStatus)) {
            throw e;
        }
        HEAP32[status >> 2] = e.status;
        return 1;
    }
});

EM_JS(void, showWindow, (const char *title, int x, int y, int width, int height), {
    var canvas = document.querySelector('#canvas');
    canvas.width = width;
    canvas.height = height;
    if (Module['onWindowCreated']) {
        Module['onWindowCreated'](UTF8ToString(title), x, y);
    }
});

EM_JS(void, tellPageViewerEnded, (int status), {
    if (Module['onViewerEnded']) {
        Module['onViewerEnded'](status);
    }
});

EM_JS(void, tellPageFrameDrawn, (), {
    if (Module['onFrameDrawn']) {
        Module['onFrameDrawn']();
    }
});

EM_JS(void, tellPageContext, (int lost), {
    var hook = Module[lost ? 'onContextLost' : 'onContextRestored'];
    if (hook) {
        hook();
    }
});

// The pixel of the canvas under a pointer's client position (window.js).
EM_JS(void, canvasPixel, (double clientX, double clientY, int *x, int *y), {
    var pixel = glutWindow.pixelAt(clientX, clientY);
    HEAP32[x >> 2] = Math.floor(pixel.x);
    HEAP32[y >> 2] = Math.floor(pixel.y);
});

namespace {

constexpr const char *CANVAS = "#canvas";
// GLUT's window before glutInitWindowSize and glutInitWindowPosition; -1 leaves the place to
// the window system, here the page's layout.
constexpr int DEFAULT_WINDOW_SIZE = 300;
constexpr int DEFAULT_WINDOW_POSITION = -1;
// The display mode bits this layer cannot give a WebGL canvas.
constexpr unsigned UNSUPPORTED_MODES = GLUT_INDEX | GLUT_ACCUM | GLUT_STEREO | GLUT_LUMINANCE;
constexpr unsigned char TAB = 9;
// ASCII codes GLUT's keyboard callback receives for keys the DOM names.
struct NamedKey {
    const char *name;
    unsigned char code;
};
constexpr NamedKey NAMED_KEYS[] = {
    {"Backspace", 8}, {"Tab", TAB}, {"Enter", 13}, {"Escape", 27}, {"Delete", 127}};
constexpr unsigned char CONTROL_MASK = 0x1f; // Ctrl with a letter gives its control code

unsigned displayMode = GLUT_RGBA | GLUT_SINGLE;
int windowWidth = DEFAULT_WINDOW_SIZE, windowHeight = DEFAULT_WINDOW_SIZE;
int windowX = DEFAULT_WINDOW_POSITION, windowY = DEFAULT_WINDOW_POSITION;
int viewportWidth = 0, viewportHeight = 0;

void (*displayCallback)() = nullptr;
void (*mouseCallback)(int, int, int, int) = nullptr;
void (*motionCallback)(int, int) = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;

// While the page's probe is on, a press on the canvas is the probe's: the viewer does not see it,
// nor the drag that follows.
bool probing = false;
bool frameRequested = false;
long frameRequest = 0;
bool ended = false;
unsigned heldButtons = 0; // DOM buttons pressed on the canvas and not yet released
int pointerX = 0, pointerY = 0;

struct KeyPress {
    unsigned char key;
    int x, y;
};
struct ButtonChange {
    int button, state, x, y;
};
struct PointerMove {
    int x, y;
};

void runDisplay(const void *)
{
    displayCallback();
}

void runKeyboard(const void *event)
{
    const auto *press = static_cast<const KeyPress *>(event);
    keyboardCallback(press->key, press->x, press->y);
}

void runMouse(const void *event)
{
    const auto *change = static_cast<const ButtonChange *>(event);
    mouseCallback(change->button, change->state, change->x, change->y);
}

void runMotion(const void *event)
{
    const auto *move = static_cast<const PointerMove *>(event);
    motionCallback(move->x, move->y);
}

void endViewer(int status)
{
    ended = true;
    if (frameRequested) {
        emscripten_cancel_animation_frame(frameRequest);
        frameRequested = false;
    }
    emscripten_html5_remove_all_event_listeners();
    tellPageViewerEnded(status);
}

void deliver(Trampoline call, const void *event)
{
    if (ended) {
        return;
    }
    int status = 0;
    if (callIntoViewer(call, event, &status) != 0) {
        endViewer(status);
    }
}

EM_BOOL onFrame(double /*time*/, void *)
{
    frameRequested = false;
    // GLUT's own reshape, as no reshape callback is registered: the viewport follows the window.
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(CANVAS, &width, &height);
    if (width != viewportWidth || height != viewportHeight) {
        viewportWidth = width;
        viewportHeight = height;
        glViewport(0, 0, width, height);
    }
    deliver(runDisplay, nullptr);
    tellPageFrameDrawn();
    return EM_FALSE;
}

void updatePointer(const EmscriptenMouseEvent &event)
{
    canvasPixel(static_cast<double>(event.clientX), static_cast<double>(event.clientY), &pointerX,
                &pointerY);
}

EM_BOOL onMouseDown(int, const EmscriptenMouseEvent *event, void *)
{
    updatePointer(*event);
    if (probing) {
        return EM_TRUE;
    }
    heldButtons |= 1u << event->button;
    reportButton(glutButton(event->button), GLUT_DOWN, pointerX, pointerY);
    return EM_TRUE; // no text selection, no middle-button scrolling
}

// On the window, not the canvas: like X's grab during a drag, motion and the release outside the
// canvas still belong to the drag that started on it.
EM_BOOL onMouseUp(int, const EmscriptenMouseEvent *event, void *)
{
    const unsigned bit = 1u << event->button;
    if ((heldButtons & bit) == 0) {
        return EM_FALSE;
    }
    heldButtons &= ~bit;
    updatePointer(*event);
    reportButton(glutButton(event->button), GLUT_UP, pointerX, pointerY);
    return EM_TRUE; // the back and forward buttons do not leave the page
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent *event, void *)
{
    updatePointer(*event);
    if (heldButtons != 0) {
        reportMotion(pointerX, pointerY);
    }
    return EM_FALSE;
}

// The character GLUT's keyboard callback takes for a key, or 0 for keys it does not report there
// (arrows and function keys go to the special-key callback, which the viewer does not register).
unsigned char characterFor(const EmscriptenKeyboardEvent &event)
{
    for (const NamedKey &named : NAMED_KEYS) {
        if (std::strcmp(event.key, named.name) == 0) {
            return named.code;
        }
    }
    const auto first = static_cast<unsigned char>(event.key[0]);
    if (first == 0 || first >= 0x80 || event.key[1] != '\0') {
        return 0;
    }
    const bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    return event.ctrlKey && letter ? static_cast<unsigned char>(first & CONTROL_MASK) : first;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent *event, void *)
{
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(CANVAS, &width, &height);
    if (!event->ctrlKey && !event->metaKey && !event->altKey &&
        dragForKey(event->key, event->shiftKey, width / 2, height / 2)) {
        return EM_TRUE; // no scrolling by the arrows and pages
    }
    const unsigned char key = characterFor(*event);
    if (key == 0 || keyboardCallback == nullptr) {
        return EM_FALSE;
    }
    const KeyPress press = {key, pointerX, pointerY};
    deliver(runKeyboard, &press);
    // The browser keeps its own shortcuts (reload, close tab), and Tab still leaves the canvas.
    return !(event->ctrlKey || event->metaKey || key == TAB);
}

// The browser may take the context away (a GPU reset, a phone sending the page to the
// background). Taking the event lets it give the context back; the layer then makes its WebGL
// objects again, and the frame the viewer shows is drawn once more. Input goes on meanwhile.
EM_BOOL onContextLost(int, const void *, void *)
{
    tellPageContext(1);
    return EM_TRUE;
}

EM_BOOL onContextRestored(int, const void *, void *)
{
    if (!restartGlLayer()) {
        endViewer(EXIT_FAILURE);
        return EM_FALSE;
    }
    viewportWidth = viewportHeight = 0;
    tellPageContext(0);
    glutPostRedisplay();
    return EM_FALSE;
}

// No wheel: the viewer registers nothing that takes one (freeglut would hand it to the mouse
// callback as a press and release that change nothing), so over the picture it scrolls the page, as
// it does everywhere else on it.
void listen()
{
    emscripten_set_keydown_callback(CANVAS, nullptr, EM_FALSE, onKeyDown);
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_FALSE, onMouseDown);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onMouseUp);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE,
                                      onMouseMove);
    emscripten_set_webglcontextlost_callback(CANVAS, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(CANVAS, nullptr, EM_FALSE, onContextRestored);
    listenForPointers();
}

// As freeglut does: the message on standard error, then exit.
[[noreturn]] void fail(const char *message)
{
    std::fprintf(stderr, "freeglut (web): %s\n", message);
    tellPageViewerEnded(EXIT_FAILURE);
    std::exit(EXIT_FAILURE);
}

} // namespace

// The DOM's back and forward buttons (3 and 4) are X's buttons 8 and 9, which freeglut reports
// as 7 and 8.
int glutButton(int domButton)
{
    constexpr int DOM_FIRST_EXTRA_BUTTON = 3;
    constexpr int GLUT_FIRST_EXTRA_BUTTON = 7;
    return domButton < DOM_FIRST_EXTRA_BUTTON
               ? domButton
               : domButton - DOM_FIRST_EXTRA_BUTTON + GLUT_FIRST_EXTRA_BUTTON;
}

bool pressesReachViewer()
{
    return !probing;
}

// orvane.setProbing(on), for the page's probe switch: presses on the canvas become the probe's.
// The frame on screen was drawn before the probe kept anything: it is drawn again.
extern "C" EMSCRIPTEN_KEEPALIVE void orvane_set_probing(int on)
{
    probing = on != 0;
    glutPostRedisplay();
}

// orvane.redraw(), for the page's parts that copy the picture: the canvas keeps none between
// frames.
extern "C" EMSCRIPTEN_KEEPALIVE void orvane_redraw()
{
    glutPostRedisplay();
}

void reportButton(int button, int state, int x, int y)
{
    if (mouseCallback != nullptr) {
        const ButtonChange change = {button, state, x, y};
        deliver(runMouse, &change);
    }
}

void reportMotion(int x, int y)
{
    if (motionCallback != nullptr) {
        const PointerMove move = {x, y};
        deliver(runMotion, &move);
    }
}

extern "C" {

// The page gives the program no command line of GLUT's to read.
void glutInit(int *, char **) {}

void glutInitDisplayMode(unsigned int mode)
{
    if ((mode & UNSUPPORTED_MODES) != 0) {
        std::fprintf(stderr, "glutInitDisplayMode: 0x%X asks for what a WebGL canvas lacks\n",
                     mode);
#ifndef NDEBUG
        std::abort();
#endif
    }
    displayMode = mode;
}

void glutInitWindowSize(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
}

void glutInitWindowPosition(int x, int y)
{
    windowX = x;
    windowY = y;
}

// One window: the canvas. A WebGL canvas is always double-buffered: the browser shows the frame
// once the animation-frame callback that drew it returns. Antialiasing is off, as in the
// window GLUT gives on Mesa.
int glutCreateWindow(const char *title)
{
    showWindow(title, windowX, windowY, windowWidth, windowHeight);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = (displayMode & GLUT_ALPHA) != 0;
    attributes.depth = (displayMode & GLUT_DEPTH) != 0;
    attributes.stencil = (displayMode & GLUT_STENCIL) != 0;
    attributes.antialias = (displayMode & GLUT_MULTISAMPLE) != 0;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(CANVAS, &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !startGlLayer()) {
        fail("this browser gives the page no WebGL 1 context to draw in");
    }
    listen();
    return 1;
}

void glutDisplayFunc(void (*callback)())
{
    displayCallback = callback;
}

void glutMouseFunc(void (*callback)(int, int, int, int))
{
    mouseCallback = callback;
}

void glutMotionFunc(void (*callback)(int, int))
{
    motionCallback = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    keyboardCallback = callback;
}

// Any number of requests before the next animation frame make one frame.
void glutPostRedisplay()
{
    if (ended || frameRequested) {
        return;
    }
    frameRequested = true;
    frameRequest = emscripten_request_animation_frame(onFrame, nullptr);
}

void glutSwapBuffers()
{
    finishFrame();
}

// The window is exposed: its first frame is due. Then control goes back to the browser, which
// calls in with events from now on; the function never returns.
void glutMainLoop()
{
    if (displayCallback == nullptr) {
        fail("no display callback registered for window 1");
    }
    glutPostRedisplay();
    emscripten_exit_with_live_runtime();
}

} // extern "C"
