// Runs the viewer against the tests' recording stand-in for GL and writes what the lessons quote
// from its calls. Run as `lessons_record FOLDER`; it writes there
//   recorded.txt     one "KEY value" line per number: the light and materials the viewer sets,
//                    GL's lighting equation worked out with them, counts of calls;
//   normals.mvg      the normals the viewer sends, as lines to draw on the rendered patch;
//   specular.dat     the specular factor against the angle, for gnuplot;
//   stack-*.dat      the modelview stack depth across one frame of the tree, for gnuplot.
#include "gl/equation.h"
#include "lessons/normals_picture.h"
#include "lessons/numbers.h"
#include "lessons/views.h"
#include "support/angles.h"
#include "support/drawing.h"
#include "support/fake_gl.h"
#include "support/viewer_main.h"

#include "input/input.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using drawing::Vec3;
using lessons::list;
using lessons::number;

std::string folder;

// What the viewer leaves at GL's default: the light model's global ambient light.
constexpr double GLOBAL_AMBIENT = 0.2;
// A spot cutoff of 180 degrees is GL's way of saying there is no cone.
constexpr double NO_SPOT = 180.0;
// GL clamps the shininess exponent to this.
constexpr double LARGEST_SHININESS = 128.0;

// Single-precision values as they were written in the code: 0.7f, not 0.699999988.
constexpr int FLOAT_DECIMALS = 6;

struct Light {
    std::array<double, 4> position{};
    Vec3 ambient{}, diffuse{}, specular{};
    // The spot, the attenuation and the light model's viewer: GL's defaults unless lesson 7
    // changes them.
    lessons::LightChange change;
};

struct Material {
    Vec3 ambient{}, diffuse{}, specular{}, emission{};
    double shininess = 0.0;
};

// The last values each parameter of `function` was set to: a light's or a material's.
std::map<GLenum, std::array<double, 4>> recordedParameters(std::string_view function)
{
    std::map<GLenum, std::array<double, 4>> values;
    for (const fakegl::Call &call : fakegl::calls()) {
        if (call.name == function) {
            values[GLenum(call.args[1])] = {call.args[2], call.args[3], call.args[4], call.args[5]};
        }
    }
    return values;
}

Vec3 rgb(const std::array<double, 4> &rgba)
{
    return {rgba[0], rgba[1], rgba[2]};
}

// Light 0 with lesson 7's change made to it.
Light changed(Light light, const lessons::LightChange &change)
{
    if (change.moved) {
        std::copy(change.position.begin(), change.position.end(), light.position.begin());
    }
    light.change = change;
    return light;
}

// Light 0 as the start-up set it.
Light recordedLight()
{
    auto set = recordedParameters("glLightfv");
    return {set[GL_POSITION], rgb(set[GL_AMBIENT]), rgb(set[GL_DIFFUSE]), rgb(set[GL_SPECULAR]),
            lessons::LightChange{}};
}

// The front material as the last part drawn in the recorded frame left it.
Material recordedMaterial()
{
    auto set = recordedParameters("glMaterialfv");
    return {rgb(set[GL_AMBIENT]), rgb(set[GL_DIFFUSE]), rgb(set[GL_SPECULAR]),
            rgb(set[GL_EMISSION]), recordedParameters("glMaterialf")[GL_SHININESS][0]};
}

Vec3 normalised(const Vec3 &v)
{
    const double length = drawing::length(v);
    return {v[0] / length, v[1] / length, v[2] / length};
}

