#include "Session_un.h"

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
