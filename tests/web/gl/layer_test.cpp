// The GL layer where the viewer's pictures cannot show a fault: vertex colours the shader worked
// out, read back from single points, against OpenGL 1.x's lighting equation worked out here by
// hand in double precision; and the matrix stacks' limits, errors and matrices.
//
// Prints one JSON line per case, {"name", "kind", "expected", "actual"}, then "done"; the tolerance
// for each kind is in gl_layer.test.mjs. Run with the argument "unsupported" (an enumerant) or
// "too-many-corners" (a polygon), it makes a call outside the layer's subset instead, which must
// abort in this (debug) build.
#include "gl/gl_layer.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Vec3 = std::array<double, 3>;

constexpr int CANVAS_SIZE = 64;
constexpr double PI = 3.14159265358979323846;

double dot(const Vec3 &a, const Vec3 &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 unit(const Vec3 &v)
{
    const double length = std::sqrt(dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

struct Material {
    Vec3 ambient, diffuse, specular, emission;
    double shininess;
};
struct Light {
    std::array<double, 4> position; // eye coordinates
    Vec3 ambient, diffuse, specular;
};
constexpr double GLOBAL_AMBIENT = 0.2; // GL's default

// OpenGL 1.x's lighting equation for one light, a viewer at infinity, attenuation 1, in 0..255.
Vec3 lightingEquation(const Vec3 &vertex, const Vec3 &normal, const Material &m, const Light &l)
{
    const Vec3 toLight = l.position[3] == 0.0 ? Vec3{l.position[0], l.position[1], l.position[2]}
                                              : Vec3{l.position[0] / l.position[3] - vertex[0],
                                                     l.position[1] / l.position[3] - vertex[1],
                                                     l.position[2] / l.position[3] - vertex[2]};
    const Vec3 lightDirection = unit(toLight);
    const double nDotL = dot(normal, lightDirection);
    const Vec3 half = unit({lightDirection[0], lightDirection[1], lightDirection[2] + 1.0});
    const double nDotH = std::max(0.0, dot(normal, half));
    // GL's f: 1 where the light reaches (n . L, clamped at 0, is not 0), else 0.
    const double specular = nDotL > 0.0 ? std::pow(nDotH, m.shininess) : 0.0;
    Vec3 colour;
    for (std::size_t c = 0; c < 3; ++c) {
        const double sum = m.emission[c] + m.ambient[c] * GLOBAL_AMBIENT +
                           m.ambient[c] * l.ambient[c] +
                           std::max(0.0, nDotL) * m.diffuse[c] * l.diffuse[c] +
                           specular * m.specular[c] * l.specular[c];
        colour[c] = 255.0 * std::clamp(sum, 0.0, 1.0);
    }
    return colour;
}

// A colour as GL takes it: four floats, opaque.
std::array<GLfloat, 4> rgba(const Vec3 &colour)
{
    return {GLfloat(colour[0]), GLfloat(colour[1]), GLfloat(colour[2]), 1.0f};
}

void sendMaterial(GLenum face, const Material &m)
{
    glMaterialfv(face, GL_AMBIENT, rgba(m.ambient).data());
    glMaterialfv(face, GL_DIFFUSE, rgba(m.diffuse).data());
    glMaterialfv(face, GL_SPECULAR, rgba(m.specular).data());
    glMaterialfv(face, GL_EMISSION, rgba(m.emission).data());
    glMaterialf(face, GL_SHININESS, GLfloat(m.shininess));
}

// Light 0 as given, set while the modelview matrix is the identity, so that its position is
// already in eye coordinates.
void sendLight(const Light &l)
{
    const GLfloat position[] = {GLfloat(l.position[0]), GLfloat(l.position[1]),
                                GLfloat(l.position[2]), GLfloat(l.position[3])};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, rgba(l.ambient).data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, rgba(l.diffuse).data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, rgba(l.specular).data());
}

// The viewer's own light and its sphere's material with the highlight on.
constexpr Light VIEWER_LIGHT = {{-100, 100, 100, 1}, {0.7, 0.7, 0.7}, {0.8, 0.8, 0.8}, {1, 1, 1}};
constexpr Material SPHERE = {{0.3, 0.3, 0.3}, {0.1, 0.5, 0.8}, {0.1, 0.5, 0.8}, {0, 0, 0}, 100};
// White lights from +x, from the viewer's side (+z), from behind, and one close to the vertex.
constexpr Light FROM_RIGHT = {{1, 0, 0, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}};
constexpr Light FROM_FRONT = {{0, 0, 1, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}};
constexpr Light DIM_FROM_FRONT = {{0, 0, 1, 0}, {0, 0, 0}, {0.3, 0.3, 0.3}, {0, 0, 0}};
constexpr Light FROM_BEHIND = {{0, 0, -1, 0}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}};
constexpr Light NEAR = {{1, 0, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}};
constexpr Light WITH_AMBIENT = {{0, 0, 1, 0}, {0.2, 0.2, 0.2}, {1, 1, 1}, {0, 0, 0}};
// GL's initial material; greys with a highlight and with a very broad one; a red back face; a
// material whose emission and ambient alone pass 1 in red.
constexpr Material PLAIN = {{0.2, 0.2, 0.2}, {0.8, 0.8, 0.8}, {0, 0, 0}, {0, 0, 0}, 0};
constexpr Material GREY = {{0.2, 0.2, 0.2}, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {0, 0, 0}, 10};
constexpr Material GREY_DULL = {{0.2, 0.2, 0.2}, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {0, 0, 0}, 1};
constexpr Material RED_BACK = {{0.2, 0, 0}, {0.9, 0.1, 0.1}, {0, 0, 0}, {0, 0, 0}, 0};
constexpr Material GLOWING = {{0.5, 0.5, 0.5}, {0.8, 0.1, 0.1}, {0, 0, 0}, {0.6, 0.3, 0}, 0};

// One vertex lit by light 0, drawn as the first corner of a polygon in point mode.
struct LitVertex {
    const char *name;
    Light light; // as sent, while the modelview matrix turns lightTurn degrees about y
    float lightTurn;
    Material front; // the back face's material is RED_BACK
    bool twoSide;   // two-sided lighting
    bool clockwise; // the polygon runs clockwise on the screen: its back is seen
    bool normalize; // GL_NORMALIZE
    float scale;    // the modelview's scale when the vertex is sent
    Vec3 normal;    // as sent
    int px, py;     // the pixel it lands on
    double z;       // its eye depth
};

// One case a row: name; light, its turn; front material; two-sided, clockwise, normalize,
// scale; normal; px, py, z.
// clang-format off
constexpr LitVertex LIT_VERTICES[] = {
    {"the viewer's light and highlighted sphere, lit at a vertex",
     VIEWER_LIGHT, 0, SPHERE, false, false, true, 1, {-0.3, 0.4, 0.8}, 20, 40, -0.5},
    // n . L < 0 but n . h > 0: GL adds no highlight on a side the light does not reach.
    {"no highlight where the normal faces away from the light",
     FROM_RIGHT, 0, GREY_DULL, false, false, true, 1, {-0.1, 0.0, 1.0}, 10, 10, 0.0},
    // The half vector of a viewer at infinity: L + (0, 0, 1), whatever the vertex's position.
    {"the highlight follows (n . h)^shininess for a viewer at infinity",
     FROM_RIGHT, 0, GREY, false, false, true, 1, {0.5, 0.0, 1.0}, 50, 12, 0.7},
    {"emission adds to the light and the sum clamps at 1",
     WITH_AMBIENT, 0, GLOWING, false, false, true, 1, {0, 0, 1}, 30, 30, 0.0},
    // 0.5 to the vertex's right and 1 in front of it: L is (0.5, 0, 1), not (1, 0, 1), normalised.
    {"a positional light shines from its position towards each vertex",
     NEAR, 0, PLAIN, false, false, true, 1, {0, 0, 1}, 16, 32, 0.0},
    // Set while the modelview turns +z to +x, the light's direction is kept as +x.
    {"the light's position is taken through the modelview in force when it is set",
     FROM_FRONT, 90, PLAIN, false, false, true, 1, {1, 0, 0}, 40, 20, 0.0},
    // Under a scale of 0.5 a unit normal comes out twice as long.
    {"GL_NORMALIZE makes a scaled normal unit again",
     DIM_FROM_FRONT, 0, PLAIN, false, false, true, 0.5f, {0.0, 0.6, 0.8}, 8, 50, 0.0},
    {"without GL_NORMALIZE a scaled normal keeps its length",
     DIM_FROM_FRONT, 0, PLAIN, false, false, false, 0.5f, {0.0, 0.6, 0.8}, 8, 50, 0.0},
    {"one-sided lighting lights a back face as the front",
     FROM_BEHIND, 0, PLAIN, false, true, true, 1, {0, 0, 1}, 44, 44, 0.0},
    {"two-sided lighting lights a back face with the back material, reversed",
     FROM_BEHIND, 0, PLAIN, true, true, true, 1, {0, 0, 1}, 44, 44, 0.0},
};
// clang-format on

// Everything the cases change, back to GL's initial state, lighting on.
void startCase()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDisable(GL_NORMALIZE);
    sendMaterial(GL_FRONT_AND_BACK, PLAIN);
    sendLight(FROM_FRONT);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Normalised device coordinates of the middle of pixel (x, y), with identity matrices.
double pixelMiddle(int pixel)
{
    return (2.0 * pixel + 1.0) / CANVAS_SIZE - 1.0;
}

// Draws a polygon in point mode whose first corner lands on pixel (px, py) at eye depth z, under
// a modelview that scales by `scale`, and returns that pixel's colour. The other two corners are
// two pixels to the right and above, or the other way round when `clockwise`.
Vec3 vertexColour(int px, int py, double z, const Vec3 &normal, bool clockwise, double scale)
{
    const int right = clockwise ? 0 : 2, up = clockwise ? 2 : 0;
    glBegin(GL_POLYGON);
    glNormal3d(normal[0], normal[1], normal[2]);
    glVertex3d(pixelMiddle(px) / scale, pixelMiddle(py) / scale, z / scale);
    glVertex3d(pixelMiddle(px + right) / scale, pixelMiddle(py + up) / scale, z / scale);
    glVertex3d(pixelMiddle(px + 2) / scale, pixelMiddle(py + 2) / scale, z / scale);
    glEnd();
    unsigned char rgba[4] = {};
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {double(rgba[0]), double(rgba[1]), double(rgba[2])};
}

void report(const char *name, const char *kind, const std::vector<double> &expected,
            const std::vector<double> &actual)
{
    std::string line = std::string("{\"name\": \"") + name + "\", \"kind\": \"" + kind + "\"";
    for (const auto *values : {&expected, &actual}) {
        line += values == &expected ? ", \"expected\": [" : ", \"actual\": [";
        for (std::size_t i = 0; i < values->size(); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%s%.9g", i == 0 ? "" : ", ", (*values)[i]);
            line += number;
        }
        line += "]";
    }
    std::printf("%s}\n", line.c_str());
}

void reportColour(const char *name, const Vec3 &expected, const Vec3 &actual)
{
    report(name, "colour", {expected.begin(), expected.end()}, {actual.begin(), actual.end()});
}

// What GL does with the case, worked out here: the light turned into eye coordinates, the normal
// through the inverse transpose of the scale (1 / scale), normalised or not, and reversed with
// the back material for a back face under two-sided lighting.
void litVertexCase(const LitVertex &c)
{
    startCase();
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, c.twoSide ? 1.0f : 0.0f);
    c.normalize ? glEnable(GL_NORMALIZE) : glDisable(GL_NORMALIZE);
    sendMaterial(GL_FRONT, c.front);
    sendMaterial(GL_BACK, RED_BACK);
    glRotatef(c.lightTurn, 0.0f, 1.0f, 0.0f);
    sendLight(c.light);
    glLoadIdentity();
    glScalef(c.scale, c.scale, c.scale);

    Light eyeLight = c.light;
    const double turn = c.lightTurn * PI / 180.0;
    eyeLight.position[0] =
        std::cos(turn) * c.light.position[0] + std::sin(turn) * c.light.position[2];
    eyeLight.position[2] =
        -std::sin(turn) * c.light.position[0] + std::cos(turn) * c.light.position[2];
    const Vec3 sent = unit(c.normal);
    const double length = c.normalize ? 1.0 : 1.0 / c.scale;
    const double sign = c.twoSide && c.clockwise ? -1.0 : 1.0;
    const Vec3 used = {sign * length * sent[0], sign * length * sent[1], sign * length * sent[2]};
    const Material &material = c.twoSide && c.clockwise ? RED_BACK : c.front;
    reportColour(
        c.name,
        lightingEquation({pixelMiddle(c.px), pixelMiddle(c.py), c.z}, used, material, eyeLight),
        vertexColour(c.px, c.py, c.z, sent, c.clockwise, c.scale));
}

