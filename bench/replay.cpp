#include <GL/glut.h>

#include "bench/gl_calls.h"

namespace {

GLenum asEnum(double value)
{
    return static_cast<GLenum>(value);
}

GLfloat asFloat(double value)
{
    return static_cast<GLfloat>(value);
}

} // namespace

void replay(const GlCalls &calls)
{
    const GLdouble *a = calls.args.data();
    for (const GlOp op : calls.ops) {
        // Most of a frame's calls are these two. Tested first, they cost a predictable branch each
        // instead of the switch's indirect jump, which on this machine made the replay slower than
        // working the calls out afresh.
        if (op == GlOp::VERTEX) {
            glVertex3d(a[0], a[1], a[2]);
            a += 3;
            continue;
        }
        if (op == GlOp::NORMAL) {
            glNormal3d(a[0], a[1], a[2]);
            a += 3;
            continue;
        }
        switch (op) {
        case GlOp::CLEAR:
            glClear(asEnum(a[0]));
            a += 1;
            break;
        case GlOp::PUSH_MATRIX:
            glPushMatrix();
            break;
        case GlOp::POP_MATRIX:
            glPopMatrix();
            break;
        case GlOp::TRANSLATE:
            glTranslatef(asFloat(a[0]), asFloat(a[1]), asFloat(a[2]));
            a += 3;
            break;
        case GlOp::ROTATE:
            glRotatef(asFloat(a[0]), asFloat(a[1]), asFloat(a[2]), asFloat(a[3]));
            a += 4;
            break;
        case GlOp::SCALE:
            glScalef(asFloat(a[0]), asFloat(a[1]), asFloat(a[2]));
            a += 3;
            break;
        case GlOp::MATERIAL_VECTOR: {
            const GLfloat params[] = {asFloat(a[2]), asFloat(a[3]), asFloat(a[4]), asFloat(a[5])};
            glMaterialfv(asEnum(a[0]), asEnum(a[1]), params);
            a += 6;
            break;
        }
        case GlOp::MATERIAL:
            glMaterialf(asEnum(a[0]), asEnum(a[1]), asFloat(a[2]));
            a += 3;
            break;
        case GlOp::BEGIN:
            glBegin(asEnum(a[0]));
            a += 1;
            break;
        case GlOp::NORMAL:
        case GlOp::VERTEX:
            break; // sent above
        case GlOp::END:
            glEnd();
            break;
        case GlOp::SWAP_BUFFERS:
            glutSwapBuffers();
            break;
        }
    }
}
