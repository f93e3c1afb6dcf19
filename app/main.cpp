// The program entry: the calculator in its SDL window. Arguments are not used.
#include "Tessel_un.h"

#include "platform/Sdllayer_un.h"

#include <cstdio>

int main(int, char**) {
    try {
        SdlPlatform platform(DesignLeft, DesignTop, DesignWidth, DesignHeight);
        return RunTessel(platform);
    } catch (const std::exception& error) {
        // Without a display there is nowhere to show a message box.
        std::fprintf(stderr, "tessel: %s\n", error.what());
        return 1;
    }
}
