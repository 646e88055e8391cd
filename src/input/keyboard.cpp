#include <GL/glut.h>
#include <cstdlib>

#include "input/input.h"
#include "shell/viewer_state.h"

void keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    switch (key) {
    case '1':
    case '2':
    case '3':
    case '4':
        viewerState.objectIndex = key - '1';
        break;
    case 'S':
    case 's':
        viewerState.smoothShading = !viewerState.smoothShading;
        break;
    case 'H':
    case 'h':
        viewerState.highlight = !viewerState.highlight;
        break;
    case 'W':
    case 'w':
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        break;
    case 'P':
    case 'p':
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        break;
    case 'V':
    case 'v':
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        break;
    case 'Q':
    case 'q':
        std::exit(EXIT_SUCCESS);
    default:
        break;
    }
    glutPostRedisplay();
}