void unlitVerticesTakeTheCurrentColour()
{
    startCase();
    glDisable(GL_LIGHTING);
    reportColour("with lighting off a vertex has the current colour, white", {255, 255, 255},
                 vertexColour(4, 4, 0.0, {0, 0, 1}, false, 1.0));
}

void lightZeroOffLeavesTheGlobalAmbient()
{
    startCase();
    glDisable(GL_LIGHT0);
    sendMaterial(GL_FRONT, GREY);
    reportColour("with light 0 off only emission and the global ambient of 0.2 remain",
                 {255 * 0.2 * 0.2, 255 * 0.2 * 0.2, 255 * 0.2 * 0.2},
                 vertexColour(24, 8, 0.0, {0, 0, 1}, false, 1.0));
}

bool lit(int px, int py)
{
    unsigned char rgba[4] = {};
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return rgba[0] != 0 || rgba[1] != 0 || rgba[2] != 0;
}

// A square from pixel 10 to pixel 50 each way, white on black, read where each mode must have
// drawn or left out something: 1 where something was drawn. (Which of the pixels on a filled
// polygon's edges, or at a line's ends, are drawn is the rasteriser's to settle.)
void polygonModeDraws(GLenum mode, const char *name)
{
    startCase();
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, mode);
    constexpr int LOW = 10, HIGH = 50, MIDDLE = 30;
    glBegin(GL_POLYGON);
    glVertex3d(pixelMiddle(LOW), pixelMiddle(LOW), 0.0);
    glVertex3d(pixelMiddle(HIGH), pixelMiddle(LOW), 0.0);
    glVertex3d(pixelMiddle(HIGH), pixelMiddle(HIGH), 0.0);
    glVertex3d(pixelMiddle(LOW), pixelMiddle(HIGH), 0.0);
    glEnd();
    const std::vector<double> corners = {double(lit(LOW, LOW)), double(lit(HIGH, LOW)),
                                         double(lit(HIGH, HIGH)), double(lit(LOW, HIGH))};
    const std::vector<double> edgeMiddles = {double(lit(MIDDLE, LOW)), double(lit(HIGH, MIDDLE)),
                                             double(lit(MIDDLE, HIGH)), double(lit(LOW, MIDDLE))};
    const double centre = lit(MIDDLE, MIDDLE);
    if (mode == GL_FILL) {
        report(name, "exact", {1}, {centre});
    } else if (mode == GL_LINE) {
        report(name, "exact", {1, 1, 1, 1, 0},
               {edgeMiddles[0], edgeMiddles[1], edgeMiddles[2], edgeMiddles[3], centre});
    } else {
        report(name, "exact", {1, 1, 1, 1, 0, 0, 0, 0, 0},
               {corners[0], corners[1], corners[2], corners[3], edgeMiddles[0], edgeMiddles[1],
                edgeMiddles[2], edgeMiddles[3], centre});
    }
}

