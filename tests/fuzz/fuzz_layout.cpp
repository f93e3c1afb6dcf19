// Any text on the display: at most eleven cells, every one a glyph of the set.
#include "scene/Display_un.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<int> cells = LayoutDisplay(text.c_str(), data[0] & 1);
    if (cells.empty() || cells.size() > static_cast<std::size_t>(DisplayCells)) std::abort();
    for (int c : cells)
        if (c < 0 || c > GlyphExponent) std::abort();
    return 0;
}
