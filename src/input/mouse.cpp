#include <GL/glut.h>
#include <cstdint>

#include "input/input.h"
#include "shell/viewer_state.h"

namespace {

constexpr double ZOOM_PER_PIXEL = 0.001;

} // namespace

void mouse(int button, int state, int x, int y)
{
    if (state == GLUT_DOWN) {
        viewerState.dragActive = 1;
        viewerState.lastMouseX = x;
        viewerState.lastMouseY = y;
        viewerState.dragButton = button;
    } else if (state == GLUT_UP) {
        // The last position stays: the next press sets a new one before any motion counts.
        viewerState.dragActive = 0;
        viewerState.dragButton = button;
    }
}

void motion(int x, int y)
{
    if (viewerState.dragActive == 0) {
        return;
    }
    // Pointer positions can lie far outside the window, up to the limits of int; their difference
    // is formed in 64 bits so that it cannot overflow.
    const std::int64_t dx = std::int64_t{x} - viewerState.lastMouseX;
    const std::int64_t dy = std::int64_t{y} - viewerState.lastMouseY;

    if (viewerState.dragButton == GLUT_LEFT_BUTTON) {
        viewerState.angleY += static_cast<float>(dx);
        viewerState.angleX += static_cast<float>(dy);
    } else {
        viewerState.zoom =
            static_cast<float>(viewerState.zoom + static_cast<double>(dy) * ZOOM_PER_PIXEL);
    }
    viewerState.lastMouseX = x;
    viewerState.lastMouseY = y;
    glutPostRedisplay();
}
