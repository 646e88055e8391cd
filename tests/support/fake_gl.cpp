#include "support/fake_gl.h"

#include "support/angles.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace fakegl {
namespace {

// GL's minimum for the modelview stack, and what the viewer must stay within.
constexpr int MODELVIEW_STACK_LIMIT = 32;

struct State {
    std::vector<Call> calls;
    std::vector<Matrix> matrices{identity()};
    std::vector<std::size_t> modelviewStack{0};
    std::vector<std::size_t> projectionStack{0};
    GLenum matrixMode = GL_MODELVIEW;
    GLenum polygonMode = GL_FILL;
    int maxModelviewDepth = 1;
    bool stackFault = false;
    Callbacks callbacks;
    std::string windowTitle;
    std::function<void(const Call &)> hook;
    bool recording = true;
};

State &state()
{
    static State s;
    return s;
}

std::vector<std::size_t> &currentStack()
{
    State &s = state();
    return s.matrixMode == GL_PROJECTION ? s.projectionStack : s.modelviewStack;
}

// False while recording is off: the caller then leaves the GL state alone as well, so a quiet
// frame allocates nothing.
bool record(std::string_view name, std::initializer_list<double> args)
{
    State &s = state();
    if (!s.recording) {
        return false;
    }
    Call call;
    call.name = name;
    for (double arg : args) {
        call.args[call.argCount++] = arg;
    }
    call.modelview = s.modelviewStack.back();
    call.modelviewDepth = static_cast<int>(s.modelviewStack.size());
    s.calls.push_back(call);
    if (s.hook) {
        s.hook(s.calls.back());
    }
    return true;
}

void recordVector(std::string_view name, GLenum target, GLenum pname, const GLfloat *v)
{
    record(name, {double(target), double(pname), v[0], v[1], v[2], v[3]});
}

void multiplyCurrent(const Matrix &m)
{
    State &s = state();
    std::size_t &top = currentStack().back();
    s.matrices.push_back(multiply(s.matrices[top], m));
    top = s.matrices.size() - 1;
}

} // namespace

Matrix identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix &a, const Matrix &b)
{
    Matrix r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += a[std::size_t(k * 4 + row)] * b[std::size_t(col * 4 + k)];
            }
            r[std::size_t(col * 4 + row)] = sum;
        }
    }
    return r;
}

std::array<double, 3> transformPoint(const Matrix &m, double x, double y, double z)
{
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

std::array<double, 3> transformDirection(const Matrix &m, double x, double y, double z)
{
    return {m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z,
            m[2] * x + m[6] * y + m[10] * z};
}

void reset()
{
    state() = State{};
}

const std::vector<Call> &calls()
{
    return state().calls;
}

std::size_t count(std::string_view name)
{
    std::size_t n = 0;
    for (const Call &call : state().calls) {
        n += call.name == name ? 1 : 0;
    }
    return n;
}

const Matrix &modelviewAt(const Call &call)
{
    return state().matrices[call.modelview];
}

const Matrix &currentMatrix(GLenum mode)
{
    const State &s = state();
    return s.matrices[mode == GL_PROJECTION ? s.projectionStack.back() : s.modelviewStack.back()];
}

int modelviewDepth()
{
    return static_cast<int>(state().modelviewStack.size());
}

int maxModelviewDepth()
{
    return state().maxModelviewDepth;
}

bool stackFault()
{
    return state().stackFault;
}

GLenum polygonMode()
{
    return state().polygonMode;
}

const Callbacks &callbacks()
{
    return state().callbacks;
}

const std::string &windowTitle()
{
    return state().windowTitle;
}

void setRecording(bool on)
{
    state().recording = on;
}

void onCall(std::function<void(const Call &)> hook)
{
    state().hook = std::move(hook);
}

} // namespace fakegl

using fakegl::record;
using fakegl::state;

