// Drawing with the lighting shader (shader.cpp) in a WebGL context, the picture's own draws and
// the listeners they are handed to, the per-fragment state the viewer sets (depth test and mask,
// clear values, viewport) and GL's error flag.
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

namespace {

constexpr GLuint POSITION = 0, NORMAL = 1, MATERIAL = 2, FLAT_ATTRIBUTE = 3;
constexpr int VEC4S_PER_MATERIAL = 4;

FragmentState &fragment = glState.fragment;

// The picture's: the canvas GLUT's window is.
Renderer picture = {};

const FrameListener *listeners[MAX_LISTENERS] = {};

GLuint compile(GLenum type, const ShaderText &text)
{
    const GLuint shader = emscripten_glCreateShader(type);
    GLsizei count = 0;
    while (count < 4 && text.parts[count] != nullptr) {
        ++count;
    }
    emscripten_glShaderSource(shader, count, text.parts, nullptr);
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

// Per pixel the equation needs a float's full precision for positions, where the GPU has it.
constexpr const char *FRAGMENT_PRECISION = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
)";

// The lighting shader program, compiled with or without the whole model, lighting per corner or
// per pixel; false if WebGL refused it.
bool makeProgram(bool fullModel, bool perPixel, LightingProgram &made)
{
    char header[96];
    std::snprintf(header, sizeof header, "#define MATERIALS %zu\n%s%s", MATERIALS_PER_DRAW,
                  fullModel ? "#define FULL_MODEL\n" : "", perPixel ? "#define PER_PIXEL\n" : "");
    const char *const attributes[] = {"position", "normal", "material", "flatAttribute"};
    const ShaderText vertexText = {
        {header, perPixel ? "" : LIGHTING_EQUATION, LIGHTING_VERTEX_SHADER, nullptr}};
    const ShaderText fragmentText = {
        {header, FRAGMENT_PRECISION, perPixel ? LIGHTING_EQUATION : "", LIGHTING_FRAGMENT_SHADER}};
    const GLuint program = linkProgram(vertexText, fragmentText, attributes, 4);
    if (program == 0) {
        return false;
    }
    const auto at = [program](const char *name) {
        return emscripten_glGetUniformLocation(program, name);
    };
    made = {program,
            at("projection"),
            at("materials"),
            at("lightPosition"),
            at("attenuated"),
            at("attenuation"),
            at("spotlight"),
            at("spotDirection"),
            at("spotCosCutoff"),
            at("spotExponent"),
            at("localViewer"),
            at("flatShading"),
            at("lighting"),
            at("light0"),
            at("normalizeNormals")};
    return true;
}

void setCapability(GLenum cap, bool on)
{
    if (refusedInsideBeginEnd() || setLightingSwitch(cap, on)) {
        return;
    }
    if (cap == GL_CULL_FACE) {
        // Culled on the CPU as polygons arrive, so that it also holds for lines and points.
        glState.polygons.culling = on;
    } else if (cap == GL_DEPTH_TEST) {
        drawGatheredPolygons();
        on ? emscripten_glEnable(cap) : emscripten_glDisable(cap);
        fragment.depthTest = on;
    } else {
        unsupported(on ? "glEnable" : "glDisable", cap);
    }
}

// A material's entry for the shader: the four vec4s its comment lists.
void lightProducts(const FaceMaterial &material, const LightingState &lighting, GLfloat *entry)
{
    const LightSource &light = lighting.lights[0];
    for (int c = 0; c < 3; ++c) {
        entry[c] = material.emission[c] + material.ambient[c] * lighting.sceneAmbient[c];
        entry[4 + c] = material.ambient[c] * light.ambient[c];
        entry[8 + c] = material.diffuse[c] * light.diffuse[c];
        entry[12 + c] = material.specular[c] * light.specular[c];
    }
    entry[3] = material.diffuse[3];
    entry[7] = entry[11] = 0.0f;
    entry[15] = material.shininess;
}

// Under GL_FLAT the shader's flatAttribute for the next draw, three numbers a vertex: per corner,
// each vertex's polygon's first corner; per pixel, each vertex's own normal. Null otherwise, when
// the shader reads none and none is fetched.
void giveFlatAttribute(Renderer &renderer, const Draw &draw)
{
    const GLfloat *given = renderer.perPixel ? draw.cornerNormals : draw.firstCorners;
    if (given != nullptr) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, renderer.flatBuffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(3 * draw.vertexCount * sizeof(GLfloat)),
                                given, GL_STREAM_DRAW);
        emscripten_glVertexAttribPointer(FLAT_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, renderer.vertexBuffer);
    }
    if ((given != nullptr) != renderer.flatGiven) {
        renderer.flatGiven = given != nullptr;
        renderer.flatGiven ? emscripten_glEnableVertexAttribArray(FLAT_ATTRIBUTE)
                           : emscripten_glDisableVertexAttribArray(FLAT_ATTRIBUTE);
    }
}