GLint integer(GLenum pname)
{
    GLint value = 0;
    glGetIntegerv(pname, &value);
    return value;
}

// Pushing past the deepest entry and popping the last one record GL's errors and change nothing.
void stackLimits(GLenum mode, GLenum depthName, const char *overflowName, const char *underflowName)
{
    startCase();
    glMatrixMode(mode);
    const GLint limit = integer(mode == GL_MODELVIEW ? GL_MAX_MODELVIEW_STACK_DEPTH
                                                     : GL_MAX_PROJECTION_STACK_DEPTH);
    while (glGetError() != GL_NO_ERROR) {
    }
    for (GLint i = 1; i < limit; ++i) {
        glPushMatrix();
    }
    const GLenum beforeLimit = glGetError();
    glTranslatef(1.0f, 0.0f, 0.0f);
    glPushMatrix();
    const GLenum overflow = glGetError();
    GLfloat top[16];
    glGetFloatv(mode == GL_MODELVIEW ? GL_MODELVIEW_MATRIX : GL_PROJECTION_MATRIX, top);
    report(overflowName, "exact",
           {double(GL_NO_ERROR), double(GL_STACK_OVERFLOW), double(limit), 1.0},
           {double(beforeLimit), double(overflow), double(integer(depthName)), double(top[12])});
    for (GLint i = 1; i < limit; ++i) {
        glPopMatrix();
    }
    const GLenum beforeBottom = glGetError();
    glPopMatrix();
    const GLenum underflow = glGetError();
    report(underflowName, "exact", {double(GL_NO_ERROR), double(GL_STACK_UNDERFLOW), 1.0},
           {double(beforeBottom), double(underflow), double(integer(depthName))});
    glMatrixMode(GL_MODELVIEW);
}

