// Light 0, the light model, the materials of both faces and the shade model: the inputs of the
// lighting equation the vertex shader evaluates.
#include "gl/gl_layer.h"
#include "gl/layer.h"

#include <algorithm>

namespace {

// GL's initial values: lighting off, the light at (0, 0, 1, 0) with no ambient and white diffuse
// and specular, a global ambient of 0.2, one-sided lighting.
LightingState lighting = {false,
                          false,
                          false,
                          false,
                          {0.2f, 0.2f, 0.2f, 1.0f},
                          {0.0f, 0.0f, 1.0f, 0.0f},
                          {0.0f, 0.0f, 0.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f}};

// GL's initial material, on both faces.
constexpr FaceMaterial DEFAULT_MATERIAL = {{0.2f, 0.2f, 0.2f, 1.0f},
                                           {0.8f, 0.8f, 0.8f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           0.0f};
FaceMaterial front = DEFAULT_MATERIAL;
FaceMaterial back = DEFAULT_MATERIAL;
unsigned materialChanges = 0;

constexpr GLfloat MAX_SHININESS = 128.0f; // GL's range is 0 to 128

void copy4(const GLfloat *from, GLfloat *to)
{
    std::copy_n(from, 4, to);
}

bool setMaterial(FaceMaterial &material, GLenum pname, const GLfloat *params)
{
    switch (pname) {
    case GL_AMBIENT:
        copy4(params, material.ambient);
        return true;
    case GL_DIFFUSE:
        copy4(params, material.diffuse);
        return true;
    case GL_AMBIENT_AND_DIFFUSE:
        copy4(params, material.ambient);
        copy4(params, material.diffuse);
        return true;
    case GL_SPECULAR:
        copy4(params, material.specular);
        return true;
    case GL_EMISSION:
        copy4(params, material.emission);
        return true;
    case GL_SHININESS:
        material.shininess = params[0];
        return true;
    default:
        return false;
    }
}

} // namespace

const LightingState &lightingState()
{
    return lighting;
}

const FaceMaterial &frontMaterial()
{
    return front;
}

const FaceMaterial &backMaterial()
{
    return back;
}

unsigned materialVersion()
{
    return materialChanges;
}

bool setLightingSwitch(GLenum cap, bool on)
{
    bool *flag = cap == GL_LIGHTING    ? &lighting.enabled
                 : cap == GL_LIGHT0    ? &lighting.light0
                 : cap == GL_NORMALIZE ? &lighting.normalize
                                       : nullptr;
    if (flag == nullptr) {
        return false;
    }
    if (*flag != on) {
        drawGatheredPolygons();
        *flag = on;
    }
    return true;
}

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat *params)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (light != GL_LIGHT0) {
        unsupported("glLightfv", light);
        return;
    }
    GLfloat *target = pname == GL_AMBIENT    ? lighting.lightAmbient
                      : pname == GL_DIFFUSE  ? lighting.lightDiffuse
                      : pname == GL_SPECULAR ? lighting.lightSpecular
                      : pname == GL_POSITION ? lighting.lightPosition
                                             : nullptr;
    if (target == nullptr) {
        unsupported("glLightfv", pname);
        return;
    }
    drawGatheredPolygons();
    if (pname == GL_POSITION) {
        // GL keeps the position in eye coordinates, taken through the modelview matrix in force
        // now: a light set while it is the identity stays put as the model turns.
        transform(modelviewMatrix(), params, lighting.lightPosition);
    } else {
        copy4(params, target);
    }
}

// The local viewer is not implemented: only its initial value, off, is accepted.
void glLightModelf(GLenum pname, GLfloat param)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (pname == GL_LIGHT_MODEL_TWO_SIDE) {
        drawGatheredPolygons();
        lighting.twoSide = param != 0.0f;
    } else if (pname != GL_LIGHT_MODEL_LOCAL_VIEWER || param != 0.0f) {
        unsupported("glLightModelf", pname);
    }
}

// Materials may change between polygons without ending a draw: each draw carries a small table
// of them. Changing one between glBegin and glEnd is not supported.
void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params)
{
    if (insideBeginEnd()) {
        unsupported("glMaterialfv between glBegin and glEnd", pname);
        return;
    }
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        unsupported("glMaterialfv", face);
        return;
    }
    if (pname == GL_SHININESS && (params[0] < 0.0f || params[0] > MAX_SHININESS)) {
        recordError(GL_INVALID_VALUE);
        return;
    }
    const bool known = (face == GL_BACK || setMaterial(front, pname, params)) &&
                       (face == GL_FRONT || setMaterial(back, pname, params));
    if (!known) {
        unsupported("glMaterialfv", pname);
        return;
    }
    ++materialChanges;
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    if (pname != GL_SHININESS) {
        unsupported("glMaterialf", pname);
        return;
    }
    glMaterialfv(face, pname, &param);
}

// Colours are interpolated across every polygon; flat shading is not implemented.
void glShadeModel(GLenum mode)
{
    if (mode != GL_SMOOTH) {
        unsupported("glShadeModel", mode);
    }
}

} // extern "C"
