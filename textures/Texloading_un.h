// The texture set (key faces, display glyphs, the card) and the loading of JPEG files into
// OpenGL textures.
#pragma once

#include "Pictureset_un.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The paths of the set (see Pictureset_un.h) as the loader takes them.
extern const std::array<const char*, KeyCount> KeyTexturePaths;     // by ButtonId
extern const std::array<const char*, GlyphCount> GlyphTexturePaths; // by Glyph

// What a picture may cost, checked before anything is decoded; a picture beyond it counts as
// one that cannot be read. The texture set is 1024 x 512 at the most and baseline: these
// leave it a wide margin, while no file can take much memory or time.
constexpr int MaxPictureSide = 4096;                          // pixels, either side
constexpr std::uintmax_t MaxPictureFile = 32u << 20;          // bytes of the file
constexpr int MaxPictureScans = 64;                           // of a progressive JPEG
constexpr std::uintmax_t MaxScanPixels = 64ull * 1024 * 1024; // scans x pixels: time to decode

// A decoded picture: 8-bit red, green, blue and alpha (always 255) per pixel, top row first.
// That is the layout GL takes its texels in, so a picture is uploaded as it comes from the
// decoder, with no copy converted on the way.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Decodes a JPEG file; false when it cannot be opened or decoded (the picture is then empty).
// Only a regular file is read, and only up to MaxPictureFile: a FIFO, a device or a directory
// counts as a file that cannot be opened, and neither blocks nor reads for ever.
bool DecodeJpegFile(const std::string& path, Picture& picture);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Picture& picture);
// The number of scans of a JPEG stream, counted from its markers, up to limit + 1 at the most.
int CountJpegScans(const std::uint8_t* data, std::size_t size, int limit);
// A path of the data set in this platform's form.
std::string NativePath(const char* path);
// The folder the data set's paths start from: the working folder unless set (an installed
// program takes its pictures from where they were installed).
void SetPictureFolder(const std::string& folder);
// A path of the data set as it is opened: in this platform's form, from the picture folder.
std::string PicturePath(const char* path);

// Loads a JPEG file into a new texture, stores its name and leaves it bound. A file that
// cannot be read gives an empty 0 x 0 texture. Returns what went wrong, in the words to
// report it with ("Can't open texture file '...'", "Can't allocate memory" when the driver
// has none for the texels); empty when nothing did.
std::vector<std::string> LoadTexture(const char* path, std::uint32_t& name);
// The same with the file already decoded: decoded tells whether that succeeded; the path is
// the one reported.
std::vector<std::string> LoadDecodedTexture(const char* path, bool decoded, const Picture& picture,
                                            std::uint32_t& name);
// The two halves of that, for a texture whose picture is uploaded later than its name is made:
// a new texture, bound, with its filters and wrapping set and no image yet...
std::uint32_t NewTexture();
// ...and the picture given to the bound texture; what went wrong, as above.
std::vector<std::string> UploadPicture(const Picture& picture);

// Decodes a list of pictures, in order, on a thread of its own, so that decoding overlaps
// whatever the caller does meanwhile (creating the GL context). The first is decoded at once;
// the rest wait for Resume, or for the first Take of one of them, so that the caller chooses
// when the second core is theirs. Take hands them over in the same order, waiting for each as
// needed; the caller does all GL work itself.
class PictureDecoder {
public:
    explicit PictureDecoder(const std::vector<std::string>& paths);
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;
    // The picture of entry i (each taken once); false when it could not be decoded.
    bool Take(std::size_t i, Picture& picture);
    // Goes on with the pictures after the first.
    void Resume();

private:
    struct Slot {
        bool done = false, decoded = false;
        Picture picture;
    };
    static std::vector<std::string> FilePaths(const std::vector<std::string>& paths);
    void Run();

    std::vector<std::string> files_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool stop_ = false;
    bool resumed_ = false; // the pictures after the first may be decoded
    std::thread worker_;
};
