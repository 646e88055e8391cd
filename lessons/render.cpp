// Renders the lessons' pictures with the viewer's own frames on Mesa and measures the pixels the
// lessons quote. Run as `lessons_render FOLDER`: it writes one PPM per picture, the marks to draw
// on them (ImageMagick's MVG) and measured.txt, one "KEY value" line per number.
//
// The viewer starts inside the render harness's test environment, so the work is one test.
#include "lessons/views.h"
#include "support/render_harness.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
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

// A point of the frame, in pixels from its top left, not necessarily a pixel's middle.
struct Place {
    double x = 0.0;
    double y = 0.0;
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

Place centreOf(const Pixel &p)
{
    return {p.x + 0.5, p.y + 0.5};
}

// The middle of the highlight: of the pixels where it adds at least half of what it adds at most.
// Red tells: the material's specular colour has some, and no pixel's red reaches 255.
Place highlightMiddle(const Image &lit, const Image &unlit)
{
    int most = 0;
    for (int y = 0; y < lit.height; ++y) {
        for (int x = 0; x < lit.width; ++x) {
            most = std::max(most, lit.at(x, y).r - unlit.at(x, y).r);
        }
    }
    Place sum;
    int count = 0;
    for (int y = 0; y < lit.height; ++y) {
        for (int x = 0; x < lit.width; ++x) {
            if (2 * (lit.at(x, y).r - unlit.at(x, y).r) >= most) {
                sum.x += x + 0.5;
                sum.y += y + 0.5;
                ++count;
            }
        }
    }
    return {sum.x / count, sum.y / count};
}

std::string rgb(const Rgb &c)
{
    return std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b);
}

// Renders a frame with light 0 changed as lesson 7 changes it: the calls are made while the
// modelview matrix is the identity, as initLighting would make them beside its own, and what they
// changed is put back afterwards, so later frames light as the viewer does.
Image renderLit(const lessons::LitFrame &frame)
{
    const lessons::LightChange &light = frame.light;
    constexpr GLfloat IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_TRUE(std::equal(modelview, modelview + 16, IDENTITY)) << "the light would move";
    glPushAttrib(GL_LIGHTING_BIT);
    if (light.moved) {
        glLightfv(GL_LIGHT0, GL_POSITION, light.position.data());
    }
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, light.spotDirection.data());
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, light.spotCutoff);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, light.spotExponent);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, light.constantAttenuation);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, light.linearAttenuation);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, light.quadraticAttenuation);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, light.localViewer ? 1.0f : 0.0f);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, light.twoSide ? 1.0f : 0.0f);
    Image image = renderFrame(frame.state);
    glPopAttrib();
    return image;
}

// Renders a frame with GL_LIGHT1 enabled, at GL's defaults or, given `light`, with its place and
// diffuse colour, made as initLighting would make the calls.
Image renderWithSecondLight(const ViewerState &state, const lessons::SecondLight *light)
{
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glEnable(GL_LIGHT1);
    if (light != nullptr) {
        glLightfv(GL_LIGHT1, GL_POSITION, light->position.data());
        glLightfv(GL_LIGHT1, GL_DIFFUSE, light->diffuse.data());
    }
    Image image = renderFrame(state);
    glPopAttrib();
    return image;
}

// The model's pixels where some channel is at 255, as far as the screen goes.
std::size_t saturatedPixels(const Image &image)
{
    return countPixels(image, [](const Rgb &c) {
        return !isWhite(c) && (c.r == 255 || c.g == 255 || c.b == 255);
    });
}

// What GL starts light 1 with, as Mesa reports it.
std::string secondLightDefaults()
{
    GLfloat diffuse[4]{}, specular[4]{}, position[4]{};
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glGetLightfv(GL_LIGHT1, GL_POSITION, position);
    const auto listed = [](const GLfloat *v, int n) {
        std::ostringstream text;
        for (int i = 0; i < n; ++i) {
            text << (i > 0 ? ", " : "") << v[i];
        }
        return text.str();
    };
    return "DEFAULT_LIGHT1_DIFFUSE " + listed(diffuse, 4) + "\nDEFAULT_LIGHT1_SPECULAR " +
           listed(specular, 4) + "\nDEFAULT_LIGHT1_POSITION " + listed(position, 4) + "\n";
}

// Each channel's difference, DIFFERENCE_SCALE times larger, so that one step of 255 shows.
constexpr int DIFFERENCE_SCALE = 64;

