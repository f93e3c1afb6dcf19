// The form and application objects the calculator's main unit is written against.
#pragma once

#include "Winlayer_un.h"

#include <exception>
#include <functional>
#include <string>

// A top-level form: its handlers are called by the application's event loop.
class TForm {
public:
    explicit TForm(Platform& platform) : Window(platform) {}
    virtual ~TForm() = default;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    virtual void FormCreate() {}
    virtual void FormResize() {}
    virtual void FormClose() {}
    virtual void FormPaint() {}
    // typed: the character the layout types with the key, 0 for none (see WindowEvent).
    virtual void FormKeyDown(std::uint16_t& /*key*/, TShiftState /*shift*/,
                             char32_t /*typed*/ = 0) {}
    virtual void FormKeyUp(std::uint16_t& /*key*/, TShiftState /*shift*/) {}
    virtual void FormMouseDown(TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    virtual void FormMouseMove(TShiftState, int /*x*/, int /*y*/) {}
    virtual void FormMouseUp(TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    // notches: how far the wheel turned, positive away from the user; a touchpad turns it by
    // parts of a notch.
    virtual void FormMouseWheel(TShiftState, double /*notches*/, int /*x*/, int /*y*/) {}
    // The handler of the repeating 1 ms timer.
    virtual void Repaint_TmTimer() {}
    // False while a tick could not change anything, so the loop may sleep until an event.
    virtual bool WantsTick() const { return true; }
    // While WantsTick(): the milliseconds until a tick can do its work (0 for now), so that
    // the loop may wait that long for events instead of ticking idly.
    virtual double TickDelay() const { return 0; }

    // Runs FormClose, then closes the window; closing the main window ends the event loop.
    void Close();

    Platform& Window;
};

class TApplication {
public:
    explicit TApplication(Platform& platform) : platform_(platform) {}

    void Initialize() {}
    template <class Form> void CreateForm(Form*& reference) {
        reference = new Form(platform_);
        mainForm_ = reference;
        reference->FormCreate();
    }
    void Run();
    // Calls the form's handler for one event; an error escaping it is shown, and the loop goes on.
    void Dispatch(TForm& form, const WindowEvent& event);
    // The error display: the text with a closing full stop, the title as caption, an error icon.
    void ShowException(const std::exception& error);
    void MessageBox(const std::string& text, const std::string& caption = {},
                    MessageIcon icon = MessageIcon::None);

    std::string Title;
    // Hears every event after the form has handled it without error: what other views of
    // the calculator learn from the window (its keys, its focus, its frames).
    std::function<void(const WindowEvent&)> Heard;

private:
    Platform& platform_;
    TForm* mainForm_ = nullptr;
};

// The one application object of the process, set while a TApplication lives in main or a test.
extern TApplication* Application;
