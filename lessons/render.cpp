// Renders the lessons' pictures with the viewer's own frames on Mesa and measures the pixels the
// lessons quote. Run as `lessons_render FOLDER`: it writes one PPM per picture, the marks to draw
// on them (ImageMagick's MVG) and measured.txt, one "KEY value" line per number.
//
// The viewer starts inside the render harness's test environment, so the work is one test.
#include "lessons/views.h"
#include "support/render_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using lessons::Region;

std::string folder;

// Each pixel of the region becomes a square of scale x scale pixels.
Image enlarge(const Image &frame, const Region &region)
{
    Image out;
    out.width = out.height = region.size * region.scale;
    out.rgb.resize(3 * std::size_t(out.width) * std::size_t(out.height));
    std::size_t i = 0;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const Rgb c = frame.at(region.left + x / region.scale, region.top + y / region.scale);
            out.rgb[i++] = std::uint8_t(c.r);
            out.rgb[i++] = std::uint8_t(c.g);
            out.rgb[i++] = std::uint8_t(c.b);
        }
    }
    return out;
}

// The same region of every frame, `columns` to a row, on white.
Image sheet(const std::vector<Image> &frames, const Region &region, int columns)
{
    const int rows = (int(frames.size()) + columns - 1) / columns;
    Image out;
    out.width = lessons::panelOffset(region, columns) - lessons::PANEL_GAP;
    out.height = lessons::panelOffset(region, rows) - lessons::PANEL_GAP;
    out.rgb.assign(3 * std::size_t(out.width) * std::size_t(out.height), 255);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const Image panel = enlarge(frames[k], region);
        const int left = lessons::panelOffset(region, int(k) % columns);
        const int top = lessons::panelOffset(region, int(k) / columns);
        for (int y = 0; y < panel.height; ++y) {
            const auto from = panel.rgb.begin() + 3 * std::ptrdiff_t(y) * panel.width;
            const auto to =
                out.rgb.begin() + 3 * (std::ptrdiff_t(top + y) * out.width + std::ptrdiff_t(left));
            std::copy(from, from + 3 * std::ptrdiff_t(panel.width), to);
        }
    }
    return out;
}

void writePicture(const std::string &name, const Image &image)
{
    ASSERT_TRUE(writePpm(image, folder + "/" + name + ".ppm"))
        << "cannot write " << name << ".ppm in " << folder;
}

struct Pixel {
    Rgb colour;
    int x = 0;
    int y = 0;
};

// The darkest or the brightest colour of the model, at the pixel of that colour that lies nearest
// the middle of all pixels of that colour: the middle of the patch, not its first row.
Pixel extremePixel(const Image &image, bool brightest)
{
    int best = brightest ? -1 : 3 * 255 + 1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            if (!isWhite(c) && (brightest ? brightness(c) > best : brightness(c) < best)) {
                best = brightness(c);
            }
        }
    }
    std::vector<Pixel> found;
    double meanX = 0.0, meanY = 0.0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            if (!isWhite(c) && brightness(c) == best) {
                found.push_back({c, x, y});
                meanX += x;
                meanY += y;
            }
        }
    }
    meanX /= double(found.size());
    meanY /= double(found.size());
    Pixel typical = found.front();
    for (const Pixel &p : found) {
        if (std::hypot(p.x - meanX, p.y - meanY) <
            std::hypot(typical.x - meanX, typical.y - meanY)) {
            typical = p;
        }
    }
    return typical;
}

std::string rgb(const Rgb &c)
{
    return std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b);
}

std::size_t modelPixels(const Image &image)
{
    return std::size_t(image.width * image.height) - countPixels(image, isWhite);
}

// A ring round a pixel of the frame, in the coordinates of a picture of `region`.
std::string ring(const Pixel &p, const Region &region)
{
    constexpr double RING_RADIUS = 9.0;
    const double x = (p.x + 0.5 - region.left) * region.scale;
    const double y = (p.y + 0.5 - region.top) * region.scale;
    return "circle " + std::to_string(x) + "," + std::to_string(y) + " " +
           std::to_string(x + RING_RADIUS) + "," + std::to_string(y) + "\n";
}

TEST(Lessons, RenderThePicturesAndMeasureTheirPixels)
{
    using namespace lessons;
    std::ofstream numbers(folder + "/measured.txt");

    // Light and materials: the first frame, with its darkest and brightest pixels ringed.
    const Image flat = renderFrame(sphere(false, false));
    const Pixel shadow = extremePixel(flat, false);
    const Pixel bright = extremePixel(flat, true);
    numbers << "PIXEL_SHADOW " << rgb(shadow.colour) << "\n";
    numbers << "PIXEL_BRIGHT " << rgb(bright.colour) << "\n";
    writePicture("light", sheet({flat}, WHOLE_SPHERE, 1));
    std::ofstream(folder + "/light.mvg")
        << "fill none stroke '#d62728' stroke-width 3\n"
        << ring(shadow, WHOLE_SPHERE) << ring(bright, WHOLE_SPHERE);

    // Normals: the same patch flat and smooth, and again below for the normals to be drawn on.
    const Image smooth = renderFrame(sphere(true, false));
    writePicture("normals", sheet({flat, smooth, flat, smooth}, NORMALS_PATCH, 2));
    // The steepest step between neighbouring pixels, in a circle about the patch's middle that
    // keeps clear of the sphere's outline.
    constexpr int STEP_RADIUS = 35;
    const int patchX = NORMALS_PATCH.left + NORMALS_PATCH.size / 2;
    const int patchY = NORMALS_PATCH.top + NORMALS_PATCH.size / 2;
    numbers << "PIXEL_STEP_FLAT " << steepestStep(flat, patchX, patchY, STEP_RADIUS) << "\n";
    numbers << "PIXEL_STEP_SMOOTH " << steepestStep(smooth, patchX, patchY, STEP_RADIUS) << "\n";

    // The highlight, off and on, both with smooth normals.
    const Image highlight = renderFrame(sphere(true, true));
    writePicture("highlight", sheet({smooth, highlight}, WHOLE_SPHERE, 2));
    numbers << "PIXEL_BRIGHT_SMOOTH " << rgb(extremePixel(smooth, true).colour) << "\n";
    numbers << "PIXEL_HIGHLIGHT " << rgb(extremePixel(highlight, true).colour) << "\n";
    // The same frame whole, for the browser's picture of it to be held against pixel by pixel.
    writePicture("shader-mesa", highlight);

    // Polygon modes: the first frame filled, as lines and as points.
    pressKey('w');
    const Image lines = renderFrame(sphere(false, false));
    pressKey('v');
    const Image points = renderFrame(sphere(false, false));
    pressKey('p');
    writePicture("polygon-modes", sheet({flat, lines, points}, WHOLE_SPHERE, 3));
    numbers << "PIXEL_COVER_FILL " << modelPixels(flat) << "\n";
    numbers << "PIXEL_COVER_LINE " << modelPixels(lines) << "\n";
    numbers << "PIXEL_COVER_POINT " << modelPixels(points) << "\n";
    numbers << "PIXEL_BRIGHT_LINE " << rgb(extremePixel(lines, true).colour) << "\n";
    numbers << "PIXEL_BRIGHT_POINT " << rgb(extremePixel(points, true).colour) << "\n";

    // The matrix stack: the ladder and the tree.
    writePicture("matrix-stack",
                 sheet({renderFrame(ladder()), renderFrame(tree())}, WHOLE_WINDOW, 2));
    ASSERT_TRUE(numbers.good());
}

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    return RUN_ALL_TESTS();
}
