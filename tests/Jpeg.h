// Writes small JPEG files for the texture tests.
#pragma once

#include <turbojpeg.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// Encodes a picture whose pixel (x, y) is given by colour(x, y) = {r, g, b}.
inline std::vector<std::uint8_t> EncodeJpeg(int width, int height,
                                            const std::function<std::uint32_t(int, int)>& colour,
                                            bool grey = false, bool progressive = false) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = colour(x, y);
            if (grey) {
                pixels.push_back(static_cast<std::uint8_t>(c));
            } else {
                pixels.push_back(static_cast<std::uint8_t>(c >> 16));
                pixels.push_back(static_cast<std::uint8_t>(c >> 8));
                pixels.push_back(static_cast<std::uint8_t>(c));
            }
        }
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, pixels.data(), width, 0, height, grey ? TJPF_GRAY : TJPF_RGB, &out, &size,
                grey ? TJSAMP_GRAY : TJSAMP_444, 100,
                TJFLAG_ACCURATEDCT | (progressive ? TJFLAG_PROGRESSIVE : 0));
    std::vector<std::uint8_t> bytes(out, out + size);
    tjFree(out);
    tjDestroy(tj);
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Rewrites the frame size in the start-of-frame marker.
inline void PatchFrameSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC1)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
}

// A progressive JPEG whose last scan is repeated: every repetition costs the decoder a pass
// over the whole picture.
inline std::vector<std::uint8_t> ScanBomb(int side, int repetitions) {
    std::vector<std::uint8_t> jpeg = EncodeJpeg(
        side, side, [](int x, int y) { return std::uint32_t(x * 131 + y * 71) * 2654435761u; },
        false, true);
    std::size_t last = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) last = i;
    const std::vector<std::uint8_t> scan(jpeg.begin() + static_cast<long>(last), jpeg.end() - 2);
    jpeg.resize(jpeg.size() - 2); // the end-of-image marker goes after the repetitions
    for (int i = 0; i < repetitions; ++i) jpeg.insert(jpeg.end(), scan.begin(), scan.end());
    jpeg.push_back(0xFF);
    jpeg.push_back(0xD9);
    return jpeg;
}
