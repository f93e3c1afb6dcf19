// The desktop's scale as the server and SDL tell it (the rules are in Scale_un).
#pragma once

#include "Displayserver_un.h"

// The scale for the loading window and the message boxes: the resolution the desktop asks
// for, else the display's as SDL reports it, over the 96 dots per inch of their design.
double DesktopScaleOf(DisplayServer& server);
