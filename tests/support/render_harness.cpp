#include "support/render_harness.h"

#include "support/viewer_main.h"
#include "support/virtual_display.h"

#include "input/input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

namespace {

Image lastFrame;
bool readBack = true;

class ViewerOnVirtualDisplay : public testing::Environment {
  public:
    void SetUp() override
    {
        display_ = startVirtualDisplay();
        ASSERT_FALSE(display_.name.empty()) << "Xvfb did not start";
        setenv("DISPLAY", display_.name.c_str(), 1);
        useRepeatableSoftwareRendering();
        // freeglut aborts on a second glutInit in one process, so the window is made once here.
        char program[] = "orvane-viewer";
        char *argv[] = {program, nullptr};
        viewerMain(1, argv);
    }
    void TearDown() override
    {
        // Closes the window and the X connection while the server is still there to answer.
        glutExit();
        stopVirtualDisplay(display_);
    }

  private:
    VirtualDisplay display_;
};

const testing::Environment *const environment =
    testing::AddGlobalTestEnvironment(new ViewerOnVirtualDisplay);

} // namespace

// These two definitions take the place of freeglut's for this test program. Start-up returns
// instead of entering the event loop, and each frame's back buffer is read instead of shown: on
// Mesa's software renderer the front buffer reads back black after a swap.
extern "C" void glutMainLoop() {}

extern "C" void glutSwapBuffers()
{
    if (!readBack) {
        // freeglut's own swap, as the viewer makes it.
        using Swap = void (*)();
        static const auto swap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
        swap();
        return;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    lastFrame.width = viewport[2];
    lastFrame.height = viewport[3];
    std::vector<std::uint8_t> rows(3 * std::size_t(viewport[2]) * std::size_t(viewport[3]));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL's rows run from the bottom up.
    lastFrame.rgb.resize(rows.size());
    const std::size_t stride = 3 * std::size_t(viewport[2]);
    for (std::size_t y = 0; y < std::size_t(viewport[3]); ++y) {
        std::copy_n(rows.begin() + std::ptrdiff_t((std::size_t(viewport[3]) - 1 - y) * stride),
                    stride, lastFrame.rgb.begin() + std::ptrdiff_t(y * stride));
    }
}

Image renderFrame(const ViewerState &state)
{
    viewerState = state;
    display();
    return lastFrame;
}

void drawFrame(const ViewerState &state)
{
    readBack = false;
    viewerState = state;
    display();
    readBack = true;
}

void pressKey(unsigned char key)
{
    keyboard(key, 0, 0);
}
