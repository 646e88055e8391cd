// What the probe tells the page: for a pixel, the polygon under it, the equation at its corners
// with every term and the values in force, the weights the corners' colours were mixed with, and
// the pixel as drawn; and, where the page shows the picture lit per pixel, the equation at the
// pixel itself; as JSON for orvane.probe.
#include "gl/appendf.h"
#include "gl/probe/probe.h"

#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double LEVELS = 255.0;

// "name":[a,b,c] from n numbers, times `scale`, and a comma before it unless it comes first.
void appendList(std::string &out, const char *name, const GLfloat *values, int n,
                double scale = 1.0)
{
    appendf(out, "%s\"%s\":[", out.back() == '{' ? "" : ",", name);
    for (int i = 0; i < n; ++i) {
        appendf(out, "%s%.9g", i > 0 ? "," : "", values[i] * scale);
    }
    out += ']';
}

void appendVector(std::string &out, const char *name, Vec3 v)
{
    const GLfloat values[3] = {v.x, v.y, v.z};
    appendList(out, name, values, 3);
}

void appendNumber(std::string &out, const char *name, double value)
{
    appendf(out, ",\"%s\":%.9g", name, value);
}

// Where the corner lies towards `t`'s light, and how far the light reaches it.
void appendGeometry(std::string &out, const equation::LightTerms<GLfloat> &t)
{
    appendVector(out, "L", t.l);
    appendVector(out, "H", t.h);
    appendVector(out, "V", t.v);
    appendNumber(out, "nDotL", t.nDotL);
    appendNumber(out, "nDotH", t.nDotH);
    appendNumber(out, "distance", t.distance);
    appendNumber(out, "attenuation", t.attenuation);
    appendNumber(out, "spotDot", t.spotDot);
    appendNumber(out, "spot", t.spot);
}

// What each light on other than light 0 adds at the corner, term by term: light 0's terms are the
// corner's own.
void appendOtherLights(std::string &out, const LightingState &lighting, const CornerLight &c)
{
    out += ",\"otherLights\":[";
    bool first = true;
    for (int l = 1; l < LIGHTS; ++l) {
        const LightSource &light = lighting.lights[l];
        if (!light.enabled) {
            continue;
        }
        const equation::LightTerms<GLfloat> &t = c.lights[l];
        appendf(out, "%s{\"light\":%d", first ? "" : ",", l);
        first = false;
        appendGeometry(out, t);
        out += ",\"ambient\":{";
        appendList(out, "light", light.ambient, 3);
        appendList(out, "value", t.ambient, 3, LEVELS);
        out += "},\"diffuse\":{";
        appendList(out, "light", light.diffuse, 3);
        appendNumber(out, "factor", t.diffuseFactor);
        appendList(out, "value", t.diffuse, 3, LEVELS);
        out += "},\"specular\":{";
        appendList(out, "light", light.specular, 3);
        appendNumber(out, "factor", t.specularFactor);
        appendList(out, "value", t.specular, 3, LEVELS);
        out += "}}";
    }
    out += ']';
}

// Material and light values as the program set them; the terms in the screen's levels. The terms
// are light 0's; the colour is the sum over every light on.
void appendCorner(std::string &out, const BatchVertex &vertex, const FaceMaterial &material,
                  const LightingState &lighting, const CornerLight &c)
{
    const LightSource &light = lighting.lights[0];
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const auto ifOn = [&](const GLfloat *value) { return light.enabled ? value : none; };
    const equation::LightTerms<GLfloat> &t = c.lights[0];
    out += '{';
    appendList(out, "position", vertex.position, 3);
    appendVector(out, "normal", c.n);
    appendGeometry(out, t);
    appendf(out, ",\"lit\":%s,\"emission\":{", lighting.enabled ? "true" : "false");
    appendList(out, "material", material.emission, 3);
    appendList(out, "value", c.emission, 3, LEVELS);
    out += "},\"ambient\":{";
    GLfloat ambient[3];
    for (int i = 0; i < 3; ++i) {
        ambient[i] = c.sceneAmbient[i] + ifOn(t.ambient)[i];
    }
    appendList(out, "material", material.ambient, 3);
    appendList(out, "light", ifOn(light.ambient), 3);
    appendList(out, "global", lighting.sceneAmbient, 3);
    appendList(out, "fromGlobal", c.sceneAmbient, 3, LEVELS);
    appendList(out, "fromLight", ifOn(t.ambient), 3, LEVELS);
    appendList(out, "value", ambient, 3, LEVELS);
    out += "},\"diffuse\":{";
    appendList(out, "material", material.diffuse, 3);
    appendList(out, "light", ifOn(light.diffuse), 3);
    appendNumber(out, "factor", t.diffuseFactor);
    appendList(out, "value", ifOn(t.diffuse), 3, LEVELS);
    out += "},\"specular\":{";
    appendList(out, "material", material.specular, 3);
    appendList(out, "light", ifOn(light.specular), 3);
    appendNumber(out, "shininess", material.shininess);
    appendNumber(out, "factor", t.specularFactor);
    appendList(out, "value", ifOn(t.specular), 3, LEVELS);
    out += '}';
    appendOtherLights(out, lighting, c);
    appendList(out, "colour", c.colour, 3, LEVELS);
    out += '}';
}

