// The second view's canvas and what draws in it. While it is open it listens to the GL layer's
// frames: each draw of the picture is drawn again here, as it came (the same vertices in eye
// coordinates, lit by the same shader with the same light and materials) but projected through the
// outside camera; a clear clears it; and at the frame's end the marks are drawn over it. So a
// facet has the same colours in both views, and from the eye this view is the picture itself.
//
// Or it shows the picture lit per pixel, which the GL layer draws in the picture's own context
// (gl/per_pixel.cpp): at the frame's end it is read back and shown here, with no marks.
#include "second/second.h"

#include "gl/appendf.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char *CANVAS = "#second-view";
constexpr int VIEW_SIZE = 600;
// Points drawn for marks, in pixels; a big one under a small one rings it.
constexpr GLfloat POINT_SIZE = 7.0f;
constexpr GLfloat BIG_POINT_SIZE = 11.0f;

const char *const MARK_VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec3 colour;
uniform mat4 matrix;
uniform float pointSize;
varying vec3 shade;
void main()
{
    gl_Position = matrix * vec4(position, 1.0);
    gl_PointSize = pointSize;
    shade = colour;
}
)";

const char *const MARK_FRAGMENT_SHADER = R"(
precision mediump float;
varying vec3 shade;
void main()
{
    gl_FragColor = vec4(shade, 1.0);
}
)";

// Everything the second view keeps, as the GL layer keeps its state in one structure.
struct SecondView {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
    Renderer renderer;
    bool perPixel; // shows the picture lit per pixel, not the scene from outside
    GLuint markProgram, markBuffer;
    GLint markMatrix, markPointSize;
    TextureCopy perPixelCopy; // shows the picture lit per pixel
    GLuint perPixelTexture;
    bool open;
    ShownParts shown;
    OutsideCamera camera;
    ProbedVectors probed;
    Marks normalsDrawing; // the normals of the frame being drawn
    Marks normalsShown;   // of the frame on screen, for orvane.outside.normals()
    // What the camera shows, for the frame on screen: the light, and the matrix.
    LightingState lighting;
    Matrix4 viewerProjection;
    Matrix4 matrix;
    // The fragment state this context was last given, to give it only when it changes.
    bool depthTest;
    GLboolean depthMask;
};
SecondView view = {0,
                   {},
                   false,
                   0,
                   0,
                   -1,
                   -1,
                   {},
                   0,
                   false,
                   {true, true, true, false, true},
                   OPENING_CAMERA,
                   {},
                   {},
                   {},
                   {},
                   IDENTITY,
                   IDENTITY,
                   false,
                   GL_TRUE};

// Runs `work` in the second view's context, and gives the picture's back.
template <typename Work> void inSecondView(Work work)
{
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE picture = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(view.context);
    work();
    emscripten_webgl_make_context_current(picture);
}

// The picture lit per pixel is drawn only while it is shown, and the normals the program sends
// are gathered only while the scene from outside shows them.
void followWhatIsShown()
{
    gatherSentNormals(view.open && !view.perPixel && view.shown.normals);
    lightPerPixelToo(view.open && view.perPixel);
}

bool makePerPixelObjects()
{
    emscripten_glGenTextures(1, &view.perPixelTexture);
    bindNearestTexture(view.perPixelTexture);
    return makeTextureCopy(view.perPixelCopy);
}

bool makeObjects()
{
    if (!makeRenderer(view.renderer) || !makePerPixelObjects()) {
        return false;
    }
    bindRenderer(view.renderer);
    const char *const attributes[] = {"position", "colour"};
    view.markProgram = linkProgram({{MARK_VERTEX_SHADER}}, {{MARK_FRAGMENT_SHADER}}, attributes, 2);
    view.markMatrix = emscripten_glGetUniformLocation(view.markProgram, "matrix");
    view.markPointSize = emscripten_glGetUniformLocation(view.markProgram, "pointSize");
    emscripten_glGenBuffers(1, &view.markBuffer);
    view.depthTest = false;
    view.depthMask = GL_TRUE;
    return view.markProgram != 0;
}