// Values outside GL's ranges are refused with GL_INVALID_VALUE, and an unknown shade model with
// GL_INVALID_ENUM; the edges of the ranges, and the spot cutoff's 180, are taken.
void outOfRangeValuesAreRefused()
{
    startCase();
    while (glGetError() != GL_NO_ERROR) {
    }
    struct Call {
        GLenum pname;
        GLfloat value;
        GLenum error;
    };
    constexpr Call LIGHT_CALLS[] = {
        {GL_SPOT_CUTOFF, 90.5f, GL_INVALID_VALUE},
        {GL_SPOT_CUTOFF, 90.0f, GL_NO_ERROR},
        {GL_SPOT_CUTOFF, 180.0f, GL_NO_ERROR},
        {GL_SPOT_CUTOFF, -1.0f, GL_INVALID_VALUE},
        {GL_SPOT_EXPONENT, 129.0f, GL_INVALID_VALUE},
        {GL_SPOT_EXPONENT, 128.0f, GL_NO_ERROR},
        {GL_LINEAR_ATTENUATION, -0.5f, GL_INVALID_VALUE},
        {GL_QUADRATIC_ATTENUATION, 0.0f, GL_NO_ERROR},
    };
    std::vector<double> expected, actual;
    for (const Call &call : LIGHT_CALLS) {
        glLightf(GL_LIGHT0, call.pname, call.value);
        expected.push_back(double(call.error));
        actual.push_back(double(glGetError()));
    }
    glMaterialf(GL_FRONT, GL_SHININESS, 200.0f);
    expected.push_back(double(GL_INVALID_VALUE));
    actual.push_back(double(glGetError()));
    glShadeModel(GL_POINT);
    expected.push_back(double(GL_INVALID_ENUM));
    actual.push_back(double(glGetError()));
    report("values outside GL's ranges are refused, and their edges taken", "exact", expected,
           actual);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 0.0f);
}

