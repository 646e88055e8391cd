// The lighting probe: for a pixel of the frame on screen, the front-most filled polygon under it,
// the lighting equation worked out at each of its corners as the vertex shader works it out, the
// weights WebGL interpolated the corners' colours with, and the pixel as drawn. It is there to let
// a student check the equation against the screen, number by number.
//
// Nothing is kept while the probe is off: the page turns it on, and from then on each frame's
// filled draws are copied as they are handed to WebGL (the vertices as the shader takes them, and
// the materials, light and projection they were drawn with), and the picture is copied into a
// texture when the frame is swapped. The canvas keeps no drawing buffer of its own
// (preserveDrawingBuffer), which every frame would pay for, probe or not.
#include "gl/gl_layer.h"
#include "gl/layer.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct KeptDraw {
    LightingState lighting;
    Matrix4 projection;
    GLint viewport[4];
    FaceMaterial materials[MATERIALS_PER_DRAW];
    std::size_t firstVertex; // in the frame's vertices; the draw's indices count from here
    std::size_t firstIndex, indexCount;
};

struct KeptFrame {
    std::vector<BatchVertex> vertices;
    std::vector<GLushort> indices;
    std::vector<KeptDraw> draws;
    bool linesOrPoints; // something was drawn that the probe does not follow
    int width, height;  // of the drawing buffer
    bool complete;      // swapped, and its picture copied
};

bool keeping = false;
KeptFrame drawing;
KeptFrame shown;

GLuint pictureTexture = 0;
GLuint pictureFramebuffer = 0;

void forget(KeptFrame &frame)
{
    frame.vertices.clear();
    frame.indices.clear();
    frame.draws.clear();
    frame.linesOrPoints = false;
    frame.complete = false;
}

// The texture the picture is copied into, made when first needed. The drawing buffer may have no
// alpha, and a copy cannot add channels the source lacks: RGB it is.
void copyPicture(int width, int height)
{
    if (pictureTexture == 0) {
        emscripten_glGenTextures(1, &pictureTexture);
        emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
    emscripten_glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width, height, 0);
}