// The picture's clear values and depth state, which the program set in its context.
void followFragmentState()
{
    const FragmentState &fragment = glState.fragment;
    if (fragment.depthTest != view.depthTest) {
        view.depthTest = fragment.depthTest;
        view.depthTest ? emscripten_glEnable(GL_DEPTH_TEST) : emscripten_glDisable(GL_DEPTH_TEST);
    }
    if (fragment.depthMask != view.depthMask) {
        view.depthMask = fragment.depthMask;
        emscripten_glDepthMask(view.depthMask);
    }
}

// Drawn here as each draw of the picture is drawn, switching contexts each time: kept instead and
// drawn all at once at the frame's end, the tree's frames with both views took a third longer
// again (docs/PERFORMANCE.md), as the second view's work then followed the picture's rather than
// overlapping it.
void drawn(const Draw &draw)
{
    view.lighting = *draw.lighting;
    view.viewerProjection = *draw.projection;
    if (view.perPixel) {
        return;
    }
    inSecondView([&draw] {
        followFragmentState();
        useLighting(view.renderer, *draw.lighting, view.matrix, draw.materials, draw.materialCount);
        drawVertices(view.renderer, draw);
    });
    if (view.shown.normals && draw.sentNormals != nullptr) {
        for (std::size_t i = 0; i < draw.vertexCount; ++i) {
            if (draw.ownNormals[i] != 0) {
                addNormal(draw.vertices[i].position, draw.sentNormals + 3 * i, view.normalsDrawing);
            }
        }
    }
}

void cleared()
{
    view.normalsDrawing = {};
    if (view.perPixel) {
        return;
    }
    view.matrix = cameraMatrix(view.camera, glState.transform.projection.top());
    inSecondView([] {
        const FragmentState &fragment = glState.fragment;
        emscripten_glClearColor(fragment.clearColour[0], fragment.clearColour[1],
                                fragment.clearColour[2], fragment.clearColour[3]);
        emscripten_glClearDepthf(fragment.clearDepth);
        emscripten_glDepthMask(GL_TRUE);
        view.depthMask = GL_TRUE;
        emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });
}

void drawMarks(const std::vector<MarkVertex> &vertices, GLenum primitive, GLfloat pointSize)
{
    if (vertices.empty()) {
        return;
    }
    emscripten_glUniform1f(view.markPointSize, pointSize);
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(vertices.size() * sizeof(MarkVertex)),
                            vertices.data(), GL_STREAM_DRAW);
    constexpr GLsizei stride = sizeof(MarkVertex);
    emscripten_glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(MarkVertex, position)));
    emscripten_glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(MarkVertex, colour)));
    emscripten_glDrawArrays(primitive, 0, static_cast<GLsizei>(vertices.size()));
}

// The picture lit per pixel, from where the GL layer drew it, stretched over the view.
void showPerPixelPicture()
{
    int width = 0, height = 0;
    const unsigned char *pixels = readPerPixel(width, height);
    if (pixels == nullptr) {
        return;
    }
    inSecondView([pixels, width, height] {
        emscripten_glDisable(GL_DEPTH_TEST);
        view.depthTest = false;
        emscripten_glBindTexture(GL_TEXTURE_2D, view.perPixelTexture);
        emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA,
                                GL_UNSIGNED_BYTE, pixels);
        drawTextureCopy(view.perPixelCopy, view.perPixelTexture);
        bindRenderer(view.renderer);
    });
}

