// A private Xvfb server for the tests that need a real X display, on a display number the server
// picks itself, so the tests never depend on a display the machine happens to have.
#pragma once

#include <string>
#include <sys/types.h>

struct VirtualDisplay {
    pid_t pid = -1;
    std::string name; // ":N", for DISPLAY
};

// Starts Xvfb with a 1920 x 1080 x 24 screen, room for a 1600 pixel wide window; returns with an
// empty name if it cannot.
VirtualDisplay startVirtualDisplay();
void stopVirtualDisplay(VirtualDisplay &display);

// Settings that make Mesa's software renderer give repeatable pixels and memory use.
void useRepeatableSoftwareRendering();
