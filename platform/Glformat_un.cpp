#include "Glformat_un.h"

#include <algorithm>

std::vector<SurfaceFormat> FormatsToTry(const SurfaceFormat& wanted) {
    std::vector<SurfaceFormat> formats;
    // Depth and stencil sizes that drivers commonly offer, from the richest.
    const int fallbacks[][2] = {
        {wanted.depthBits, wanted.stencilBits}, {24, wanted.stencilBits}, {24, 0}, {16, 0}};
    for (const auto& [depth, stencil] : fallbacks) {
        SurfaceFormat format = wanted;
        format.depthBits = depth;
        format.stencilBits = stencil;
        if (std::find(formats.begin(), formats.end(), format) == formats.end())
            formats.push_back(format);
    }
    return formats;
}
