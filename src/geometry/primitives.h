// The two shaded surfaces every model is built from. Each call sets its own material and sends its
// facets in immediate mode, following viewerState's smoothShading and highlight switches.
#pragma once

// The value of pi all the facet angles are derived from.
constexpr double PI_APPROX = 3.141592654;

constexpr int CYLINDER_FACETS = 20;
constexpr int SPHERE_BANDS = 20;           // steps of the great circle's turn, 0 to pi
constexpr int SPHERE_FACETS_PER_BAND = 40; // steps round each great circle, 0 to 2 pi

// The material steps each primitive begins with, read from the highlight switch at every call.
void setCylinderMaterial();
void setSphereMaterial();

// The open side wall of a yellow cylinder on the local z axis, from z = -height/2 to +height/2.
void drawCylinder(double radius, double height);

// A blue sphere centred on the local origin.
void drawSphere(double radius);
