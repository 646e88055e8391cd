// The shader that evaluates OpenGL 1.x's lighting equation per vertex, the draw that feeds it, the
// per-fragment state the viewer sets (depth test and mask, clear values, viewport) and GL's error
// flag. That state is also kept here, because a lost WebGL context comes back with none of it.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

// Per vertex, as OpenGL 1.x writes the equation for one light: emission + ambient x global
// ambient + attenuation x spot x (ambient x light ambient + (n . L) diffuse x light diffuse +
// f (n . h)^shininess specular x light specular), with L the unit vector to the light, h the unit
// vector half way from L to the eye (straight along +z for a viewer at infinity), dot products
// clamped at 0, f = 0 where the clamped n . L is 0 (no highlight where the light does not reach),
// and the sum clamped to 0..1. Attenuation, 1 / (constant + linear d + quadratic d^2) at distance
// d, is 1 for a directional light. The spot factor, 1 without a spotlight, is (-L . D)^exponent
// inside the cone about the spot direction D and 0 outside it. Alpha is the diffuse material's.
// Under GL_FLAT every corner of a polygon is lit at its first corner, with its normal and its
// material, which takes the place of the flat interpolation WebGL 1 lacks.
//
// The shader is compiled twice. Where the light has no spot and no attenuation, the viewer is at
// infinity and the shading smooth, as the viewer leaves them, the three functions that follow
// (reach, litAt, towardsEye) are their constants; otherwise, with FULL_MODEL defined, they work
// those out. A GPU on the CPU runs both sides of an if for every vertex, so leaving the work out
// altogether keeps the viewer's own frames as quick as they were.
//
// As in Mesa, the products of material and light colours, which are the same at every vertex,
// are formed once per draw (lightProducts below); the shader looks up four vec4s a material.
const char *const VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec3 normal;
attribute float material;
attribute vec3 firstCorner; // the polygon's, under GL_FLAT

uniform mat4 projection;
// Per material: (emission + ambient x global ambient, diffuse alpha), ambient x light ambient,
// diffuse x light diffuse, (specular x light specular, shininess).
uniform vec4 materials[MATERIALS * 4];
uniform vec4 lightPosition; // eye coordinates
uniform bool attenuated;    // not GL's initial (1, 0, 0), which divides by 1
uniform vec3 attenuation;   // constant, linear, quadratic
uniform bool spotlight;
uniform vec3 spotDirection; // eye coordinates, unit length
uniform float spotCosCutoff;
uniform float spotExponent;
uniform bool localViewer;
uniform bool flatShading;
uniform bool lighting;
uniform bool light0;
uniform bool normalizeNormals;

varying vec4 colour;

// x^e, with x^0 = 1 also for x = 0, where GLSL's pow is undefined, and 0 for x <= 0 otherwise.
float power(float x, float e)
{
    if (e == 0.0) {
        return 1.0;
    }
    return x > 0.0 ? pow(x, e) : 0.0;
}

#ifdef FULL_MODEL
// Attenuation x spot, for the unit vector l along toLight, from the corner to the light.
float reach(vec3 toLight, vec3 l)
{
    float factor = 1.0;
    if (attenuated && lightPosition.w != 0.0) {
        float d = length(toLight);
        factor = 1.0 / dot(attenuation, vec3(1.0, d, d * d));
    }
    if (spotlight) {
        float spot = dot(-l, spotDirection);
        factor *= spot > spotCosCutoff ? power(spot, spotExponent) : 0.0;
    }
    return factor;
}

vec3 litAt()
{
    return flatShading ? firstCorner : position;
}

vec3 towardsEye(vec3 corner)
{
    return localViewer ? normalize(-corner) : vec3(0.0, 0.0, 1.0);
}
#else
float reach(vec3 toLight, vec3 l)
{
    return 1.0;
}

vec3 litAt()
{
    return position;
}

vec3 towardsEye(vec3 corner)
{
    return vec3(0.0, 0.0, 1.0);
}
#endif

