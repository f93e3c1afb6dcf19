#include "Forms_un.h"

TApplication* Application = nullptr;

void TForm::Close() {
    if (Window.Closed()) return;
    FormClose();
    Window.CloseWindow();
}

void TApplication::Run() {
    if (mainForm_ != nullptr && !platform_.Closed()) platform_.RunEventLoop(*this, *mainForm_);
}

void TApplication::Dispatch(TForm& form, const WindowEvent& e) {
    try {
        std::uint16_t key = e.key;
        switch (e.kind) {
        case WindowEvent::KeyDown:
            form.FormKeyDown(key, e.shift, e.character);
            break;
        case WindowEvent::KeyUp:
            form.FormKeyUp(key, e.shift);
            break;
        case WindowEvent::MouseDown:
            form.FormMouseDown(e.button, e.shift, e.x, e.y);
            break;
        case WindowEvent::MouseMove:
            form.FormMouseMove(e.shift, e.x, e.y);
            break;
        case WindowEvent::MouseUp:
            form.FormMouseUp(e.button, e.shift, e.x, e.y);
            break;
        case WindowEvent::Wheel:
            form.FormMouseWheel(e.shift, e.notches, e.x, e.y);
            break;
        case WindowEvent::Resize:
            form.FormResize();
            break;
        case WindowEvent::Expose:
            form.FormPaint();
            break;
        case WindowEvent::Close:
            form.Close();
            break;
        case WindowEvent::Tick:
            form.Repaint_TmTimer();
            break;
        case WindowEvent::FocusIn:
        case WindowEvent::FocusOut:
            break;
        }
        if (Heard) Heard(e);
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

void TApplication::ShowException(const std::exception& error) {
    std::string text = error.what();
    if (text.empty() || text.back() != '.') text += '.';
    platform_.MessageBox(text, Title, MessageIcon::Error);
}

void TApplication::MessageBox(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    platform_.MessageBox(text, caption.empty() ? Title : caption, icon);
}