Vec3 add(const Vec3 &a, const Vec3 &b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

Vec3 scaled(const Vec3 &v, double s)
{
    return {v[0] * s, v[1] * s, v[2] * s};
}

Vec3 product(const Vec3 &a, const Vec3 &b)
{
    return {a[0] * b[0], a[1] * b[1], a[2] * b[2]};
}

// The terms that no light's place, spot or distance changes.
Vec3 unlitTerm(const Material &material)
{
    const Vec3 global{GLOBAL_AMBIENT, GLOBAL_AMBIENT, GLOBAL_AMBIENT};
    return add(material.emission, product(material.ambient, global));
}

// The terms that light every point alike, turned to the light or not, when nothing dims the light.
Vec3 ambientTerm(const Light &light, const Material &material)
{
    return add(unlitTerm(material), product(material.ambient, light.ambient));
}

struct Lit {
    double facing = 0.0;         // N . L
    double lightAngle = 0.0;     // degrees between N and L
    double halfAngle = 0.0;      // degrees between N and H
    double specularFactor = 0.0; // (N . H) ^ shininess where the light reaches, else 0
    double distance = 0.0;       // to a light with w != 0
    double attenuation = 1.0;
    double spotAngle = 0.0; // degrees between the spot's axis and the way from the light
    double spotFactor = 1.0;
    Vec3 half{};
    Vec3 colour{}; // before GL clamps it to 1
};

equation::Vec<double> vec(const Vec3 &v)
{
    return {v[0], v[1], v[2]};
}

Vec3 vec3(const equation::Vec<double> &v)
{
    return {v.x, v.y, v.z};
}

// GL's lighting equation for one light at a point and normal in eye coordinates, as the browser's
// shader and its probe work it out (gl/equation.h), in double precision. A light with w = 0 is a
// direction, the same for every point and never nearer or farther; any other w makes it the point
// (x/w, y/w, z/w). Distance and spot dim everything the light adds, its ambient too.
Lit lightAt(const Light &light, const Material &material, const Vec3 &point, const Vec3 &normal)
{
    const lessons::LightChange &change = light.change;
    equation::Light<double> l = {};
    std::copy(light.position.begin(), light.position.end(), l.position);
    std::copy(light.ambient.begin(), light.ambient.end(), l.ambient);
    std::copy(light.diffuse.begin(), light.diffuse.end(), l.diffuse);
    std::copy(light.specular.begin(), light.specular.end(), l.specular);
    l.spotlight = change.spotCutoff != NO_SPOT;
    l.spotDirection = equation::normalised(equation::Vec<double>{
        change.spotDirection[0], change.spotDirection[1], change.spotDirection[2]});
    l.spotCosCutoff = std::cos(toRadians(change.spotCutoff));
    l.spotExponent = change.spotExponent;
    l.attenuation[0] = change.constantAttenuation;
    l.attenuation[1] = change.linearAttenuation;
    l.attenuation[2] = change.quadraticAttenuation;
    equation::Material<double> m = {};
    std::copy(material.ambient.begin(), material.ambient.end(), m.ambient);
    std::copy(material.diffuse.begin(), material.diffuse.end(), m.diffuse);
    std::copy(material.specular.begin(), material.specular.end(), m.specular);
    std::copy(material.emission.begin(), material.emission.end(), m.emission);
    m.shininess = material.shininess;
    const Vec3 n = normalised(normal);
    const equation::LightTerms<double> t =
        equation::lightTerms(vec(point), vec(n), l, m, change.localViewer);

    Lit lit;
    lit.facing = t.nDotL;
    lit.lightAngle = drawing::angleBetweenDegrees(n, vec3(t.l));
    lit.halfAngle = drawing::angleBetweenDegrees(n, vec3(t.h));
    lit.half = vec3(t.h);
    lit.specularFactor = t.specularFactor;
    lit.distance = t.distance;
    lit.attenuation = t.attenuation;
    if (l.spotlight) {
        lit.spotAngle = toDegrees(std::acos(std::fmin(1.0, t.spotDot)));
    }
    lit.spotFactor = t.spot;
    lit.colour = add(unlitTerm(material),
                     scaled(vec3(equation::Vec<double>{t.lit[0], t.lit[1], t.lit[2]}), t.reach));
    return lit;
}

// GL clamps each channel to 1; a byte holds 255 steps of it.
Vec3 inBytes(const Vec3 &colour)
{
    return {255.0 * std::fmin(1.0, colour[0]), 255.0 * std::fmin(1.0, colour[1]),
            255.0 * std::fmin(1.0, colour[2])};
}

struct Screen {
    fakegl::Matrix projection{};
    double width = 0.0, height = 0.0;
};

Screen recordedScreen()
{
    Screen screen;
    screen.projection = fakegl::currentMatrix(GL_PROJECTION);
    for (const fakegl::Call &call : fakegl::calls()) {
        if (call.name == "glutInitWindowSize") {
            screen.width = call.args[0];
            screen.height = call.args[1];
        }
    }
    return screen;
}

// Through the projection to the window, in pixels from the top left (the viewport is the window).
std::array<double, 2> toWindow(const Screen &screen, const Vec3 &eye)
{
    const fakegl::Matrix &p = screen.projection;
    const double x = p[0] * eye[0] + p[4] * eye[1] + p[8] * eye[2] + p[12];
    const double y = p[1] * eye[0] + p[5] * eye[1] + p[9] * eye[2] + p[13];
    const double w = p[3] * eye[0] + p[7] * eye[1] + p[11] * eye[2] + p[15];
    return {(x / w + 1.0) / 2.0 * screen.width, (1.0 - y / w) / 2.0 * screen.height};
}

void recordFrame(const ViewerState &state)
{
    fakegl::reset();
    viewerState = state;
    display();
}

// The viewer's modelview matrices only rotate, translate and scale alike in every direction, so
// they turn a normal as their inverse transpose would, up to its length, which GL_NORMALIZE
// restores.
Vec3 eyeNormal(const fakegl::Matrix &modelview, const Vec3 &n)
{
    return normalised(fakegl::transformDirection(modelview, n[0], n[1], n[2]));
}

Vec3 eyePoint(const fakegl::Matrix &modelview, const Vec3 &p)
{
    return fakegl::transformPoint(modelview, p[0], p[1], p[2]);
}

using Facet = lessons::EyeFacet;

// The facets of a frame that draws one sphere, in eye coordinates.
std::vector<Facet> sphereFacets()
{
    const fakegl::Matrix modelview = drawing::parts().front().modelview;
    std::vector<Facet> result;
    for (const drawing::Facet &sent : drawing::facets()) {
        Facet facet;
        for (std::size_t k = 0; k < sent.corners.size(); ++k) {
            facet.corners.push_back(eyePoint(modelview, sent.corners[k]));
            facet.normals.push_back(eyeNormal(modelview, sent.cornerNormals[k]));
        }
        result.push_back(facet);
    }
    return result;
}

using Numbers = std::map<std::string, std::string>;

void lightAndMaterials(Numbers &numbers, const Light &light)
{
    numbers["LIGHT_POSITION"] = number(light.position[0], FLOAT_DECIMALS) + ", " +
                                number(light.position[1], FLOAT_DECIMALS) + ", " +
                                number(light.position[2], FLOAT_DECIMALS) + ", " +
                                number(light.position[3], FLOAT_DECIMALS);
    numbers["LIGHT_AMBIENT"] = list(light.ambient, FLOAT_DECIMALS);
    numbers["LIGHT_DIFFUSE"] = list(light.diffuse, FLOAT_DECIMALS);
    numbers["LIGHT_SPECULAR"] = list(light.specular, FLOAT_DECIMALS);
    numbers["GLOBAL_AMBIENT"] = number(GLOBAL_AMBIENT, FLOAT_DECIMALS);

    recordFrame(lessons::sphere(false, false));
    const Material material = recordedMaterial();
    numbers["SPHERE_AMBIENT"] = list(material.ambient, FLOAT_DECIMALS);
    numbers["SPHERE_DIFFUSE"] = list(material.diffuse, FLOAT_DECIMALS);
    numbers["SPHERE_EMISSION"] = list(material.emission, FLOAT_DECIMALS);
    numbers["SPECULAR_OFF"] = list(material.specular, FLOAT_DECIMALS);
    numbers["SHININESS_OFF"] = number(material.shininess, FLOAT_DECIMALS);

    // The shadow side: only the terms that do not depend on the light's direction.
    const Vec3 global = product(material.ambient, {GLOBAL_AMBIENT, GLOBAL_AMBIENT, GLOBAL_AMBIENT});
    const Vec3 fromLight = product(material.ambient, light.ambient);
    const Vec3 shadow = ambientTerm(light, material);
    numbers["SHADOW_GLOBAL_PART"] = list(global, 4);
    numbers["SHADOW_LIGHT_PART"] = list(fromLight, 4);
    numbers["SHADOW_COLOUR"] = list(shadow, 4);
    numbers["SHADOW_255"] = list(inBytes(shadow), 2);
    numbers["SHADOW_RGB"] = list(inBytes(shadow), 0);

    // The brightest point: a normal straight at the light, N . L = 1.
    const Vec3 straight = add(shadow, product(material.diffuse, light.diffuse));
    numbers["STRAIGHT_DIFFUSE_PART"] = list(product(material.diffuse, light.diffuse), 4);
    numbers["STRAIGHT_COLOUR"] = list(straight, 4);
    numbers["STRAIGHT_255"] = list(inBytes(straight), 2);
    numbers["STRAIGHT_RGB"] = list(inBytes(straight), 0);

    // What the flat frame really sends: the facet whose corner comes nearest that, and how many of
    // the facets turned to the viewer the light does not reach at all.
    Lit brightest;
    int front = 0, unlit = 0;
    for (const Facet &facet : sphereFacets()) {
        if (!lessons::facesEye(facet.corners[0], facet.normals[0])) {
            continue;
        }
        ++front;
        bool reached = false;
        for (std::size_t k = 0; k < facet.corners.size(); ++k) {
            const Lit lit = lightAt(light, material, facet.corners[k], facet.normals[k]);
            reached = reached || lit.facing > 0.0;
            if (lit.facing > brightest.facing) {
                brightest = lit;
            }
        }
        unlit += reached ? 0 : 1;
    }
    numbers["FACETS_FRONT"] = std::to_string(front);
    numbers["FACETS_UNLIT"] = std::to_string(unlit);
    numbers["BRIGHT_FACET_ANGLE"] = number(brightest.lightAngle, 1);
    numbers["BRIGHT_FACET_FACING"] = number(brightest.facing, 4);
    numbers["BRIGHT_FACET_255"] = list(inBytes(brightest.colour), 2);
    numbers["BRIGHT_FACET_RGB"] = list(inBytes(brightest.colour), 0);
}

// Facets are neighbours when they share an edge: two distinct corners, sent bit for bit alike.
bool neighbours(const Facet &a, const Facet &b)
{
    std::set<Vec3> shared;
    for (const Vec3 &p : a.corners) {
        for (const Vec3 &q : b.corners) {
            if (p == q) {
                shared.insert(p);
            }
        }
    }
    return shared.size() >= 2;
}

// The largest angle between the normals of neighbouring facets of a flat frame.
double largestNeighbourAngle(const std::vector<Facet> &facets)
{
    double largest = 0.0;
    for (std::size_t a = 0; a < facets.size(); ++a) {
        for (std::size_t b = a + 1; b < facets.size(); ++b) {
            if (neighbours(facets[a], facets[b])) {
                largest = std::fmax(largest, drawing::angleBetweenDegrees(facets[a].normals[0],
                                                                          facets[b].normals[0]));
            }
        }
    }
    return largest;
}

void normals(Numbers &numbers, const Screen &screen)
{
    numbers["NORMAL_LINE_LENGTH"] = number(lessons::NORMAL_LINE_LENGTH, 3);
    recordFrame(lessons::sphere(false, false));
    numbers["FACETS"] = std::to_string(fakegl::count("glBegin"));
    numbers["CORNERS"] = std::to_string(fakegl::count("glVertex3d"));
    numbers["NORMALS_FLAT"] = std::to_string(fakegl::count("glNormal3d"));
    const std::vector<Facet> flat = sphereFacets();
    numbers["NEIGHBOUR_ANGLE"] = number(largestNeighbourAngle(flat), 1);

    recordFrame(lessons::sphere(true, false));
    numbers["NORMALS_SMOOTH"] = std::to_string(fakegl::count("glNormal3d"));
    const std::vector<Facet> smooth = sphereFacets();
    std::ofstream(folder + "/normals.mvg") << lessons::normalsMarks(
        flat, smooth, [&screen](const Vec3 &eye) { return toWindow(screen, eye); });
}

void highlight(Numbers &numbers, const Light &light)
{
    recordFrame(lessons::sphere(true, true));
    const Material material = recordedMaterial();
    numbers["SPECULAR_ON"] = list(material.specular, FLOAT_DECIMALS);
    numbers["SHININESS_ON"] = number(material.shininess, FLOAT_DECIMALS);
    // Where (cos angle) ^ shininess falls to a half.
    numbers["HALF_STRENGTH_ANGLE"] =
        number(toDegrees(std::acos(std::pow(0.5, 1.0 / material.shininess))), 1);

    Lit brightest;
    for (const Facet &facet : sphereFacets()) {
        for (std::size_t k = 0; k < facet.corners.size(); ++k) {
            const Lit lit = lightAt(light, material, facet.corners[k], facet.normals[k]);
            if (lessons::facesEye(facet.corners[k], facet.normals[k]) &&
                lit.specularFactor > brightest.specularFactor) {
                brightest = lit;
            }
        }
    }
    numbers["HIGHLIGHT_HALF_ANGLE"] = number(brightest.halfAngle, 1);
    numbers["HIGHLIGHT_FACTOR"] = number(brightest.specularFactor, 3);
    numbers["HIGHLIGHT_FACING"] = number(brightest.facing, 3);
    numbers["HIGHLIGHT_COLOUR"] = list(brightest.colour, 3);
    numbers["HIGHLIGHT_255"] = list(inBytes(brightest.colour), 2);

    // The factor against the angle for a few exponents, the viewer's among them.
    constexpr double STEP_DEGREES = 0.25, LAST_DEGREES = 90.0;
    const double exponents[] = {10.0, 30.0, material.shininess, LARGEST_SHININESS};
    std::ofstream data(folder + "/specular.dat");
    data << "angle";
    for (const double n : exponents) {
        const char *whose = n == material.shininess  ? " (the viewer)"
                            : n == LARGEST_SHININESS ? " (OpenGL's largest)"
                                                     : "";
        data << " \"shininess " << number(n, 2) << whose << "\"";
    }
    data << "\n";
    for (double angle = 0.0; angle <= LAST_DEGREES; angle += STEP_DEGREES) {
        data << number(angle, 2);
        for (const double n : exponents) {
            data << ' ' << number(std::pow(std::cos(toRadians(angle)), n), 6);
        }
        data << "\n";
    }
}

// Whether the facet's face looks towards the eye, as its corners' turn (anticlockwise, seen from
// the side it faces) tells; on the sphere, whether it shows.
bool onShow(const Facet &facet)
{
    Vec3 middle{}, face{};
    const std::size_t n = facet.corners.size();
    for (std::size_t k = 0; k < n; ++k) {
        middle = add(middle, scaled(facet.corners[k], 1.0 / double(n)));
    }
    for (std::size_t k = 0; k < n; ++k) {
        const Vec3 &a = facet.corners[k];
        const Vec3 &b = facet.corners[(k + 1) % n];
        face = add(face, {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                          a[0] * b[1] - a[1] * b[0]});
    }
    return lessons::facesEye(middle, face);
}

std::string joined(const std::vector<float> &values, const std::string &separator)
{
    std::string text;
    for (const float v : values) {
        text += (text.empty() ? "" : separator) + number(v, FLOAT_DECIMALS);
    }
    return text;
}

struct Setting {
    std::string labName; // as the lessons page's lab and its buttons name it
    std::vector<float> values;
    bool changed;
};

// Each thing lesson 7 can change, and whether this change changes it.
std::vector<Setting> settings(const lessons::LightChange &change)
{
    const lessons::LightChange gl;
    const auto &position = change.position;
    const auto &direction = change.spotDirection;
    return {
        {"LIGHT_POSITION", {position.begin(), position.end()}, change.moved},
        {"GL_SPOT_DIRECTION", {direction.begin(), direction.end()}, direction != gl.spotDirection},
        {"GL_SPOT_CUTOFF", {change.spotCutoff}, change.spotCutoff != gl.spotCutoff},
        {"GL_SPOT_EXPONENT", {change.spotExponent}, change.spotExponent != gl.spotExponent},
        {"GL_CONSTANT_ATTENUATION",
         {change.constantAttenuation},
         change.constantAttenuation != gl.constantAttenuation},
        {"GL_LINEAR_ATTENUATION",
         {change.linearAttenuation},
         change.linearAttenuation != gl.linearAttenuation},
        {"GL_QUADRATIC_ATTENUATION",
         {change.quadraticAttenuation},
         change.quadraticAttenuation != gl.quadraticAttenuation},
        {"GL_LIGHT_MODEL_LOCAL_VIEWER",
         {change.localViewer ? 1.0f : 0.0f},
         change.localViewer != gl.localViewer},
        {"GL_LIGHT_MODEL_TWO_SIDE", {change.twoSide ? 1.0f : 0.0f}, change.twoSide != gl.twoSide},
    };
}

// The viewer's keys that reach the frame from the start: lesson 7's frames are all of the sphere,
// unturned and at the start zoom.
std::string keys(const ViewerState &state)
{
    return std::string(state.smoothShading ? "s" : "") + (state.highlight ? "h" : "");
}

// Lesson 7: what each frame changes, the steps of its button on the lessons page, and its light
// worked out at the corner that comes out brightest and, in smooth frames, at the one in the
// middle of the window.
void litFrames(Numbers &numbers, const Light &viewers)
{
    const std::string GL_PREFIX = "GL_";
    for (const lessons::LitFrame &frame : lessons::litFrames()) {
        const std::string name = frame.name;
        const Light light = changed(viewers, frame.light);
        std::string steps = keys(frame.state);
        for (const Setting &setting : settings(frame.light)) {
            if (setting.changed) {
                steps += (steps.empty() ? "" : " ") + setting.labName + "=" +
                         joined(setting.values, ",");
                std::string key = setting.labName;
                if (key.rfind(GL_PREFIX, 0) == 0) {
                    key.erase(0, GL_PREFIX.size());
                }
                numbers[name + "_SET_" + key] = joined(setting.values, ", ");
            }
        }
        numbers["STEPS_" + name] = steps;

        recordFrame(frame.state);
        const Material material = recordedMaterial();
        struct Corner {
            Lit lit;
            Lit viewers; // the same corner in the viewer's own light
        } brightest, middle;
        double most = -1.0, offAxis = std::numeric_limits<double>::infinity();
        for (const Facet &facet : sphereFacets()) {
            // Every corner of a facet on show, also one just round the outline: the pixels there
            // blend towards it.
            if (!onShow(facet)) {
                continue;
            }
            for (std::size_t k = 0; k < facet.corners.size(); ++k) {
                const Corner corner{lightAt(light, material, facet.corners[k], facet.normals[k]),
                                    lightAt(viewers, material, facet.corners[k], facet.normals[k])};
                const Vec3 bytes = inBytes(corner.lit.colour);
                const double brightness = bytes[0] + bytes[1] + bytes[2];
                if (brightness > most) {
                    most = brightness;
                    brightest = corner;
                }
                const double fromAxis = std::hypot(facet.corners[k][0], facet.corners[k][1]);
                if (fromAxis < offAxis) {
                    offAxis = fromAxis;
                    middle = corner;
                }
            }
        }
        std::vector<std::pair<std::string, Corner>> quoted{{"_BRIGHT_", brightest}};
        // The corner on the line of sight, which lies in the middle pixel of the window. Flat
        // facets give it as many colours as meet there, so only smooth frames have one.
        if (frame.state.smoothShading) {
            quoted.emplace_back("_MIDDLE_", middle);
        }
        // The colour, and the terms of the equation the frame's change is about.
        const lessons::LightChange gl;
        const lessons::LightChange &change = frame.light;
        for (const auto &[which, corner] : quoted) {
            const std::string key = name + which;
            const Lit &lit = corner.lit;
            numbers[key + "COLOUR"] = list(lit.colour, 3);
            numbers[key + "255"] = list(inBytes(lit.colour), 2);
            numbers[key + "RGB"] = list(inBytes(lit.colour), 0);
            if (light.position[3] == 0.0) {
                numbers[key + "FACING"] = number(lit.facing, 4);
                numbers[key + "ANGLE"] = number(lit.lightAngle, 1);
            }
            if (change.constantAttenuation != gl.constantAttenuation ||
                change.linearAttenuation != gl.linearAttenuation ||
                change.quadraticAttenuation != gl.quadraticAttenuation) {
                numbers[key + "DISTANCE"] = number(lit.distance, 2);
                numbers[key + "ATTENUATION"] = number(lit.attenuation, 3);
            }
            if (change.spotCutoff != gl.spotCutoff) {
                numbers[key + "SPOT_ANGLE"] = number(lit.spotAngle, 1);
                numbers[key + "SPOT"] = number(lit.spotFactor, 3);
            }
            if (change.localViewer != gl.localViewer) {
                // How far the change turns the half vector from where the viewer's light has it.
                numbers[key + "HALF_TURN"] =
                    number(drawing::angleBetweenDegrees(lit.half, corner.viewers.half), 1);
            }
        }
        if (frame.light.spotExponent > 0.0f) {
            // Where the spot's light falls to a half.
            numbers[name + "_HALF_STRENGTH_ANGLE"] =
                number(toDegrees(std::acos(std::pow(0.5, 1.0 / frame.light.spotExponent))), 1);
        }
    }
}

Vec3 first3(const std::array<float, 4> &values)
{
    return {values[0], values[1], values[2]};
}

// Whether window point p lies inside the polygon of window points `corners`.
bool covers(const std::vector<std::array<double, 2>> &corners, const std::array<double, 2> &p)
{
    bool inside = false;
    for (std::size_t k = 0, last = corners.size() - 1; k < corners.size(); last = k++) {
        const auto &a = corners[k];
        const auto &b = corners[last];
        if ((a[1] > p[1]) != (b[1] > p[1]) &&
            p[0] < (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1]) + a[0]) {
            inside = !inside;
        }
    }
    return inside;
}

