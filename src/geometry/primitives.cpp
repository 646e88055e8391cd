#include "geometry/primitives.h"

#include <GL/gl.h>
#include <cmath>

#include "shell/viewer_state.h"

namespace {

// Every facet corner and middle lies at a whole or half number of twentieths of pi. Keeping the
// product before the division makes each angle bit-identical to the textbook formula.
double twentiethsOfPi(double steps)
{
    return steps * PI_APPROX / 20.0;
}

// With smooth normals every corner carries its own; with flat normals the facet's one normal was
// sent before its first corner and holds for all four.
void wallCorner(bool smooth, double sinTheta, double cosTheta, double radius, double z)
{
    if (smooth) {
        glNormal3d(sinTheta, cosTheta, 0.0);
    }
    glVertex3d(radius * sinTheta, radius * cosTheta, z);
}

void sphereCorner(bool smooth, double sinBeta, double cosBeta, double sinAlpha, double cosAlpha,
                  double radius)
{
    if (smooth) {
        glNormal3d(sinBeta * cosAlpha, cosBeta * cosAlpha, sinAlpha);
    }
    glVertex3d(radius * sinBeta * cosAlpha, radius * cosBeta * cosAlpha, radius * sinAlpha);
}

} // namespace

void drawCylinder(double radius, double height)
{
    setCylinderMaterial();
    const double zBottom = -0.5 * height;
    const double zTop = 0.5 * height;

    // Facet k spans 2k to 2k + 2 twentieths of pi; its far edge is the next facet's near edge.
    double sin0 = std::sin(twentiethsOfPi(0));
    double cos0 = std::cos(twentiethsOfPi(0));
    for (int k = 0; k < CYLINDER_FACETS; ++k) {
        const double theta1 = twentiethsOfPi(2 * k + 2);
        const double sin1 = std::sin(theta1);
        const double cos1 = std::cos(theta1);
        const bool smooth = viewerState.smoothShading;

        glBegin(GL_POLYGON);
        if (!smooth) {
            const double thetaMid = twentiethsOfPi(2 * k + 1);
            glNormal3d(std::sin(thetaMid), std::cos(thetaMid), 0.0);
        }
        wallCorner(smooth, sin0, cos0, radius, zBottom);
        wallCorner(smooth, sin1, cos1, radius, zBottom);
        wallCorner(smooth, sin1, cos1, radius, zTop);
        wallCorner(smooth, sin0, cos0, radius, zTop);
        glEnd();

        sin0 = sin1;
        cos0 = cos1;
    }
}

void drawSphere(double radius)
{
    setSphereMaterial();

    // Each great circle is walked in the same 40 steps, so the sines and cosines of its corner and
    // middle angles are worked out once here and serve all 20 bands.
    double sinAlpha[SPHERE_FACETS_PER_BAND + 1];
    double cosAlpha[SPHERE_FACETS_PER_BAND + 1];
    double sinAlphaMid[SPHERE_FACETS_PER_BAND];
    double cosAlphaMid[SPHERE_FACETS_PER_BAND];
    for (int j = 0; j <= SPHERE_FACETS_PER_BAND; ++j) {
        sinAlpha[j] = std::sin(twentiethsOfPi(j));
        cosAlpha[j] = std::cos(twentiethsOfPi(j));
    }
    for (int j = 0; j < SPHERE_FACETS_PER_BAND; ++j) {
        sinAlphaMid[j] = std::sin(twentiethsOfPi(j + 0.5));
        cosAlphaMid[j] = std::cos(twentiethsOfPi(j + 0.5));
    }

    // Seen from outside, the corners run clockwise where cos alpha > 0; past a pole the great
    // circle runs back and they turn the other way. Culling is off and lighting one-sided, so it
    // never shows.
    double sinBeta0 = std::sin(twentiethsOfPi(0));
    double cosBeta0 = std::cos(twentiethsOfPi(0));
    for (int i = 0; i < SPHERE_BANDS; ++i) {
        const double sinBeta1 = std::sin(twentiethsOfPi(i + 1));
        const double cosBeta1 = std::cos(twentiethsOfPi(i + 1));
        const double sinBetaMid = std::sin(twentiethsOfPi(i + 0.5));
        const double cosBetaMid = std::cos(twentiethsOfPi(i + 0.5));

        for (int j = 0; j < SPHERE_FACETS_PER_BAND; ++j) {
            const bool smooth = viewerState.smoothShading;
            glBegin(GL_POLYGON);
            if (!smooth) {
                glNormal3d(sinBetaMid * cosAlphaMid[j], cosBetaMid * cosAlphaMid[j],
                           sinAlphaMid[j]);
            }
            sphereCorner(smooth, sinBeta0, cosBeta0, sinAlpha[j], cosAlpha[j], radius);
            sphereCorner(smooth, sinBeta1, cosBeta1, sinAlpha[j], cosAlpha[j], radius);
            sphereCorner(smooth, sinBeta1, cosBeta1, sinAlpha[j + 1], cosAlpha[j + 1], radius);
            sphereCorner(smooth, sinBeta0, cosBeta0, sinAlpha[j + 1], cosAlpha[j + 1], radius);
            glEnd();
        }

        sinBeta0 = sinBeta1;
        cosBeta0 = cosBeta1;
    }
}
