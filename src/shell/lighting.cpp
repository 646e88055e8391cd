#include <GL/gl.h>

#include "shell/viewer_state.h"

namespace {

// Set while the modelview matrix is still the identity, so the position is in eye coordinates: the
// light stays to the left, above and on the viewer's side however the model is turned. w = 1 makes
// it positional, so each corner of a facet sees it from a slightly different direction.
constexpr GLfloat LIGHT_POSITION[] = {-100.0f, 100.0f, 100.0f, 1.0f};
// A strong ambient term keeps the side turned away from the light readable rather than black.
constexpr GLfloat LIGHT_AMBIENT[] = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr GLfloat LIGHT_DIFFUSE[] = {0.8f, 0.8f, 0.8f, 1.0f};
constexpr GLfloat LIGHT_SPECULAR[] = {1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

void initLighting()
{
    // The faceted look of flat shading comes from the normals the primitives send, not from
    // GL_FLAT, so the shade model stays smooth for the whole run.
    glShadeModel(GL_SMOOTH);
    // The frame scales by the zoom and the composite models scale their parts; renormalising after
    // the transform keeps the lighting right under every scale.
    glEnable(GL_NORMALIZE);
    glClearDepth(1.0);

    glLightfv(GL_LIGHT0, GL_POSITION, LIGHT_POSITION);
    glLightfv(GL_LIGHT0, GL_AMBIENT, LIGHT_AMBIENT);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, LIGHT_DIFFUSE);
    glLightfv(GL_LIGHT0, GL_SPECULAR, LIGHT_SPECULAR);
    // One-sided: the inside of the open cylinder is lit with the outward normals as sent.
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);

    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}