std::vector<double> matrixOf(GLenum pname)
{
    GLfloat m[16];
    glGetFloatv(pname, m);
    return {m, m + 16};
}

// GLU's matrix for the viewer's projection, column by column.
void perspectiveIsGlus()
{
    startCase();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(40.0, 1.0, 1.0, 80.0);
    glMatrixMode(GL_MODELVIEW);
    const double f = 1.0 / std::tan(20.0 * PI / 180.0);
    report("gluPerspective(40, 1, 1, 80) makes GLU's matrix", "matrix",
           {f, 0, 0, 0, 0, f, 0, 0, 0, 0, -81.0 / 79.0, -1, 0, 0, -160.0 / 79.0, 0},
           matrixOf(GL_PROJECTION_MATRIX));
}

// A turn about a slanted axis, then a translation and a scale, against Rodrigues' formula: the
// product T R S, column by column.
void transformsMultiplyOnTheRight()
{
    startCase();
    glTranslatef(1.0f, -2.0f, 3.0f);
    glRotatef(30.0f, 1.0f, 2.0f, 2.0f);
    glScalef(2.0f, 2.0f, 2.0f);
    const Vec3 u = {1.0 / 3, 2.0 / 3, 2.0 / 3};
    const double c = std::cos(PI / 6), s = std::sin(PI / 6);
    std::vector<double> expected(16, 0.0);
    const Vec3 cross[3] = {{0, u[2], -u[1]}, {-u[2], 0, u[0]}, {u[1], -u[0], 0}}; // by column
    for (std::size_t column = 0; column < 3; ++column) {
        for (std::size_t row = 0; row < 3; ++row) {
            const double r =
                u[row] * u[column] * (1 - c) + (row == column ? c : 0.0) + s * cross[column][row];
            expected[column * 4 + row] = 2.0 * r;
        }
    }
    expected[12] = 1.0;
    expected[13] = -2.0;
    expected[14] = 3.0;
    expected[15] = 1.0;
    report("translate, rotate about a slanted axis and scale multiply on the right", "matrix",
           expected, matrixOf(GL_MODELVIEW_MATRIX));
}

} // namespace

