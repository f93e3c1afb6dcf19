// Any sequence of key commands: the display keeps one of its three forms.
#include "engine/Matheng_un.h"

#include "../DisplayForms.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InitEngine();
    for (std::size_t i = 0; i < size; ++i) {
        const int k = data[i] % 22;
        try {
            if (k <= 9)
                EnterDigit(k);
            else if (k == 10)
                ChangeSign();
            else if (k <= 14)
                ApplyOperator(k - 10);
            else if (k == 15)
                MemoryClear();
            else if (k == 16)
                MemoryRecall();
            else if (k == 17)
                MemoryAdd();
            else if (k == 18)
                Evaluate();
            else if (k == 19)
                ClearEntry();
            else if (k == 20)
                ClearAll();
            else
                EnterPoint();
        } catch (const EConvertError&) {
        }
        if (!IsWellFormedDisplay(DisplayText)) std::abort();
    }
    return 0;
}
