// The viewer's two primitives as a programmer who did not write their own would draw them: with
// freeglut's solids, under the viewer's own materials. Built with the viewer's own frame and models
// into a shared library, so the whole scene can be drawn this way beside the viewer's.
#include <GL/freeglut.h>

#include "geometry/primitives.h"
#include "shell/viewer_state.h"

namespace {

constexpr GLint CYLINDER_STACKS = 1;

} // namespace

// freeglut's cylinder stands on z = 0 and is closed by two discs.
void drawCylinder(double radius, double height)
{
    setCylinderMaterial();
    glPushMatrix();
    glTranslated(0.0, 0.0, -0.5 * height);
    glutSolidCylinder(radius, height, CYLINDER_FACETS, CYLINDER_STACKS);
    glPopMatrix();
}

void drawSphere(double radius)
{
    setSphereMaterial();
    glutSolidSphere(radius, SPHERE_FACETS_PER_BAND, SPHERE_BANDS);
}

extern "C" void drawFreeglutFrame(const ViewerState &state)
{
    viewerState = state;
    display();
}

// Frames are timed, never shown.
extern "C" void glutSwapBuffers() {}
