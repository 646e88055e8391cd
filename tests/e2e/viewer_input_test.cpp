#include "e2e/viewer_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/wait.h>

namespace {

constexpr int CENTRE = 300; // of the 600 x 600 window
constexpr int SPHERE_INSIDE = 120;

const char *const USAGE = "Orvane Lab 3\n\n1-4: Draw different objects\nS: Toggle Smooth Shading\n"
                          "H: Toggle Highlight\nW: Draw Wireframe\nP: Draw Polygon\n"
                          "V: Draw Vertices\nQ: Quit\n\n"
                          "Left mouse click and drag: rotate the object\n"
                          "Right mouse click and drag: zooming\n";

bool upperLeftIsLit(const Image &image)
{
    return brightness(image.at(CENTRE - 70, CENTRE - 70)) >
           brightness(image.at(CENTRE + 70, CENTRE + 70)) + 100;
}

double whiteShare(const Image &image)
{
    return double(countPixels(image, isWhite)) / double(image.width * image.height);
}

class ViewerInput : public ViewerTest {
  protected:
    Image after(const std::string &keys, const Image &before)
    {
        pressKeys(keys);
        return captureChanged(viewer_, before);
    }
};

TEST_F(ViewerInput, KeysSwitchModelShadingHighlightAndPolygonMode)
{
    ASSERT_EQ(first_.width, 600);
    EXPECT_GT(steepestStep(first_, CENTRE, CENTRE, SPHERE_INSIDE), 20) << "starts faceted";
    EXPECT_TRUE(upperLeftIsLit(first_));

    const Image cylinder = after("2", first_);
    EXPECT_GT(countPixels(cylinder, isYellow), 3000u);
    EXPECT_EQ(countPixels(cylinder, isBlue), 0u);

    const Image smooth = after("1 s", cylinder);
    EXPECT_LE(steepestStep(smooth, CENTRE, CENTRE, SPHERE_INSIDE), 8) << "facet edges vanish";

    const Image highlighted = after("h", smooth);
    const Rgb shine = brightestColour(highlighted);
    EXPECT_GT(brightness(shine), brightness(brightestColour(smooth)) + 60);
    EXPECT_GE(shine.b, 250);
    EXPECT_LT(shine.r, 200) << "the highlight is blue, not white";

    const Image wireframe = after("w", highlighted);
    EXPECT_GT(whiteShare(wireframe), 0.9);
    EXPECT_LT(whiteShare(wireframe), 0.995) << "the lines are there";

    const Image points = after("v", wireframe);
    EXPECT_GT(whiteShare(points), whiteShare(wireframe)) << "points cover less than lines";
    EXPECT_LT(whiteShare(points), 1.0);

    const Image filled = after("p", points);
    EXPECT_EQ(filled.rgb, highlighted.rgb) << "filled again, as before the wireframe";
}

TEST_F(ViewerInput, LeftDragTurnsTheModelUnderAFixedLightAndDraggingBackRestoresIt)
{
    drag(viewer_, 1, 200, 300, 290, 300);
    const Image turned = captureChanged(viewer_, first_);
    ASSERT_FALSE(turned.rgb.empty()) << "the drag changed nothing";
    EXPECT_TRUE(upperLeftIsLit(turned)) << "the light does not turn with the model";

    drag(viewer_, 1, 290, 300, 200, 300);
    const Image back = captureChanged(viewer_, turned);
    EXPECT_EQ(back.rgb, first_.rgb);

    // The cylinder seen end on is a ring; turned 90 degrees about y it shows its side, a band
    // half as wide as it is tall.
    const Image ring = after("2", back);
    drag(viewer_, 1, 200, 300, 290, 300);
    const Box side = nonWhiteBox(captureChanged(viewer_, ring));
    EXPECT_NEAR(double(side.width) / side.height, 0.5, 0.1);
    EXPECT_NEAR(side.height, nonWhiteBox(ring).height, 30);
}

TEST_F(ViewerInput, RightDragDownEnlargesTheModel)
{
    drag(viewer_, 3, 300, 100, 300, 300);
    const Image zoomed = captureChanged(viewer_, first_);
    ASSERT_FALSE(zoomed.rgb.empty());
    // Zoom 1.2 makes the sphere's silhouette about 1.2 times as wide.
    const double ratio = double(nonWhiteBox(zoomed).width) / double(nonWhiteBox(first_).width);
    EXPECT_GT(ratio, 1.15);
    EXPECT_LT(ratio, 1.3);
}

TEST_F(ViewerInput, QuitEndsWithStatusZeroHavingWrittenOnlyTheUsageText)
{
    pressKeys("2 q");
    const int status = waitForExit(viewer_, 10000);
    ASSERT_NE(status, -1) << "still running";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string usage = USAGE;
    if (programUnderTest().isWindowsProgram()) {
        for (std::size_t end = usage.find('\n'); end != std::string::npos;
             end = usage.find('\n', end + 2)) {
            usage.insert(end, 1, '\r');
        }
    }
    EXPECT_EQ(readOutput(viewer_), usage);
}

// Without a window manager the window's client area sits exactly where the program asked. Wine
// draws a Windows frame of its own and puts the frame there instead, so under Wine the client
// area may sit inside the frame's border and title bar (seen: 4 and 23 pixels).
TEST_F(ViewerInput, OpensTheWindowAt50_50)
{
    const bool framedByWine = programUnderTest().isWindowsProgram();
    const int frameWidth = framedByWine ? 8 : 0, frameHeight = framedByWine ? 32 : 0;
    EXPECT_GE(viewer_.left, 50);
    EXPECT_LE(viewer_.left, 50 + frameWidth);
    EXPECT_GE(viewer_.top, 50);
    EXPECT_LE(viewer_.top, 50 + frameHeight);
}

// Another build of the same sources, given the same input, must draw the same pixels as the Linux
// build: both end in the same Mesa renderer.
TEST_F(ViewerInput, PicturesMatchTheLinuxBuildAfterEveryKeyAndDrag)
{
    ViewerSession reference;
    const std::unique_ptr<ViewerSession, void (*)(ViewerSession *)> stopAtTheEnd(
        &reference, [](ViewerSession *session) { stopViewer(*session); });
    ASSERT_TRUE(startViewer(reference, linuxBuild()));
    struct Step {
        const char *keys; // or a drag with this button, in window pixels
        int button, fromX, fromY, toX, toY;
    };
    const Step steps[] = {
        {"2", 0, 0, 0, 0, 0},
        {"3", 0, 0, 0, 0, 0},
        {"4", 0, 0, 0, 0, 0},
        {"s", 0, 0, 0, 0, 0},
        {"h", 0, 0, 0, 0, 0},
        {"w", 0, 0, 0, 0, 0},
        {"v", 0, 0, 0, 0, 0},
        {"p", 0, 0, 0, 0, 0},
        {nullptr, 1, 200, 300, 260, 340},
        {nullptr, 3, 300, 100, 300, 250},
        {nullptr, 2, 300, 300, 300, 200},
        {"1", 0, 0, 0, 0, 0},
    };
    Image previous[] = {first_, captureSettled(useDisplay(reference))};
    EXPECT_EQ(previous[1].rgb, first_.rgb) << "the first frames differ";
    for (const Step &step : steps) {
        SCOPED_TRACE(step.keys ? std::string("key ") + step.keys
                               : "drag with button " + std::to_string(step.button));
        Image now[2];
        for (int i = 0; i < 2; ++i) {
            const ViewerSession &session = useDisplay(i == 0 ? viewer_ : reference);
            if (step.keys) {
                pressKeys(step.keys);
            } else {
                drag(session, step.button, step.fromX, step.fromY, step.toX, step.toY);
            }
            now[i] = captureChanged(session, previous[i]);
            previous[i] = now[i];
        }
        ASSERT_FALSE(now[1].rgb.empty()) << "the Linux build did not change its picture";
        EXPECT_EQ(now[0].rgb, now[1].rgb) << meanDifference(now[0], now[1]) << " mean difference";
    }
    useDisplay(viewer_);
}

} // namespace
