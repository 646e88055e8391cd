// The marks of the scene from outside, in eye coordinates: the eye and the view volume of the
// viewer's projection, each light (a point with a line to the model, or parallel arrows for a light
// at infinity) and its cone, the normals, and the vectors at the probed pixel; and where the page
// names them.
#include "second/second.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using Vec = equation::Vec<GLfloat>;

constexpr GLfloat EYE_COLOUR[3] = {0.1f, 0.1f, 0.1f};
constexpr GLfloat VOLUME_COLOUR[3] = {0.55f, 0.55f, 0.55f};
constexpr GLfloat LIGHT_LINE_COLOUR[3] = {0.8f, 0.45f, 0.0f};
constexpr GLfloat NORMAL_COLOUR[3] = {0.7f, 0.1f, 0.15f};
// N, L, V and H, each its own colour.
constexpr GLfloat VECTOR_COLOURS[4][3] = {
    {0.8f, 0.0f, 0.0f}, {0.85f, 0.5f, 0.0f}, {0.0f, 0.3f, 0.8f}, {0.0f, 0.55f, 0.2f}};
constexpr const char *VECTOR_NAMES[4] = {"N", "L", "V", "H"};
// How far the vectors at the probed pixel reach, in eye units.
constexpr GLfloat VECTOR_LENGTH = 0.6f;
// A light at infinity: arrows from LIGHT_ARROWS_FROM out, stopping short of the model.
constexpr GLfloat ARROWS_TO = 2.5f;
constexpr GLfloat ARROWS_APART = 1.2f;
constexpr GLfloat ARROW_HEAD = 0.4f;
// The cone reaches this far past the model's centre, and is drawn with this many lines.
constexpr GLfloat CONE_PAST_MODEL = 2.0f;
constexpr int CONE_SEGMENTS = 32;
constexpr int CONE_SIDES = 8;
// Nearer its half-angle to 90 degrees the cone's end would be endless.
constexpr double WIDEST_CONE_DRAWN = 85.0;
// The page keeps names this many pixels in from the view's edge.
constexpr double EDGE_MARGIN = 24.0;

constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;

Vec centre()
{
    return {GLfloat(MODEL_CENTRE[0]), GLfloat(MODEL_CENTRE[1]), GLfloat(MODEL_CENTRE[2])};
}

Vec scaled(Vec v, GLfloat s)
{
    return {v.x * s, v.y * s, v.z * s};
}

Vec minus(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Two unit vectors at right angles to unit `d` and to each other.
void across(Vec d, Vec &u, Vec &w)
{
    const Vec other = std::fabs(d.y) < 0.9f ? Vec{0.0f, 1.0f, 0.0f} : Vec{1.0f, 0.0f, 0.0f};
    u = equation::normalised(cross(d, other));
    w = cross(d, u);
}

MarkVertex vertex(Vec p, const GLfloat colour[3])
{
    return {{p.x, p.y, p.z}, {colour[0], colour[1], colour[2]}};
}

void line(Marks &marks, Vec from, Vec to, const GLfloat colour[3])
{
    marks.lines.push_back(vertex(from, colour));
    marks.lines.push_back(vertex(to, colour));
}

Vec fromArray(const GLfloat v[3])
{
    return {v[0], v[1], v[2]};
}

// The corners of the view volume the viewer's projection gives, at the near and the far plane,
// for a perspective projection symmetric about the line of sight, as gluPerspective makes it.
void viewVolume(const Matrix4 &projection, Vec near[4], Vec far[4])
{
    const GLfloat *p = projection.m;
    const GLfloat nearZ = p[14] / (p[10] - 1.0f);
    const GLfloat farZ = p[14] / (p[10] + 1.0f);
    const GLfloat signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        near[i] = {signs[i][0] * nearZ / p[0], signs[i][1] * nearZ / p[5], -nearZ};
        far[i] = {signs[i][0] * farZ / p[0], signs[i][1] * farZ / p[5], -farZ};
    }
}

bool positional(const LightSource &light)
{
    return light.position[3] != 0.0f;
}

