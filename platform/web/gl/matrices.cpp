// The modelview and projection stacks, the transforms the viewer multiplies onto them, and
// gluPerspective. Matrices are kept in single precision, as Mesa keeps them.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <GL/glu.h>
#include <webgl/webgl1.h>

#include <cmath>

namespace {

// GLU's own value of pi, which gluPerspective uses.
constexpr double GLU_PI = 3.14159265358979323846;

TransformState &state = glState.transform;

MatrixStack &current()
{
    return state.matrixMode == GL_PROJECTION ? state.projection : state.modelview;
}

// Polygons already gathered were projected with the projection in force when they were sent, and
// the shader projects them: they are drawn before it changes. The modelview is applied as they
// arrive, so a change to it only has to be noticed.
void aboutToChange(const MatrixStack &stack)
{
    if (&stack == &state.projection) {
        drawGatheredPolygons();
    } else {
        ++state.modelviewChanges;
    }
}

// top = top x by, as glMultMatrix does.
void multiplyCurrent(const Matrix4 &by)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    MatrixStack &stack = current();
    aboutToChange(stack);
    stack.top() = multiplied(stack.top(), by);
}

Matrix4 fromDoubles(const double (&m)[16])
{
    Matrix4 matrix;
    for (int i = 0; i < 16; ++i) {
        matrix.m[i] = static_cast<GLfloat>(m[i]);
    }
    return matrix;
}

} // namespace

void transform(const Matrix4 &matrix, const GLfloat in[4], GLfloat out[4])
{
    for (int row = 0; row < 4; ++row) {
        out[row] = matrix.m[row] * in[0] + matrix.m[4 + row] * in[1] + matrix.m[8 + row] * in[2] +
                   matrix.m[12 + row] * in[3];
    }
}

Matrix4 multiplied(const Matrix4 &a, const Matrix4 &b)
{
    Matrix4 product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            GLfloat sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            product.m[column * 4 + row] = sum;
        }
    }
    return product;
}

// The inverse transpose of the upper 3 x 3, from its cofactors. A singular matrix (the viewer's
// zoom can reach 0) leaves normals as they are, as Mesa does when it cannot invert.
const Matrix4 &normalMatrix()
{
    if (state.normalsMadeAt == state.modelviewChanges) {
        return state.normals;
    }
    state.normalsMadeAt = state.modelviewChanges;
    const GLfloat *m = state.modelview.top().m;
    auto at = [m](int row, int column) { return double(m[column * 4 + row]); };
    double cofactor[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r0 = (row + 1) % 3, r1 = (row + 2) % 3;
            const int c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            cofactor[row][column] = at(r0, c0) * at(r1, c1) - at(r0, c1) * at(r1, c0);
        }
    }
    const double determinant =
        at(0, 0) * cofactor[0][0] + at(0, 1) * cofactor[0][1] + at(0, 2) * cofactor[0][2];
    state.normals = IDENTITY;
    if (determinant != 0.0) {
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                state.normals.m[column * 4 + row] =
                    static_cast<GLfloat>(cofactor[row][column] / determinant);
            }
        }
    }
    return state.normals;
}

extern "C" {

void glMatrixMode(GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) {
        state.matrixMode = mode;
    } else {
        unsupported("glMatrixMode", mode);
    }
}

void glLoadIdentity()
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    aboutToChange(current());
    current().top() = IDENTITY;
}

void glPushMatrix()
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    MatrixStack &stack = current();
    if (stack.depth == STACK_DEPTH) {
        recordError(GL_STACK_OVERFLOW);
        return;
    }
    stack.entries[stack.depth] = stack.top();
    ++stack.depth;
}

void glPopMatrix()
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    MatrixStack &stack = current();
    if (stack.depth == 1) {
        recordError(GL_STACK_UNDERFLOW);
        return;
    }
    aboutToChange(stack);
    --stack.depth;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    Matrix4 translation = IDENTITY;
    translation.m[12] = x;
    translation.m[13] = y;
    translation.m[14] = z;
    multiplyCurrent(translation);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    beforeScale();
    Matrix4 scale = IDENTITY;
    scale.m[0] = x;
    scale.m[5] = y;
    scale.m[10] = z;
    multiplyCurrent(scale);
}

// The rotation matrix GL gives for a unit axis u: u u^T + cos(angle) (I - u u^T) + sin(angle) S,
// where S is the cross-product matrix of u. A zero axis leaves the matrix as it is, as in Mesa.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0.0) {
        return;
    }
    const double u[3] = {x / length, y / length, z / length};
    const double radians = double(angle) * GLU_PI / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    double r[16] = {};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            r[column * 4 + row] = u[row] * u[column] * (1.0 - c) + (row == column ? c : 0.0);
        }
    }
    r[1] += u[2] * s; // column 0, row 1
    r[2] -= u[1] * s;
    r[4] -= u[2] * s; // column 1, row 0
    r[6] += u[0] * s;
    r[8] += u[1] * s; // column 2, row 0
    r[9] -= u[0] * s;
    r[15] = 1.0;
    multiplyCurrent(fromDoubles(r));
}

// As GLU computes it, in double precision, multiplied onto the current matrix. Arguments that
// would divide by zero leave the matrix as it is, as GLU does.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2.0 * GLU_PI / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) {
        return;
    }
    const double cotangent = std::cos(radians) / sine;
    double m[16] = {};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / depth;
    m[11] = -1.0;
    m[14] = -2.0 * zNear * zFar / depth;
    multiplyCurrent(fromDoubles(m));
}

void glGetFloatv(GLenum pname, GLfloat *params)
{
    const Matrix4 *matrix = pname == GL_MODELVIEW_MATRIX    ? &state.modelview.top()
                            : pname == GL_PROJECTION_MATRIX ? &state.projection.top()
                                                            : nullptr;
    if (matrix == nullptr) {
        emscripten_glGetFloatv(pname, params);
        return;
    }
    for (int i = 0; i < 16; ++i) {
        params[i] = matrix->m[i];
    }
}

void glGetIntegerv(GLenum pname, GLint *params)
{
    switch (pname) {
    case GL_MODELVIEW_STACK_DEPTH:
        *params = state.modelview.depth;
        break;
    case GL_PROJECTION_STACK_DEPTH:
        *params = state.projection.depth;
        break;
    case GL_MAX_MODELVIEW_STACK_DEPTH:
    case GL_MAX_PROJECTION_STACK_DEPTH:
        *params = STACK_DEPTH;
        break;
    case GL_MATRIX_MODE:
        *params = static_cast<GLint>(state.matrixMode);
        break;
    case GL_POLYGON_MODE: // the front's and the back's, which this layer keeps alike
        params[0] = params[1] = static_cast<GLint>(glState.polygons.mode);
        break;
    default:
        emscripten_glGetIntegerv(pname, params);
        break;
    }
}

} // extern "C"