// Lesson 7's two-sided lighting: how many of the facets turned to the eye the viewer sends wound
// clockwise on the screen, so that GL takes them for back faces, and the facet at ON_BACK_FACE lit
// both ways: as the front, with the normal as sent, and as a back face, with the normal turned
// round and GL's back material.
void twoSided(Numbers &numbers, const Light &light, const Screen &screen)
{
    recordFrame(lessons::sphere(false, false));
    const Material front = recordedMaterial();
    const lessons::DefaultBackMaterial gl;
    const Material back{first3(gl.ambient), first3(gl.diffuse), first3(gl.specular),
                        first3(gl.emission), gl.shininess};
    const std::array<double, 2> sample{lessons::ON_BACK_FACE.x + 0.5,
                                       lessons::ON_BACK_FACE.y + 0.5};
    int clockwise = 0;
    const std::vector<Facet> facets = sphereFacets();
    const Facet *under = nullptr;
    for (const Facet &facet : facets) {
        if (!lessons::facesEye(facet.corners[0], facet.normals[0])) {
            continue;
        }
        clockwise += onShow(facet) ? 0 : 1;
        std::vector<std::array<double, 2>> window;
        for (const Vec3 &corner : facet.corners) {
            window.push_back(toWindow(screen, corner));
        }
        if (covers(window, sample)) {
            under = &facet;
        }
    }
    numbers["TWO_SIDED_CLOCKWISE_FACETS"] = std::to_string(clockwise);
    if (under == nullptr || onShow(*under)) {
        std::fprintf(stderr, "ON_BACK_FACE is on no facet sent clockwise\n");
        std::exit(1);
    }
    // The corner nearest the pixel: the light is far off, so the facet's corners differ little.
    std::size_t nearest = 0;
    for (std::size_t k = 1; k < under->corners.size(); ++k) {
        const auto a = toWindow(screen, under->corners[k]);
        const auto b = toWindow(screen, under->corners[nearest]);
        if (std::hypot(a[0] - sample[0], a[1] - sample[1]) <
            std::hypot(b[0] - sample[0], b[1] - sample[1])) {
            nearest = k;
        }
    }
    const Vec3 &corner = under->corners[nearest];
    const Vec3 &normal = under->normals[nearest];
    const Lit asFront = lightAt(light, front, corner, normal);
    const Lit asBack = lightAt(light, back, corner, scaled(normal, -1.0));
    numbers["ONE_SIDED_BACK_255"] = list(inBytes(asFront.colour), 2);
    numbers["TWO_SIDED_BACK_FACING"] = number(asBack.facing, 4);
    numbers["TWO_SIDED_BACK_GLOBAL_PART"] = list(unlitTerm(back), 4);
    numbers["TWO_SIDED_BACK_LIGHT_PART"] = list(product(back.ambient, light.ambient), 4);
    numbers["TWO_SIDED_BACK_DIFFUSE_PART"] =
        list(scaled(product(back.diffuse, light.diffuse), asBack.facing), 4);
    numbers["TWO_SIDED_BACK_COLOUR"] = list(asBack.colour, 4);
    numbers["TWO_SIDED_BACK_255"] = list(inBytes(asBack.colour), 2);
    numbers["TWO_SIDED_BACK_RGB"] = list(inBytes(asBack.colour), 0);
}

