// The table of keys and the translation of key presses into calculator keys, as pure
// functions: the key's identity, the character the layout typed, and the modifiers.
#include "scene/Keypad_un.h"

#include "engine/Matheng_un.h"
#include "platform/Keymap_un.h"

#include "UsLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A key press on the US layout, as the windowing layer reports it.
int UsPress(std::uint16_t key, TShiftState shift = 0) {
    return ButtonOfKey(key, UsCharacterOf(key, shift), shift);
}

} // namespace

TEST(KeyTranslation, UsLayoutPressesWhatTheKeyTablesSay) {
    struct Row {
        std::uint16_t key;
        TShiftState shift;
        int button;
    } rows[] = {
        {'0', 0, 0},
        {'5', 0, 5},
        {'9', 0, 9},
        {VK_NUMPAD0, 0, 0},
        {VK_NUMPAD0 + 7, 0, 7},
        {VK_F9, 0, BtnPlusMinus},
        {VK_ADD, 0, BtnPlus},
        {VK_SUBTRACT, 0, BtnMinus},
        {VK_OEM_MINUS, 0, BtnMinus},
        {VK_MULTIPLY, 0, BtnMult},
        {VK_DIVIDE, 0, BtnDivision},
        {VK_OEM_2, 0, BtnDivision},
        {VK_RETURN, 0, BtnEqual},
        {VK_OEM_PLUS, 0, BtnEqual},
        {VK_DELETE, 0, BtnCE},
        {VK_ESCAPE, 0, BtnC},
        {VK_OEM_PERIOD, 0, BtnPoint},
        {VK_OEM_COMMA, 0, BtnPoint},
        {VK_DECIMAL, 0, BtnPoint},
        {'L', ssCtrl, BtnMC},
        {'R', ssCtrl, BtnMR},
        {'P', ssCtrl, BtnMPlus},
        {'8', ssShift, BtnMult},
        {VK_OEM_PLUS, ssShift, BtnPlus},
    };
    for (const Row& r : rows)
        EXPECT_EQ(UsPress(r.key, r.shift), r.button) << r.key << " " << r.shift;
}

TEST(KeyTranslation, UsLayoutKeysOutsideTheTablesDoNothing) {
    for (auto [key, shift] : {std::pair<std::uint16_t, TShiftState>{VK_PRIOR, 0},
                              {VK_NEXT, 0},
                              {'P', 0},                // a letter without Ctrl
                              {'L', ssCtrl | ssShift}, // Ctrl with Shift
                              {'8', ssShift | ssCtrl},
                              {'5', ssAlt}, // Alt with anything
                              {'5', ssCtrl},
                              {VK_OEM_PLUS, ssCtrl},
                              {VK_RETURN, ssAlt},
                              {VK_NUMPAD0 + 3, ssShift}, // Shift on the keypad: navigation
                              {'9', ssShift},            // "("
                              {VK_OEM_MINUS, ssShift}})  // "_"
        EXPECT_EQ(UsPress(key, shift), -1) << key << " " << shift;
}

