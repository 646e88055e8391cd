#include "support/fake_gl.h"

#include "input/input.h"
#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Command {
    std::int32_t objectIndex = -1; // -1: unchanged
    bool togglesSmooth = false;
    bool togglesHighlight = false;
    GLenum polygonMode = 0; // 0: not set
};

// The command table; every key not in it does nothing but ask for a redisplay.
const std::map<unsigned char, Command> COMMANDS = {
    {'1', {0}},
    {'2', {1}},
    {'3', {2}},
    {'4', {3}},
    {'S', {-1, true}},
    {'s', {-1, true}},
    {'H', {-1, false, true}},
    {'h', {-1, false, true}},
    {'W', {-1, false, false, GL_LINE}},
    {'w', {-1, false, false, GL_LINE}},
    {'P', {-1, false, false, GL_FILL}},
    {'p', {-1, false, false, GL_FILL}},
    {'V', {-1, false, false, GL_POINT}},
    {'v', {-1, false, false, GL_POINT}},
};

ViewerState someState()
{
    ViewerState state;
    state.objectIndex = MODEL_TWISTED_LADDER;
    state.smoothShading = false;
    state.highlight = true;
    state.angleX = -12.0f;
    state.angleY = 365.0f;
    state.zoom = 0.25f;
    state.dragActive = 1;
    state.dragButton = GLUT_RIGHT_BUTTON;
    state.lastMouseX = 17;
    state.lastMouseY = -4;
    return state;
}

void expectSameState(const ViewerState &actual, const ViewerState &expected)
{
    EXPECT_EQ(actual.objectIndex, expected.objectIndex);
    EXPECT_EQ(actual.smoothShading, expected.smoothShading);
    EXPECT_EQ(actual.highlight, expected.highlight);
    EXPECT_EQ(actual.angleX, expected.angleX);
    EXPECT_EQ(actual.angleY, expected.angleY);
    EXPECT_EQ(actual.zoom, expected.zoom);
    EXPECT_EQ(actual.dragActive, expected.dragActive);
    EXPECT_EQ(actual.dragButton, expected.dragButton);
    EXPECT_EQ(actual.lastMouseX, expected.lastMouseX);
    EXPECT_EQ(actual.lastMouseY, expected.lastMouseY);
}

TEST(Keyboard, EveryKeyCodeDoesItsCommandAndAsksForOneRedisplay)
{
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<unsigned char>(code);
        if (key == 'q' || key == 'Q') {
            continue;
        }
        SCOPED_TRACE("key code " + std::to_string(code));
        const auto found = COMMANDS.find(key);
        const Command command = found == COMMANDS.end() ? Command{} : found->second;

        ViewerState expected = someState();
        if (command.objectIndex >= 0) {
            expected.objectIndex = command.objectIndex;
        }
        expected.smoothShading = expected.smoothShading != command.togglesSmooth;
        expected.highlight = expected.highlight != command.togglesHighlight;

        viewerState = someState();
        fakegl::reset();
        keyboard(key, 300, 200);

        expectSameState(viewerState, expected);
        const std::vector<fakegl::Call> &calls = fakegl::calls();
        const std::size_t modeCalls = command.polygonMode != 0 ? 1 : 0;
        ASSERT_EQ(calls.size(), modeCalls + 1);
        if (modeCalls != 0) {
            EXPECT_EQ(calls[0].name, "glPolygonMode");
            EXPECT_EQ(calls[0].args[0], double(GL_FRONT_AND_BACK));
            EXPECT_EQ(calls[0].args[1], double(command.polygonMode));
        }
        EXPECT_EQ(calls.back().name, "glutPostRedisplay");
    }
}

TEST(Keyboard, TogglesReturnToTheirStartAfterTwoPresses)
{
    for (const unsigned char key : {'s', 'S', 'h', 'H'}) {
        viewerState = ViewerState{};
        keyboard(key, 0, 0);
        keyboard(key, 0, 0);
        EXPECT_FALSE(viewerState.smoothShading) << key;
        EXPECT_FALSE(viewerState.highlight) << key;
    }
}

// Q must end the process at once with status 0 and write nothing more; run it in a child.
TEST(Keyboard, QuitEndsTheProcessWithStatusZeroAndWritesNothing)
{
    for (const unsigned char key : {'q', 'Q'}) {
        int output[2];
        ASSERT_EQ(pipe(output), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            keyboard(key, 0, 0);
            _exit(3); // keyboard returned: the quit failed
        }
        close(output[1]);
        char buffer[64];
        const ssize_t written = read(output[0], buffer, sizeof buffer);
        close(output[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << key;
        EXPECT_EQ(WEXITSTATUS(status), 0) << key;
        EXPECT_EQ(written, 0) << key;
    }
}

} // namespace
