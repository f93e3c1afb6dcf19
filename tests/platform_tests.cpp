#include "platform/Keymap_un.h"

#include "Offscreen.h"

#include <SDL.h>

#include <stdexcept>

TEST(KeyTranslation, GivesTheVirtualKeyCodesOfTheKeyTables) {
    struct {
        SDL_Keycode sdl;
        std::uint16_t vk;
    } table[] = {
        {SDLK_0, 0x30},
        {SDLK_9, 0x39},
        {SDLK_KP_0, 96},
        {SDLK_KP_2, 98},
        {SDLK_KP_9, 105},
        {SDLK_KP_MULTIPLY, VK_MULTIPLY},
        {SDLK_KP_PLUS, VK_ADD},
        {SDLK_KP_MINUS, VK_SUBTRACT},
        {SDLK_KP_DIVIDE, VK_DIVIDE},
        {SDLK_KP_PERIOD, VK_DECIMAL},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_MINUS, VK_OEM_MINUS},
        {SDLK_EQUALS, VK_OEM_PLUS},
        {SDLK_SLASH, VK_OEM_2},
        {SDLK_PERIOD, VK_OEM_PERIOD},
        {SDLK_COMMA, VK_OEM_COMMA},
        {SDLK_F9, 120},
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_l, 0x4C},
        {SDLK_r, 0x52},
        {SDLK_p, 0x50},
        {SDLK_LSHIFT, VK_SHIFT},
        {SDLK_RCTRL, VK_CONTROL},
    };
    for (auto& t : table) EXPECT_EQ(VirtualKeyOf(t.sdl), t.vk) << SDL_GetKeyName(t.sdl);
    EXPECT_EQ(VirtualKeyOf(SDLK_CAPSLOCK), 0);
}

TEST(KeyTranslation, GivesTheShiftStateOfModifiersAndButtons) {
    EXPECT_EQ(ShiftStateOf(KMOD_NONE, 0), 0u);
    EXPECT_EQ(ShiftStateOf(KMOD_LSHIFT, 0), ssShift);
    EXPECT_EQ(ShiftStateOf(KMOD_RCTRL | KMOD_LALT, 0), ssCtrl | ssAlt);
    EXPECT_EQ(ShiftStateOf(KMOD_NUM | KMOD_CAPS, 0), 0u);
    EXPECT_EQ(ShiftStateOf(0, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK), ssLeft | ssRight);
    EXPECT_EQ(ShiftStateOf(KMOD_SHIFT, SDL_BUTTON_MMASK), ssShift | ssMiddle);
}

namespace {

struct ThrowingForm : TForm {
    using TForm::TForm;
    void FormKeyDown(std::uint16_t& key, TShiftState) override {
        ++keys;
        if (key == VK_ADD)
            throw std::runtime_error("'DIVIDE BY 0' is not a valid floating point value");
        if (key == VK_SUBTRACT) throw std::runtime_error("Already ends.");
    }
    void Repaint_TmTimer() override { ++ticks; }
    int keys = 0, ticks = 0;
};

} // namespace

TEST(Application, ErrorEscapingAHandlerIsShownOnceAndTheLoopGoesOn) {
    OffscreenContext gl;
    ThrowingForm form(gl.platform);
    gl.platform.Queue = {{WindowEvent::KeyDown, VK_ADD},
                         {WindowEvent::Tick},
                         {WindowEvent::KeyDown, VK_SUBTRACT},
                         {WindowEvent::KeyDown, 0x35},
                         {WindowEvent::Tick}};
    gl.platform.RunEventLoop(gl.application, form);
    EXPECT_EQ(form.keys, 3);
    EXPECT_EQ(form.ticks, 2);
    ASSERT_EQ(gl.platform.Messages.size(), 2u);
    EXPECT_EQ(gl.platform.Messages[0].text, "'DIVIDE BY 0' is not a valid floating point value.");
    EXPECT_EQ(gl.platform.Messages[0].caption, "Calculator with 3D-interface");
    EXPECT_EQ(gl.platform.Messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(gl.platform.Messages[1].text, "Already ends.");
}

TEST(Application, ClosingTheWindowEndsTheLoop) {
    OffscreenContext gl;
    ThrowingForm form(gl.platform);
    gl.platform.Queue = {{WindowEvent::Tick}, {WindowEvent::Close}, {WindowEvent::Tick}};
    gl.platform.RunEventLoop(gl.application, form);
    EXPECT_EQ(form.ticks, 1);
    EXPECT_TRUE(gl.platform.Closed());
}
