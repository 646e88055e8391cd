// The entry point alone in its file, so that the start-up sequence can be built and checked by
// itself.
#include <GL/glut.h>
#include <iostream>

#include "input/input.h"
#include "shell/viewer_state.h"

namespace {

const char *const USAGE_LINES[] = {
    "Orvane Lab 3",
    "",
    "1-4: Draw different objects",
    "S: Toggle Smooth Shading",
    "H: Toggle Highlight",
    "W: Draw Wireframe",
    "P: Draw Polygon",
    "V: Draw Vertices",
    "Q: Quit",
    "",
    "Left mouse click and drag: rotate the object",
    "Right mouse click and drag: zooming",
};

constexpr int WINDOW_SIZE = 600;
constexpr int WINDOW_POSITION = 50;
constexpr const char *WINDOW_TITLE = "Orvane Assignment 3";

constexpr GLdouble FIELD_OF_VIEW_DEGREES = 40.0;
constexpr GLdouble ASPECT_RATIO = 1.0; // kept when the window is resized: the picture stretches
constexpr GLdouble NEAR_PLANE = 1.0;
constexpr GLdouble FAR_PLANE = 80.0;

} // namespace

int main(int argc, char **argv)
{
    // Written before GLUT starts, so the help is shown even when no display can be opened.
    for (const char *line : USAGE_LINES) {
        std::cout << line << std::endl;
    }

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    glutInitWindowPosition(WINDOW_POSITION, WINDOW_POSITION);
    glutCreateWindow(WINDOW_TITLE);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    glutDisplayFunc(display);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutKeyboardFunc(keyboard);

    initLighting();
    // Both sides of every facet are drawn, so the inside of the open cylinder shows.
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);

    // Multiplied onto the initial identity; the modelview matrix stays the identity between frames.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(FIELD_OF_VIEW_DEGREES, ASPECT_RATIO, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);

    glutMainLoop();
    return 0;
}
