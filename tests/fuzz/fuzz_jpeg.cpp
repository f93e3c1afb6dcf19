// Any bytes as a texture file: decoding fails cleanly or gives a picture of sane size.
#include "textures/Texloading_un.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Picture picture;
    if (DecodeJpeg(data, size, picture)) {
        if (picture.width <= 0 || picture.height <= 0 || picture.width > MaxPictureSide ||
            picture.height > MaxPictureSide ||
            picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
            std::abort();
        std::vector<std::uint8_t> texels = Texels(picture);
        if (texels.size() != picture.rgb.size() / 3 * 4 || texels[3] != 255) std::abort();
    } else if (picture.width != 0 || !picture.rgb.empty()) {
        std::abort();
    }
    return 0;
}
