#include "Startup_un.h"

#include "platform/Forms_un.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

constexpr int LoadingWidth = 400, LoadingHeight = 200;
constexpr int ProgressMargin = 40, ProgressHeight = 20;
constexpr std::size_t WelcomePicture = 0; // first of StartUpPicturePaths, then the textures

} // namespace

bool TimingWanted() {
    static const bool wanted = std::getenv("TESSEL_TIMING") != nullptr;
    return wanted;
}

std::unique_ptr<LoadingWindow> MakeLoadingWindow(Platform& window) {
    // Centred over the maximised main window, that is on the screen.
    return window.CreateLoadingWindow((window.DrawableWidth() - LoadingWidth) / 2,
                                      (window.DrawableHeight() - LoadingHeight) / 2, LoadingWidth,
                                      LoadingHeight);
}

void ShowLoadingWindow(LoadingWindow& loading, PictureDecoder& pictures) {
    const int barWidth = LoadingWidth - ProgressMargin;
    loading.AddProgressBar((LoadingWidth - barWidth) / 2, (LoadingHeight - ProgressHeight) / 2,
                           barWidth, ProgressHeight);
    // The decoder started on the picture of the design size before the loading window could
    // tell its scale; a window of a higher density reads its sharper picture here, and falls
    // back to that one, enlarged, rather than show none.
    const WelcomePictureFile wanted = WelcomePictureFor(loading.Scale());
    Picture welcome;
    int density = wanted.density;
    if (density == 1 || !DecodeJpegFile(PicturePath(wanted.path), welcome)) {
        density = 1;
        welcome = {};
        pictures.Take(WelcomePicture, welcome);
    }
    if (!welcome.rgba.empty()) {
        loading.ShowPicture(welcome.rgba.data(), welcome.width, welcome.height, density);
    } else {
        // Reported like any error; the textures still load without the picture.
        Application->ShowException(std::runtime_error(
            std::string("Can't open the welcome picture '") + WelcomePicturePath + "'"));
    }
    loading.DrawOutline();
    loading.SetProgress(0);
}

namespace {

void Report(const std::vector<std::string>& failures) {
    for (const std::string& failure : failures)
        if (Application != nullptr) Application->MessageBox(failure);
}

} // namespace

void LoadTextures(LoadingWindow& loading, PictureDecoder& pictures, const TextureNames& names,
                  LaterTexture& card) {
    const auto loadStart = std::chrono::steady_clock::now();
    // The decoded pictures are uploaded in the order of the texture set, each reported (when
    // it could not be read) and counted on the bar in turn.
    std::size_t next = WelcomePicture + 1;
    auto load = [&](const char* path, std::uint32_t& name) {
        Picture picture;
        const bool decoded = pictures.Take(next++, picture);
        Report(LoadDecodedTexture(path, decoded, picture, name));
    };
    for (int i = 0; i < KeyCount; ++i) {
        load(KeyTexturePaths[i], names.keys[i].Texture);
        loading.SetProgress((100 * i + 100) / 50);
    }
    for (int j = 0; j < GlyphCount; ++j) {
        load(GlyphTexturePaths[j], names.glyphs[j]);
        loading.SetProgress((100 * j + 2300) / 50);
    }
    // Its name comes in the order of the set, and a picture that cannot be read is reported
    // with the others.
    Picture picture;
    if (pictures.Take(next++, picture)) {
        card = {NewTexture(), std::move(picture)};
        names.card = card.name;
    } else {
        Report(LoadDecodedTexture(CardTexturePath, false, picture, names.card));
    }
    loading.SetProgress(100);
    if (TimingWanted()) {
        std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - loadStart;
        std::fprintf(stderr, "tessel: textures loaded in %.1f ms\n", spent.count());
    }
}

void UploadLater(LaterTexture& texture) {
    if (!texture.Pending()) return;
    glBindTexture(GL_TEXTURE_2D, texture.name);
    const std::vector<std::string> failures = UploadPicture(texture.picture);
    texture.picture = {};
    Report(failures);
}

bool ReportFirstFrame() {
    if (!TimingWanted()) return false;
    glFinish();
    auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "tessel: first frame %lld\n",
                 static_cast<long long>(std::chrono::nanoseconds(now).count()));
    return true;
}
