#include "e2e/viewer_session.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto POLL_INTERVAL = std::chrono::milliseconds(50);
constexpr int WAIT_LIMIT_MS = 10000;

std::string runCommand(const std::string &command)
{
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, n);
        }
        pclose(pipe);
    }
    return output;
}

int shellValue(const std::string &shell, const std::string &name)
{
    std::istringstream lines(shell);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(name + "=", 0) == 0) {
            return std::atoi(line.c_str() + name.size() + 1);
        }
    }
    return 0;
}

} // namespace

bool ViewerProgram::isWindowsProgram() const
{
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".exe") == 0;
}

ViewerProgram programUnderTest()
{
    const char *path = std::getenv("VIEWER_PROGRAM");
    const char *launcher = std::getenv("VIEWER_LAUNCHER");
    return path == nullptr ? linuxBuild() : ViewerProgram{path, launcher ? launcher : ""};
}

ViewerProgram linuxBuild()
{
    return {VIEWER_BINARY, ""};
}

bool startViewer(ViewerSession &session, const ViewerProgram &program)
{
    session.display = startVirtualDisplay();
    if (session.display.name.empty()) {
        return false;
    }
    useDisplay(session);
    useRepeatableSoftwareRendering();

    int output[2];
    if (pipe(output) != 0) {
        return false;
    }
    char errorFile[] = "/tmp/viewer-stderr-XXXXXX";
    const int errors = mkstemp(errorFile);
    session.errorFile = errorFile;
    session.pid = fork();
    if (session.pid == 0) {
        dup2(output[1], STDOUT_FILENO);
        dup2(errors, STDERR_FILENO);
        close(output[0]);
        const char *path = program.path.c_str();
        if (program.launcher.empty()) {
            execl(path, path, static_cast<char *>(nullptr));
        } else {
            const char *launcher = program.launcher.c_str();
            execlp(launcher, launcher, path, static_cast<char *>(nullptr));
        }
        _exit(127);
    }
    close(output[1]);
    close(errors);
    session.output = output[0];

    session.window = xdotool("search --sync --onlyvisible --name '^Orvane Assignment 3$'");
    session.window = session.window.substr(0, session.window.find('\n'));
    const std::string geometry = xdotool("getwindowgeometry --shell " + session.window);
    session.left = shellValue(geometry, "X");
    session.top = shellValue(geometry, "Y");
    // Focus follows the pointer on a server without a window manager.
    xdotool("mousemove " + std::to_string(session.left + 5) + " " +
            std::to_string(session.top + 5));
    const Image blank;
    return !session.window.empty() && !captureChanged(session, blank).rgb.empty();
}

void stopViewer(ViewerSession &session)
{
    if (session.pid > 0 && waitForExit(session, 0) == -1) {
        kill(session.pid, SIGKILL);
        waitpid(session.pid, nullptr, 0);
    }
    session.pid = -1;
    if (session.output >= 0) {
        close(session.output);
        session.output = -1;
    }
    stopVirtualDisplay(session.display);
    if (!session.errorFile.empty()) {
        unlink(session.errorFile.c_str());
        session.errorFile.clear();
    }
}

const ViewerSession &useDisplay(const ViewerSession &session)
{
    setenv("DISPLAY", session.display.name.c_str(), 1);
    return session;
}

std::string xdotool(const std::string &args)
{
    return runCommand("xdotool " + args + " 2>/dev/null");
}

void xdotoolScript(const std::string &commands)
{
    char path[] = "/tmp/xdotool-script-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return;
    }
    const bool written = write(fd, commands.data(), commands.size()) == ssize_t(commands.size());
    close(fd);
    if (written) {
        xdotool(path);
    }
    unlink(path);
}

void pressKeys(const std::string &keys)
{
    xdotool("key " + keys);
}

void drag(const ViewerSession &session, int button, int fromX, int fromY, int toX, int toY)
{
    const std::string b = std::to_string(button);
    xdotool("mousemove " + std::to_string(session.left + fromX) + " " +
            std::to_string(session.top + fromY) + " mousedown " + b + " mousemove " +
            std::to_string(session.left + toX) + " " + std::to_string(session.top + toY) +
            " mouseup " + b);
}

Image capture(const ViewerSession &session)
{
    Image image;
    readXwd(runCommand("xwd -silent -id " + session.window + " 2>/dev/null"), image);
    return image;
}

Image captureSettled(const ViewerSession &session)
{
    Image previous = capture(session);
    for (int waited = 0; waited < WAIT_LIMIT_MS; waited += 2 * int(POLL_INTERVAL.count())) {
        std::this_thread::sleep_for(2 * POLL_INTERVAL);
        Image next = capture(session);
        if (next.rgb == previous.rgb) {
            return next;
        }
        previous = std::move(next);
    }
    return previous;
}

Image captureChanged(const ViewerSession &session, const Image &before)
{
    for (int waited = 0; waited < WAIT_LIMIT_MS; waited += int(POLL_INTERVAL.count())) {
        Image now = capture(session);
        // A frame that has not been drawn yet reads back black.
        if (!now.rgb.empty() && now.rgb != before.rgb && countPixels(now, isWhite) > 0) {
            return captureSettled(session);
        }
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    return {};
}

int waitForExit(ViewerSession &session, int timeoutMs)
{
    for (int waited = 0;; waited += int(POLL_INTERVAL.count())) {
        int status = 0;
        if (waitpid(session.pid, &status, WNOHANG) == session.pid) {
            session.pid = -1;
            return status;
        }
        if (waited >= timeoutMs) {
            return -1;
        }
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
}

std::string readOutput(ViewerSession &session)
{
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(session.output, buffer, sizeof buffer)) > 0) {
        text.append(buffer, std::size_t(n));
    }
    return text;
}

std::string readErrors(const ViewerSession &session)
{
    std::ifstream file(session.errorFile);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool closeWindowAsAWindowManagerWould(const ViewerSession &session)
{
    Display *display = XOpenDisplay(session.display.name.c_str());
    if (display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(session.window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0;
}