void finished()
{
    view.normalsShown = view.normalsDrawing;
    if (view.perPixel) {
        showPerPixelPicture();
        return;
    }
    Marks marks;
    makeMarks(view.lighting, view.viewerProjection, view.shown, view.probed, marks);
    inSecondView([&marks] {
        emscripten_glUseProgram(view.markProgram);
        emscripten_glUniformMatrix4fv(view.markMatrix, 1, GL_FALSE, view.matrix.m);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, view.markBuffer);
        emscripten_glEnableVertexAttribArray(0);
        emscripten_glEnableVertexAttribArray(1);
        emscripten_glDisableVertexAttribArray(2);
        emscripten_glDisableVertexAttribArray(3);
        // A small point drawn where a big one is must win: the same depth passes.
        emscripten_glDepthFunc(GL_LEQUAL);
        drawMarks(view.normalsShown.lines, GL_LINES, 1.0f);
        drawMarks(marks.lines, GL_LINES, 1.0f);
        drawMarks(marks.bigPoints, GL_POINTS, BIG_POINT_SIZE);
        drawMarks(marks.points, GL_POINTS, POINT_SIZE);
        emscripten_glDepthFunc(GL_LESS);
        bindRenderer(view.renderer);
    });
}

constexpr FrameListener SECOND_VIEW = {drawn, cleared, finished, nullptr};

EM_BOOL onContextRestored(int, const void *, void *)
{
    inSecondView([] { makeObjects(); });
    glutPostRedisplay();
    return EM_FALSE;
}

EM_BOOL onContextLost(int, const void *, void *)
{
    return EM_TRUE; // so that the browser may give it back
}

// Makes the context the first time the view opens; false if the browser gives none.
bool makeContext()
{
    if (view.context > 0) {
        return true;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    view.context = emscripten_webgl_create_context(CANVAS, &attributes);
    if (view.context <= 0) {
        return false;
    }
    bool made = false;
    inSecondView([&made] { made = makeObjects(); });
    emscripten_set_webglcontextlost_callback(CANVAS, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(CANVAS, nullptr, EM_FALSE, onContextRestored);
    return made;
}

void appendMatrix(std::string &out, const GLfloat *m)
{
    out += '[';
    for (int i = 0; i < 16; ++i) {
        appendf(out, "%s%.9g", i > 0 ? "," : "", double(m[i]));
    }
    out += ']';
}

// Eye position `p` moved by (dx, dy) canvas pixels across the view, keeping its depth in it.
bool movedAcross(const GLfloat p[3], double dx, double dy, GLfloat out[3])
{
    const GLfloat eye[4] = {p[0], p[1], p[2], 1.0f};
    GLfloat clip[4];
    transform(view.matrix, eye, clip);
    double inverse[16];
    if (clip[3] <= 0.0f || !inverted(view.matrix, inverse)) {
        return false;
    }
    const double ndc[4] = {clip[0] / clip[3] + 2.0 * dx / VIEW_SIZE,
                           clip[1] / clip[3] - 2.0 * dy / VIEW_SIZE, clip[2] / clip[3], 1.0};
    double moved[4];
    for (int row = 0; row < 4; ++row) {
        moved[row] = inverse[row] * ndc[0] + inverse[4 + row] * ndc[1] + inverse[8 + row] * ndc[2] +
                     inverse[12 + row] * ndc[3];
    }
    for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<GLfloat>(moved[i] / moved[3]);
    }
    return true;
}

// A light position in eye coordinates as the lab's LIGHT_POSITION gives it: the same, or, where
// the lab sets it in display(), taken back through the rotations and the move it was set under.
void asLabPosition(const GLfloat eye[4], GLfloat lab[4])
{
    Matrix4 setUnder;
    if (!lightPositionSetInFrame(setUnder)) {
        std::copy_n(eye, 4, lab);
        return;
    }
    double inverse[16];
    inverted(setUnder, inverse);
    for (int row = 0; row < 4; ++row) {
        lab[row] = static_cast<GLfloat>(inverse[row] * eye[0] + inverse[4 + row] * eye[1] +
                                        inverse[8 + row] * eye[2] + inverse[12 + row] * eye[3]);
    }
}

std::string json;

const char *answer(const std::string &text)
{
    json = text;
    return json.c_str();
}

} // namespace

bool openSecondView(bool on)
{
    if (on && !makeContext()) {
        return false;
    }
    view.open = on;
    listenToFrames(&SECOND_VIEW, view.open);
    followWhatIsShown();
    glutPostRedisplay();
    return true;
}

void showPerPixel(bool on)
{
    view.perPixel = on;
    followWhatIsShown();
    glutPostRedisplay();
}