// Lesson 7's second light on the smooth sphere: the corner where the two lights' sum is largest,
// each light's share there and the sum before GL clips it, how many corners on show it clips at,
// and the steps of the buttons that enable the light alone and with its colour and place.
void secondLight(Numbers &numbers, const Light &viewers)
{
    const lessons::SecondLight &set = lessons::SECOND_LIGHT;
    const Light second{{set.position[0], set.position[1], set.position[2], set.position[3]},
                       {0.0, 0.0, 0.0},
                       first3(set.diffuse),
                       {0.0, 0.0, 0.0},
                       lessons::LightChange{}};
    const std::vector<float> position(set.position.begin(), set.position.end());
    const std::vector<float> diffuse(set.diffuse.begin(), set.diffuse.end());
    numbers["SECOND_SET_POSITION"] = joined(position, ", ");
    numbers["SECOND_SET_DIFFUSE"] = joined(diffuse, ", ");
    numbers["STEPS_SECOND_BLACK"] = "s GL_LIGHT1=1";
    numbers["STEPS_SECOND"] = "s GL_LIGHT1=1 GL_LIGHT1_POSITION=" + joined(position, ",") +
                              " GL_LIGHT1_DIFFUSE=" + joined(diffuse, ",");

    recordFrame(lessons::sphere(true, false));
    const Material material = recordedMaterial();
    struct Peak {
        Lit first, second;
        Vec3 sum;
    } peak;
    double most = -1.0;
    int corners = 0, clipped = 0;
    for (const Facet &facet : sphereFacets()) {
        if (!onShow(facet)) {
            continue;
        }
        for (std::size_t k = 0; k < facet.corners.size(); ++k) {
            const Lit first = lightAt(viewers, material, facet.corners[k], facet.normals[k]);
            const Lit other = lightAt(second, material, facet.corners[k], facet.normals[k]);
            const Vec3 sum =
                add(first.colour, add(other.colour, scaled(unlitTerm(material), -1.0)));
            const double largest = std::max({sum[0], sum[1], sum[2]});
            ++corners;
            clipped += largest > 1.0 ? 1 : 0;
            if (largest > most) {
                most = largest;
                peak = {first, other, sum};
            }
        }
    }
    numbers["SECOND_CORNERS"] = std::to_string(corners);
    numbers["SECOND_CLIPPED_CORNERS"] = std::to_string(clipped);
    numbers["SECOND_PEAK_FACING_0"] = number(peak.first.facing, 4);
    numbers["SECOND_PEAK_FACING_1"] = number(peak.second.facing, 4);
    numbers["SECOND_PEAK_LIGHT_0"] = list(peak.first.colour, 4);
    numbers["SECOND_PEAK_LIGHT_1"] =
        list(add(peak.second.colour, scaled(unlitTerm(material), -1.0)), 4);
    numbers["SECOND_PEAK_SUM"] = list(peak.sum, 4);
    numbers["SECOND_PEAK_255"] = list(inBytes(peak.sum), 2);
    numbers["SECOND_PEAK_RGB"] = list(inBytes(peak.sum), 0);
}

