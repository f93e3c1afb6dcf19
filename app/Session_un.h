// The calculator set up on a windowing back end as the program entry sets it up: the one
// application object with its title, and the main form created by it (FormCreate runs).
// The program, the shader warmer, the frame benchmark and the tests all start it this way.
#pragma once

#include "Tessel_un.h"

class TesselSession {
public:
    explicit TesselSession(Platform& platform);
    // Closes the main window if it is still open and deletes the form.
    ~TesselSession();
    TesselSession(const TesselSession&) = delete;
    TesselSession& operator=(const TesselSession&) = delete;

    // Creates the main form; a failure in FormCreate propagates.
    T_Tessel_Frm& Start();
    // Closes the main window if it is still open, and deletes the form.
    void Stop();

    TApplication application;

private:
    Platform& platform_;
};

// The program entry on a windowing back end: initialise, create the form, run; 0 once the
// calculator was shown and closed, 1 for a start that ended before it could be shown.
int RunTessel(Platform& platform);