// The characters of other layouts, with the key identity SDL gives those keys.
TEST(KeyTranslation, TheCharacterTypedDecidesOnOtherLayouts) {
    // German: "+" is a key of its own, Shift+"+" types "*", Shift+7 "/", Shift+0 "=".
    EXPECT_EQ(ButtonOfKey(VK_OEM_PLUS, U'+', 0), BtnPlus);
    EXPECT_EQ(ButtonOfKey(VK_OEM_PLUS, U'*', ssShift), BtnMult);
    EXPECT_EQ(ButtonOfKey('7', U'/', ssShift), BtnDivision);
    EXPECT_EQ(ButtonOfKey('0', U'=', ssShift), BtnEqual);
    EXPECT_EQ(ButtonOfKey(VK_OEM_MINUS, U'-', 0), BtnMinus);
    EXPECT_EQ(ButtonOfKey(VK_OEM_COMMA, U',', 0), BtnPoint);
    // The German keypad's decimal key types a comma; a point key elsewhere.
    EXPECT_EQ(ButtonOfKey(VK_DECIMAL, U',', 0), BtnPoint);
    // French: the digits need Shift; their keys alone type & é " ' ( - è _ ç à.
    EXPECT_EQ(ButtonOfKey('1', U'1', ssShift), 1);
    EXPECT_EQ(ButtonOfKey('0', U'0', ssShift), 0);
    EXPECT_EQ(ButtonOfKey('1', U'&', 0), -1);
    EXPECT_EQ(ButtonOfKey('2', U'\u00E9', 0), -1);
    EXPECT_EQ(ButtonOfKey('6', U'-', 0), BtnMinus);
    // AltGr typing a character is not Alt.
    EXPECT_EQ(ButtonOfKey('7', U'/', ssAltGr), BtnDivision);
    EXPECT_EQ(ButtonOfKey(0, U'\u00F7', ssAltGr | ssShift), BtnDivision);
    EXPECT_EQ(ButtonOfKey('Q', U'@', ssAltGr), -1);
    EXPECT_EQ(ButtonOfKey('L', U'l', ssAltGr | ssCtrl), -1);
    // The mathematical signs, from a compose sequence or an input method (no key).
    EXPECT_EQ(ButtonOfKey(0, U'\u2212', 0), BtnMinus);
    EXPECT_EQ(ButtonOfKey(0, U'\u00D7', 0), BtnMult);
    EXPECT_EQ(ButtonOfKey(0, U'\u00E9', 0), -1);
    // A dead key types nothing until its sequence ends.
    EXPECT_EQ(ButtonOfKey(0, 0, 0), -1);
    EXPECT_EQ(ButtonOfKey(VK_OEM_1, 0, ssShift), -1);
}

TEST(KeyTranslation, KeysAreNamedByTheirLayoutAndNumLock) {
    // Dvorak: the key that types "l" is where US has "P"; Ctrl goes with the letter.
    EXPECT_EQ(VirtualKeyOf(SDLK_l, SDL_SCANCODE_P), 'L');
    // Russian: no Latin letters; the letter of the key's place on a US keyboard.
    EXPECT_EQ(VirtualKeyOf(0x0434, SDL_SCANCODE_L), 'L'); // Cyrillic de
    EXPECT_EQ(VirtualKeyOf(0x0441, SDL_SCANCODE_C), 'C'); // Cyrillic es
    EXPECT_EQ(ButtonOfKey(VirtualKeyOf(0x0434, SDL_SCANCODE_L), 0, ssCtrl), BtnMC);
    // French: the digit row types other characters unshifted; its keys are still the digits,
    // which they type with Shift.
    EXPECT_EQ(VirtualKeyOf(0x00E0, SDL_SCANCODE_0), '0'); // a grave
    EXPECT_EQ(VirtualKeyOf(0x00E9, SDL_SCANCODE_2), '2'); // e acute
    EXPECT_EQ(ButtonOfKey(VirtualKeyOf(0x00E0, SDL_SCANCODE_0), U'\u00E0', 0), -1);
    // A German umlaut is no letter of a US place.
    EXPECT_EQ(VirtualKeyOf(0x00F6, SDL_SCANCODE_SEMICOLON), 0);
    // The keypad's digits and decimal key with Num Lock off are navigation keys.
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_1, SDL_SCANCODE_KP_1, false), 0);
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_0, SDL_SCANCODE_KP_0, false), 0);
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, false), 0);
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_1, SDL_SCANCODE_KP_1, true), VK_NUMPAD0 + 1);
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, true), VK_DECIMAL);
    // The keypad's operators do not depend on Num Lock.
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, false), VK_ADD);
    EXPECT_EQ(VirtualKeyOf(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, false), VK_RETURN);
}

