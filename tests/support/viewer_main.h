#pragma once

// The viewer's main, built once more under this name for the tests.
int viewerMain(int argc, char **argv);
