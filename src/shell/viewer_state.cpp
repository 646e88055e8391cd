#include "shell/viewer_state.h"

// Constant-initialised, so it holds its start values before main runs.
ViewerState viewerState;