// Lesson 8: lesson 3's highlighted smooth sphere at one pixel, lit per corner as GL lights it and
// per pixel as the lessons page's second view does. A polygon is drawn as a fan of triangles from
// its first corner; at a pixel's centre the rasteriser weighs the corners of the triangle under it,
// each put on its grid of 1/16 pixel, by their share of its area on the screen, each divided by its
// distance along the line of sight (clip w) and made to add up to 1 again: the perspective-correct
// weights. Per corner the weights mix the corners' colours; per pixel they mix the corners'
// positions and normals, and the equation is worked out there. The pixel is the one where the two
// differ most with no colour clipped.
void perCornerPerPixel(Numbers &numbers, const Light &light, const Screen &screen)
{
    recordFrame(lessons::sphere(true, true));
    const Material material = recordedMaterial();
    struct Sample {
        int x = 0, y = 0;
        std::array<double, 3> weights{};
        std::array<Lit, 3> corners{};
        Vec3 byCorner{}, byPixel{};
        Lit atPixel{};
    } best;
    double most = -1.0;
    for (const Facet &facet : sphereFacets()) {
        if (!onShow(facet)) {
            continue;
        }
        for (std::size_t k = 1; k + 1 < facet.corners.size(); ++k) {
            const std::array<std::size_t, 3> at{0, k, k + 1};
            std::array<std::array<double, 2>, 3> window{};
            std::array<Lit, 3> lit{};
            for (int i = 0; i < 3; ++i) {
                // The rasteriser puts a corner on its grid of 1/16 pixel (GL_SUBPIXEL_BITS 4),
                // counted up from the window's bottom.
                constexpr double SUBPIXELS = 16.0;
                const std::array<double, 2> exact = toWindow(screen, facet.corners[at[i]]);
                window[i] = {std::round(exact[0] * SUBPIXELS) / SUBPIXELS,
                             screen.height -
                                 std::round((screen.height - exact[1]) * SUBPIXELS) / SUBPIXELS};
                lit[i] = lightAt(light, material, facet.corners[at[i]], facet.normals[at[i]]);
            }
            const auto edge = [&](int a, int b, double x, double y) {
                return (window[b][0] - window[a][0]) * (y - window[a][1]) -
                       (window[b][1] - window[a][1]) * (x - window[a][0]);
            };
            const double area = edge(0, 1, window[2][0], window[2][1]);
            const auto [left, right] = std::minmax({window[0][0], window[1][0], window[2][0]});
            const auto [top, bottom] = std::minmax({window[0][1], window[1][1], window[2][1]});
            for (int y = int(std::ceil(top - 0.5)); y + 0.5 <= bottom; ++y) {
                for (int x = int(std::ceil(left - 0.5)); x + 0.5 <= right; ++x) {
                    const double px = x + 0.5, py = y + 0.5;
                    std::array<double, 3> w{edge(1, 2, px, py) / area, edge(2, 0, px, py) / area,
                                            edge(0, 1, px, py) / area};
                    // Strictly inside, so that a pixel on a shared edge is never in doubt.
                    if (std::min({w[0], w[1], w[2]}) <= 0.0) {
                        continue;
                    }
                    double sum = 0.0;
                    for (int i = 0; i < 3; ++i) {
                        w[i] /= -facet.corners[at[i]][2];
                        sum += w[i];
                    }
                    Vec3 byCorner{}, point{}, normal{};
                    for (int i = 0; i < 3; ++i) {
                        w[i] /= sum;
                        byCorner = add(byCorner, scaled(inBytes(lit[i].colour), w[i]));
                        point = add(point, scaled(facet.corners[at[i]], w[i]));
                        normal = add(normal, scaled(facet.normals[at[i]], w[i]));
                    }
                    const Lit atPixel = lightAt(light, material, point, normal);
                    const Vec3 byPixel = inBytes(atPixel.colour);
                    // Where no colour is clipped, the two differ by the equation alone.
                    const auto clipped = [](const Vec3 &c) {
                        return std::max({c[0], c[1], c[2]}) >= 1.0;
                    };
                    if (clipped(atPixel.colour) || clipped(lit[0].colour) ||
                        clipped(lit[1].colour) || clipped(lit[2].colour)) {
                        continue;
                    }
                    double apart = 0.0;
                    for (int c = 0; c < 3; ++c) {
                        apart = std::max(apart, std::fabs(byPixel[c] - byCorner[c]));
                    }
                    if (apart > most) {
                        most = apart;
                        best = {x, y, w, lit, byCorner, byPixel, atPixel};
                    }
                }
            }
        }
    }
    numbers["PER_PIXEL_X"] = std::to_string(best.x);
    numbers["PER_PIXEL_Y"] = std::to_string(best.y);
    numbers["PER_PIXEL_WEIGHTS"] = list(Vec3{best.weights[0], best.weights[1], best.weights[2]}, 4);
    numbers["PER_PIXEL_CORNER_FACTORS"] =
        list(Vec3{best.corners[0].specularFactor, best.corners[1].specularFactor,
                  best.corners[2].specularFactor},
             4);
    numbers["PER_PIXEL_CORNER_HALF_ANGLES"] = list(
        Vec3{best.corners[0].halfAngle, best.corners[1].halfAngle, best.corners[2].halfAngle}, 1);
    numbers["PER_PIXEL_BY_CORNER_255"] = list(best.byCorner, 2);
    numbers["PER_PIXEL_HALF_ANGLE"] = number(best.atPixel.halfAngle, 1);
    numbers["PER_PIXEL_FACTOR"] = number(best.atPixel.specularFactor, 4);
    numbers["PER_PIXEL_255"] = list(best.byPixel, 2);
    numbers["PER_PIXEL_APART"] = number(most, 1);
}

