#include <GL/gl.h>

#include "geometry/primitives.h"
#include "shell/viewer_state.h"

namespace {

constexpr GLfloat MATERIAL_AMBIENT[] = {0.3f, 0.3f, 0.3f, 1.0f};
constexpr GLfloat CYLINDER_DIFFUSE[] = {0.7f, 0.7f, 0.1f, 1.0f}; // yellow
constexpr GLfloat SPHERE_DIFFUSE[] = {0.1f, 0.5f, 0.8f, 1.0f};   // blue
constexpr GLfloat BLACK[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat HIGHLIGHT_SHININESS = 100.0f;
constexpr GLfloat NO_SHININESS = 0.0f;

// Only the front material is set: lighting is one-sided, so back faces use it too. The highlight
// reflects the material's own diffuse colour, which keeps the highlight tinted rather than white.
void setMaterial(const GLfloat *diffuse)
{
    const bool highlight = viewerState.highlight;
    glMaterialfv(GL_FRONT, GL_AMBIENT, MATERIAL_AMBIENT);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, highlight ? diffuse : BLACK);
    glMaterialf(GL_FRONT, GL_SHININESS, highlight ? HIGHLIGHT_SHININESS : NO_SHININESS);
    glMaterialfv(GL_FRONT, GL_EMISSION, BLACK);
}

} // namespace

void setCylinderMaterial()
{
    setMaterial(CYLINDER_DIFFUSE);
}

void setSphereMaterial()
{
    setMaterial(SPHERE_DIFFUSE);
}
