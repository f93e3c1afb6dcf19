#include "Texloading_un.h"

#include <GL/gl.h>
#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <std::size_t N>
constexpr std::array<const char*, N> TextsOf(const std::array<PicturePathText, N>& paths) {
    std::array<const char*, N> texts{};
    for (std::size_t i = 0; i < N; ++i) texts[i] = paths[i].text;
    return texts;
}

std::string PictureFolder; // empty: the working folder

struct TjCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

} // namespace

constinit const std::array<const char*, KeyCount> KeyTexturePaths = TextsOf(KeyPicturePaths);
constinit const std::array<const char*, GlyphCount> GlyphTexturePaths = TextsOf(GlyphPicturePaths);

int CountJpegScans(const std::uint8_t* data, std::size_t size, int limit) {
    int scans = 0;
    std::size_t i = 2; // after the start-of-image marker
    while (i + 4 <= size && scans <= limit) {
        if (data[i] != 0xFF) break; // not a marker where one belongs: the decoder will say so
        const std::uint8_t marker = data[i + 1];
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD9) break; // end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2; // markers without a segment
            continue;
        }
        i += 2 + (std::size_t{data[i + 2]} << 8 | data[i + 3]);
        if (marker != 0xDA) continue;
        // A scan: its entropy-coded data runs to the next marker, 0xFF followed by anything
        // but a stuffed 0x00 or a restart marker.
        ++scans;
        while (i + 1 < size && !(data[i] == 0xFF && data[i + 1] != 0x00 &&
                                 (data[i + 1] < 0xD0 || data[i + 1] > 0xD7)))
            ++i;
    }
    return scans;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Picture& picture) {
    picture = {};
    if (data == nullptr || size == 0) return false;
    std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
    if (!tj) return false;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    unsigned char* bytes = const_cast<unsigned char*>(data);
    if (tjDecompressHeader3(tj.get(), bytes, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colorspace) != 0)
        return false;
    if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide)
        return false;
    // Every scan of a progressive picture is decoded over the whole picture: the scans are
    // counted before any is decoded.
    const int scans = CountJpegScans(data, size, MaxPictureScans);
    if (scans > MaxPictureScans ||
        std::uintmax_t(scans) * std::uintmax_t(width) * std::uintmax_t(height) > MaxScanPixels)
        return false;
    Picture decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    // Grey-scale files come out with equal red, green and blue; the decoder sets every alpha
    // to 255.
    if (tjDecompress2(tj.get(), bytes, static_cast<unsigned long>(size), decoded.rgba.data(), width,
                      width * 4, height, TJPF_RGBA, TJFLAG_ACCURATEDCT) != 0)
        return false; // truncated or corrupt data; warnings count as failures too
    picture = std::move(decoded);
    return true;
}

bool DecodeJpegFile(const std::string& path, Picture& picture) {
    picture = {};
    // Opened without waiting for a writer (a FIFO would block the open itself), then taken
    // only when it is a regular file of a size worth reading.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct FdCloser {
        int fd;
        ~FdCloser() { close(fd); }
    } closer{fd};
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        std::uintmax_t(st.st_size) > MaxPictureFile)
        return false;
    // A picture there is no memory for counts as one that cannot be read: it is reported like
    // any other, and on the decoder thread an escaping exception would end the program.
    try {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < data.size()) {
            const ssize_t n = read(fd, data.data() + got, data.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break; // the file shrank meanwhile: what is there is decoded
            got += static_cast<std::size_t>(n);
        }
        return DecodeJpeg(data.data(), got, picture);
    } catch (const std::bad_alloc&) {
        picture = {};
        return false;
    }
}

std::string NativePath(const char* path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

void SetPictureFolder(const std::string& folder) {
    PictureFolder = folder;
}

std::string PicturePath(const char* path) {
    return PictureFolder.empty() ? NativePath(path) : PictureFolder + "/" + NativePath(path);
}

std::vector<std::string> LoadTexture(const char* path, std::uint32_t& name) {
    Picture picture;
    const bool decoded = DecodeJpegFile(PicturePath(path), picture);
    return LoadDecodedTexture(path, decoded, picture, name);
}

std::vector<std::string> LoadDecodedTexture(const char* path, bool decoded, const Picture& picture,
                                            std::uint32_t& name) {
    std::vector<std::string> failures;
    if (!decoded) failures.push_back(std::string("Can't open texture file '") + path + "'");
    name = NewTexture();
    for (std::string& failure : UploadPicture(picture)) failures.push_back(std::move(failure));
    return failures;
}

std::uint32_t NewTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
}

std::vector<std::string> UploadPicture(const Picture& picture) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, picture.rgba.empty() ? nullptr : picture.rgba.data());
    if (glGetError() == GL_OUT_OF_MEMORY) return {"Can't allocate memory"};
    return {};
}

// The files' paths are made here, on the caller's thread, so that the worker reads nothing the
// caller may change.
PictureDecoder::PictureDecoder(const std::vector<std::string>& paths)
    : files_(FilePaths(paths)), slots_(files_.size()), worker_([this] { Run(); }) {}

std::vector<std::string> PictureDecoder::FilePaths(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    files.reserve(paths.size());
    for (const std::string& path : paths) files.push_back(PicturePath(path.c_str()));
    return files;
}

PictureDecoder::~PictureDecoder() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    ready_.notify_all();
    worker_.join();
}

void PictureDecoder::Run() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (i == 1) {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [&] { return resumed_ || stop_; });
        }
        Picture picture;
        const bool decoded = DecodeJpegFile(files_[i], picture);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
        slots_[i].decoded = decoded;
        slots_[i].picture = std::move(picture);
        slots_[i].done = true;
        ready_.notify_all();
    }
}

void PictureDecoder::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    resumed_ = true;
    ready_.notify_all();
}

bool PictureDecoder::Take(std::size_t i, Picture& picture) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (i > 0 && !resumed_) {
        resumed_ = true;
        ready_.notify_all();
    }
    ready_.wait(lock, [&] { return slots_[i].done; });
    picture = std::move(slots_[i].picture);
    slots_[i].picture = {};
    return slots_[i].decoded;
}