// How far a light is from the sphere's centre, and how wide the sphere looks from there.
void seenFromLight(Numbers &numbers, const std::string &name, const std::array<double, 4> &light)
{
    recordFrame(lessons::sphere(false, false));
    const Vec3 centre = eyePoint(drawing::parts().front().modelview, {0.0, 0.0, 0.0});
    const double radius =
        drawing::length(drawing::subtract(sphereFacets().front().corners[0], centre));
    const double away = drawing::length(
        drawing::subtract({light[0] / light[3], light[1] / light[3], light[2] / light[3]}, centre));
    numbers[name + "_CENTRE_DISTANCE"] = number(away, 2);
    numbers[name + "_SPHERE_SPAN"] = number(toDegrees(std::asin(radius / away)), 1);
}

std::vector<fakegl::Call> frameCalls()
{
    std::vector<fakegl::Call> frame;
    bool started = false;
    for (const fakegl::Call &call : fakegl::calls()) {
        started = started || call.name == "glClear";
        if (started) {
            frame.push_back(call);
        }
    }
    return frame;
}

bool sameCall(const fakegl::Call &a, const fakegl::Call &b)
{
    return a.name == b.name && a.argCount == b.argCount && a.args == b.args &&
           a.modelviewDepth == b.modelviewDepth;
}