// Attenuation other than GL's initial (1, 0, 0), which divides by 1.
bool attenuated(const LightSource &light)
{
    const GLfloat *k = light.attenuation;
    return k[0] != 1.0f || k[1] != 0.0f || k[2] != 0.0f;
}

// Whether the light and the light model go beyond what the plain shader works out.
bool needsFullModel(const LightingState &lighting)
{
    const LightSource &light = lighting.lights[0];
    return light.spotCutoff != NO_SPOTLIGHT || attenuated(light) || lighting.localViewer ||
           lighting.flat;
}

} // namespace

GLuint linkProgram(const ShaderText &vertexText, const ShaderText &fragmentText,
                   const char *const attributes[], int attributeCount)
{
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertexText));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentText));
    for (int i = 0; i < attributeCount; ++i) {
        emscripten_glBindAttribLocation(program, static_cast<GLuint>(i), attributes[i]);
    }
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = "";
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "The GL layer's shader program did not link: %s\n", log);
        return 0;
    }
    return program;
}

void bindRenderer(Renderer &renderer)
{
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, renderer.vertexBuffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, renderer.indexBuffer);
    constexpr GLsizei stride = sizeof(BatchVertex);
    emscripten_glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, position)));
    emscripten_glVertexAttribPointer(NORMAL, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, normal)));
    emscripten_glVertexAttribPointer(MATERIAL, 1, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(BatchVertex, material)));
    for (const GLuint attribute : {POSITION, NORMAL, MATERIAL}) {
        emscripten_glEnableVertexAttribArray(attribute);
    }
    renderer.flatGiven = false;
    emscripten_glDisableVertexAttribArray(FLAT_ATTRIBUTE);
    renderer.inUse = nullptr;
}

bool makeRenderer(Renderer &renderer, bool perPixel)
{
    renderer = {};
    renderer.perPixel = perPixel;
    if (!makeProgram(false, perPixel, renderer.plain) ||
        !makeProgram(true, perPixel, renderer.full)) {
        return false;
    }
    emscripten_glGenBuffers(1, &renderer.vertexBuffer);
    emscripten_glGenBuffers(1, &renderer.indexBuffer);
    emscripten_glGenBuffers(1, &renderer.flatBuffer);
    bindRenderer(renderer);
    // WebGL dithers by default; Mesa's software renderer never does.
    emscripten_glDisable(GL_DITHER);
    return true;
}

void useLighting(Renderer &renderer, const LightingState &lighting, const Matrix4 &projection,
                 const FaceMaterial *materials, std::size_t materialCount)
{
    GLfloat table[MATERIALS_PER_DRAW * VEC4S_PER_MATERIAL * 4];
    for (std::size_t i = 0; i < materialCount; ++i) {
        lightProducts(materials[i], lighting, table + i * VEC4S_PER_MATERIAL * 4);
    }
    const LightingProgram &program = needsFullModel(lighting) ? renderer.full : renderer.plain;
    if (renderer.inUse != &program) {
        emscripten_glUseProgram(program.name);
        renderer.inUse = &program;
    }
    const LightSource &light = lighting.lights[0];
    emscripten_glUniformMatrix4fv(program.projection, 1, GL_FALSE, projection.m);
    emscripten_glUniform4fv(program.materials,
                            static_cast<GLsizei>(materialCount * VEC4S_PER_MATERIAL), table);
    emscripten_glUniform4fv(program.lightPosition, 1, light.position);
    emscripten_glUniform1i(program.lighting, lighting.enabled);
    emscripten_glUniform1i(program.light0, light.enabled);
    emscripten_glUniform1i(program.normalize, lighting.normalize);
    if (&program == &renderer.full) {
        const equation::Light<GLfloat> shaded = equationLight(light);
        const GLfloat spotDirection[3] = {shaded.spotDirection.x, shaded.spotDirection.y,
                                          shaded.spotDirection.z};
        emscripten_glUniform1i(program.attenuated, attenuated(light));
        emscripten_glUniform3fv(program.attenuation, 1, light.attenuation);
        emscripten_glUniform1i(program.spotlight, shaded.spotlight);
        emscripten_glUniform3fv(program.spotDirection, 1, spotDirection);
        emscripten_glUniform1f(program.spotCosCutoff, shaded.spotCosCutoff);
        emscripten_glUniform1f(program.spotExponent, light.spotExponent);
        emscripten_glUniform1i(program.localViewer, lighting.localViewer);
        emscripten_glUniform1i(program.flatShading, lighting.flat);
    }
}

