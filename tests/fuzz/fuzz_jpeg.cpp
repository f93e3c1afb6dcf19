// Any bytes as a texture file: decoding fails cleanly or gives a picture within the limits,
// read from a file the same as from memory; the scan count never runs past its limit.
#include "textures/Texloading_un.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Picture picture;
    const bool decoded = DecodeJpeg(data, size, picture);
    if (decoded) {
        if (picture.width <= 0 || picture.height <= 0 || picture.width > MaxPictureSide ||
            picture.height > MaxPictureSide ||
            picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
            std::abort();
        // Opaque texels, whatever the file's colour space.
        for (std::size_t i = 3; i < picture.rgba.size(); i += 4)
            if (picture.rgba[i] != 255) std::abort();
    } else if (picture.width != 0 || !picture.rgba.empty()) {
        std::abort();
    }
    for (int limit : {0, 1, MaxPictureScans})
        if (CountJpegScans(data, size, limit) > limit + 1) std::abort();

    // The same bytes as a file: the reading path must come to the same result.
    const int fd = memfd_create("fuzz_jpeg", 0);
    if (fd < 0) return 0;
    if (size == 0 || write(fd, data, size) == static_cast<ssize_t>(size)) {
        Picture fromFile;
        const bool read = DecodeJpegFile("/proc/self/fd/" + std::to_string(fd), fromFile);
        if (read != (decoded && size > 0) || fromFile.rgba != picture.rgba) std::abort();
    }
    close(fd);
    return 0;
}