void main()
{
    gl_Position = projection * vec4(position, 1.0);
    gl_PointSize = 1.0;
    if (!lighting) {
        colour = vec4(1.0); // GL's current colour, which this layer never changes
        return;
    }
    int m = int(material) * 4;
    vec3 corner = litAt();
    vec4 sum = materials[m];
    if (light0) {
        vec3 n = normalizeNormals ? normalize(normal) : normal;
        vec3 toLight = lightPosition.w != 0.0 ? lightPosition.xyz / lightPosition.w - corner
                                              : lightPosition.xyz;
        vec3 l = normalize(toLight);
        float nDotL = dot(n, l);
        vec3 lit = materials[m + 1].rgb + max(nDotL, 0.0) * materials[m + 2].rgb;
        if (nDotL > 0.0) {
            vec3 h = normalize(l + towardsEye(corner));
            vec4 specular = materials[m + 3];
            lit += power(max(dot(n, h), 0.0), specular.w) * specular.rgb;
        }
        sum.rgb += reach(toLight, l) * lit;
    }
    colour = clamp(sum, 0.0, 1.0);
}
)";

const char *const FRAGMENT_SHADER = R"(
precision mediump float;
varying vec4 colour;
void main()
{
    gl_FragColor = colour;
}
)";

constexpr GLuint POSITION = 0, NORMAL = 1, MATERIAL = 2, FIRST_CORNER = 3;
constexpr int VEC4S_PER_MATERIAL = 4;

GLuint vertexBuffer = 0;
GLuint indexBuffer = 0;
GLuint firstCornerBuffer = 0;
bool firstCornersGiven = false;
struct Uniforms {
    GLint projection, materials, lightPosition, attenuated, attenuation, spotlight, spotDirection,
        spotCosCutoff, spotExponent, localViewer, flatShading, lighting, light0, normalize;
};
// The shader as the viewer's own light needs it, and with the whole model (FULL_MODEL).
struct Program {
    GLuint name;
    Uniforms uniforms;
};
Program plain, full;
const Program *inUse = nullptr;
GLenum pendingError = GL_NO_ERROR;

// What the program has set of WebGL's own state, with GL's initial values.
struct FragmentState {
    GLfloat clearColour[4];
    GLfloat clearDepth;
    bool depthTest;
    GLboolean depthMask;
    bool viewportSet;
    GLint viewport[4];
};
FragmentState fragmentState = {{0.0f, 0.0f, 0.0f, 0.0f}, 1.0f, false, GL_TRUE, false, {}};

GLuint compile(GLenum type, const char *source, bool fullModel)
{
    const GLuint shader = emscripten_glCreateShader(type);
    char header[64];
    std::snprintf(header, sizeof header, "#define MATERIALS %zu\n%s", MATERIALS_PER_DRAW,
                  fullModel ? "#define FULL_MODEL\n" : "");
    const char *const parts[] = {header, source};
    emscripten_glShaderSource(shader, 2, parts, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "The GL layer's shader did not compile: %s\n", log);
    }
    return shader;
}

void setCapability(GLenum cap, bool on)
{
    if (refusedInsideBeginEnd() || setLightingSwitch(cap, on)) {
        return;
    }
    if (cap == GL_CULL_FACE) {
        // Culled on the CPU as polygons arrive, so that it also holds for lines and points.
        setCulling(on);
    } else if (cap == GL_DEPTH_TEST) {
        drawGatheredPolygons();
        on ? emscripten_glEnable(cap) : emscripten_glDisable(cap);
        fragmentState.depthTest = on;
    } else {
        unsupported(on ? "glEnable" : "glDisable", cap);
    }
}

// A material's entry for the shader: the four vec4s its comment lists.
void lightProducts(const FaceMaterial &material, const LightingState &lighting, GLfloat *entry)
{
    for (int c = 0; c < 3; ++c) {
        entry[c] = material.emission[c] + material.ambient[c] * lighting.sceneAmbient[c];
        entry[4 + c] = material.ambient[c] * lighting.lightAmbient[c];
        entry[8 + c] = material.diffuse[c] * lighting.lightDiffuse[c];
        entry[12 + c] = material.specular[c] * lighting.lightSpecular[c];
    }
    entry[3] = material.diffuse[3];
    entry[7] = entry[11] = 0.0f;
    entry[15] = material.shininess;
}

// Under GL_FLAT each vertex's polygon's first corner, three numbers a vertex, for the next draw;
// null otherwise, when the shader reads none and none is fetched.
void giveFirstCorners(const GLfloat *firstCorners, std::size_t vertexCount)
{
    if (firstCorners != nullptr) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, firstCornerBuffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(3 * vertexCount * sizeof(GLfloat)),
                                firstCorners, GL_STREAM_DRAW);
        emscripten_glVertexAttribPointer(FIRST_CORNER, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    }
    if ((firstCorners != nullptr) != firstCornersGiven) {
        firstCornersGiven = firstCorners != nullptr;
        firstCornersGiven ? emscripten_glEnableVertexAttribArray(FIRST_CORNER)
                          : emscripten_glDisableVertexAttribArray(FIRST_CORNER);
    }
}