void readSecondViewPixel(unsigned char rgba[4])
{
    inSecondView([rgba] { emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba); });
}

// orvane.outside on the page (second/second.js).
extern "C" {

// False if the browser gives the view no WebGL context.
EMSCRIPTEN_KEEPALIVE int orvane_outside_open(int on)
{
    return openSecondView(on != 0) ? 1 : 0;
}

// Parts, in the order of ShownParts: eye, light, cone, normals, vectors.
EMSCRIPTEN_KEEPALIVE void orvane_outside_show(int part, int on)
{
    bool *parts[] = {&view.shown.eye, &view.shown.light, &view.shown.cone, &view.shown.normals,
                     &view.shown.vectors};
    *parts[part] = on != 0;
    followWhatIsShown();
    glutPostRedisplay();
}

// What the view shows: the picture lit per pixel (1) or the scene from outside (0).
EMSCRIPTEN_KEEPALIVE void orvane_second_per_pixel(int on)
{
    showPerPixel(on != 0);
}

EMSCRIPTEN_KEEPALIVE void orvane_outside_set_camera(double yaw, double pitch, double distance)
{
    view.camera = {yaw, pitch, distance};
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE const char *orvane_outside_camera()
{
    std::string out;
    appendf(out, "{\"yaw\":%.9g,\"pitch\":%.9g,\"distance\":%.9g,\"matrix\":", view.camera.yaw,
            view.camera.pitch, view.camera.distance);
    appendMatrix(out, cameraMatrix(view.camera, glState.transform.projection.top()).m);
    out += '}';
    return answer(out);
}

// Where the page writes the vectors at the probed pixel: the surface point, the corner that weighs
// most, and N, L, V and H there, three numbers each.
EMSCRIPTEN_KEEPALIVE GLfloat *orvane_outside_probed_numbers()
{
    static GLfloat numbers[18];
    return numbers;
}

// Shows the vectors the page has written (or, with 0, none).
EMSCRIPTEN_KEEPALIVE void orvane_outside_probed(int shown)
{
    view.probed.shown = shown != 0;
    const GLfloat *numbers = orvane_outside_probed_numbers();
    GLfloat *into[] = {view.probed.point, view.probed.corner, view.probed.n,
                       view.probed.l,     view.probed.v,      view.probed.h};
    for (int i = 0; i < 6; ++i) {
        std::copy_n(numbers + 3 * i, 3, into[i]);
    }
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE const char *orvane_outside_normals()
{
    std::string out = "[";
    const std::vector<MarkVertex> &lines = view.normalsShown.lines;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const GLfloat *a = lines[i].position, *b = lines[i + 1].position;
        appendf(out, "%s[%.9g,%.9g,%.9g,%.9g,%.9g,%.9g]", i > 0 ? "," : "", double(a[0]),
                double(a[1]), double(a[2]), double(b[0]), double(b[1]), double(b[2]));
    }
    out += ']';
    return answer(out);
}

// What the page names beside the view (nothing where it shows the picture lit per pixel), and the
// light and the shading as the view shows them (for its words).
EMSCRIPTEN_KEEPALIVE const char *orvane_outside_named()
{
    std::vector<Named> named;
    if (!view.perPixel) {
        nameMarks(view.lighting, view.viewerProjection, view.shown, view.probed, view.matrix,
                  VIEW_SIZE, named);
    }
    const LightSource &light = view.lighting.lights[0];
    std::string out = "{\"light\":";
    appendf(out, "[%.9g,%.9g,%.9g,%.9g]", double(light.position[0]), double(light.position[1]),
            double(light.position[2]), double(light.position[3]));
    appendf(out, ",\"spotDirection\":[%.9g,%.9g,%.9g]", double(light.spotDirection[0]),
            double(light.spotDirection[1]), double(light.spotDirection[2]));
    appendf(out, ",\"cutoff\":%.9g,\"flat\":%s,\"named\":[", double(light.spotCutoff),
            view.lighting.flat ? "true" : "false");
    for (std::size_t i = 0; i < named.size(); ++i) {
        const Named &n = named[i];
        appendf(out, "%s{\"name\":\"%s\",\"x\":%.6g,\"y\":%.6g,\"atEdge\":%s,\"distance\":%.6g}",
                i > 0 ? "," : "", n.name.c_str(), n.x, n.y, n.atEdge ? "true" : "false",
                n.distance);
    }
    out += "]}";
    return answer(out);
}

// The light's mark dragged by (dx, dy) canvas pixels from where it was when the drag began, at
// eye position (x, y, z, w): LIGHT_POSITION for the lab, as [x,y,z,w], or null where it cannot
// move.
EMSCRIPTEN_KEEPALIVE const char *orvane_outside_drag_light(GLfloat x, GLfloat y, GLfloat z,
                                                           GLfloat w, double dx, double dy)
{
    GLfloat eye[4];
    if (w != 0.0f) {
        const GLfloat place[3] = {x / w, y / w, z / w};
        GLfloat moved[3];
        if (!movedAcross(place, dx, dy, moved)) {
            return "null";
        }
        eye[0] = moved[0] * w;
        eye[1] = moved[1] * w;
        eye[2] = moved[2] * w;
        eye[3] = w;
    } else {
        // At infinity the arrows' start moves, and the direction turns with it.
        const equation::Vec<GLfloat> direction = {x, y, z};
        const equation::Vec<GLfloat> towards = equation::normalised(direction);
        const GLfloat from[3] = {GLfloat(MODEL_CENTRE[0]) + towards.x * LIGHT_ARROWS_FROM,
                                 GLfloat(MODEL_CENTRE[1]) + towards.y * LIGHT_ARROWS_FROM,
                                 GLfloat(MODEL_CENTRE[2]) + towards.z * LIGHT_ARROWS_FROM};
        GLfloat moved[3];
        if (!movedAcross(from, dx, dy, moved)) {
            return "null";
        }
        const equation::Vec<GLfloat> turned = equation::normalised(equation::Vec<GLfloat>{
            moved[0] - GLfloat(MODEL_CENTRE[0]), moved[1] - GLfloat(MODEL_CENTRE[1]),
            moved[2] - GLfloat(MODEL_CENTRE[2])});
        const GLfloat length = equation::length(direction);
        eye[0] = turned.x * length;
        eye[1] = turned.y * length;
        eye[2] = turned.z * length;
        eye[3] = 0.0f;
    }
    GLfloat lab[4];
    asLabPosition(eye, lab);
    std::string out;
    appendf(out, "[%.9g,%.9g,%.9g,%.9g]", double(lab[0]), double(lab[1]), double(lab[2]),
            double(lab[3]));
    return answer(out);
}

// The cone's end dragged by (dx, dy) canvas pixels from where it was when the drag began, with the
// light at eye position (x, y, z, w) aimed along (ax, ay, az): GL_SPOT_DIRECTION for the lab, as
// [x,y,z], or null where there is no cone to aim.
EMSCRIPTEN_KEEPALIVE const char *orvane_outside_drag_cone(GLfloat x, GLfloat y, GLfloat z,
                                                          GLfloat w, GLfloat ax, GLfloat ay,
                                                          GLfloat az, double dx, double dy)
{
    LightSource light = view.lighting.lights[0];
    const GLfloat position[4] = {x, y, z, w};
    const GLfloat aim[3] = {ax, ay, az};
    std::copy_n(position, 4, light.position);
    std::copy_n(aim, 3, light.spotDirection);
    GLfloat end[3], moved[3];
    if (!coneEnd(light, end) || !movedAcross(end, dx, dy, moved)) {
        return "null";
    }
    const equation::Vec<GLfloat> direction = equation::normalised(
        equation::Vec<GLfloat>{moved[0] - x / w, moved[1] - y / w, moved[2] - z / w});
    std::string out;
    appendf(out, "[%.9g,%.9g,%.9g]", double(direction.x), double(direction.y), double(direction.z));
    return answer(out);
}

} // extern "C"
