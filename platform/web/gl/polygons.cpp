// glBegin(GL_POLYGON) ... glEnd with glNormal3d and glVertex3d, the polygon mode and face culling:
// each polygon is taken to eye coordinates as it arrives, and its corners join the vertices of the
// next draw with the triangles or edges to be drawn between them.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

PolygonState &state = glState.polygons;

struct Corner {
    GLfloat position[3];
    GLfloat normal[3];
    GLfloat frontMaterial, backMaterial; // indices into the draw's materials
    bool ownNormal;                      // glNormal3d was called since the corner before
};

constexpr std::size_t NOT_SENT = SIZE_MAX;
constexpr unsigned NOT_LOOKED_UP = ~0u;

// What is being gathered for the next draw: each polygon's corners once, the triangles or edges
// drawn from them by index, and the materials their entries refer to.
struct Gathering {
    std::vector<Corner> corners;   // of the polygon between glBegin and glEnd
    std::vector<GLfloat> windowXY; // its corners' normalised device x and y, when needed
    std::vector<BatchVertex> batch;
    std::vector<GLushort> indices;
    // Under GL_FLAT, where each vertex is lit: its polygon's first corner, and while
    // gatheringCornerNormals its own normal as it is lit, three numbers a vertex each.
    std::vector<GLfloat> firstCorners;
    bool gatheringCornerNormals = false;
    std::vector<GLfloat> cornerNormals;
    // While gatheringSentNormals: each vertex's normal as sent, and whether it was its own.
    bool gatheringSentNormals = false;
    std::vector<GLfloat> sentNormals;
    std::vector<unsigned char> ownNormals;
    bool normalSinceVertex = false; // glNormal3d was called since the last glVertex3d
    FaceMaterial materials[MATERIALS_PER_DRAW] = {};
    std::size_t materialCount = 0;
    // The materials the shader was last handed. Every change to the rest of its state comes
    // through drawGatheredPolygons, which forgets them, so the parts of one run of draws send it
    // all once.
    std::size_t materialsSent = NOT_SENT;
    unsigned materialsLookedUpAt = NOT_LOOKED_UP;
    GLfloat frontEntry = 0.0f, backEntry = 0.0f;
    // The current normal in eye coordinates, made for the modelview of eyeNormalMadeAt.
    GLfloat eyeNormal[3] = {};
    bool eyeNormalValid = false;
    unsigned eyeNormalMadeAt = 0;
};
Gathering gathered;

GLenum primitiveFor(GLenum mode)
{
    return mode == GL_FILL ? GL_TRIANGLES : mode == GL_LINE ? GL_LINES : GL_POINTS;
}

GLfloat entryFor(const FaceMaterial &material)
{
    for (std::size_t i = 0; i < gathered.materialCount; ++i) {
        if (std::memcmp(&gathered.materials[i], &material, sizeof material) == 0) {
            return static_cast<GLfloat>(i);
        }
    }
    gathered.materials[gathered.materialCount] = material;
    return static_cast<GLfloat>(gathered.materialCount++);
}

void lookUpMaterials()
{
    // Room for both faces, so that the first one's entry survives finding the second.
    if (gathered.materialCount + 2 > MATERIALS_PER_DRAW) {
        drawGatheredPolygons();
    }
    const MaterialState &materials = glState.materials;
    gathered.frontEntry = entryFor(materials.front);
    gathered.backEntry = glState.lighting.twoSide ? entryFor(materials.back) : gathered.frontEntry;
    gathered.materialsLookedUpAt = materials.changes;
}

void projectCorners()
{
    const std::vector<Corner> &corners = gathered.corners;
    std::vector<GLfloat> &windowXY = gathered.windowXY;
    windowXY.resize(2 * corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const GLfloat eye[4] = {corners[i].position[0], corners[i].position[1],
                                corners[i].position[2], 1.0f};
        GLfloat clip[4];
        transform(glState.transform.projection.top(), eye, clip);
        windowXY[2 * i] = clip[0] / clip[3];
        windowXY[2 * i + 1] = clip[1] / clip[3];
    }
}

