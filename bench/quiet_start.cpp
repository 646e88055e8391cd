#include "bench/quiet_start.h"

#include "support/viewer_main.h"

#include <cstdlib>
#include <iostream>

VirtualDisplay startViewerQuietly()
{
    VirtualDisplay xvfb = startVirtualDisplay();
    if (xvfb.name.empty()) {
        return xvfb;
    }
    setenv("DISPLAY", xvfb.name.c_str(), 1);
    std::streambuf *const out = std::cout.rdbuf(nullptr);
    char program[] = "orvane-viewer";
    char *args[] = {program, nullptr};
    viewerMain(1, args);
    std::cout.rdbuf(out);
    std::cout.clear();
    return xvfb;
}
