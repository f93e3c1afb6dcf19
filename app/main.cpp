// The program entry: the calculator in its SDL window, or the answer to --version or --help.
#include "Cmdline_un.h"
#include "Folders_un.h"
#include "Session_un.h"

#include "platform/Sdllayer_un.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM end the program at once with status 0, whatever it is doing: loading,
// waiting behind a message box, or drawing. Nothing is left to save.
void QuitAtOnce(int) {
    _exit(0);
}

// A standard descriptor that was closed when the program started would be taken by the next
// file or connection opened (the X connection, say), and a message meant for stderr would be
// written into it: the closed ones are opened on /dev/null first.
void OpenClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

// Writes an answer to standard output; the status says whether it got there (not so on a full
// disk or a closed pipe, which a shell script should hear of).
int Answer(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fprintf(stderr, "tessel: can't write to standard output: %s\n", std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    OpenClosedStandardDescriptors();
    // Answered before anything else is set up: no display is needed and no file is touched.
    switch (RequestOf(argc, argv)) {
    case CommandLineRequest::PrintVersion:
        return Answer(VersionText());
    case CommandLineRequest::PrintHelp:
        return Answer(HelpText());
    case CommandLineRequest::RunCalculator:
        break;
    }
    // A message to a stderr whose reader has gone is dropped, rather than ending the program
    // and the calculation with it.
    std::signal(SIGPIPE, SIG_IGN);
    // The threads that decode pictures and load the GL driver share the one heap: what they
    // free is reused by the drawing rather than kept apart.
    mallopt(M_ARENA_MAX, 1);
    struct sigaction quit {};
    quit.sa_handler = QuitAtOnce;
    sigemptyset(&quit.sa_mask);
    sigaction(SIGINT, &quit, nullptr);
    sigaction(SIGTERM, &quit, nullptr);
    UseFolders();
    try {
        SdlPlatform platform(DesignLeft, DesignTop, DesignWidth, DesignHeight);
        return RunTessel(platform);
    } catch (const std::exception& error) {
        // Without a display there is nowhere to show a message box.
        std::fprintf(stderr, "tessel: %s\n", error.what());
        return 1;
    }
}