// GL's rule: counter-clockwise in window coordinates is the front (glFrontFace's initial GL_CCW).
bool facesFront()
{
    const std::vector<GLfloat> &windowXY = gathered.windowXY;
    const std::size_t count = gathered.corners.size();
    GLfloat twiceArea = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t next = (i + 1) % count;
        twiceArea +=
            windowXY[2 * i] * windowXY[2 * next + 1] - windowXY[2 * next] * windowXY[2 * i + 1];
    }
    return twiceArea > 0.0f;
}

// Line rasterisers settle pixels on a tie by the line's direction. Drawing every edge the same
// way across the screen keeps WebGL's choice of pixels closest to Mesa's.
bool runsTheFixedWay(std::size_t from, std::size_t to)
{
    const std::vector<GLfloat> &windowXY = gathered.windowXY;
    const GLfloat dx = windowXY[2 * to] - windowXY[2 * from];
    const GLfloat dy = windowXY[2 * to + 1] - windowXY[2 * from + 1];
    return dx > 0.0f || (dx == 0.0f && dy > 0.0f);
}

// Under GL_FLAT (`flat`) a corner is lit as `litAs`, its polygon's first corner: with its normal,
// its material and where it stands.
void emit(const Corner &corner, const Corner &litAs, bool backFacing, bool flat)
{
    BatchVertex vertex;
    std::copy_n(corner.position, 3, vertex.position);
    const GLfloat sign = backFacing ? -1.0f : 1.0f;
    for (int i = 0; i < 3; ++i) {
        vertex.normal[i] = sign * litAs.normal[i];
        if (flat && gathered.gatheringCornerNormals) {
            gathered.cornerNormals.push_back(sign * corner.normal[i]);
        }
    }
    vertex.material = backFacing ? litAs.backMaterial : litAs.frontMaterial;
    gathered.batch.push_back(vertex);
    if (gathered.gatheringSentNormals) {
        gathered.sentNormals.insert(gathered.sentNormals.end(), corner.normal, corner.normal + 3);
        gathered.ownNormals.push_back(corner.ownNormal ? 1 : 0);
    }
    if (flat) {
        gathered.firstCorners.insert(gathered.firstCorners.end(), litAs.position,
                                     litAs.position + 3);
    }
}

// Draws the vertices gathered so far and keeps the materials, which the corners of the polygon
// being added refer to.
void drawBatch()
{
    if (gathered.batch.empty()) {
        return;
    }
    Draw draw = {primitiveFor(state.mode),
                 gathered.batch.data(),
                 gathered.batch.size(),
                 gathered.indices.data(),
                 gathered.indices.size(),
                 gathered.firstCorners.empty() ? nullptr : gathered.firstCorners.data(),
                 gathered.cornerNormals.empty() ? nullptr : gathered.cornerNormals.data(),
                 gathered.materials,
                 gathered.materialCount,
                 gathered.gatheringSentNormals ? gathered.sentNormals.data() : nullptr,
                 gathered.gatheringSentNormals ? gathered.ownNormals.data() : nullptr,
                 &glState.lighting,
                 &glState.transform.projection.top(),
                 {}};
    currentViewport(draw.viewport);
    const bool sendLighting = gathered.materialsSent != gathered.materialCount;
    gathered.materialsSent = gathered.materialCount;
    drawGathered(draw, sendLighting);
    gathered.batch.clear();
    gathered.indices.clear();
    gathered.firstCorners.clear();
    gathered.cornerNormals.clear();
    gathered.sentNormals.clear();
    gathered.ownNormals.clear();
}

// A polygon of fewer than three corners is not drawn. Filled, it is a fan of triangles from its
// first corner, as Mesa splits it; as lines, its edges; as points, its corners.
void addPolygon()
{
    const std::vector<Corner> &corners = gathered.corners;
    const std::size_t count = corners.size();
    if (count < 3) {
        return;
    }
    if (gathered.batch.size() + count > VERTICES_PER_DRAW) {
        drawBatch();
    }
    const bool twoSide = glState.lighting.twoSide;
    const bool needWindowXY = state.culling || twoSide || state.mode == GL_LINE;
    if (needWindowXY) {
        projectCorners();
    }
    // Without two-sided lighting, back faces are lit as the front, with the normals as sent.
    bool backFacing = false;
    if (state.culling || twoSide) {
        const bool front = facesFront();
        if (state.culling && !front) {
            return;
        }
        backFacing = twoSide && !front;
    }
    const auto first = static_cast<GLushort>(gathered.batch.size());
    const bool flat = glState.lighting.flat;
    for (const Corner &corner : corners) {
        emit(corner, flat ? corners.front() : corner, backFacing, flat);
    }
    std::vector<GLushort> &indices = gathered.indices;
    if (state.mode == GL_FILL) {
        for (std::size_t i = 1; i + 1 < count; ++i) {
            indices.insert(indices.end(), {first, GLushort(first + i), GLushort(first + i + 1)});
        }
    } else if (state.mode == GL_LINE) {
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t from = i, to = (i + 1) % count;
            if (!runsTheFixedWay(from, to)) {
                std::swap(from, to);
            }
            indices.insert(indices.end(), {GLushort(first + from), GLushort(first + to)});
        }
    }
}

} // namespace

