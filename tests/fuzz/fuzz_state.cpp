// Any bytes as the kept memory's file: the reader takes a memory the calculator can hold, or
// none with a reason.
#include "config/Statefile_un.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double memory = 0;
    std::string why;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseState(text, memory, why)) {
        if (!std::isfinite(memory) || std::fabs(memory) > 9999999999.0) std::abort();
    } else if (why.empty()) {
        std::abort();
    }
    return 0;
}