void drawVertices(Renderer &renderer, const Draw &draw)
{
    giveFlatAttribute(renderer, draw);
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(draw.vertexCount * sizeof(BatchVertex)),
                            draw.vertices, GL_STREAM_DRAW);
    if (draw.primitive == GL_POINTS) {
        emscripten_glDrawArrays(draw.primitive, 0, static_cast<GLsizei>(draw.vertexCount));
    } else {
        emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(draw.indexCount * sizeof(GLushort)),
                                draw.indices, GL_STREAM_DRAW);
        emscripten_glDrawElements(draw.primitive, static_cast<GLsizei>(draw.indexCount),
                                  GL_UNSIGNED_SHORT, nullptr);
    }
}

void drawGathered(const Draw &draw, bool startsRun)
{
    if (startsRun) {
        useLighting(picture, *draw.lighting, *draw.projection, draw.materials, draw.materialCount);
    }
    drawVertices(picture, draw);
    // Hands the draw to the renderer now, so that it draws this part while the next is gathered;
    // without the flush the browser held the draws back and the renderer began at the frame's end.
    emscripten_glFlush();
    for (const FrameListener *listener : listeners) {
        if (listener != nullptr && listener->drawn != nullptr) {
            listener->drawn(draw);
        }
    }
}

void listenToFrames(const FrameListener *listener, bool on)
{
    for (const FrameListener *&slot : listeners) {
        if (slot == listener) {
            slot = nullptr;
        }
    }
    if (!on) {
        return;
    }
    for (const FrameListener *&slot : listeners) {
        if (slot == nullptr) {
            slot = listener;
            return;
        }
    }
    std::fprintf(stderr, "The GL layer has no room for another listener\n");
    std::abort();
}

bool startGlLayer()
{
    watchSpotReach();
    return makeRenderer(picture);
}

bool restartGlLayer()
{
    for (const FrameListener *listener : listeners) {
        if (listener != nullptr && listener->contextLost != nullptr) {
            listener->contextLost();
        }
    }
    if (!startGlLayer()) {
        return false;
    }
    emscripten_glClearColor(fragment.clearColour[0], fragment.clearColour[1],
                            fragment.clearColour[2], fragment.clearColour[3]);
    emscripten_glClearDepthf(fragment.clearDepth);
    fragment.depthTest ? emscripten_glEnable(GL_DEPTH_TEST) : emscripten_glDisable(GL_DEPTH_TEST);
    emscripten_glDepthMask(fragment.depthMask);
    if (fragment.viewportSet) {
        emscripten_glViewport(fragment.viewport[0], fragment.viewport[1], fragment.viewport[2],
                              fragment.viewport[3]);
    }
    return true;
}

void currentViewport(GLint viewport[4])
{
    if (fragment.viewportSet) {
        std::copy_n(fragment.viewport, 4, viewport);
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

void finishFrame()
{
    drawGatheredPolygons();
    frameDone();
    for (const FrameListener *listener : listeners) {
        if (listener != nullptr && listener->finished != nullptr) {
            listener->finished();
        }
    }
}

void recordError(GLenum error)
{
    // GL keeps the first error until glGetError reads it.
    if (glState.error == GL_NO_ERROR) {
        glState.error = error;
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

extern "C" {

GLenum glGetError()
{
    const GLenum error = glState.error;
    glState.error = GL_NO_ERROR;
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
        for (const FrameListener *listener : listeners) {
            if (listener != nullptr && listener->cleared != nullptr) {
                listener->cleared();
            }
        }
    }
    emscripten_glClear(mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    fragment.clearColour[0] = red;
    fragment.clearColour[1] = green;
    fragment.clearColour[2] = blue;
    fragment.clearColour[3] = alpha;
    emscripten_glClearColor(red, green, blue, alpha);
}

void glClearDepth(GLclampd depth)
{
    fragment.clearDepth = static_cast<GLfloat>(depth);
    emscripten_glClearDepthf(fragment.clearDepth);
}

void glDepthMask(GLboolean flag)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glDepthMask(flag);
    fragment.depthMask = flag;
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    drawGatheredPolygons();
    emscripten_glViewport(x, y, width, height);
    fragment.viewportSet = true;
    fragment.viewport[0] = x;
    fragment.viewport[1] = y;
    fragment.viewport[2] = width;
    fragment.viewport[3] = height;
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
