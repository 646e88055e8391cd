// Light 0, the light model, the materials of both faces and the shade model: the inputs of the
// lighting equation the vertex shader evaluates, kept in glState.lighting and glState.materials.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

LightingState &lighting = glState.lighting;
MaterialState &materials = glState.materials;

const GLfloat *replaced(GLenum pname, const GLfloat *params)
{
    for (const MaterialReplacement &r : materials.replacements) {
        if (r.pname == pname && std::equal(params, params + r.count, r.from)) {
            return r.to;
        }
    }
    return params;
}

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

// GL_INVALID_VALUE for what GL's ranges leave out; true if the value may be set.
bool inRange(GLenum pname, GLfloat value)
{
    const bool valid = pname == GL_SPOT_EXPONENT ? value >= 0.0f && value <= MAX_EXPONENT
                       : pname == GL_SPOT_CUTOFF
                           ? (value >= 0.0f && value <= MAX_SPOT_CUTOFF) || value == NO_SPOTLIGHT
                       : pname == GL_SHININESS ? value >= 0.0f && value <= MAX_EXPONENT
                       : pname == GL_CONSTANT_ATTENUATION || pname == GL_LINEAR_ATTENUATION ||
                               pname == GL_QUADRATIC_ATTENUATION
                           ? value >= 0.0f
                           : true;
    if (!valid) {
        recordError(GL_INVALID_VALUE);
    }
    return valid;
}

// Where glLightfv keeps a parameter of `light`, and how many numbers it takes.
GLfloat *lightParameter(LightSource &light, GLenum pname, int &count)
{
    count = pname == GL_SPOT_DIRECTION ? 3 : 4;
    switch (pname) {
    case GL_AMBIENT:
        return light.ambient;
    case GL_DIFFUSE:
        return light.diffuse;
    case GL_SPECULAR:
        return light.specular;
    case GL_POSITION:
        return light.position;
    case GL_SPOT_DIRECTION:
        return light.spotDirection;
    default:
        count = 1;
        return pname == GL_SPOT_EXPONENT           ? &light.spotExponent
               : pname == GL_SPOT_CUTOFF           ? &light.spotCutoff
               : pname == GL_CONSTANT_ATTENUATION  ? &light.attenuation[0]
               : pname == GL_LINEAR_ATTENUATION    ? &light.attenuation[1]
               : pname == GL_QUADRATIC_ATTENUATION ? &light.attenuation[2]
                                                   : nullptr;
    }
}

// The lab's light position set in each frame, and whether this frame has set it yet.
struct PositionInFrame {
    bool on;
    GLfloat position[4];
    bool set;
    Matrix4 setUnder; // the modelview it was last set under
};
PositionInFrame positionInFrame = {};

// The light a GL_LIGHTi names, or null for one this layer does not take.
LightSource *lightNamed(GLenum light)
{
    const auto index = static_cast<int>(light) - GL_LIGHT0;
    return index >= 0 && index < LIGHTS ? &lighting.lights[index] : nullptr;
}

} // namespace

void setLightPositionInFrame(bool on, const GLfloat position[4])
{
    positionInFrame.on = on;
    std::copy_n(position, 4, positionInFrame.position);
    positionInFrame.set = false;
}

void beforeScale()
{
    if (positionInFrame.on && !positionInFrame.set &&
        glState.transform.matrixMode == GL_MODELVIEW) {
        positionInFrame.set = true;
        positionInFrame.setUnder = glState.transform.modelview.top();
        glLightfv(GL_LIGHT0, GL_POSITION, positionInFrame.position);
    }
}

bool lightPositionSetInFrame(Matrix4 &modelview)
{
    modelview = positionInFrame.setUnder;
    return positionInFrame.on;
}

void frameDone()
{
    positionInFrame.set = false;
}

void replaceMaterialValue(GLenum pname, int count, const GLfloat from[4], const GLfloat to[4])
{
    MaterialReplacement r = {pname, count, {}, {}};
    std::copy_n(from, 4, r.from);
    std::copy_n(to, 4, r.to);
    materials.replacements.push_back(r);
}