bool refusedInsideBeginEnd()
{
    if (state.insideBeginEnd) {
        recordError(GL_INVALID_OPERATION);
        return true;
    }
    return false;
}

void gatherSentNormals(bool on)
{
    drawGatheredPolygons();
    gathered.gatheringSentNormals = on;
}

void gatherCornerNormals(bool on)
{
    drawGatheredPolygons();
    gathered.gatheringCornerNormals = on;
}

// Also called when the two-sided switch changes, which changes the entries the corners take.
void drawGatheredPolygons()
{
    drawBatch();
    gathered.materialCount = 0;
    gathered.materialsSent = NOT_SENT;
    gathered.materialsLookedUpAt = NOT_LOOKED_UP;
}

extern "C" {

void glBegin(GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (mode != GL_POLYGON) {
        unsupported("glBegin", mode);
        return;
    }
    state.insideBeginEnd = true;
    gathered.corners.clear();
}

void glEnd()
{
    if (!state.insideBeginEnd) {
        recordError(GL_INVALID_OPERATION);
        return;
    }
    state.insideBeginEnd = false;
    if (gathered.corners.size() > VERTICES_PER_DRAW) {
        char what[96];
        std::snprintf(what, sizeof what, "glEnd: a polygon of %zu corners (at most %zu)",
                      gathered.corners.size(), VERTICES_PER_DRAW);
        refuse(what, GL_INVALID_VALUE);
        return;
    }
    addPolygon();
}

void glNormal3d(GLdouble x, GLdouble y, GLdouble z)
{
    state.normal[0] = static_cast<GLfloat>(x);
    state.normal[1] = static_cast<GLfloat>(y);
    state.normal[2] = static_cast<GLfloat>(z);
    gathered.eyeNormalValid = false;
    gathered.normalSinceVertex = true;
}

// Outside glBegin and glEnd a vertex means nothing in GL; it is ignored.
void glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    if (!state.insideBeginEnd) {
        return;
    }
    if (gathered.materialsLookedUpAt != glState.materials.changes) {
        lookUpMaterials();
    }
    const unsigned modelviewNow = glState.transform.modelviewChanges;
    GLfloat *eyeNormal = gathered.eyeNormal;
    if (!gathered.eyeNormalValid || gathered.eyeNormalMadeAt != modelviewNow) {
        const GLfloat direction[4] = {state.normal[0], state.normal[1], state.normal[2], 0.0f};
        GLfloat eye[4];
        transform(normalMatrix(), direction, eye);
        std::copy_n(eye, 3, eyeNormal);
        gathered.eyeNormalValid = true;
        gathered.eyeNormalMadeAt = modelviewNow;
    }
    // The modelview matrices this layer makes are affine, so w stays 1.
    const GLfloat object[4] = {static_cast<GLfloat>(x), static_cast<GLfloat>(y),
                               static_cast<GLfloat>(z), 1.0f};
    GLfloat eye[4];
    transform(glState.transform.modelview.top(), object, eye);
    gathered.corners.push_back({{eye[0], eye[1], eye[2]},
                                {eyeNormal[0], eyeNormal[1], eyeNormal[2]},
                                gathered.frontEntry,
                                gathered.backEntry,
                                gathered.normalSinceVertex});
    gathered.normalSinceVertex = false;
}

void glPolygonMode(GLenum face, GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (face != GL_FRONT_AND_BACK) {
        unsupported("glPolygonMode", face);
        return;
    }
    if (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT) {
        unsupported("glPolygonMode", mode);
        return;
    }
    if (mode != state.mode) {
        drawGatheredPolygons();
        state.mode = mode;
    }
}

} // extern "C"