TEST(KeyTranslation, RightAltIsAltGrOnlyWhenItChangedTheCharacter) {
    EXPECT_EQ(KeyShiftStateOf(KMOD_RALT, 0, SDLK_q, U'@'), ssAltGr);
    EXPECT_EQ(KeyShiftStateOf(KMOD_RALT | KMOD_LSHIFT, 0, SDLK_7, U'\u00F7'), ssAltGr | ssShift);
    // The US layout's right Alt types what the key types alone: Alt.
    EXPECT_EQ(KeyShiftStateOf(KMOD_RALT, 0, SDLK_5, U'5'), ssAlt);
    EXPECT_EQ(KeyShiftStateOf(KMOD_LALT, 0, SDLK_5, U'5'), ssAlt);
    EXPECT_EQ(KeyShiftStateOf(KMOD_LALT | KMOD_RALT, 0, SDLK_q, U'@'), ssAlt);
    EXPECT_EQ(KeyShiftStateOf(KMOD_RALT, 0, SDLK_RETURN, 0), ssAlt);
}

TEST(KeyTranslation, TextEventsCountAsOneCharacterOnly) {
    EXPECT_EQ(SingleCharacterOf("5"), U'5');
    EXPECT_EQ(SingleCharacterOf("\u00D7"), U'\u00D7');
    EXPECT_EQ(SingleCharacterOf("\u2212"), U'\u2212');
    EXPECT_EQ(SingleCharacterOf("\U0001F600"), U'\U0001F600');
    EXPECT_EQ(SingleCharacterOf(""), 0u);
    EXPECT_EQ(SingleCharacterOf("12"), 0u);
    EXPECT_EQ(SingleCharacterOf("\xC3"), 0u);     // cut short
    EXPECT_EQ(SingleCharacterOf("\xFF"), 0u);     // no UTF-8
    EXPECT_EQ(SingleCharacterOf("\xC3\x28"), 0u); // a continuation byte missing
}

TEST(KeyTable, EveryKeyIsPressedByItsClickAndByItsCharacters) {
    for (const KeypadKey& k : Keypad) {
        const ClickKey click = ClickKeyOf(k.id);
        EXPECT_EQ(ButtonOfKey(click.key, 0, click.shift), k.id) << k.picture;
        for (char32_t c : k.characters) {
            EXPECT_EQ(ButtonOfKey(0, c, 0), k.id) << k.picture;
            EXPECT_EQ(ButtonOfKey(0, c, ssShift), k.id) << k.picture;
        }
    }
}

TEST(KeyTable, KeysFillTheGridAndNameTheirPicturesAndCardLines) {
    std::set<std::string> pictures;
    std::set<std::pair<int, int>> cells;
    for (const KeypadKey& k : Keypad) {
        pictures.insert(k.picture);
        cells.insert({k.row, k.column});
        EXPECT_NE(std::string(k.label), "");
        EXPECT_NE(std::string(k.cardLine), "");
        EXPECT_NE(std::string(k.cardKeys), "");
    }
    EXPECT_EQ(pictures.size(), static_cast<std::size_t>(KeyCount));
    EXPECT_EQ(cells.size(), static_cast<std::size_t>(KeyCount));
}

// Each key runs its own engine command: a table whose operator codes were off by one would
// still compile and run.
TEST(KeyTable, EachKeyRunsItsCommand) {
    auto run = [](std::initializer_list<int> keys) {
        InitEngine();
        for (int id : keys) RunKeyCommand(id);
        return std::string(DisplayText);
    };
    EXPECT_EQ(run({7, BtnPlus, 2, BtnEqual}), "9");
    EXPECT_EQ(run({7, BtnMinus, 2, BtnEqual}), "5");
    EXPECT_EQ(run({7, BtnMult, 2, BtnEqual}), "14");
    EXPECT_EQ(run({7, BtnDivision, 2, BtnEqual}), "3,5");
    EXPECT_EQ(run({1, 2, 3, 4, 5, 6, 7, 8, 9, 0}), "1234567890");
    EXPECT_EQ(run({1, BtnPoint, 5, BtnPlusMinus}), "-1,5");
    EXPECT_EQ(run({4, BtnMPlus, BtnC, BtnMR}), "4");
    EXPECT_EQ(run({4, BtnMPlus, BtnMC, BtnMR}), "0");
    EXPECT_EQ(run({4, BtnPlus, 5, BtnCE}), "0");
    EXPECT_EQ(run({4, BtnPlus, 5, BtnC, BtnEqual}), "0");
}