Vec lightPlace(const LightSource &light)
{
    const GLfloat *p = light.position;
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

// The colour the light's mark is drawn in: its diffuse colour, as the screen can show it.
void lightColour(const LightSource &light, GLfloat colour[3])
{
    for (int i = 0; i < 3; ++i) {
        colour[i] = std::clamp(light.diffuse[i], 0.0f, 1.0f);
    }
}

void addEye(const Matrix4 &projection, Marks &marks)
{
    marks.bigPoints.push_back(vertex({0.0f, 0.0f, 0.0f}, EYE_COLOUR));
    Vec near[4], far[4];
    viewVolume(projection, near, far);
    for (int i = 0; i < 4; ++i) {
        line(marks, near[i], near[(i + 1) % 4], VOLUME_COLOUR);
        line(marks, far[i], far[(i + 1) % 4], VOLUME_COLOUR);
        line(marks, {0.0f, 0.0f, 0.0f}, far[i], VOLUME_COLOUR);
    }
}

void addLight(const LightSource &light, Marks &marks)
{
    GLfloat colour[3];
    lightColour(light, colour);
    if (positional(light)) {
        const Vec place = lightPlace(light);
        marks.bigPoints.push_back(vertex(place, EYE_COLOUR));
        marks.points.push_back(vertex(place, colour));
        line(marks, place, centre(), LIGHT_LINE_COLOUR);
        return;
    }
    // At infinity: the same direction everywhere, so parallel arrows come in along it.
    const Vec towards = equation::normalised(fromArray(light.position));
    Vec u, w;
    across(towards, u, w);
    // Five arrows: at the middle and at the four corners of a square across the direction.
    for (const GLfloat a : {-1.0f, 0.0f, 1.0f}) {
        for (const GLfloat b : {-1.0f, 0.0f, 1.0f}) {
            if ((a == 0.0f) != (b == 0.0f)) {
                continue;
            }
            const Vec offset =
                equation::add(scaled(u, a * ARROWS_APART), scaled(w, b * ARROWS_APART));
            const Vec from =
                equation::add(centre(), equation::add(scaled(towards, LIGHT_ARROWS_FROM), offset));
            const Vec tip =
                equation::add(centre(), equation::add(scaled(towards, ARROWS_TO), offset));
            line(marks, from, tip, LIGHT_LINE_COLOUR);
            for (const GLfloat side : {-1.0f, 1.0f}) {
                const Vec back =
                    equation::add(scaled(towards, ARROW_HEAD), scaled(u, side * ARROW_HEAD / 2));
                line(marks, tip, equation::add(tip, back), LIGHT_LINE_COLOUR);
            }
        }
    }
    marks.bigPoints.push_back(
        vertex(equation::add(centre(), scaled(towards, LIGHT_ARROWS_FROM)), EYE_COLOUR));
    marks.points.push_back(
        vertex(equation::add(centre(), scaled(towards, LIGHT_ARROWS_FROM)), colour));
}

void addCone(const LightSource &light, Marks &marks)
{
    GLfloat end[3];
    if (!coneEnd(light, end)) {
        return;
    }
    const Vec apex = lightPlace(light);
    const Vec tip = fromArray(end);
    const Vec axis = minus(tip, apex);
    const GLfloat length = equation::length(axis);
    const double halfAngle = std::min(double(light.spotCutoff), WIDEST_CONE_DRAWN);
    const auto radius = static_cast<GLfloat>(length * std::tan(halfAngle * RADIANS_PER_DEGREE));
    Vec u, w;
    across(equation::normalised(axis), u, w);
    const auto rim = [&](int k) {
        const double angle = 2.0 * 3.14159265358979323846 * k / CONE_SEGMENTS;
        return equation::add(tip, equation::add(scaled(u, radius * GLfloat(std::cos(angle))),
                                                scaled(w, radius * GLfloat(std::sin(angle)))));
    };
    for (int k = 0; k < CONE_SEGMENTS; ++k) {
        line(marks, rim(k), rim(k + 1), LIGHT_LINE_COLOUR);
    }
    for (int k = 0; k < CONE_SEGMENTS; k += CONE_SEGMENTS / CONE_SIDES) {
        line(marks, apex, rim(k), LIGHT_LINE_COLOUR);
    }
    line(marks, apex, tip, LIGHT_LINE_COLOUR);
    marks.bigPoints.push_back(vertex(tip, LIGHT_LINE_COLOUR));
}

void addVectors(const ProbedVectors &probed, Marks &marks)
{
    marks.bigPoints.push_back(vertex(fromArray(probed.point), EYE_COLOUR));
    const GLfloat *vectors[4] = {probed.n, probed.l, probed.v, probed.h};
    for (int i = 0; i < 4; ++i) {
        line(marks, fromArray(probed.corner),
             equation::add(fromArray(probed.corner), scaled(fromArray(vectors[i]), VECTOR_LENGTH)),
             VECTOR_COLOURS[i]);
    }
}

// Where eye position `p` lies in a view of `size` pixels through `camera`: in it, or where its edge
// points to it.
Named place(const std::string &name, Vec p, const Matrix4 &camera, int size)
{
    const GLfloat eye[4] = {p.x, p.y, p.z, 1.0f};
    GLfloat clip[4];
    transform(camera, eye, clip);
    const double half = size / 2.0;
    Named named = {name, 0.0, 0.0, false, equation::length(p)};
    if (clip[3] > 0.0f && std::fabs(clip[0]) <= clip[3] && std::fabs(clip[1]) <= clip[3] &&
        clip[2] <= clip[3]) {
        named.x = (clip[0] / clip[3] + 1.0) * half;
        named.y = (1.0 - clip[1] / clip[3]) * half;
        return named;
    }
    // Which way it lies across the line of sight, whether in front of the camera or behind it.
    double dx = clip[0];
    double dy = -clip[1];
    if (dx == 0.0 && dy == 0.0) {
        dy = -1.0;
    }
    const double reach = (half - EDGE_MARGIN) / std::max(std::fabs(dx), std::fabs(dy));
    named.x = half + dx * reach;
    named.y = half + dy * reach;
    named.atEdge = true;
    return named;
}

} // namespace

