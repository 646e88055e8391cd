// Pictures the real-GL and end-to-end tests take of the viewer, and what they measure in them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows from the top, three bytes a pixel

    Rgb at(int x, int y) const;
};

bool isWhite(const Rgb &c);
int brightness(const Rgb &c);

// The smallest box round every pixel that is not white; empty (width 0) when all are.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};
Box nonWhiteBox(const Image &image);
std::size_t countPixels(const Image &image, bool (*test)(const Rgb &));
bool isYellow(const Rgb &c);
bool isBlue(const Rgb &c);
// The brightest pixel that is not white.
Rgb brightestColour(const Image &image);
// The largest brightness step between neighbours in a row, within `radius` of (x, y): facet edges
// show up as steep steps.
int steepestStep(const Image &image, int x, int y, int radius);
// The mean absolute difference, per channel, over the whole picture.
double meanDifference(const Image &a, const Image &b);

// Reads a window dump as `xwd` writes it (ZPixmap, 24 or 32 bits a pixel).
bool readXwd(const std::string &bytes, Image &image);

// Writes the picture as a binary PPM, rows from the top; false if the file could not be written.
bool writePpm(const Image &image, const std::string &path);