Image difference(const Image &a, const Image &b)
{
    Image out = a;
    for (std::size_t i = 0; i < out.rgb.size(); ++i) {
        out.rgb[i] = std::uint8_t(std::min(255, DIFFERENCE_SCALE * std::abs(a.rgb[i] - b.rgb[i])));
    }
    return out;
}

int largestDifference(const Image &a, const Image &b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        largest = std::max(largest, std::abs(a.rgb[i] - b.rgb[i]));
    }
    return largest;
}

std::size_t differingPixels(const Image &a, const Image &b)
{
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        differing +=
            std::equal(a.rgb.begin() + std::ptrdiff_t(i), a.rgb.begin() + std::ptrdiff_t(i + 3),
                       b.rgb.begin() + std::ptrdiff_t(i))
                ? 0
                : 1;
    }
    return differing;
}

// What GL starts light 0 and the light model with, as Mesa reports it: the values lesson 7's
// changes start from, so they must be the ones the lessons assume.
std::string glDefaults()
{
    const lessons::LightChange assumed;
    GLfloat direction[4]{}, cutoff = 0, exponent = 0, attenuation[3]{}, local = 0;
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    glGetLightfv(GL_LIGHT0, GL_SPOT_EXPONENT, &exponent);
    glGetLightfv(GL_LIGHT0, GL_CONSTANT_ATTENUATION, &attenuation[0]);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, &attenuation[1]);
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, &attenuation[2]);
    glGetFloatv(GL_LIGHT_MODEL_LOCAL_VIEWER, &local);
    EXPECT_EQ(std::vector<float>(direction, direction + 3),
              std::vector<float>(assumed.spotDirection.begin(), assumed.spotDirection.end()));
    EXPECT_EQ(cutoff, assumed.spotCutoff);
    EXPECT_EQ(exponent, assumed.spotExponent);
    EXPECT_EQ(std::vector<float>(attenuation, attenuation + 3),
              (std::vector<float>{assumed.constantAttenuation, assumed.linearAttenuation,
                                  assumed.quadraticAttenuation}));
    EXPECT_EQ(local != 0.0f, assumed.localViewer);
    // The back material the lessons work two-sided lighting out with, which the viewer never sets.
    const lessons::DefaultBackMaterial back;
    const std::pair<GLenum, const std::array<float, 4> *> colours[] = {
        {GL_AMBIENT, &back.ambient},
        {GL_DIFFUSE, &back.diffuse},
        {GL_SPECULAR, &back.specular},
        {GL_EMISSION, &back.emission}};
    for (const auto &[pname, expected] : colours) {
        std::array<float, 4> read{};
        glGetMaterialfv(GL_BACK, pname, read.data());
        EXPECT_EQ(read, *expected) << "the back material's 0x" << std::hex << pname;
    }
    GLfloat backShininess = -1.0f;
    glGetMaterialfv(GL_BACK, GL_SHININESS, &backShininess);
    EXPECT_EQ(backShininess, back.shininess);
    auto text = [](float v) {
        std::ostringstream out;
        out << v;
        return out.str();
    };
    return "DEFAULT_SPOT_DIRECTION " + text(direction[0]) + ", " + text(direction[1]) + ", " +
           text(direction[2]) + "\nDEFAULT_SPOT_CUTOFF " + text(cutoff) +
           "\nDEFAULT_SPOT_EXPONENT " + text(exponent) + "\nDEFAULT_ATTENUATION " +
           text(attenuation[0]) + ", " + text(attenuation[1]) + ", " + text(attenuation[2]) +
           "\nDEFAULT_LOCAL_VIEWER " + text(local) + "\nDEFAULT_BACK_AMBIENT " +
           text(back.ambient[0]) + "\nDEFAULT_BACK_DIFFUSE " + text(back.diffuse[0]) +
           "\nDEFAULT_BACK_SPECULAR " + text(back.specular[0]) + "\n";
}

std::size_t modelPixels(const Image &image)
{
    return std::size_t(image.width * image.height) - countPixels(image, isWhite);
}