// The copied picture's pixel at window coordinates (x, y), or false if it cannot be read back.
bool readPicture(int x, int y, GLubyte rgba[4])
{
    if (pictureFramebuffer == 0) {
        emscripten_glGenFramebuffers(1, &pictureFramebuffer);
        emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                          pictureTexture, 0);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
    const bool readable =
        emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (readable) {
        emscripten_glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return readable;
}

// Lighting, in the shader's own steps and single precision.
struct Vec3 {
    GLfloat x, y, z;
};

Vec3 add(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

GLfloat dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalised(Vec3 v)
{
    const GLfloat length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

struct CornerLight {
    Vec3 n, l, h;
    GLfloat nDotL, nDotH;
    GLfloat diffuseFactor, specularFactor;
    GLfloat emission[3], ambient[3], diffuse[3], specular[3];
    GLfloat colour[3]; // 0..1, clamped
};

CornerLight lightCorner(const BatchVertex &vertex, const FaceMaterial &material,
                        const LightingState &lighting)
{
    CornerLight c = {};
    const Vec3 normal = {vertex.normal[0], vertex.normal[1], vertex.normal[2]};
    c.n = lighting.normalize ? normalised(normal) : normal;
    const GLfloat *p = lighting.lightPosition;
    const Vec3 toLight =
        p[3] != 0.0f ? Vec3{p[0] / p[3] - vertex.position[0], p[1] / p[3] - vertex.position[1],
                            p[2] / p[3] - vertex.position[2]}
                     : Vec3{p[0], p[1], p[2]};
    c.l = normalised(toLight);
    c.h = normalised(add(c.l, {0.0f, 0.0f, 1.0f}));
    c.nDotL = dot(c.n, c.l);
    c.nDotH = dot(c.n, c.h);
    c.diffuseFactor = std::max(c.nDotL, 0.0f);
    if (c.nDotL > 0.0f) {
        c.specularFactor = material.shininess == 0.0f ? 1.0f
                           : c.nDotH > 0.0f           ? std::pow(c.nDotH, material.shininess)
                                                      : 0.0f;
    }
    for (int i = 0; i < 3; ++i) {
        const GLfloat lightAmbient = lighting.light0 ? lighting.lightAmbient[i] : 0.0f;
        c.emission[i] = material.emission[i];
        c.ambient[i] = material.ambient[i] * (lighting.sceneAmbient[i] + lightAmbient);
        if (lighting.light0) {
            c.diffuse[i] = c.diffuseFactor * material.diffuse[i] * lighting.lightDiffuse[i];
            c.specular[i] = c.specularFactor * material.specular[i] * lighting.lightSpecular[i];
        }
        const GLfloat sum = c.emission[i] + c.ambient[i] + c.diffuse[i] + c.specular[i];
        c.colour[i] = lighting.enabled ? std::clamp(sum, 0.0f, 1.0f) : 1.0f;
    }
    return c;
}

// Where the rasteriser puts a corner: window coordinates snapped to its 1/16 pixel
// (GL_SUBPIXEL_BITS 4), window depth, and clip w for perspective-correct interpolation.
struct WindowCorner {
    std::int64_t x, y; // sixteenths of a pixel
    double depth;
    double w;
};
constexpr GLfloat SUBPIXELS = 16.0f;
constexpr double DEPTH_LEVELS = 16777215.0; // the 24-bit depth buffer

WindowCorner toWindow(const BatchVertex &vertex, const KeptDraw &draw)
{
    const GLfloat eye[4] = {vertex.position[0], vertex.position[1], vertex.position[2], 1.0f};
    GLfloat clip[4];
    transform(draw.projection, eye, clip);
    // In single precision, as the GPU divides and scales.
    const GLint *v = draw.viewport;
    const GLfloat halfWidth = static_cast<GLfloat>(v[2]) * 0.5f;
    const GLfloat halfHeight = static_cast<GLfloat>(v[3]) * 0.5f;
    const GLfloat x = clip[0] / clip[3] * halfWidth + (static_cast<GLfloat>(v[0]) + halfWidth);
    const GLfloat y = clip[1] / clip[3] * halfHeight + (static_cast<GLfloat>(v[1]) + halfHeight);
    return {std::llround(x * SUBPIXELS), std::llround(y * SUBPIXELS),
            (clip[2] / clip[3] + 1.0) * 0.5, clip[3]};
}

// Twice the signed area of (a, b, p) in sixteenths: positive where p lies left of a -> b.
std::int64_t edge(const WindowCorner &a, const WindowCorner &b, std::int64_t px, std::int64_t py)
{
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Pixel centres exactly on an edge shared by two triangles go to one of them only: the one the
// edge bounds on its left, or on its top as the picture stands on the screen. With the corners
// counter-clockwise, a left edge runs down and a top edge right to left.
bool ownsCentresOn(const WindowCorner &a, const WindowCorner &b)
{
    return b.y < a.y || (b.y == a.y && b.x < a.x);
}

struct Hit {
    bool found;
    std::size_t draw, triangle; // the triangle's first index, in the draw's indices
    std::uint32_t depth;
    double weights[3];
};

// The triangle (a, b, c) if it covers the pixel centre (px, py) in front of `best`.
void test(const WindowCorner corners[3], std::int64_t px, std::int64_t py, Hit &best,
          std::size_t draw, std::size_t triangle)
{
    // Behind the eye the rasteriser draws what clipping leaves; the viewer keeps its models in
    // front, and the probe does not clip.
    if (corners[0].w <= 0.0 || corners[1].w <= 0.0 || corners[2].w <= 0.0) {
        return;
    }
    int order[3] = {0, 1, 2};
    std::int64_t area = edge(corners[0], corners[1], corners[2].x, corners[2].y);
    if (area == 0) {
        return;
    }
    if (area < 0) {
        std::swap(order[1], order[2]);
        area = -area;
    }
    std::int64_t share[3];
    for (int i = 0; i < 3; ++i) {
        const WindowCorner &from = corners[order[(i + 1) % 3]];
        const WindowCorner &to = corners[order[(i + 2) % 3]];
        share[i] = edge(from, to, px, py);
        if (share[i] < 0 || (share[i] == 0 && !ownsCentresOn(from, to))) {
            return;
        }
    }
    double screen[3];
    double depth = 0.0;
    for (int i = 0; i < 3; ++i) {
        screen[order[i]] = static_cast<double>(share[i]) / static_cast<double>(area);
        depth += screen[order[i]] * corners[order[i]].depth;
    }
    if (depth < 0.0 || depth > 1.0) {
        return;
    }
    const auto stored = static_cast<std::uint32_t>(std::lround(depth * DEPTH_LEVELS));
    // GL_LESS: an equal depth drawn later does not replace what is there.
    if (best.found && stored >= best.depth) {
        return;
    }
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        best.weights[i] = screen[i] / corners[i].w;
        sum += best.weights[i];
    }
    for (double &weight : best.weights) {
        weight /= sum;
    }
    best.found = true;
    best.draw = draw;
    best.triangle = triangle;
    best.depth = stored;
}

Hit frontMost(const KeptFrame &frame, int x, int y)
{
    const std::int64_t px = x * 16 + 8;
    const std::int64_t py = y * 16 + 8;
    Hit best = {};
    std::vector<WindowCorner> window;
    for (std::size_t d = 0; d < frame.draws.size(); ++d) {
        const KeptDraw &draw = frame.draws[d];
        const BatchVertex *vertices = frame.vertices.data() + draw.firstVertex;
        const GLushort *indices = frame.indices.data() + draw.firstIndex;
        const std::size_t vertexCount =
            (d + 1 < frame.draws.size() ? frame.draws[d + 1].firstVertex : frame.vertices.size()) -
            draw.firstVertex;
        window.resize(vertexCount);
        for (std::size_t i = 0; i < vertexCount; ++i) {
            window[i] = toWindow(vertices[i], draw);
        }
        for (std::size_t t = 0; t + 2 < draw.indexCount; t += 3) {
            const WindowCorner corners[3] = {window[indices[t]], window[indices[t + 1]],
                                             window[indices[t + 2]]};
            test(corners, px, py, best, d, t);
        }
    }
    return best;
}

void appendf(std::string &out, const char *format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    out += text;
}

void appendVector(std::string &out, const char *name, Vec3 v)
{
    appendf(out, "\"%s\":[%.6g,%.6g,%.6g]", name, v.x, v.y, v.z);
}

void appendColour(std::string &out, const char *name, const GLfloat *c, double scale)
{
    appendf(out, "\"%s\":[%.6g,%.6g,%.6g]", name, c[0] * scale, c[1] * scale, c[2] * scale);
}

constexpr double LEVELS = 255.0;

void appendCorner(std::string &out, const BatchVertex &vertex, const FaceMaterial &material,
                  const LightingState &lighting, const CornerLight &c)
{
    out += '{';
    appendVector(out, "position", {vertex.position[0], vertex.position[1], vertex.position[2]});
    out += ',';
    appendVector(out, "normal", c.n);
    out += ',';
    appendVector(out, "L", c.l);
    out += ',';
    appendVector(out, "H", c.h);
    appendf(out, ",\"nDotL\":%.6g,\"nDotH\":%.6g,\"lit\":%s,", c.nDotL, c.nDotH,
            lighting.enabled ? "true" : "false");
    const GLfloat none[3] = {0.0f, 0.0f, 0.0f};
    const GLfloat *lightAmbient = lighting.light0 ? lighting.lightAmbient : none;
    out += "\"emission\":{";
    appendColour(out, "material", material.emission, 1.0);
    out += ',';
    appendColour(out, "value", c.emission, LEVELS);
    out += "},\"ambient\":{";
    appendColour(out, "material", material.ambient, 1.0);
    out += ',';
    appendColour(out, "light", lightAmbient, 1.0);
    out += ',';
    appendColour(out, "global", lighting.sceneAmbient, 1.0);
    out += ',';
    appendColour(out, "value", c.ambient, LEVELS);
    out += "},\"diffuse\":{";
    appendColour(out, "material", material.diffuse, 1.0);
    out += ',';
    appendColour(out, "light", lighting.light0 ? lighting.lightDiffuse : none, 1.0);
    appendf(out, ",\"factor\":%.6g,", c.diffuseFactor);
    appendColour(out, "value", c.diffuse, LEVELS);
    out += "},\"specular\":{";
    appendColour(out, "material", material.specular, 1.0);
    out += ',';
    appendColour(out, "light", lighting.light0 ? lighting.lightSpecular : none, 1.0);
    appendf(out, ",\"shininess\":%.6g,\"factor\":%.6g,", material.shininess, c.specularFactor);
    appendColour(out, "value", c.specular, LEVELS);
    out += "},";
    appendColour(out, "colour", c.colour, LEVELS);
    out += '}';
}

// The probe's answer for canvas pixel (x, y), from the top left, as JSON: null where no filled
// polygon covers it; {"error": ...} where there is no kept frame to answer from.
std::string probeAnswer(int x, int y)
{
    if (!shown.complete) {
        return "{\"error\":\"no frame has been kept since the probe was turned on: turn it on "
               "with orvane.setProbing(true) and probe after the next frame\"}";
    }
    const int windowY = shown.height - 1 - y;
    if (shown.linesOrPoints || x < 0 || y < 0 || x >= shown.width || windowY < 0) {
        return "null";
    }
    const Hit hit = frontMost(shown, x, windowY);
    if (!hit.found) {
        return "null";
    }
    const KeptDraw &draw = shown.draws[hit.draw];
    const BatchVertex *vertices = shown.vertices.data() + draw.firstVertex;
    const GLushort *indices = shown.indices.data() + draw.firstIndex;
    // The layer draws a polygon as a fan from its first corner: its triangles follow one another
    // in the indices and all start at that corner.
    const GLushort first = indices[hit.triangle];
    std::size_t lastTriangle = hit.triangle;
    while (lastTriangle + 3 < draw.indexCount && indices[lastTriangle + 3] == first) {
        lastTriangle += 3;
    }
    std::size_t firstTriangle = hit.triangle;
    while (firstTriangle >= 3 && indices[firstTriangle - 3] == first) {
        firstTriangle -= 3;
    }
    const std::size_t cornerCount = (lastTriangle - firstTriangle) / 3 + 3;

    std::string out = "{\"corners\":[";
    std::vector<double> weights(cornerCount, 0.0);
    double predicted[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < cornerCount; ++i) {
        const BatchVertex &vertex = vertices[first + i];
        const FaceMaterial &material = draw.materials[static_cast<std::size_t>(vertex.material)];
        const CornerLight light = lightCorner(vertex, material, draw.lighting);
        for (int k = 0; k < 3; ++k) {
            if (indices[hit.triangle + static_cast<std::size_t>(k)] == first + i) {
                weights[i] = hit.weights[k];
            }
        }
        for (int c = 0; c < 3; ++c) {
            predicted[c] += weights[i] * light.colour[c] * LEVELS;
        }
        if (i > 0) {
            out += ',';
        }
        appendCorner(out, vertex, material, draw.lighting, light);
    }
    out += "],\"weights\":[";
    for (std::size_t i = 0; i < cornerCount; ++i) {
        appendf(out, "%s%.6g", i > 0 ? "," : "", weights[i]);
    }
    appendf(out, "],\"triangle\":[0,%zu,%zu]", indices[hit.triangle + 1] - first,
            indices[hit.triangle + 2] - first);
    appendf(out, ",\"depth\":%.8g", hit.depth / DEPTH_LEVELS);
    appendf(out, ",\"predicted\":[%.0f,%.0f,%.0f]", predicted[0], predicted[1], predicted[2]);
    GLubyte pixel[4];
    if (readPicture(x, windowY, pixel)) {
        appendf(out, ",\"pixel\":[%d,%d,%d]}", pixel[0], pixel[1], pixel[2]);
    } else {
        out += ",\"pixel\":null}";
    }
    return out;
}

const char *probe(int x, int y)
{
    static std::string answer;
    answer = probeAnswer(x, y);
    return answer.c_str();
}

using ProbeFunction = const char *(*)(int x, int y);

} // namespace

// orvane.probe(x, y) for the page and for anyone at the browser's console.
EM_JS(void, publishProbe, (ProbeFunction answerFor), {
    var orvane = globalThis['orvane'] || (globalThis['orvane'] = {});
    orvane['probe'] = function(x, y)
    {
        var answer = JSON.parse(UTF8ToString(wasmTable.get(answerFor)(x | 0, y | 0)));
        if (answer && answer['error']) {
            throw new Error(answer['error']);
        }
        return answer;
    };
});

void startProbe()
{
    publishProbe(probe);
}

void forgetProbeObjects()
{
    pictureTexture = 0;
    pictureFramebuffer = 0;
    forget(drawing);
    forget(shown);
}

void keepFramesForProbe(bool on)
{
    keeping = on;
    forget(drawing);
    forget(shown);
}

void keepDrawForProbe(GLenum primitive, const BatchVertex *vertices, std::size_t vertexCount,
                      const GLushort *indices, std::size_t indexCount,
                      const FaceMaterial *materials, std::size_t materialCount)
{
    if (!keeping) {
        return;
    }
    if (primitive != GL_TRIANGLES) {
        drawing.linesOrPoints = true;
        return;
    }
    KeptDraw draw;
    draw.lighting = lightingState();
    draw.projection = projectionMatrix();
    currentViewport(draw.viewport);
    std::copy_n(materials, materialCount, draw.materials);
    draw.firstVertex = drawing.vertices.size();
    draw.firstIndex = drawing.indices.size();
    draw.indexCount = indexCount;
    drawing.draws.push_back(draw);
    drawing.vertices.insert(drawing.vertices.end(), vertices, vertices + vertexCount);
    drawing.indices.insert(drawing.indices.end(), indices, indices + indexCount);
}

void forgetDrawsForProbe()
{
    forget(drawing);
}

void finishFrame()
{
    drawGatheredPolygons();
    if (!keeping) {
        return;
    }
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    emscripten_webgl_get_drawing_buffer_size(context, &drawing.width, &drawing.height);
    copyPicture(drawing.width, drawing.height);
    drawing.complete = true;
    std::swap(drawing, shown);
    forget(drawing);
}
