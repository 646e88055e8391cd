// The viewer's own start-up, run once per test program against the real GL on a private X
// display, and its frames read back from the back buffer.
#pragma once

#include "support/angles.h"
#include "support/image.h"

#include "shell/viewer_state.h"

// The centre of the viewer's 600 x 600 window, in pixels from either edge.
constexpr int CENTRE = 300;

// Draws one frame with display() from the given state and returns what it rendered.
Image renderFrame(const ViewerState &state);

// Draws one frame and shows it, as the viewer does, without reading it back.
void drawFrame(const ViewerState &state);

// The polygon mode, set the way the viewer sets it: through its keyboard command.
void pressKey(unsigned char key);
