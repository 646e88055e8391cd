// The real viewer, started as a user starts it, on a private Xvfb: driven with real X input
// through xdotool (XTEST, as a device sends it) and seen through window captures.
//
// The same suite runs any build of the viewer that opens an X window: the Linux build by default,
// or the program named by VIEWER_PROGRAM, started through VIEWER_LAUNCHER when it has one (the
// Windows build through Wine).
#pragma once

#include "support/image.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/types.h>

struct ViewerProgram {
    std::string path;
    std::string launcher; // empty: the program is started directly

    // A Windows console program writes CRLF line ends.
    bool isWindowsProgram() const;
};

// The build under test, from the environment, and the Linux build its pictures are held to.
ViewerProgram programUnderTest();
ViewerProgram linuxBuild();

struct ViewerSession {
    VirtualDisplay display;
    pid_t pid = -1;
    int output = -1;       // the viewer's standard output
    std::string errorFile; // its standard error
    std::string window;
    int left = 0, top = 0; // of the window, in screen pixels
};

// Starts Xvfb and the viewer, and returns once the first frame is on the screen.
bool startViewer(ViewerSession &session, const ViewerProgram &program = programUnderTest());
void stopViewer(ViewerSession &session);

// Sends the input and captures that follow to this session's display, for tests that run two.
const ViewerSession &useDisplay(const ViewerSession &session);

// Runs `xdotool ARGS` against the current display; returns its standard output.
std::string xdotool(const std::string &args);
void pressKeys(const std::string &keys);
// A drag with a button held, in window pixels.
void drag(const ViewerSession &session, int button, int fromX, int fromY, int toX, int toY);

Image capture(const ViewerSession &session);
// The window once it has stopped changing.
Image captureSettled(const ViewerSession &session);
// The window once it differs from `before` and has stopped changing.
Image captureChanged(const ViewerSession &session, const Image &before);

// Waits for the viewer to end; returns its wait status, or -1 if it is still running.
int waitForExit(ViewerSession &session, int timeoutMs);
// Everything the viewer has written to standard output, once it has ended.
std::string readOutput(ViewerSession &session);
std::string readErrors(const ViewerSession &session);

// Sends the window the WM_DELETE_WINDOW message a window manager sends when the user closes it.
bool closeWindowAsAWindowManagerWould(const ViewerSession &session);

// Runs the xdotool commands in a script file, for input too long for one command line.
void xdotoolScript(const std::string &commands);

// A fresh viewer on a fresh display for every test, with its first frame taken.
class ViewerTest : public testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(startViewer(viewer_)) << "the viewer did not show its first frame";
        first_ = captureSettled(viewer_);
    }
    void TearDown() override
    {
        stopViewer(viewer_);
    }

    ViewerSession viewer_;
    Image first_;
};