void polygonModes(Numbers &numbers)
{
    recordFrame(lessons::sphere(false, false));
    const std::vector<fakegl::Call> filled = frameCalls();
    numbers["FRAME_CALLS"] = std::to_string(filled.size());
    std::size_t differing = 0;
    for (const unsigned char key : {'w', 'v'}) {
        fakegl::reset();
        keyboard(key, 0, 0);
        display();
        const std::vector<fakegl::Call> other = frameCalls();
        const std::size_t common = std::min(other.size(), filled.size());
        differing += std::max(other.size(), filled.size()) - common;
        for (std::size_t k = 0; k < common; ++k) {
            differing += sameCall(other[k], filled[k]) ? 0 : 1;
        }
    }
    numbers["MODE_CALLS_DIFFERING"] = std::to_string(differing);
}

void ladder(Numbers &numbers)
{
    // Unturned and at zoom 1, so the rungs' centres read in the frame's own units.
    ViewerState state;
    state.objectIndex = MODEL_TWISTED_LADDER;
    recordFrame(state);
    numbers["LADDER_DEEPEST"] = std::to_string(fakegl::maxModelviewDepth());
    // The twist of each rod about x, followed round past a full turn.
    double twist = 0.0, previous = 0.0, x = 0.0;
    int rung = 0;
    for (const drawing::Part &part : drawing::parts()) {
        if (part.isSphere) {
            continue;
        }
        ++rung;
        const Vec3 axis = fakegl::transformDirection(part.modelview, 0, 0, 1);
        const double angle = toDegrees(std::atan2(-axis[1], axis[2]));
        twist += std::remainder(angle - previous, 360.0);
        previous = angle;
        x = fakegl::transformPoint(part.modelview, 0, 0, 0)[0];
        if (rung <= 2) {
            numbers["RUNG_" + std::to_string(rung) + "_X"] = number(x, 3);
            numbers["RUNG_" + std::to_string(rung) + "_TWIST"] = number(twist, 1);
        }
    }
    numbers["LAST_RUNG_X"] = number(x, 3);
    numbers["LAST_RUNG_TWIST"] = number(twist, 1);
    numbers["RUNGS"] = std::to_string(rung);
}

