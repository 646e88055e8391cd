// The second view: a canvas of its own (#second-view) with a WebGL context of its own, which
// listens to the GL layer's frames while it is open and shows the scene from outside: the model
// as the viewer draws it in that frame, and marks for the eye and its view volume, the light and
// its cone, the normals the program sends, and the vectors at the probed pixel. Or it shows the
// picture lit per pixel, which the GL layer draws beside the picture (gl/per_pixel.cpp). It costs
// the viewer nothing while it is closed.
//
// What its parts share: the outside camera (camera.cpp), the marks (marks.cpp) and the view that
// draws them (view.cpp). The page works it through the orvane_outside_... functions in view.cpp.
#pragma once

#include "gl/internal.h"

#include <string>
#include <vector>

// The outside camera looks at the model's centre from `distance` away, turned `yaw` degrees about
// the y axis from the eye's side (positive: to the right) and `pitch` degrees up from the
// horizontal; it projects as the viewer's own projection does, so that from the eye it shows the
// picture itself.
struct OutsideCamera {
    double yaw, pitch, distance;
};
// Where the viewer's display() puts the model: 6 units in front of the eye.
constexpr double MODEL_CENTRE[3] = {0.0, 0.0, -6.0};
// Whence the view opens: to the right and above, far enough back to show the eye, the model and
// the light's mark (or its edge mark) together. The limits of turning and zooming are the page's
// (second.js), which is what turns and zooms it.
constexpr OutsideCamera OPENING_CAMERA = {50.0, 25.0, 20.0};

// camera.cpp: the camera's place in eye coordinates, and its matrix: the viewer's `projection` x
// the camera's view, taking the viewer's eye coordinates to the second view's clip coordinates.
void cameraPlace(const OutsideCamera &camera, double place[3]);
Matrix4 cameraMatrix(const OutsideCamera &camera, const Matrix4 &projection);
// The inverse of a 4 x 4 matrix, in double precision; false where it has none.
bool inverted(const Matrix4 &matrix, double inverse[16]);

// marks.cpp: lines and points in eye coordinates with a colour each, drawn over the model.
struct MarkVertex {
    GLfloat position[3];
    GLfloat colour[3];
};
struct Marks {
    std::vector<MarkVertex> lines; // in pairs
    std::vector<MarkVertex> points;
    std::vector<MarkVertex> bigPoints;
};
// What the view shows, each on or off (orvane.outside.show).
struct ShownParts {
    bool eye, light, cone, normals, vectors;
};
// The vectors at the probed pixel, in eye coordinates: the surface point, and at the corner of
// the polygon that weighs most there, N, L, V and H (unit length), from the probe's answer.
struct ProbedVectors {
    bool shown;
    GLfloat point[3];
    GLfloat corner[3];
    GLfloat n[3], l[3], v[3], h[3];
};
// A point the page names beside the view: where it lies in the view, in canvas pixels from the
// top left, or, where it lies outside what the view shows, where the view's edge points to it.
struct Named {
    std::string name;
    double x, y;
    bool atEdge;
    double distance; // from the eye, in eye units
};
// The marks for the light, the eye and its view volume, the cone and the vectors, from the lighting
// and the viewer's projection; the names the page puts beside them.
void makeMarks(const LightingState &lighting, const Matrix4 &viewerProjection,
               const ShownParts &shown, const ProbedVectors &probed, Marks &marks);
void nameMarks(const LightingState &lighting, const Matrix4 &viewerProjection,
               const ShownParts &shown, const ProbedVectors &probed, const Matrix4 &camera,
               int size, std::vector<Named> &named);
// The far end of the spot's cone, where a drag aims it; false without a spotlight.
bool coneEnd(const LightSource &light, GLfloat end[3]);
// A short line along the normal sent at `position`, as GL_NORMALIZE makes it unit length.
void addNormal(const GLfloat position[3], const GLfloat normal[3], Marks &marks);
// How long a normal is drawn, in eye units.
constexpr GLfloat NORMAL_LENGTH = 0.12f;
// A light at infinity is drawn as arrows coming in from this far out along its direction.
constexpr GLfloat LIGHT_ARROWS_FROM = 14.0f;

// view.cpp, for the benchmark: opens or closes the view as orvane.outside.open does, shows the
// picture lit per pixel in it or the scene from outside, and reads one pixel of it back, which
// waits until it is drawn.
bool openSecondView(bool on);
void showPerPixel(bool on);
void readSecondViewPixel(unsigned char rgba[4]);