// Where `light` is, how it fades and where its spot points.
void appendSource(std::string &out, const LightSource &light)
{
    appendList(out, "lightPosition", light.position, 4);
    appendList(out, "attenuationFactors", light.attenuation, 3);
    if (light.spotCutoff != NO_SPOTLIGHT) {
        const equation::Light<GLfloat> shaded = equationLight(light);
        out += ",\"spotlight\":{";
        appendVector(out, "direction", shaded.spotDirection);
        appendNumber(out, "cutoff", light.spotCutoff);
        appendNumber(out, "cosCutoff", shaded.spotCosCutoff);
        appendNumber(out, "exponent", light.spotExponent);
        out += '}';
    } else {
        out += ",\"spotlight\":null";
    }
}

// The lights and the light model the polygon was drawn with: light 0's at the top, and the
// numbers of each other light on.
void appendLighting(std::string &out, const LightingState &lighting)
{
    appendSource(out, lighting.lights[0]);
    out += ",\"otherLights\":[";
    bool first = true;
    for (int l = 1; l < LIGHTS; ++l) {
        if (lighting.lights[l].enabled) {
            appendf(out, "%s{\"light\":%d", first ? "" : ",", l);
            appendSource(out, lighting.lights[l]);
            out += '}';
            first = false;
        }
    }
    appendf(out, "],\"localViewer\":%s,\"twoSide\":%s,\"flat\":%s",
            lighting.localViewer ? "true" : "false", lighting.twoSide ? "true" : "false",
            lighting.flat ? "true" : "false");
}

// The equation at the pixel itself, as the picture lit per pixel works it out: at the position and
// with the normal blended across the triangle with the rasteriser's weights, each corner's own
// normal (GL_FLAT ignored), and the polygon's material.
void appendPerPixel(std::string &out, const KeptFrame &shown, const Hit &hit)
{
    const KeptDraw &draw = shown.draws[hit.draw];
    const GLushort *indices = shown.indices.data() + draw.firstIndex;
    BatchVertex at = {};
    for (std::size_t k = 0; k < 3; ++k) {
        const GLushort index = indices[hit.triangle + k];
        const BatchVertex &vertex = shown.vertices[draw.firstVertex + index];
        const GLfloat *normal = draw.ownCornerNormals
                                    ? &shown.cornerNormals[3 * (draw.firstCornerNormal + index)]
                                    : vertex.normal;
        const auto weight = static_cast<GLfloat>(hit.weights[k]);
        for (std::size_t i = 0; i < 3; ++i) {
            at.position[i] += weight * vertex.position[i];
            at.normal[i] += weight * normal[i];
        }
    }
    at.material = shown.vertices[draw.firstVertex + indices[hit.triangle]].material;
    const FaceMaterial &material = draw.materials[static_cast<std::size_t>(at.material)];
    out += ",\"perPixel\":";
    appendCorner(out, at, material, draw.lighting, lightCorner(at, material, draw.lighting));
}

// The answer for canvas pixel (x, y), from the top left: null where no filled polygon covers it;
// {"error": ...} where there is no kept frame to answer from.
std::string answerFor(int x, int y, bool perPixel)
{
    const KeptFrame &shown = shownFrame();
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

    // Under GL_FLAT every corner has the first one's colour: it is lit there.
    const auto materialOf = [&](const BatchVertex &vertex) -> const FaceMaterial & {
        return draw.materials[static_cast<std::size_t>(vertex.material)];
    };
    const CornerLight firstLight =
        lightCorner(vertices[first], materialOf(vertices[first]), draw.lighting);
    std::string out = "{\"corners\":[";
    std::vector<double> weights(cornerCount, 0.0);
    double predicted[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < cornerCount; ++i) {
        const BatchVertex &vertex = vertices[first + i];
        const CornerLight light = draw.lighting.flat
                                      ? firstLight
                                      : lightCorner(vertex, materialOf(vertex), draw.lighting);
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
        appendCorner(out, vertex, materialOf(vertex), draw.lighting, light);
    }
    out += "],\"weights\":[";
    for (std::size_t i = 0; i < cornerCount; ++i) {
        appendf(out, "%s%.9g", i > 0 ? "," : "", weights[i]);
    }
    appendf(out, "],\"triangle\":[0,%zu,%zu]", indices[hit.triangle + 1] - first,
            indices[hit.triangle + 2] - first);
    appendf(out, ",\"face\":\"%s\"", hit.backFacing ? "back" : "front");
    appendLighting(out, draw.lighting);
    appendf(out, ",\"depth\":%.8g", hit.depth / DEPTH_LEVELS);
    appendf(out, ",\"predicted\":[%.0f,%.0f,%.0f]", predicted[0], predicted[1], predicted[2]);
    if (perPixel) {
        appendPerPixel(out, shown, hit);
    }
    GLubyte pixel[4];
    if (readPicture(x, windowY, pixel)) {
        appendf(out, ",\"pixel\":[%d,%d,%d]}", pixel[0], pixel[1], pixel[2]);
    } else {
        out += ",\"pixel\":null}";
    }
    return out;
}

} // namespace

// orvane.setProbing(on) on the page: keeps frames for the probe, which costs nothing while off.
extern "C" EMSCRIPTEN_KEEPALIVE void orvane_keep_frames_for_probe(int on)
{
    keepFramesForProbe(on != 0);
}

// orvane.probe(x, y) on the page; `perPixel` where it shows the picture lit per pixel.
extern "C" EMSCRIPTEN_KEEPALIVE const char *orvane_probe(int x, int y, int perPixel)
{
    static std::string answer;
    answer = answerFor(x, y, perPixel != 0);
    return answer.c_str();
}
