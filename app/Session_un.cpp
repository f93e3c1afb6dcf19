#include "Session_un.h"

#include <cstdio>
#include <string>

TesselSession::TesselSession(Platform& platform) : application(platform), platform_(platform) {
    Application = &application;
    WindowDC = nullptr;
    RenderContext = nullptr;
    application.Initialize();
    application.Title = ApplicationTitle;
}

TesselSession::~TesselSession() {
    Stop();
    Application = nullptr;
}

T_Tessel_Frm& TesselSession::Start() {
    application.CreateForm(Tessel_Frm);
    return *Tessel_Frm;
}

void TesselSession::Stop() {
    if (Tessel_Frm == nullptr) return;
    if (!platform_.Closed()) Tessel_Frm->Close();
    delete Tessel_Frm;
    Tessel_Frm = nullptr;
}

int RunTessel(Platform& platform) {
    TesselSession session(platform);
    try {
        session.Start();
        // A start that could not set up drawing has said why and closed the window: the
        // calculator was never shown, and that is no success.
        if (platform.Closed()) return 1;
        session.application.Run();
    } catch (const std::exception& error) {
        session.application.ShowException(error);
        return 1;
    }
    // The loop also ends when the display goes away; there is no box to show that in.
    const std::string lost = platform.LostWindow();
    if (!lost.empty()) {
        std::fprintf(stderr, "tessel: %s\n", lost.c_str());
        return 1;
    }
    return 0;
}
