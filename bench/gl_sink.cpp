// A stand-in for every GL and GLUT function a frame of the viewer calls. It does nothing with the
// calls unless recordFrame is collecting them. The linker pulls from the core only the objects a
// frame needs, so a new GL call in a frame fails to link here rather than going unseen.
#include <GL/glut.h>

#include "bench/gl_calls.h"

namespace {

GlCalls *recording = nullptr;
// A store the compiler must assume is read, so the arguments stay computed even if the calls are
// ever inlined across the library boundary.
volatile double kept = 0.0;

// Out of line, so that the calls that do nothing stay a test and a few stores.
template <class... Args> [[gnu::noinline]] void record(GlOp op, Args... args)
{
    recording->ops.push_back(op);
    (recording->args.push_back(double(args)), ...);
}

template <class... Args> void note(GlOp op, Args... args)
{
    if (recording != nullptr) {
        record(op, args...);
    } else {
        ((kept = double(args)), ...);
    }
}

} // namespace

void recordFrame(const ViewerState &state, GlCalls &calls)
{
    calls = GlCalls{};
    viewerState = state;
    recording = &calls;
    display();
    recording = nullptr;
}

extern "C" {

void glClear(GLbitfield mask)
{
    note(GlOp::CLEAR, mask);
}
void glPushMatrix()
{
    note(GlOp::PUSH_MATRIX);
}
void glPopMatrix()
{
    note(GlOp::POP_MATRIX);
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    note(GlOp::TRANSLATE, x, y, z);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    note(GlOp::ROTATE, angle, x, y, z);
}
void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    note(GlOp::SCALE, x, y, z);
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params)
{
    // Every vector the viewer sets, colours included, has four components.
    note(GlOp::MATERIAL_VECTOR, face, pname, params[0], params[1], params[2], params[3]);
}
void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    note(GlOp::MATERIAL, face, pname, param);
}
void glBegin(GLenum mode)
{
    note(GlOp::BEGIN, mode);
}
void glNormal3d(GLdouble x, GLdouble y, GLdouble z)
{
    note(GlOp::NORMAL, x, y, z);
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    note(GlOp::VERTEX, x, y, z);
}
void glEnd()
{
    note(GlOp::END);
}
void glutSwapBuffers()
{
    note(GlOp::SWAP_BUFFERS);
}

} // extern "C"
