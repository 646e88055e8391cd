#include <GL/glut.h>

#include "geometry/models.h"
#include "geometry/primitives.h"
#include "shell/viewer_state.h"

namespace {

// The model sits this far in front of the eye, well inside the near and far planes of the
// projection.
constexpr GLfloat EYE_DISTANCE = 6.0f;

constexpr double UNIT_SPHERE_RADIUS = 1.0;
constexpr double CYLINDER_MODEL_RADIUS = 1.0;
constexpr double CYLINDER_MODEL_HEIGHT = 1.0;
constexpr GLfloat TREE_SCALE = 0.3f;
constexpr int TREE_DEPTH = 5;

void drawSelectedModel()
{
    switch (viewerState.objectIndex) {
    case MODEL_SPHERE:
        drawSphere(UNIT_SPHERE_RADIUS);
        break;
    case MODEL_CYLINDER:
        drawCylinder(CYLINDER_MODEL_RADIUS, CYLINDER_MODEL_HEIGHT);
        break;
    case MODEL_TWISTED_LADDER:
        drawTwistedLadder();
        break;
    case MODEL_BRANCHING_TREE:
        glScalef(TREE_SCALE, TREE_SCALE, TREE_SCALE);
        glPushMatrix(); // popped by the tree itself
        drawBranchingTree(TREE_DEPTH);
        break;
    default:
        break;
    }
}

} // namespace

void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Read right to left: the model is scaled, turned about its own y axis, then about x, then
    // moved in front of the eye. The push and pop leave the modelview matrix the identity between
    // frames.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -EYE_DISTANCE);
    glRotatef(viewerState.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(viewerState.angleY, 0.0f, 1.0f, 0.0f);
    glScalef(viewerState.zoom, viewerState.zoom, viewerState.zoom);
    drawSelectedModel();
    glPopMatrix();

    glutSwapBuffers();
}
