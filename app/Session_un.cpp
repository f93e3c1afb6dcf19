#include "Session_un.h"

#include "Accessplace_un.h"
#include "access/Access_un.h"

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

namespace {

// What the screen reader's view learns from the window: the keys typed, whether the window
// has the keyboard, and after each frame where the parts are now. The bridge starts after the
// first frame, which it would only delay.
void Listen(TApplication& application, AccessView& access, const T_Tessel_Frm& form) {
    application.Heard = [&access, &form, started = false,
                         last = AccessPlaces{}](const WindowEvent& e) mutable {
        switch (e.kind) {
        case WindowEvent::KeyDown:
        case WindowEvent::KeyUp:
            access.Key(e.kind == WindowEvent::KeyDown, e.key, e.character, e.shift);
            return;
        case WindowEvent::FocusIn:
        case WindowEvent::FocusOut:
            access.Active(e.kind == WindowEvent::FocusIn);
            return;
        case WindowEvent::Tick:
            if (!started) access.Start();
            started = true;
            if (access.Live()) {
                const AccessPlaces places = PlacesOf(form, form.Window.Place());
                if (places != last) access.SetPlaces(last = places);
            }
            return;
        default:
            return;
        }
    };
}

} // namespace

int RunTessel(Platform& platform) {
    TesselSession session(platform);
    std::unique_ptr<AccessView> access;
    try {
        T_Tessel_Frm& form = session.Start();
        // A start that could not set up drawing has said why and closed the window: the
        // calculator was never shown, and that is no success.
        if (platform.Closed()) return 1;
        access = std::make_unique<AccessView>(form.Model, [&platform](std::function<void()> work) {
            platform.Post(std::move(work));
        });
        Listen(session.application, *access, form);
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
