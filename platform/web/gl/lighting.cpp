// Light 0, the light model, the materials of both faces and the shade model: the inputs of the
// lighting equation the vertex shader evaluates.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// GL's initial values: lighting off, the light at (0, 0, 1, 0) with no ambient and white diffuse
// and specular, no spotlight and no attenuation, a global ambient of 0.2, a viewer at infinity,
// one-sided lighting, smooth shading.
LightingState lighting = {false,
                          false,
                          false,
                          false,
                          false,
                          false,
                          {0.2f, 0.2f, 0.2f, 1.0f},
                          {0.0f, 0.0f, 1.0f, 0.0f},
                          {0.0f, 0.0f, 0.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f},
                          {1.0f, 1.0f, 1.0f, 1.0f},
                          {0.0f, 0.0f, -1.0f},
                          0.0f,
                          NO_SPOTLIGHT,
                          {1.0f, 0.0f, 0.0f}};

// GL's initial material, on both faces.
constexpr FaceMaterial DEFAULT_MATERIAL = {{0.2f, 0.2f, 0.2f, 1.0f},
                                           {0.8f, 0.8f, 0.8f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           0.0f};
FaceMaterial front = DEFAULT_MATERIAL;
FaceMaterial back = DEFAULT_MATERIAL;
unsigned materialChanges = 0;

// The page's lab's numbers for constants the program passes to glMaterialfv.
struct Replacement {
    GLenum pname;
    int count;
    GLfloat from[4];
    GLfloat to[4];
};
std::vector<Replacement> replacements;

const GLfloat *replaced(GLenum pname, const GLfloat *params)
{
    for (const Replacement &r : replacements) {
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

// Where glLightfv keeps a parameter of light 0, and how many numbers it takes.
GLfloat *lightParameter(GLenum pname, int &count)
{
    count = pname == GL_SPOT_DIRECTION ? 3 : 4;
    switch (pname) {
    case GL_AMBIENT:
        return lighting.lightAmbient;
    case GL_DIFFUSE:
        return lighting.lightDiffuse;
    case GL_SPECULAR:
        return lighting.lightSpecular;
    case GL_POSITION:
        return lighting.lightPosition;
    case GL_SPOT_DIRECTION:
        return lighting.spotDirection;
    default:
        count = 1;
        return pname == GL_SPOT_EXPONENT           ? &lighting.spotExponent
               : pname == GL_SPOT_CUTOFF           ? &lighting.spotCutoff
               : pname == GL_CONSTANT_ATTENUATION  ? &lighting.attenuation[0]
               : pname == GL_LINEAR_ATTENUATION    ? &lighting.attenuation[1]
               : pname == GL_QUADRATIC_ATTENUATION ? &lighting.attenuation[2]
                                                   : nullptr;
    }
}

} // namespace

const LightingState &lightingState()
{
    return lighting;
}

GLfloat spotCosCutoff(const LightingState &state)
{
    constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;
    return static_cast<GLfloat>(std::cos(state.spotCutoff * RADIANS_PER_DEGREE));
}

void unitSpotDirection(const LightingState &state, GLfloat direction[3])
{
    const GLfloat *d = state.spotDirection;
    const GLfloat length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; ++i) {
        direction[i] = d[i] / length;
    }
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

void replaceMaterialValue(GLenum pname, int count, const GLfloat from[4], const GLfloat to[4])
{
    Replacement r = {pname, count, {}, {}};
    std::copy_n(from, 4, r.from);
    std::copy_n(to, 4, r.to);
    replacements.push_back(r);
}

void forgetMaterialReplacements()
{
    replacements.clear();
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
    int count = 0;
    GLfloat *target = lightParameter(pname, count);
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
    if (pname == GL_POSITION) {
        transform(modelviewMatrix(), params, lighting.lightPosition);
    } else if (pname == GL_SPOT_DIRECTION) {
        const GLfloat direction[4] = {params[0], params[1], params[2], 0.0f};
        GLfloat eye[4];
        transform(modelviewMatrix(), direction, eye);
        std::copy_n(eye, 3, lighting.spotDirection);
    } else {
        std::copy_n(params, count, target);
    }
}

void glLightf(GLenum light, GLenum pname, GLfloat param)
{
    int count = 0;
    if (lightParameter(pname, count) != nullptr && count != 1) {
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
    if (insideBeginEnd()) {
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
