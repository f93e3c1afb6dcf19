#include "platform/Keymap_un.h"
#include "platform/Msgbox_un.h"
#include "platform/Scale_un.h"
#include "platform/Sdlloading_un.h"
#include "platform/Utf8_un.h"
#include "platform/Videodriver_un.h"
#include "platform/Winicon_un.h"

#include "Offscreen.h"

#include <SDL.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

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
    void FormKeyDown(std::uint16_t& key, TShiftState, char32_t) override {
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

TEST(Utf8, DecodesOneWellFormedSequenceAtATime) {
    struct {
        const char* text;
        std::size_t length;
        char32_t c;
    } table[] = {
        {"5", 1, U'5'},
        {"\u00D7x", 2, U'\u00D7'},
        {"\u2212", 3, U'\u2212'},
        {"\U0001F600", 4, U'\U0001F600'},
        {"", 0, 0},
        {"\xE2\x88", 0, 0}, // cut short
        {"\x88", 0, 0},     // a continuation byte first
        {"\xFF", 0, 0},     // no UTF-8 at all
        {"\xC3\x28", 0, 0}, // a continuation byte missing
    };
    for (const auto& t : table) {
        char32_t c = 0;
        EXPECT_EQ(Utf8SequenceAt(t.text, 0, c), t.length) << t.text;
        if (t.length != 0) {
            EXPECT_EQ(c, t.c) << t.text;
        }
    }
}

TEST(Utf8, ReplacesEveryStrayByteOfAMessageAndKeepsTheRest) {
    EXPECT_EQ(ValidUtf8("Can't open 'caf\xE9.jpg'"), "Can't open 'caf?.jpg'");
    EXPECT_EQ(ValidUtf8("\xC3\xA4\xFF\xE2\x88"), "\xC3\xA4???");
    EXPECT_EQ(ValidUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SurfaceFormats, FallBackToTheDepthBuffersDriversOfferWithoutRepeatingOne) {
    auto depths = [](int depth, int stencil) {
        SurfaceFormat wanted;
        wanted.depthBits = depth, wanted.stencilBits = stencil;
        wanted.alphaBits = 8;
        std::vector<std::pair<int, int>> tried;
        for (const SurfaceFormat& f : FormatsToTry(wanted)) {
            // The colour and double buffering are never given up.
            EXPECT_EQ(f.alphaBits, 8);
            EXPECT_TRUE(f.doubleBuffered);
            tried.emplace_back(f.depthBits, f.stencilBits);
        }
        return tried;
    };
    using Tried = std::vector<std::pair<int, int>>;
    EXPECT_EQ(depths(32, 8), (Tried{{32, 8}, {24, 8}, {24, 0}, {16, 0}}));
    EXPECT_EQ(depths(24, 0), (Tried{{24, 0}, {16, 0}}));
    EXPECT_EQ(depths(16, 0), (Tried{{16, 0}, {24, 0}}));
}

TEST(VideoDriver, PicksTheDisplayServerOnceByTheDriversName) {
    struct {
        const char* asked;
        ServerKind expected;
    } asked[] = {
        {nullptr, ServerKind::X11},
        {"", ServerKind::X11},
        {"x11", ServerKind::X11},
        {"wayland", ServerKind::Wayland},
        {"wayland,x11", ServerKind::Wayland},
        {"x11,wayland", ServerKind::X11},
    };
    for (const auto& t : asked) EXPECT_EQ(ExpectedServer(t.asked), t.expected) << t.asked;
    // In a Wayland session Wayland comes first, unless a driver is asked for.
    struct {
        const char *asked, *waylandDisplay, *tried;
    } sessions[] = {
        {nullptr, "wayland-0", "wayland,x11"}, {nullptr, "", nullptr}, {nullptr, nullptr, nullptr},
        {"x11", "wayland-0", "x11"},           {"", "wayland-0", ""},
    };
    for (const auto& s : sessions)
        EXPECT_STREQ(DriversToTry(s.asked, s.waylandDisplay), s.tried) << s.waylandDisplay;
    struct {
        const char* driver;
        ServerKind kind;
    } running[] = {
        {"x11", ServerKind::X11},     {"wayland", ServerKind::Wayland},
        {"dummy", ServerKind::Plain}, {"kmsdrm", ServerKind::Plain},
        {nullptr, ServerKind::Plain},
    };
    for (const auto& t : running) EXPECT_EQ(ServerOf(t.driver), t.kind) << t.driver;
}

namespace {

// Ten pixels a byte, as if every character had the same width.
int TenPerByte(const std::string& s) {
    return 10 * static_cast<int>(s.size());
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "|";
    return all;
}

} // namespace

TEST(MessageText, WrapsAtBlanksWithinTheWidth) {
    auto lines = WrapText("one two three four five", 100, 1000, TenPerByte);
    EXPECT_EQ(Joined(lines), "one two|three four|five|");
    for (const std::string& line : lines) EXPECT_LE(TenPerByte(line), 100) << line;
    EXPECT_EQ(Joined(WrapText("first\nsecond\n\nlast", 1000, 1000, TenPerByte)),
              "first|second||last|");
}

TEST(MessageText, NeverCutsAPathThatFitsOnTheScreen) {
    const std::string path = "'tex\\Display\\MMinus.jpg'";
    auto lines = WrapText("Can't open texture file " + path, 100, 1000, TenPerByte);
    EXPECT_EQ(Joined(lines), "Can't open|texture|file|" + path + "|");
}

TEST(MessageText, BreaksOnlyAWordWiderThanTheScreenAndLosesNothing) {
    const std::string word(250, 'x');
    auto lines = WrapText("a " + word + " b", 100, 1000, TenPerByte);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1] + lines[2] + lines[3], word);
    for (const std::string& line : lines) EXPECT_LE(TenPerByte(line), 1000);
    EXPECT_EQ(lines[4], "b");
    // A character of several bytes is never split.
    const std::string umlauts = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC";
    auto pieces = WrapText(umlauts, 10, 50, TenPerByte);
    std::string rejoined;
    for (const std::string& piece : pieces) {
        EXPECT_EQ(piece.size() % 2, 0u) << piece;
        rejoined += piece;
    }
    EXPECT_EQ(rejoined, umlauts);
}

