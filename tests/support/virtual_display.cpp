#include "support/virtual_display.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

VirtualDisplay startVirtualDisplay()
{
    VirtualDisplay display;
    int ready[2];
    if (pipe(ready) != 0) {
        return display;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        close(ready[0]);
        const std::string fd = std::to_string(ready[1]);
        // -displayfd: Xvfb takes the first free display number and writes it to the pipe.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
               "-nolisten", "tcp", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    std::string number;
    char c = 0;
    while (pid > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(ready[0]);
    if (pid > 0 && !number.empty()) {
        display.pid = pid;
        display.name = ":" + number;
    }
    return display;
}

void stopVirtualDisplay(VirtualDisplay &display)
{
    if (display.pid > 0) {
        kill(display.pid, SIGTERM);
        waitpid(display.pid, nullptr, 0);
    }
    display = VirtualDisplay{};
}

void useRepeatableSoftwareRendering()
{
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    // Zero rasteriser threads: each frame is rasterised in the calling thread before the call
    // returns, so neither pixels nor the memory the driver holds depend on another thread's timing.
    setenv("LP_NUM_THREADS", "0", 1);
}
