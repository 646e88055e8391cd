// Keeping the frame, while the probe is on: the draws as the GL layer hands them over and, once the
// frame has been drawn, a copy of its picture.
#include "gl/gl_layer.h"
#include "gl/probe/probe.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <utility>

namespace {

KeptFrame drawing;
KeptFrame shown;

// Made when first needed in the picture's context, and deleted when the probe is turned off.
GLuint pictureTexture = 0;
GLuint pictureFramebuffer = 0;

void forget(KeptFrame &frame)
{
    frame.vertices.clear();
    frame.cornerNormals.clear();
    frame.indices.clear();
    frame.draws.clear();
    frame.linesOrPoints = false;
    frame.complete = false;
}

// The texture the picture is copied into. The drawing buffer may have no alpha, and a copy cannot
// add channels the source lacks: RGB it is.
void copyPicture(int width, int height)
{
    if (pictureTexture == 0) {
        emscripten_glGenTextures(1, &pictureTexture);
        emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
    emscripten_glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width, height, 0);
}

void keepDraw(const Draw &draw)
{
    if (draw.primitive != GL_TRIANGLES) {
        drawing.linesOrPoints = true;
        return;
    }
    KeptDraw kept;
    kept.lighting = *draw.lighting;
    kept.projection = *draw.projection;
    std::copy_n(draw.viewport, 4, kept.viewport);
    std::copy_n(draw.materials, draw.materialCount, kept.materials);
    kept.firstVertex = drawing.vertices.size();
    kept.firstIndex = drawing.indices.size();
    kept.indexCount = draw.indexCount;
    kept.ownCornerNormals = draw.cornerNormals != nullptr;
    kept.firstCornerNormal = drawing.cornerNormals.size() / 3;
    drawing.draws.push_back(kept);
    drawing.vertices.insert(drawing.vertices.end(), draw.vertices,
                            draw.vertices + draw.vertexCount);
    if (kept.ownCornerNormals) {
        drawing.cornerNormals.insert(drawing.cornerNormals.end(), draw.cornerNormals,
                                     draw.cornerNormals + 3 * draw.vertexCount);
    }
    drawing.indices.insert(drawing.indices.end(), draw.indices, draw.indices + draw.indexCount);
}

// The colour buffer was cleared: what was drawn before it does not show.
void forgetDraws()
{
    forget(drawing);
}

void keepFrame()
{
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    emscripten_webgl_get_drawing_buffer_size(context, &drawing.width, &drawing.height);
    copyPicture(drawing.width, drawing.height);
    drawing.complete = true;
    std::swap(drawing, shown);
    forget(drawing);
}

// After a lost context the texture and the framebuffer are gone, and so is the picture kept.
void forgetObjects()
{
    pictureTexture = 0;
    pictureFramebuffer = 0;
    forget(drawing);
    forget(shown);
}

constexpr FrameListener PROBE = {keepDraw, forgetDraws, keepFrame, forgetObjects};

} // namespace

const KeptFrame &shownFrame()
{
    return shown;
}

bool readPicture(int x, int y, GLubyte rgba[4])
{
    if (pictureFramebuffer == 0) {
        emscripten_glGenFramebuffers(1, &pictureFramebuffer);
        emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                          pictureTexture, 0);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
    const bool readable =
        emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (readable) {
        emscripten_glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return readable;
}

void keepFramesForProbe(bool on)
{
    listenToFrames(&PROBE, on);
    if (!on) {
        // Nothing is kept while the probe is off, so a context lost meanwhile takes nothing of it.
        emscripten_glDeleteFramebuffers(1, &pictureFramebuffer);
        emscripten_glDeleteTextures(1, &pictureTexture);
        pictureFramebuffer = 0;
        pictureTexture = 0;
    }
    forget(drawing);
    forget(shown);
}
