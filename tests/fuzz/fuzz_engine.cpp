// Any sequence of key commands: the display keeps one of its three forms.
#include "engine/Matheng_un.h"

#include "../DisplayForms.h"
#include "../EngineKeys.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InitEngine();
    for (std::size_t i = 0; i < size; ++i) {
        try {
            PressButton(data[i] % 22);
        } catch (const EConvertError&) {
        }
        if (!IsWellFormedDisplay(DisplayText)) std::abort();
    }
    return 0;
}