void tree(Numbers &numbers)
{
    recordFrame(lessons::tree());
    const std::vector<drawing::Part> parts = drawing::parts();
    std::ofstream depth(folder + "/stack-depth.dat");
    std::vector<std::array<int, 2>> rodsDrawn; // the push or pop they follow, and the stack depth
    int event = 0, pushes = 0, pops = 0;
    std::size_t part = 0;
    const std::vector<fakegl::Call> frame = frameCalls();
    depth << event << ' ' << frame.front().modelviewDepth << "\n";
    for (const fakegl::Call &call : frame) {
        if (call.name == "glPushMatrix" || call.name == "glPopMatrix") {
            const bool push = call.name == "glPushMatrix";
            pushes += push ? 1 : 0;
            pops += push ? 0 : 1;
            depth << ++event << ' ' << call.modelviewDepth + (push ? 1 : -1) << "\n";
        } else if (call.name == "glMaterialfv" && GLenum(call.args[1]) == GL_DIFFUSE) {
            // Each part sets its diffuse colour once, so the parts come in the same order.
            if (!parts[part++].isSphere) {
                rodsDrawn.push_back({event, call.modelviewDepth});
            }
        }
    }
    numbers["TREE_PUSHES"] = std::to_string(pushes);
    numbers["TREE_POPS"] = std::to_string(pops);
    numbers["TREE_DEEPEST"] = std::to_string(fakegl::maxModelviewDepth());
    numbers["TREE_END_DEPTH"] = std::to_string(fakegl::modelviewDepth());
    numbers["TREE_RODS"] = std::to_string(rodsDrawn.size());

    // Each level of the recursion draws its rods at a stack depth of its own: the levels are the
    // depths in increasing order.
    std::map<int, int> rodsAtDepth;
    for (const auto &[after, stackDepth] : rodsDrawn) {
        ++rodsAtDepth[stackDepth];
    }
    std::map<int, int> levelAtDepth;
    std::ofstream levels(folder + "/stack-levels.dat");
    for (const auto &[stackDepth, count] : rodsAtDepth) {
        const int level = int(levelAtDepth.size()) + 1;
        levelAtDepth[stackDepth] = level;
        const std::string key = "LEVEL_" + std::to_string(level);
        numbers[key + "_DEPTH"] = std::to_string(stackDepth);
        numbers[key + "_RODS"] = std::to_string(count);
        levels << stackDepth << ' ' << level << " \"level " << level << ": " << count
               << (count == 1 ? " rod" : " rods") << "\"\n";
    }
    numbers["TREE_LEVELS"] = std::to_string(levelAtDepth.size());
    std::ofstream rods(folder + "/stack-rods.dat");
    for (const auto &[after, stackDepth] : rodsDrawn) {
        rods << after << ' ' << stackDepth << ' ' << levelAtDepth[stackDepth] << "\n";
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    folder = argv[1];

    char program[] = "orvane-viewer";
    char *viewerArgv[] = {program, nullptr};
    viewerMain(1, viewerArgv);
    const Light light = recordedLight();
    const Screen screen = recordedScreen();

    Numbers numbers;
    lightAndMaterials(numbers, light);
    normals(numbers, screen);
    highlight(numbers, light);
    polygonModes(numbers);
    ladder(numbers);
    tree(numbers);
    litFrames(numbers, light);
    twoSided(numbers, light, screen);
    secondLight(numbers, light);
    perCornerPerPixel(numbers, light, screen);
    seenFromLight(numbers, "VIEWER", light.position);
    seenFromLight(numbers, "NEAR", changed(light, lessons::nearPoint().light).position);

    std::ofstream out(folder + "/recorded.txt");
    for (const auto &[key, value] : numbers) {
        out << key << ' ' << value << "\n";
    }
    return out.good() ? 0 : 1;
}
