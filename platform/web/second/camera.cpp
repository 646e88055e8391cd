// The outside camera: a place on a sphere about the model's centre, looking at it with the
// viewer's own projection, as gluLookAt and gluPerspective would make it.
#include "second/second.h"

#include <cmath>

namespace {

constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;

void cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void normalise(double v[3])
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i) {
        v[i] /= length;
    }
}

double dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

void cameraPlace(const OutsideCamera &camera, double place[3])
{
    const double yaw = camera.yaw * RADIANS_PER_DEGREE;
    const double pitch = camera.pitch * RADIANS_PER_DEGREE;
    const double away[3] = {std::sin(yaw) * std::cos(pitch), std::sin(pitch),
                            std::cos(yaw) * std::cos(pitch)};
    for (int i = 0; i < 3; ++i) {
        place[i] = MODEL_CENTRE[i] + camera.distance * away[i];
    }
}

// The view, as gluLookAt makes it: the camera's right, up and backward directions as rows, and the
// camera's place moved to the origin. From the eye it is the identity, exactly.
Matrix4 cameraMatrix(const OutsideCamera &camera, const Matrix4 &projection)
{
    double eye[3];
    cameraPlace(camera, eye);
    double forward[3] = {MODEL_CENTRE[0] - eye[0], MODEL_CENTRE[1] - eye[1],
                         MODEL_CENTRE[2] - eye[2]};
    normalise(forward);
    const double up[3] = {0.0, 1.0, 0.0};
    double side[3];
    cross(forward, up, side);
    normalise(side);
    double trueUp[3];
    cross(side, forward, trueUp);
    const double rows[3][3] = {{side[0], side[1], side[2]},
                               {trueUp[0], trueUp[1], trueUp[2]},
                               {-forward[0], -forward[1], -forward[2]}};
    Matrix4 view = IDENTITY;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            view.m[column * 4 + row] = static_cast<GLfloat>(rows[row][column]);
        }
        view.m[12 + row] = static_cast<GLfloat>(-dot(rows[row], eye));
    }
    return multiplied(projection, view);
}

// By cofactors, in double precision.
bool inverted(const Matrix4 &matrix, double inverse[16])
{
    double m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = matrix.m[i];
    }
    double c[16];
    c[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    c[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
           m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    c[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    c[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
            m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    c[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
           m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    c[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    c[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    c[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    c[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    c[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    c[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    c[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    c[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    c[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    c[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    c[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double determinant = m[0] * c[0] + m[1] * c[4] + m[2] * c[8] + m[3] * c[12];
    if (determinant == 0.0) {
        return false;
    }
    for (int i = 0; i < 16; ++i) {
        inverse[i] = c[i] / determinant;
    }
    return true;
}
