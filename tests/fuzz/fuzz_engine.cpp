// Any sequence of key commands: the display keeps one of its three forms, and every number it
// shows reads back as a finite number.
#include "engine/Matheng_un.h"

#include "../DisplayForms.h"
#include "scene/Keypad_un.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InitEngine();
    for (std::size_t i = 0; i < size; ++i) {
        try {
            RunKeyCommand(data[i] % 22);
        } catch (const EConvertError&) {
        }
        if (!IsWellFormedDisplay(DisplayText)) std::abort();
        if (IsEntryOrNumber(DisplayText) && !std::isfinite(TextToNumber(DisplayText)))
            std::abort(); // a number that cannot be read back throws, and aborts as well
    }
    return 0;
}