int main(int argc, char **argv)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !startGlLayer()) {
        std::printf("no WebGL context\n");
        return 1;
    }
    glViewport(0, 0, CANVAS_SIZE, CANVAS_SIZE);

    if (argc > 1 && std::strcmp(argv[1], "unsupported") == 0) {
        glBegin(GL_TRIANGLE_STRIP);
        std::printf("still running after an unsupported call\n");
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "too-many-corners") == 0) {
        glBegin(GL_POLYGON);
        for (int corner = 0; corner <= 16384; ++corner) {
            glVertex3d(std::cos(corner), std::sin(corner), 0.0);
        }
        glEnd();
        std::printf("still running after an unsupported call\n");
        return 0;
    }

    for (const LitVertex &c : LIT_VERTICES) {
        litVertexCase(c);
    }
    unlitVerticesTakeTheCurrentColour();
    lightZeroOffLeavesTheGlobalAmbient();
    polygonModeDraws(GL_FILL, "GL_FILL fills the polygon");
    polygonModeDraws(GL_LINE, "GL_LINE draws each edge of the polygon and not its inside");
    polygonModeDraws(GL_POINT, "GL_POINT draws each corner of the polygon and nothing else");
    stackLimits(GL_MODELVIEW, GL_MODELVIEW_STACK_DEPTH, "pushing a full modelview stack overflows",
                "popping the last modelview entry underflows");
    stackLimits(GL_PROJECTION, GL_PROJECTION_STACK_DEPTH,
                "pushing a full projection stack overflows",
                "popping the last projection entry underflows");
    perspectiveIsGlus();
    transformsMultiplyOnTheRight();
    outOfRangeValuesAreRefused();
    std::printf("done\n");
    return 0;
}