// The shader program, compiled with or without the whole model; false if WebGL refused it.
bool makeProgram(bool fullModel, Program &made)
{
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, VERTEX_SHADER, fullModel));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER, fullModel));
    emscripten_glBindAttribLocation(program, POSITION, "position");
    emscripten_glBindAttribLocation(program, NORMAL, "normal");
    emscripten_glBindAttribLocation(program, MATERIAL, "material");
    emscripten_glBindAttribLocation(program, FIRST_CORNER, "firstCorner");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = "";
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "The GL layer's shader program did not link: %s\n", log);
        return false;
    }
    const auto at = [program](const char *name) {
        return emscripten_glGetUniformLocation(program, name);
    };
    made = {program,
            {at("projection"), at("materials"), at("lightPosition"), at("attenuated"),
             at("attenuation"), at("spotlight"), at("spotDirection"), at("spotCosCutoff"),
             at("spotExponent"), at("localViewer"), at("flatShading"), at("lighting"), at("light0"),
             at("normalizeNormals")}};
    return true;
}

// Attenuation other than GL's initial (1, 0, 0), which divides by 1.
bool attenuated(const LightingState &lighting)
{
    const GLfloat *k = lighting.attenuation;
    return k[0] != 1.0f || k[1] != 0.0f || k[2] != 0.0f;
}

// Whether the light and the light model go beyond what the plain shader works out.
bool needsFullModel(const LightingState &lighting)
{
    return lighting.spotCutoff != NO_SPOTLIGHT || attenuated(lighting) || lighting.localViewer ||
           lighting.flat;
}

} // namespace

bool startGlLayer()
{
    if (!makeProgram(false, plain) || !makeProgram(true, full)) {
        return false;
    }
    inUse = nullptr;

    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glGenBuffers(1, &indexBuffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    emscripten_glGenBuffers(1, &firstCornerBuffer);
    constexpr GLsizei stride = sizeof(BatchVertex);
    emscripten_glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, position)));
    emscripten_glVertexAttribPointer(NORMAL, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, normal)));
    emscripten_glVertexAttribPointer(MATERIAL, 1, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, material)));
    firstCornersGiven = false;
    for (const GLuint attribute : {POSITION, NORMAL, MATERIAL}) {
        emscripten_glEnableVertexAttribArray(attribute);
    }
    // WebGL dithers by default; Mesa's software renderer never does.
    emscripten_glDisable(GL_DITHER);
    return true;
}

bool restartGlLayer()
{
    forgetProbeObjects();
    if (!startGlLayer()) {
        return false;
    }
    const FragmentState &set = fragmentState;
    emscripten_glClearColor(set.clearColour[0], set.clearColour[1], set.clearColour[2],
                            set.clearColour[3]);
    emscripten_glClearDepthf(set.clearDepth);
    set.depthTest ? emscripten_glEnable(GL_DEPTH_TEST) : emscripten_glDisable(GL_DEPTH_TEST);
    emscripten_glDepthMask(set.depthMask);
    if (set.viewportSet) {
        emscripten_glViewport(set.viewport[0], set.viewport[1], set.viewport[2], set.viewport[3]);
    }
    return true;
}

void currentViewport(GLint viewport[4])
{
    if (fragmentState.viewportSet) {
        std::copy_n(fragmentState.viewport, 4, viewport);
        return;
    }
    // GL's initial viewport is the window's size when the context was made current.
    int width = 0, height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width,
                                             &height);
    viewport[0] = viewport[1] = 0;
    viewport[2] = width;
    viewport[3] = height;
}

