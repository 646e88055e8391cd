// The lab's numbers, put where the program's own would go. initLighting sets the light and the
// light model once, at start, while the modelview matrix is the identity; the lab makes the same
// calls again with its numbers (and the calls the program does not make), between frames, where
// the modelview is the identity too: as if the numbers had been edited into initLighting. The
// materials are set again by every part of every frame, so for them the lab stands between the
// program and GL: where the program passes a constant the lab has changed, GL is given the lab's
// number instead. The program's own code draws every frame either way.
#include "gl/gl_layer.h"

#include <GL/glut.h>
#include <emscripten.h>

// What the page's lab (lab.js) calls, through orvane.lab. Each asks for a new frame.
extern "C" {

EMSCRIPTEN_KEEPALIVE void orvane_lab_edit_material(GLenum pname, int count, GLfloat from0,
                                                   GLfloat from1, GLfloat from2, GLfloat from3,
                                                   GLfloat to0, GLfloat to1, GLfloat to2,
                                                   GLfloat to3)
{
    const GLfloat from[4] = {from0, from1, from2, from3};
    const GLfloat to[4] = {to0, to1, to2, to3};
    replaceMaterialValue(pname, count, from, to);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void orvane_lab_forget_materials()
{
    forgetMaterialReplacements();
    glutPostRedisplay();
}

// `light` counts from GL_LIGHT0.
EMSCRIPTEN_KEEPALIVE void orvane_lab_light(int light, GLenum pname, GLfloat a, GLfloat b, GLfloat c,
                                           GLfloat d)
{
    const GLfloat values[4] = {a, b, c, d};
    glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), pname, values);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void orvane_lab_enable_light(int light, int on)
{
    const auto cap = static_cast<GLenum>(GL_LIGHT0 + light);
    on != 0 ? glEnable(cap) : glDisable(cap);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void orvane_lab_light_model(GLenum pname, GLfloat a, GLfloat b, GLfloat c,
                                                 GLfloat d)
{
    const GLfloat values[4] = {a, b, c, d};
    glLightModelfv(pname, values);
    glutPostRedisplay();
}

// LIGHT_SET_IN: 'display' also sets the position in display(), after the rotations; `position`
// is LIGHT_POSITION's value.
EMSCRIPTEN_KEEPALIVE void orvane_lab_light_set_in(int inDisplay, GLfloat x, GLfloat y, GLfloat z,
                                                  GLfloat w)
{
    const GLfloat position[4] = {x, y, z, w};
    setLightPositionInFrame(inDisplay != 0, position);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void orvane_lab_shade_model(GLenum mode)
{
    glShadeModel(mode);
    glutPostRedisplay();
}

} // extern "C"
