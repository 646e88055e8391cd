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

constexpr GLuint POSITION = 0, NORMAL = 1, MATERIAL = 2, FLAT_ATTRIBUTE = 3, OWN_NORMAL = 4;
static_assert(OWN_NORMAL + 1 == LIGHTING_ATTRIBUTES, "every attribute of the lighting shader");

FragmentState &fragment = glState.fragment;

// The picture's: the canvas GLUT's window is.
Renderer picture = {};

const FrameListener *listeners[MAX_LISTENERS] = {};

GLuint compile(GLenum type, const ShaderText &text)
{
    const GLuint shader = emscripten_glCreateShader(type);
    GLsizei count = 0;
    while (count < SHADER_TEXT_PARTS && text.parts[count] != nullptr) {
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

// The lighting shader program, compiled with or without the whole model, for light 0 alone or for
// every light, lighting per corner, per pixel or both; false if WebGL refused it.
bool makeProgram(bool fullModel, int lights, Lit lit, LightingProgram &made)
{
    char header[160];
    std::snprintf(header, sizeof header, "#define MATERIALS %zu\n#define LIGHTS %d\n%s%s%s",
                  MATERIALS_PER_DRAW, lights, fullModel ? "#define FULL_MODEL\n" : "",
                  (lit & PER_CORNER) != 0 ? "#define PER_CORNER\n" : "",
                  (lit & PER_PIXEL) != 0 ? "#define PER_PIXEL\n" : "");
    const char *const attributes[] = {"position", "normal", "material", "flatAttribute",
                                      "ownNormal"};
    const char *const equation = LIGHTING_EQUATION;
    const ShaderText vertexText = {
        {header, (lit & PER_CORNER) != 0 ? equation : "", LIGHTING_VERTEX_SHADER, nullptr}};
    const ShaderText fragmentText = {
        {lit == BOTH_WAYS ? "#extension GL_EXT_draw_buffers : require\n" : "", header,
         FRAGMENT_PRECISION, (lit & PER_PIXEL) != 0 ? equation : "", LIGHTING_FRAGMENT_SHADER}};
    const GLuint program = linkProgram(vertexText, fragmentText, attributes, 5);
    if (program == 0) {
        return false;
    }
    const auto at = [program](const char *name) {
        return emscripten_glGetUniformLocation(program, name);
    };
    made = {program,
            lights,
            at("projection"),
            at("materials"),
            at("material"),
            at("otherMaterial"),
            at("lightPosition"),
            at("lightOn"),
            at("lightColours"),
            at("attenuation"),
            at("spot"),
            at("spotShape"),
            at("localViewer"),
            at("flatShading"),
            at("lighting"),
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

// A material's entry for the shader: the four vec4s its comment lists, with light 0's colours in
// the products for a program of one light.
void lightProducts(const FaceMaterial &material, const LightingState &lighting, int lights,
                   GLfloat *entry)
{
    constexpr GLfloat WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const LightSource &light = lighting.lights[0];
    const bool products = lights == 1;
    for (int c = 0; c < 3; ++c) {
        entry[c] = material.emission[c] + material.ambient[c] * lighting.sceneAmbient[c];
        entry[4 + c] = material.ambient[c] * (products ? light.ambient : WHITE)[c];
        entry[8 + c] = material.diffuse[c] * (products ? light.diffuse : WHITE)[c];
        entry[12 + c] = material.specular[c] * (products ? light.specular : WHITE)[c];
    }
    entry[3] = material.diffuse[3];
    entry[7] = entry[11] = 0.0f;
    entry[15] = material.shininess;
}

// Under GL_FLAT the shader's flatAttribute for the next draw, three numbers a vertex: per corner,
// each vertex's polygon's first corner; per pixel alone, each vertex's own normal; both ways, the
// first corners, and the own normals in ownNormal. Nothing otherwise, when the shader reads none
// and none is fetched.
void giveFlatAttribute(Renderer &renderer, const Draw &draw)
{
    if (renderer.lit == BOTH_WAYS && draw.cornerNormals != nullptr) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, renderer.ownNormalBuffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(3 * draw.vertexCount * sizeof(GLfloat)),
                                draw.cornerNormals, GL_STREAM_DRAW);
        emscripten_glVertexAttribPointer(OWN_NORMAL, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        emscripten_glEnableVertexAttribArray(OWN_NORMAL);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, renderer.vertexBuffer);
    }
    const GLfloat *given = renderer.lit == PER_PIXEL ? draw.cornerNormals : draw.firstCorners;
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

bool otherLightOn(const LightingState &lighting)
{
    return std::any_of(lighting.lights + 1, lighting.lights + LIGHTS,
                       [](const LightSource &light) { return light.enabled; });
}

// The program for `lighting`: the one for every light is made the first time it is needed, so
// that the viewer's own light never waits for it.
const LightingProgram &programFor(Renderer &renderer, const LightingState &lighting)
{
    if (otherLightOn(lighting) && !renderer.allLightsRefused) {
        if (renderer.allLights.name == 0 &&
            !makeProgram(true, LIGHTS, renderer.lit, renderer.allLights)) {
            // Said on standard error; light 0 is still drawn.
            renderer.allLightsRefused = true;
            return renderer.full;
        }
        return renderer.allLights;
    }
    return needsFullModel(lighting) ? renderer.full : renderer.plain;
}

// Each light's numbers as the shader's arrays take them, for the first `count` lights.
void giveLights(const LightingProgram &program, const LightingState &lighting, int count)
{
    GLfloat positions[LIGHTS][4], colours[LIGHTS][3][3], attenuation[LIGHTS][4], spot[LIGHTS][4],
        spotShape[LIGHTS][2];
    GLint on[LIGHTS];
    for (int i = 0; i < count; ++i) {
        const LightSource &light = lighting.lights[i];
        const equation::Light<GLfloat> shaded = equationLight(light);
        std::copy_n(light.position, 4, positions[i]);
        on[i] = light.enabled;
        std::copy_n(light.ambient, 3, colours[i][0]);
        std::copy_n(light.diffuse, 3, colours[i][1]);
        std::copy_n(light.specular, 3, colours[i][2]);
        std::copy_n(light.attenuation, 3, attenuation[i]);
        attenuation[i][3] = attenuated(light) ? 1.0f : 0.0f;
        spot[i][0] = shaded.spotDirection.x;
        spot[i][1] = shaded.spotDirection.y;
        spot[i][2] = shaded.spotDirection.z;
        spot[i][3] = shaded.spotCosCutoff;
        spotShape[i][0] = light.spotExponent;
        spotShape[i][1] = shaded.spotlight ? 1.0f : 0.0f;
    }
    emscripten_glUniform4fv(program.lightPosition, count, positions[0]);
    emscripten_glUniform1iv(program.lightOn, count, on);
    emscripten_glUniform3fv(program.lightColours, 3 * count, colours[0][0]);
    emscripten_glUniform4fv(program.attenuation, count, attenuation[0]);
    emscripten_glUniform4fv(program.spot, count, spot[0]);
    emscripten_glUniform2fv(program.spotShape, count, spotShape[0]);
}

const char *const COPY_VERTEX_SHADER = R"(
attribute vec2 corner;
varying vec2 at;
void main()
{
    at = corner * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char *const COPY_FRAGMENT_SHADER = R"(
precision mediump float;
uniform sampler2D picture;
varying vec2 at;
void main()
{
    gl_FragColor = texture2D(picture, at);
}
)";

} // namespace

void bindNearestTexture(GLuint texture)
{
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

bool makeTextureCopy(TextureCopy &copy)
{
    const char *const attributes[] = {"corner"};
    copy.program = linkProgram({{COPY_VERTEX_SHADER}}, {{COPY_FRAGMENT_SHADER}}, attributes, 1);
    constexpr GLfloat CORNERS[] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
    emscripten_glGenBuffers(1, &copy.corners);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, copy.corners);
    emscripten_glBufferData(GL_ARRAY_BUFFER, sizeof CORNERS, CORNERS, GL_STATIC_DRAW);
    return copy.program != 0;
}

void drawTextureCopy(const TextureCopy &copy, GLuint texture)
{
    emscripten_glUseProgram(copy.program);
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, copy.corners);
    emscripten_glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    emscripten_glEnableVertexAttribArray(0);
    for (GLuint attribute = 1; attribute < LIGHTING_ATTRIBUTES; ++attribute) {
        emscripten_glDisableVertexAttribArray(attribute);
    }
    emscripten_glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

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

bool makeRenderer(Renderer &renderer, Lit lit, const Renderer *drawsFrom)
{
    renderer = {};
    renderer.lit = lit;
    if (!makeProgram(false, 1, lit, renderer.plain) || !makeProgram(true, 1, lit, renderer.full)) {
        return false;
    }
    emscripten_glGenBuffers(1, &renderer.flatBuffer);
    if (lit == BOTH_WAYS) {
        emscripten_glGenBuffers(1, &renderer.ownNormalBuffer);
    }
    if (drawsFrom != nullptr) {
        renderer.vertexBuffer = drawsFrom->vertexBuffer;
        renderer.indexBuffer = drawsFrom->indexBuffer;
        return true;
    }
    emscripten_glGenBuffers(1, &renderer.vertexBuffer);
    emscripten_glGenBuffers(1, &renderer.indexBuffer);
    bindRenderer(renderer);
    // WebGL dithers by default; Mesa's software renderer never does.
    emscripten_glDisable(GL_DITHER);
    return true;
}

void useLighting(Renderer &renderer, const LightingState &lighting, const Matrix4 &projection,
                 const FaceMaterial *materials, std::size_t materialCount)
{
    const LightingProgram &program = programFor(renderer, lighting);
    GLfloat *table = renderer.materialTable;
    for (std::size_t i = 0; i < materialCount; ++i) {
        lightProducts(materials[i], lighting, program.lights, table + i * VEC4S_PER_MATERIAL * 4);
    }
    if (renderer.inUse != &program) {
        emscripten_glUseProgram(program.name);
        renderer.inUse = &program;
    }
    emscripten_glUniformMatrix4fv(program.projection, 1, GL_FALSE, projection.m);
    if ((renderer.lit & PER_CORNER) != 0) {
        emscripten_glUniform4fv(program.materials,
                                static_cast<GLsizei>(materialCount * VEC4S_PER_MATERIAL), table);
    }
    emscripten_glUniform1i(program.lighting, lighting.enabled);
    emscripten_glUniform1i(program.normalize, lighting.normalize);
    giveLights(program, lighting, program.lights);
    emscripten_glUniform1i(program.localViewer, lighting.localViewer);
    emscripten_glUniform1i(program.flatShading, lighting.flat);
}

void drawVertices(Renderer &renderer, const Draw &draw, bool fillBuffers)
{
    giveFlatAttribute(renderer, draw);
    const bool points = draw.primitive == GL_POINTS;
    if (fillBuffers) {
        emscripten_glBufferData(GL_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(draw.vertexCount * sizeof(BatchVertex)),
                                draw.vertices, GL_STREAM_DRAW);
    }
    if (fillBuffers && !points) {
        emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(draw.indexCount * sizeof(GLushort)),
                                draw.indices, GL_STREAM_DRAW);
    }
    const std::size_t count = points ? draw.vertexCount : draw.indexCount;
    const auto drawRange = [&draw, points](std::size_t first, std::size_t n) {
        if (points) {
            emscripten_glDrawArrays(draw.primitive, static_cast<GLint>(first),
                                    static_cast<GLsizei>(n));
        } else {
            emscripten_glDrawElements(draw.primitive, static_cast<GLsizei>(n), GL_UNSIGNED_SHORT,
                                      reinterpret_cast<void *>(first * sizeof(GLushort)));
        }
    };
    if ((renderer.lit & PER_PIXEL) == 0) {
        drawRange(0, count);
        return;
    }
    // Per pixel, in runs of at most two materials, the polygons' order kept: all the corners of a
    // polygon have its material, and the tree's rods and balls alternate.
    const std::size_t step = points ? 1 : draw.primitive == GL_LINES ? 2 : 3;
    const auto materialAt = [&draw, points](std::size_t i) {
        return draw.vertices[points ? i : draw.indices[i]].material;
    };
    constexpr std::size_t ENTRY = VEC4S_PER_MATERIAL * 4;
    const auto entry = [&renderer](GLfloat material) {
        return renderer.materialTable + static_cast<std::size_t>(material) * ENTRY;
    };
    for (std::size_t first = 0; first < count;) {
        const GLfloat one = materialAt(first);
        GLfloat other = one;
        std::size_t end = first + step;
        for (; end < count; end += step) {
            const GLfloat material = materialAt(end);
            if (material != one && material != other) {
                if (other != one) {
                    break;
                }
                other = material;
            }
        }
        GLfloat pair[2 * ENTRY];
        std::copy_n(entry(one), ENTRY, pair);
        std::copy_n(entry(other), ENTRY, pair + ENTRY);
        emscripten_glUniform4fv(renderer.inUse->material, 2 * VEC4S_PER_MATERIAL, pair);
        emscripten_glUniform1f(renderer.inUse->otherMaterial, other);
        drawRange(first, end - first);
        first = end;
    }
    if (renderer.lit == BOTH_WAYS) {
        // Only these draws give it; left on, another's draw would read past its end.
        emscripten_glDisableVertexAttribArray(OWN_NORMAL);
    }
}

void drawGathered(const Draw &draw, bool startsRun)
{
    if (!drawBothWays(picture, draw)) {
        // After the picture lit per pixel has drawn, the picture's own program is handed everything
        // again.
        if (startsRun || picture.inUse == nullptr) {
            useLighting(picture, *draw.lighting, *draw.projection, draw.materials,
                        draw.materialCount);
        }
        drawVertices(picture, draw);
        drawPerPixel(picture, draw);
    }
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
    forgetPerPixel();
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
    showPictureDrawnBothWays(picture, fragment);
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
        clearPerPixel(picture, fragment);
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