// The back end keeps a pointer to its loading window for events that come while a message box
// is up; the window must tell it when it goes, also when it never reached the screen (no video,
// or ended before its first progress), or a later box would use a freed window.
// The font library comes with the first box that needs it, not with the program, and sizes
// its text at the box's scale.
TEST(MessageText, TheFontIsLoadedForTheFirstBoxAndGrowsWithTheScale) {
    auto loaded = [] {
        std::ifstream maps("/proc/self/maps");
        const std::string all{std::istreambuf_iterator<char>(maps), {}};
        return all.find("libSDL2_ttf") != std::string::npos;
    };
    EXPECT_FALSE(loaded());
    MessageFont fonts;
    int widths[2] = {};
    for (int scale : {1, 2}) {
        TTF_Font* font = fonts.At(scale);
        ASSERT_NE(font, nullptr);
        int height = 0;
        fonts.Functions().SizeUTF8(font, "Can't open texture file", &widths[scale - 1], &height);
    }
    EXPECT_TRUE(loaded());
    EXPECT_GT(widths[0], 100);
    EXPECT_NEAR(widths[1], 2 * widths[0], 4);
}

TEST(LoadingWindow, TellsTheBackEndItIsGoneEvenWhenItNeverShowed) {
    auto endOf = [](const char* driver) {
        if (driver != nullptr) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return std::string("no video");
        }
        std::string heard = "nothing";
        {
            PlainServer server;
            SdlLoadingWindow loading(server, {0, 0, 200, 100}, 1, [&](SDL_Window* w) {
                heard = w == nullptr ? "gone" : "kept";
                if (w != nullptr) SDL_DestroyWindow(w);
            });
        }
        if (driver != nullptr) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return heard;
    };
    EXPECT_EQ(endOf(nullptr), "gone"); // its window could not be made
    EXPECT_EQ(endOf("dummy"), "gone"); // made, but never shown
}

namespace {

// The colour of a pixel of a window drawn in software, as 0xRRGGBB.
std::uint32_t WindowPixel(SDL_Window* window, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr || x >= surface->w || y >= surface->h) return 0xFFFFFFFF;
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    std::copy_n(row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel,
                reinterpret_cast<Uint8*>(&value));
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return std::uint32_t(r) << 16 | g << 8 | b;
}

} // namespace