bool coneEnd(const LightSource &light, GLfloat end[3])
{
    if (light.spotCutoff == NO_SPOTLIGHT || !positional(light)) {
        return false;
    }
    const Vec apex = lightPlace(light);
    const Vec direction = equation::normalised(fromArray(light.spotDirection));
    const GLfloat length = equation::length(minus(centre(), apex)) + CONE_PAST_MODEL;
    const Vec tip = equation::add(apex, scaled(direction, length));
    end[0] = tip.x;
    end[1] = tip.y;
    end[2] = tip.z;
    return true;
}

void addNormal(const GLfloat position[3], const GLfloat normal[3], Marks &marks)
{
    const Vec from = fromArray(position);
    line(marks, from,
         equation::add(from, scaled(equation::normalised(fromArray(normal)), NORMAL_LENGTH)),
         NORMAL_COLOUR);
}

// Light 0, the program's own, and every other light the lab has turned on.
bool marked(const LightingState &lighting, int l)
{
    return l == 0 || lighting.lights[l].enabled;
}

void makeMarks(const LightingState &lighting, const Matrix4 &viewerProjection,
               const ShownParts &shown, const ProbedVectors &probed, Marks &marks)
{
    if (shown.eye) {
        addEye(viewerProjection, marks);
    }
    for (int l = 0; l < LIGHTS; ++l) {
        if (shown.light && marked(lighting, l)) {
            addLight(lighting.lights[l], marks);
        }
        if (shown.cone && marked(lighting, l)) {
            addCone(lighting.lights[l], marks);
        }
    }
    if (shown.vectors && probed.shown) {
        addVectors(probed, marks);
    }
}

void nameMarks(const LightingState &lighting, const Matrix4 &viewerProjection,
               const ShownParts &shown, const ProbedVectors &probed, const Matrix4 &camera,
               int size, std::vector<Named> &named)
{
    if (shown.eye) {
        named.push_back(place("eye", {0.0f, 0.0f, 0.0f}, camera, size));
        Vec near[4], far[4];
        viewVolume(viewerProjection, near, far);
        named.push_back(place("far plane", {0.0f, 0.0f, far[0].z}, camera, size));
    }
    for (int l = 0; l < LIGHTS; ++l) {
        const LightSource &light = lighting.lights[l];
        // Light 0 is the light; the others go by their numbers.
        const std::string lightName = l == 0 ? "light" : "light " + std::to_string(l);
        if (shown.light && marked(lighting, l)) {
            named.push_back(
                positional(light)
                    ? place(lightName, lightPlace(light), camera, size)
                    : place(lightName + " at infinity",
                            equation::add(centre(),
                                          scaled(equation::normalised(fromArray(light.position)),
                                                 LIGHT_ARROWS_FROM)),
                            camera, size));
        }
        GLfloat end[3];
        if (l == 0 && shown.cone && coneEnd(light, end)) {
            named.push_back(place("cone's end", fromArray(end), camera, size));
        }
    }
    if (shown.vectors && probed.shown) {
        const GLfloat *vectors[4] = {probed.n, probed.l, probed.v, probed.h};
        for (int i = 0; i < 4; ++i) {
            named.push_back(place(VECTOR_NAMES[i],
                                  equation::add(fromArray(probed.corner),
                                                scaled(fromArray(vectors[i]), VECTOR_LENGTH)),
                                  camera, size));
        }
    }
}
