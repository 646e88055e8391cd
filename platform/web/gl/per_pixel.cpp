// The picture lit per pixel, drawn in the picture's own context into a framebuffer of its own.
// Where the browser lets a shader write two colours (WEBGL_draw_buffers), the picture's draws go
// there too, lit both ways in one draw: the picture's colour to one colour buffer, the colour per
// pixel to the other, and the picture is copied to the canvas at the frame's end. Elsewhere each
// draw of the picture is drawn again at once, from the buffers the picture has just filled. Lit
// both ways, each triangle is set up and rasterised once for the two; drawn again, the polygons at
// least cross to WebGL once. Drawn in a context of its own, as first built, the tree's frames took
// more than twice the picture's (docs/PERFORMANCE.md). Whoever shows it reads it back at the
// frame's end.
#include "gl/internal.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#include <webgl/webgl1_ext.h>

#include <vector>

namespace {

// Everything the pass keeps; its WebGL objects belong to the picture's context.
struct PerPixelPass {
    bool on;
    bool made;     // the objects below exist in the context
    bool cleared;  // cleared in this frame, so a draw has something to land in
    bool drawn;    // a frame has been drawn since it went on
    bool bothWays; // each draw lights both ways; otherwise it is drawn again per pixel
    Renderer renderer;
    // Both ways, the picture's colour and then the colour per pixel; otherwise the latter alone.
    GLuint framebuffer, colour[2], depth;
    GLuint perPixelFramebuffer; // the colour per pixel alone, to read it back
    TextureCopy copy;
    int width, height;
    std::vector<unsigned char> pixels;
};
PerPixelPass pass = {};

bool make(Renderer &picture)
{
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    pass.bothWays = emscripten_webgl_enable_extension(context, "WEBGL_draw_buffers") &&
                    makeRenderer(pass.renderer, BOTH_WAYS, &picture) && makeTextureCopy(pass.copy);
    if (!pass.bothWays && !makeRenderer(pass.renderer, PER_PIXEL, &picture)) {
        return false;
    }
    bindRenderer(picture);
    emscripten_glGenFramebuffers(1, &pass.framebuffer);
    emscripten_glGenTextures(pass.bothWays ? 2 : 1, pass.colour);
    emscripten_glGenRenderbuffers(1, &pass.depth);
    pass.perPixelFramebuffer = pass.framebuffer;
    if (pass.bothWays) {
        emscripten_glGenFramebuffers(1, &pass.perPixelFramebuffer);
    }
    pass.width = pass.height = 0;
    pass.made = true;
    return true;
}

void fitTexture(GLuint texture, int width, int height)
{
    bindNearestTexture(texture);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                            nullptr);
}

// The framebuffer at the size of the picture's drawing buffer, so that the picture's viewport
// lands on the same pixels in both. It has a depth buffer where the canvas has one, of the kind
// the browser gives a canvas (24 bits, with stencil), so that the nearer of two close surfaces is
// the same one in both.
void fitFramebuffer()
{
    int width = 0, height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width,
                                             &height);
    if (width == pass.width && height == pass.height) {
        return;
    }
    pass.width = width;
    pass.height = height;
    const int colours = pass.bothWays ? 2 : 1;
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    for (int i = 0; i < colours; ++i) {
        fitTexture(pass.colour[i], width, height);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER,
                                          static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + i),
                                          GL_TEXTURE_2D, pass.colour[i], 0);
    }
    EmscriptenWebGLContextAttributes canvas;
    emscripten_webgl_get_context_attributes(emscripten_webgl_get_current_context(), &canvas);
    if (canvas.depth) {
        emscripten_glBindRenderbuffer(GL_RENDERBUFFER, pass.depth);
        emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_STENCIL, width, height);
        emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT,
                                             GL_RENDERBUFFER, pass.depth);
    }
    if (pass.bothWays) {
        const GLenum buffers[] = {GL_COLOR_ATTACHMENT0_WEBGL, GL_COLOR_ATTACHMENT1_WEBGL};
        emscripten_glDrawBuffersWEBGL(2, buffers);
        emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.perPixelFramebuffer);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                          pass.colour[1], 0);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    pass.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

} // namespace

void lightPerPixelToo(bool on)
{
    if (!on && pass.bothWays && pass.cleared) {
        // The rest of the frame goes to the canvas.
        emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    pass.on = on;
    pass.cleared = pass.drawn = false;
    pass.renderer.inUse = nullptr; // another program may have been made current since
    gatherCornerNormals(on);
}

void clearPerPixel(Renderer &picture, const FragmentState &fragment)
{
    if (!pass.on || (!pass.made && !make(picture))) {
        return;
    }
    fitFramebuffer();
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    pass.cleared = pass.drawn = true;
    if (pass.bothWays) {
        return; // the picture's own clear follows, into the framebuffer it draws in
    }
    emscripten_glDepthMask(GL_TRUE);
    emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    emscripten_glDepthMask(fragment.depthMask);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool drawBothWays(Renderer &picture, const Draw &draw)
{
    if (!pass.on || !pass.cleared || !pass.bothWays) {
        return false;
    }
    pass.renderer.flatGiven = picture.flatGiven;
    useLighting(pass.renderer, *draw.lighting, *draw.projection, draw.materials,
                draw.materialCount);
    drawVertices(pass.renderer, draw);
    picture.flatGiven = pass.renderer.flatGiven;
    picture.inUse = nullptr;
    return true;
}

void drawPerPixel(Renderer &picture, const Draw &draw)
{
    if (!pass.on || !pass.cleared || pass.bothWays) {
        return;
    }
    // The two renderers share the context's attributes: each learns what the other left.
    pass.renderer.flatGiven = picture.flatGiven;
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    useLighting(pass.renderer, *draw.lighting, *draw.projection, draw.materials,
                draw.materialCount);
    drawVertices(pass.renderer, draw, false);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // Each makes its program current again before its next draw.
    picture.flatGiven = pass.renderer.flatGiven;
    picture.inUse = pass.renderer.inUse = nullptr;
}

void showPictureDrawnBothWays(Renderer &picture, const FragmentState &fragment)
{
    if (!pass.on || !pass.cleared || !pass.bothWays) {
        return;
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    emscripten_glDisable(GL_DEPTH_TEST);
    emscripten_glDepthMask(GL_FALSE);
    emscripten_glViewport(0, 0, pass.width, pass.height);
    drawTextureCopy(pass.copy, pass.colour[0]);
    // Everything the copy changed, as the picture had it.
    pass.renderer.inUse = nullptr;
    bindRenderer(picture);
    if (fragment.depthTest) {
        emscripten_glEnable(GL_DEPTH_TEST);
    }
    emscripten_glDepthMask(fragment.depthMask);
    GLint viewport[4];
    currentViewport(viewport);
    emscripten_glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    // Until the next clear the picture draws on the canvas: the frame is over.
    pass.cleared = false;
}

void forgetPerPixel()
{
    pass.made = pass.cleared = pass.drawn = false;
}

const unsigned char *readPerPixel(int &width, int &height)
{
    if (!pass.on || !pass.drawn) {
        return nullptr;
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.perPixelFramebuffer);
    emscripten_glReadPixels(0, 0, pass.width, pass.height, GL_RGBA, GL_UNSIGNED_BYTE,
                            pass.pixels.data());
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    width = pass.width;
    height = pass.height;
    return pass.pixels.data();
}