// At a desktop scale of 2 the platform makes the window twice the design size; what the
// start-up then gives it in design units must fill it: the picture, the bar and the outline.
TEST(LoadingWindow, GrowsWhatItShowsWithTheDesktopScale) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    std::vector<std::uint8_t> picture(200 * 100 * 4, 0);
    for (std::size_t i = 0; i < picture.size(); i += 4) picture[i] = picture[i + 3] = 255;
    PlainServer server;
    auto draw = [&](double scale, int width, int height, auto look) {
        SdlLoadingWindow loading(server, {0, 0, width, height}, scale, [](SDL_Window* w) {
            if (w != nullptr) SDL_DestroyWindow(w);
        });
        ASSERT_NE(loading.Window(), nullptr);
        loading.ShowPicture(picture.data(), 200, 100, 1);
        loading.AddProgressBar(20, 40, 160, 20);
        loading.DrawOutline();
        loading.SetProgress(50);
        look(loading.Window());
    };
    draw(2, 400, 200, [](SDL_Window* w) {
        EXPECT_EQ(WindowPixel(w, 390, 190), 0xFF0000u) << "the picture fills the window";
        EXPECT_EQ(WindowPixel(w, 0, 100), 0u) << "the outline";
        EXPECT_EQ(WindowPixel(w, 1, 100), 0u) << "the outline, two pixels wide";
        EXPECT_EQ(WindowPixel(w, 2, 100), 0xFF0000u);
        EXPECT_EQ(WindowPixel(w, 100, 100), 0x26A048u) << "the done part of the bar";
        EXPECT_EQ(WindowPixel(w, 300, 100), 0xE6E6E6u) << "the rest of the bar";
        EXPECT_EQ(WindowPixel(w, 300, 78), 0xFF0000u) << "above the bar, at 80 to 120";
        EXPECT_EQ(WindowPixel(w, 300, 118), 0x8C8C8Cu) << "the bar's frame, two pixels wide";
        EXPECT_EQ(WindowPixel(w, 300, 117), 0xE6E6E6u);
    });
    // At 1 the same picture, bar and outline, pixel for pixel as designed.
    draw(1, 200, 100, [](SDL_Window* w) {
        EXPECT_EQ(WindowPixel(w, 195, 95), 0xFF0000u);
        EXPECT_EQ(WindowPixel(w, 0, 50), 0u);
        EXPECT_EQ(WindowPixel(w, 1, 50), 0xFF0000u);
        EXPECT_EQ(WindowPixel(w, 50, 50), 0x26A048u);
        EXPECT_EQ(WindowPixel(w, 150, 50), 0xE6E6E6u);
    });
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// A picture drawn at twice the size is shown pixel for pixel at a scale of 2, made smaller at
// 1.5, and still fills the window at 3; the one of the design size is enlarged at 2.
TEST(LoadingWindow, ShowsAPictureDrawnForItsScaleAsItIs) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    // Stripes one pixel wide, red and blue: an enlarged or resized copy blends them.
    auto stripes = [](int width, int height) {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
                rgba[at + (x % 2 == 0 ? 0 : 2)] = rgba[at + 3] = 255;
            }
        return rgba;
    };
    PlainServer server;
    struct Case {
        double scale;
        int pictureWidth, density;
        bool exact; // the stripes as they are
    };
    for (const Case c : {Case{2, 400, 2, true}, Case{1.5, 400, 2, false}, Case{3, 400, 2, false},
                         Case{2, 200, 1, false}, Case{1, 200, 1, true}}) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << ", density " << c.density);
        const int width = Scaled(200, c.scale), height = Scaled(100, c.scale);
        SdlLoadingWindow loading(server, {0, 0, width, height}, c.scale, [](SDL_Window* w) {
            if (w != nullptr) SDL_DestroyWindow(w);
        });
        ASSERT_NE(loading.Window(), nullptr);
        EXPECT_EQ(loading.Scale(), c.scale);
        const std::vector<std::uint8_t> picture = stripes(c.pictureWidth, c.pictureWidth / 2);
        loading.ShowPicture(picture.data(), c.pictureWidth, c.pictureWidth / 2, c.density);
        loading.SetProgress(0);
        SDL_Window* w = loading.Window();
        // Well inside, and in a row of the picture the bar does not cover.
        const int y = height / 8;
        EXPECT_EQ(WindowPixel(w, width / 2, y) == 0xFF0000u &&
                      WindowPixel(w, width / 2 + 1, y) == 0x0000FFu,
                  c.exact);
        EXPECT_NE(WindowPixel(w, width - 3, height - 3), 0xFFFFFFu) << "the picture fills it";
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(WindowIcon, IsDrawnInTheSizesATaskBarTakesAndNoOthers) {
    const auto sizes = WindowIconSizesDrawn();
    EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end()));
    for (int size : {16, 32, 48, 64}) {
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size;
        EXPECT_NE(WindowIconPixelsOf(size), nullptr) << size;
    }
    EXPECT_EQ(WindowIconPixelsOf(20), nullptr);
    EXPECT_EQ(WindowIconPixelsOf(0), nullptr);
}

TEST(WindowIcon, IsTheUprightCalculatorOnATransparentGroundWithStraightAlpha) {
    for (int size : WindowIconSizesDrawn()) {
        const std::uint32_t* pixels = WindowIconPixelsOf(size);
        auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * size + x]; };
        EXPECT_EQ(at(0, 0) >> 24, 0u) << size << ": a transparent corner";
        EXPECT_EQ(at(size - 1, size - 1) >> 24, 0u) << size;
        EXPECT_EQ(at(size / 2, size / 2) >> 24, 255u) << size << ": an opaque middle";
        // Narrower than high: the sides are transparent half-way up.
        EXPECT_EQ(at(0, size / 2) >> 24, 0u) << size;
        // The smoothed edges keep the case's colour; premultiplied, they would be darker.
        for (int x = 0; x < size / 2; ++x) {
            const std::uint32_t p = at(x, size / 2), alpha = p >> 24;
            if (alpha > 16 && alpha < 240) {
                EXPECT_GE(p >> 16 & 255, 0x30u) << size << " at " << x;
            }
        }
    }
}
