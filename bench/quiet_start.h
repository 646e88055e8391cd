// The viewer's own start-up for the benchmarks: on a private Xvfb, with the help text it prints
// kept out of the benchmark's output.
#pragma once

#include "support/virtual_display.h"

// Returns the display to stop at the end, with an empty name if Xvfb did not start.
VirtualDisplay startViewerQuietly();