void sendDrawState(const FaceMaterial *materials, std::size_t materialCount)
{
    const LightingState &lighting = lightingState();
    GLfloat table[MATERIALS_PER_DRAW * VEC4S_PER_MATERIAL * 4];
    for (std::size_t i = 0; i < materialCount; ++i) {
        lightProducts(materials[i], lighting, table + i * VEC4S_PER_MATERIAL * 4);
    }
    const Program &program = needsFullModel(lighting) ? full : plain;
    if (inUse != &program) {
        emscripten_glUseProgram(program.name);
        inUse = &program;
    }
    const Uniforms &u = program.uniforms;
    emscripten_glUniformMatrix4fv(u.projection, 1, GL_FALSE, projectionMatrix().m);
    emscripten_glUniform4fv(u.materials, static_cast<GLsizei>(materialCount * VEC4S_PER_MATERIAL),
                            table);
    emscripten_glUniform4fv(u.lightPosition, 1, lighting.lightPosition);
    emscripten_glUniform1i(u.lighting, lighting.enabled);
    emscripten_glUniform1i(u.light0, lighting.light0);
    emscripten_glUniform1i(u.normalize, lighting.normalize);
    if (&program == &full) {
        GLfloat spotDirection[3];
        unitSpotDirection(lighting, spotDirection);
        emscripten_glUniform1i(u.attenuated, attenuated(lighting));
        emscripten_glUniform3fv(u.attenuation, 1, lighting.attenuation);
        emscripten_glUniform1i(u.spotlight, lighting.spotCutoff != NO_SPOTLIGHT);
        emscripten_glUniform3fv(u.spotDirection, 1, spotDirection);
        emscripten_glUniform1f(u.spotCosCutoff, spotCosCutoff(lighting));
        emscripten_glUniform1f(u.spotExponent, lighting.spotExponent);
        emscripten_glUniform1i(u.localViewer, lighting.localViewer);
        emscripten_glUniform1i(u.flatShading, lighting.flat);
    }
}

void drawVertices(GLenum primitive, const BatchVertex *vertices, std::size_t vertexCount,
                  const GLushort *indices, std::size_t indexCount, const GLfloat *firstCorners)
{
    giveFirstCorners(firstCorners, vertexCount);
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(vertexCount * sizeof(BatchVertex)), vertices,
                            GL_STREAM_DRAW);
    if (primitive == GL_POINTS) {
        emscripten_glDrawArrays(primitive, 0, static_cast<GLsizei>(vertexCount));
    } else {
        emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(indexCount * sizeof(GLushort)), indices,
                                GL_STREAM_DRAW);
        emscripten_glDrawElements(primitive, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT,
                                  nullptr);
    }
    // Hands the draw to the renderer now, so that it draws this part while the next is gathered;
    // without the flush the browser held the draws back and the renderer began at the frame's end.
    emscripten_glFlush();
}

void finishFrame()
{
    drawGatheredPolygons();
    keepFrameForProbe();
}

void recordError(GLenum error)
{
    // GL keeps the first error until glGetError reads it.
    if (pendingError == GL_NO_ERROR) {
        pendingError = error;
    }
}

void refuse(const char *what, GLenum error)
{
    std::fprintf(stderr, "%s is outside the subset of GL this layer implements\n", what);
#ifndef NDEBUG
    static_cast<void>(error);
    std::abort();
#else
    recordError(error);
#endif
}

void unsupported(const char *call, GLenum value)
{
    char what[128];
    std::snprintf(what, sizeof what, "%s: 0x%04X", call, value);
    refuse(what, GL_INVALID_ENUM);
}

bool refusedInsideBeginEnd()
{
    if (insideBeginEnd()) {
        recordError(GL_INVALID_OPERATION);
        return true;
    }
    return false;
}

extern "C" {

GLenum glGetError()
{
    const GLenum error = pendingError;
    pendingError = GL_NO_ERROR;
    return error != GL_NO_ERROR ? error : emscripten_glGetError();
}

void glEnable(GLenum cap)
{
    setCapability(cap, true);
}

void glDisable(GLenum cap)
{
    setCapability(cap, false);
}

void glClear(GLbitfield mask)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        forgetDrawsForProbe();
    }
    emscripten_glClear(mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    fragmentState.clearColour[0] = red;
    fragmentState.clearColour[1] = green;
    fragmentState.clearColour[2] = blue;
    fragmentState.clearColour[3] = alpha;
    emscripten_glClearColor(red, green, blue, alpha);
}

void glClearDepth(GLclampd depth)
{
    fragmentState.clearDepth = static_cast<GLfloat>(depth);
    emscripten_glClearDepthf(fragmentState.clearDepth);
}

void glDepthMask(GLboolean flag)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glDepthMask(flag);
    fragmentState.depthMask = flag;
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glViewport(x, y, width, height);
    fragmentState.viewportSet = true;
    fragmentState.viewport[0] = x;
    fragmentState.viewport[1] = y;
    fragmentState.viewport[2] = width;
    fragmentState.viewport[3] = height;
}

void glFlush()
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glFlush();
}

void glFinish()
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glFinish();
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid *pixels)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glReadPixels(x, y, width, height, format, type, pixels);
}

} // extern "C"