void forgetMaterialReplacements()
{
    materials.replacements.clear();
}

bool setLightingSwitch(GLenum cap, bool on)
{
    LightSource *light = lightNamed(cap);
    bool *flag = cap == GL_LIGHTING    ? &lighting.enabled
                 : cap == GL_NORMALIZE ? &lighting.normalize
                 : light != nullptr    ? &light->enabled
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
    LightSource *source = lightNamed(light);
    if (source == nullptr) {
        unsupported("glLightfv", light);
        return;
    }
    int count = 0;
    GLfloat *target = lightParameter(*source, pname, count);
    if (target == nullptr) {
        unsupported("glLightfv", pname);
        return;
    }
    if (count == 1 && !inRange(pname, params[0])) {
        return;
    }
    drawGatheredPolygons();
    // GL keeps the position and the spot direction in eye coordinates, taken through the
    // modelview matrix in force now: a light set while it is the identity stays put as the model
    // turns. The direction is turned by the matrix itself, not its inverse transpose, as GL says.
    const Matrix4 &modelview = glState.transform.modelview.top();
    if (pname == GL_POSITION) {
        transform(modelview, params, source->position);
    } else if (pname == GL_SPOT_DIRECTION) {
        const GLfloat direction[4] = {params[0], params[1], params[2], 0.0f};
        GLfloat eye[4];
        transform(modelview, direction, eye);
        std::copy_n(eye, 3, source->spotDirection);
    } else {
        std::copy_n(params, count, target);
    }
}

void glLightf(GLenum light, GLenum pname, GLfloat param)
{
    int count = 0;
    LightSource any = {};
    if (lightParameter(any, pname, count) != nullptr && count != 1) {
        unsupported("glLightf", pname);
        return;
    }
    glLightfv(light, pname, &param);
}

void glLightModelfv(GLenum pname, const GLfloat *params)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    bool *flag = pname == GL_LIGHT_MODEL_TWO_SIDE       ? &lighting.twoSide
                 : pname == GL_LIGHT_MODEL_LOCAL_VIEWER ? &lighting.localViewer
                                                        : nullptr;
    if (flag == nullptr && pname != GL_LIGHT_MODEL_AMBIENT) {
        unsupported("glLightModelfv", pname);
        return;
    }
    drawGatheredPolygons();
    if (flag != nullptr) {
        *flag = params[0] != 0.0f;
    } else {
        copy4(params, lighting.sceneAmbient);
    }
}

void glLightModelf(GLenum pname, GLfloat param)
{
    if (pname == GL_LIGHT_MODEL_AMBIENT) {
        unsupported("glLightModelf", pname);
        return;
    }
    glLightModelfv(pname, &param);
}

// Materials may change between polygons without ending a draw: each draw carries a small table
// of them. Changing one between glBegin and glEnd is not supported. What the program passes goes
// through the lab first, which puts its own numbers in place of the program's constants.
void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params)
{
    if (glState.polygons.insideBeginEnd) {
        unsupported("glMaterialfv between glBegin and glEnd", pname);
        return;
    }
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        unsupported("glMaterialfv", face);
        return;
    }
    params = replaced(pname, params);
    if (pname == GL_SHININESS && !inRange(pname, params[0])) {
        return;
    }
    const bool known = (face == GL_BACK || setMaterial(materials.front, pname, params)) &&
                       (face == GL_FRONT || setMaterial(materials.back, pname, params));
    if (!known) {
        unsupported("glMaterialfv", pname);
        return;
    }
    ++materials.changes;
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    if (pname != GL_SHININESS) {
        unsupported("glMaterialf", pname);
        return;
    }
    glMaterialfv(face, pname, &param);
}

// Flat shading is worked out as each polygon is gathered: polygons gathered before the change
// are drawn first.
void glShadeModel(GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (mode != GL_SMOOTH && mode != GL_FLAT) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    drawGatheredPolygons();
    lighting.flat = mode == GL_FLAT;
}

} // extern "C"