// A ring round a point of the frame, in the coordinates of a picture of `region` in panel
// `column`.
std::string ring(const Place &p, const Region &region, int column)
{
    constexpr double RING_RADIUS = 9.0;
    const double x = (p.x - region.left) * region.scale + lessons::panelOffset(region, column);
    const double y = (p.y - region.top) * region.scale;
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
        << ring(centreOf(shadow), WHOLE_SPHERE, 0) << ring(centreOf(bright), WHOLE_SPHERE, 0);

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

    // Lesson 7: the light as a direction, brought close, as a spot, fading, and the viewer close.
    numbers << glDefaults();
    std::map<std::string, Image> lit;
    for (const LitFrame &frame : litFrames()) {
        lit[frame.name] = renderLit(frame);
        numbers << "PIXEL_" << frame.name << "_BRIGHT "
                << rgb(extremePixel(lit[frame.name], true).colour) << "\n";
        if (frame.state.smoothShading) {
            numbers << "PIXEL_" << frame.name << "_MIDDLE "
                    << rgb(lit[frame.name].at(CENTRE, CENTRE)) << "\n";
        }
    }
    // The changes are undone: the first frame comes out as before.
    EXPECT_EQ(renderFrame(sphere(false, false)).rgb, flat.rgb);

    const Image &direction = lit[directional().name];
    writePicture("directional",
                 sheet({flat, direction, difference(flat, direction)}, WHOLE_SPHERE, 3));
    numbers << "DIFFERENCE_SCALE " << DIFFERENCE_SCALE << "\n";
    numbers << "PIXEL_DIRECTIONAL_DIFFERING " << differingPixels(flat, direction) << "\n";
    numbers << "PIXEL_DIRECTIONAL_LARGEST_STEP " << largestDifference(flat, direction) << "\n";

    const Image &near = lit[nearPoint().name];
    const Image &spot = lit[hardSpot().name];
    writePicture("spotlight", sheet({near, spot, lit[softSpot().name]}, WHOLE_SPHERE, 3));

    writePicture("attenuation", sheet({near, lit[fading().name]}, WHOLE_SPHERE, 2));

    const Image &local = lit[localHighlight().name];
    const Place before = highlightMiddle(highlight, smooth);
    const Place after = highlightMiddle(local, smooth);
    writePicture("local-viewer", sheet({highlight, local}, WHOLE_SPHERE, 2));
    // The middle of each highlight, and on the right where it was on the left.
    std::ofstream(folder + "/local-viewer.mvg")
        << "fill none stroke-width 2 stroke '#d62728'\n"
        << ring(before, WHOLE_SPHERE, 0) << ring(after, WHOLE_SPHERE, 1) << "stroke '#ffffff'\n"
        << ring(before, WHOLE_SPHERE, 1);
    numbers << "PIXEL_HIGHLIGHT_SHIFT "
            << std::lround(std::hypot(after.x - before.x, after.y - before.y)) << "\n";

    // Both sides: the right half of the sphere, sent wound clockwise, is lit as a back face.
    const Image &bothSides = lit[twoSided().name];
    const Place onBack{ON_BACK_FACE.x + 0.5, ON_BACK_FACE.y + 0.5};
    writePicture("two-sided", sheet({flat, bothSides}, WHOLE_SPHERE, 2));
    std::ofstream(folder + "/two-sided.mvg")
        << "fill none stroke '#d62728' stroke-width 3\n"
        << ring(onBack, WHOLE_SPHERE, 0) << ring(onBack, WHOLE_SPHERE, 1);
    numbers << "PIXEL_ONE_SIDED_BACK " << rgb(flat.at(ON_BACK_FACE.x, ON_BACK_FACE.y)) << "\n";
    numbers << "PIXEL_TWO_SIDED_BACK " << rgb(bothSides.at(ON_BACK_FACE.x, ON_BACK_FACE.y)) << "\n";
    numbers << "PIXEL_TWO_SIDED_DIFFERING " << differingPixels(flat, bothSides) << "\n";

    // A second light: GL_LIGHT1 enabled at GL's defaults, then given a colour and a place.
    numbers << secondLightDefaults();
    const Image blackSecond = renderWithSecondLight(sphere(true, false), nullptr);
    const Image second = renderWithSecondLight(sphere(true, false), &SECOND_LIGHT);
    writePicture("second-light", sheet({smooth, blackSecond, second}, WHOLE_SPHERE, 3));
    numbers << "PIXEL_SECOND_BLACK_DIFFERING " << differingPixels(smooth, blackSecond) << "\n";
    numbers << "PIXEL_SECOND_SATURATED " << saturatedPixels(second) << "\n";
    numbers << "PIXEL_ONE_LIGHT_SATURATED " << saturatedPixels(smooth) << "\n";
    numbers << "PIXEL_SECOND_BRIGHT " << rgb(extremePixel(second, true).colour) << "\n";
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
