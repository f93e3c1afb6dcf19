// Runs the engine command of a calculator key by its ButtonId, as the key handler does.
#pragma once

#include "engine/Matheng_un.h"

inline void PressButton(int id) {
    if (id <= 9)
        EnterDigit(id);
    else if (id == 10)
        ChangeSign();
    else if (id <= 14)
        ApplyOperator(id - 10);
    else if (id == 15)
        MemoryClear();
    else if (id == 16)
        MemoryRecall();
    else if (id == 17)
        MemoryAdd();
    else if (id == 18)
        Evaluate();
    else if (id == 19)
        ClearEntry();
    else if (id == 20)
        ClearAll();
    else
        EnterPoint();
}