extern "C" {

void glBegin(GLenum mode)
{
    record("glBegin", {double(mode)});
}
void glEnd()
{
    record("glEnd", {});
}
void glNormal3d(GLdouble x, GLdouble y, GLdouble z)
{
    record("glNormal3d", {x, y, z});
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    record("glVertex3d", {x, y, z});
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params)
{
    fakegl::recordVector("glMaterialfv", face, pname, params);
}
void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    record("glMaterialf", {double(face), double(pname), param});
}
void glLightfv(GLenum light, GLenum pname, const GLfloat *params)
{
    fakegl::recordVector("glLightfv", light, pname, params);
}
void glLightModelf(GLenum pname, GLfloat param)
{
    record("glLightModelf", {double(pname), param});
}
void glEnable(GLenum cap)
{
    record("glEnable", {double(cap)});
}
void glDisable(GLenum cap)
{
    record("glDisable", {double(cap)});
}
void glShadeModel(GLenum mode)
{
    record("glShadeModel", {double(mode)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    record("glClearColor", {r, g, b, a});
}
void glClearDepth(GLclampd depth)
{
    record("glClearDepth", {depth});
}
void glClear(GLbitfield mask)
{
    record("glClear", {double(mask)});
}
void glDepthMask(GLboolean flag)
{
    record("glDepthMask", {double(flag)});
}
void glPolygonMode(GLenum face, GLenum mode)
{
    if (!record("glPolygonMode", {double(face), double(mode)})) {
        return;
    }
    state().polygonMode = mode;
}
void glMatrixMode(GLenum mode)
{
    if (!record("glMatrixMode", {double(mode)})) {
        return;
    }
    state().matrixMode = mode;
}
void glPushMatrix()
{
    if (!record("glPushMatrix", {})) {
        return;
    }
    auto &s = state();
    auto &stack = fakegl::currentStack();
    stack.push_back(stack.back());
    if (s.matrixMode == GL_MODELVIEW) {
        s.maxModelviewDepth = std::max(s.maxModelviewDepth, int(stack.size()));
        s.stackFault = s.stackFault || stack.size() > fakegl::MODELVIEW_STACK_LIMIT;
    }
}
void glPopMatrix()
{
    if (!record("glPopMatrix", {})) {
        return;
    }
    auto &stack = fakegl::currentStack();
    if (stack.size() == 1) {
        state().stackFault = true;
        return;
    }
    stack.pop_back();
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record("glTranslatef", {x, y, z})) {
        return;
    }
    fakegl::multiplyCurrent({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}
void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record("glScalef", {x, y, z})) {
        return;
    }
    fakegl::multiplyCurrent({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}
void glRotatef(GLfloat angle, GLfloat ax, GLfloat ay, GLfloat az)
{
    if (!record("glRotatef", {angle, ax, ay, az})) {
        return;
    }
    // The rotation matrix of the glRotate reference page, about the normalised axis.
    const double length = std::sqrt(double(ax) * ax + double(ay) * ay + double(az) * az);
    const double x = ax / length, y = ay / length, z = az / length;
    const double radians = toRadians(angle);
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    fakegl::multiplyCurrent({x * x * t + c, y * x * t + z * s, x * z * t - y * s, 0,
                             x * y * t - z * s, y * y * t + c, y * z * t + x * s, 0,
                             x * z * t + y * s, y * z * t - x * s, z * z * t + c, 0, 0, 0, 0, 1});
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    if (!record("gluPerspective", {fovy, aspect, zNear, zFar})) {
        return;
    }
    const double f = 1.0 / std::tan(toRadians(fovy / 2));
    fakegl::multiplyCurrent({f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / (zNear - zFar),
                             -1, 0, 0, 2 * zFar * zNear / (zNear - zFar), 0});
}

void glutInit(int *argc, char **)
{
    record("glutInit", {double(*argc)});
}
void glutInitDisplayMode(unsigned int mode)
{
    record("glutInitDisplayMode", {double(mode)});
}
void glutInitWindowSize(int width, int height)
{
    record("glutInitWindowSize", {double(width), double(height)});
}
void glutInitWindowPosition(int x, int y)
{
    record("glutInitWindowPosition", {double(x), double(y)});
}
int glutCreateWindow(const char *title)
{
    state().windowTitle = title;
    record("glutCreateWindow", {});
    return 1;
}
void glutDisplayFunc(void (*callback)())
{
    state().callbacks.display = callback;
    record("glutDisplayFunc", {});
}
void glutMouseFunc(void (*callback)(int, int, int, int))
{
    state().callbacks.mouse = callback;
    record("glutMouseFunc", {});
}
void glutMotionFunc(void (*callback)(int, int))
{
    state().callbacks.motion = callback;
    record("glutMotionFunc", {});
}
void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    state().callbacks.keyboard = callback;
    record("glutKeyboardFunc", {});
}
void glutPostRedisplay()
{
    record("glutPostRedisplay", {});
}
void glutSwapBuffers()
{
    record("glutSwapBuffers", {});
}
void glutMainLoop()
{
    record("glutMainLoop", {});
}

} // extern "C"
