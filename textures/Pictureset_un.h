// The files of the picture set, named once: where the loader reads each picture, where the
// picture tool writes it and what the build expects of the tool. The key faces and the glyphs
// are named by their tables.
//
// Constant data and string helpers only, so that the build-time tools can include it as it
// is.
#pragma once

#include "scene/Glyphs_un.h"
#include "scene/Keypad_un.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// Paths relative to the working directory, written with backslashes as in the data set;
// the loader turns them into this platform's separators and reports them as given.
constexpr const char* CardTexturePath = "tex\\Card.jpg";
constexpr const char* WelcomePicturePath = "tex//Welcome.jpg";
// The same picture drawn at twice the size, for a loading window drawn at a finer scale than
// the design's: it is shown as it is at twice the scale and made smaller, not larger, between.
constexpr const char* WelcomePicture2xPath = "tex//Welcome@2x.jpg";
constexpr int WelcomePicture2xDensity = 2; // its pixels per pixel of the design

// The welcome picture for a loading window drawn at this scale (pixels per pixel of the
// design), with the density it is drawn at.
struct WelcomePictureFile {
    const char* path;
    int density;
};
constexpr WelcomePictureFile WelcomePictureFor(double scale) {
    return scale > 1 ? WelcomePictureFile{WelcomePicture2xPath, WelcomePicture2xDensity}
                     : WelcomePictureFile{WelcomePicturePath, 1};
}

// A path of a key face or a glyph, tex\<folder>\<picture>.jpg, spelled out at compile time.
struct PicturePathText {
    char text[48] = {};
};

constexpr PicturePathText PicturePathOf(const char* folder, const char* picture) {
    PicturePathText path;
    std::size_t n = 0;
    for (const char* part : {"tex\\", folder, "\\", picture, ".jpg"})
        while (*part != '\0') path.text[n++] = *part++;
    return path;
}

// By ButtonId.
inline constexpr std::array<PicturePathText, KeyCount> KeyPicturePaths = [] {
    std::array<PicturePathText, KeyCount> paths;
    for (const KeypadKey& k : Keypad) paths[k.id] = PicturePathOf("Button", k.picture);
    return paths;
}();

// By Glyph.
inline constexpr std::array<PicturePathText, GlyphCount> GlyphPicturePaths = [] {
    std::array<PicturePathText, GlyphCount> paths;
    for (int i = 0; i < GlyphCount; ++i)
        paths[i] = PicturePathOf("Display", DisplayGlyphs[i].picture);
    return paths;
}();

// The paths of the welcome picture for a loading window of this scale and the texture set, in
// load order.
inline std::vector<std::string> StartUpPicturePaths(double scale = 1) {
    std::vector<std::string> paths{WelcomePictureFor(scale).path};
    for (const PicturePathText& p : KeyPicturePaths) paths.push_back(p.text);
    for (const PicturePathText& p : GlyphPicturePaths) paths.push_back(p.text);
    paths.push_back(CardTexturePath);
    return paths;
}

// Every picture of the set, each once: what the picture tool writes.
inline std::vector<std::string> PictureSetPaths() {
    std::vector<std::string> paths = StartUpPicturePaths();
    paths.push_back(WelcomePicture2xPath);
    return paths;
}

// A path of the set as a file within the set's folder, written with slashes and no empty
// parts: "tex//Welcome.jpg" is "Welcome.jpg", "tex\Button\0.jpg" is "Button/0.jpg".
inline std::string PictureFile(const std::string& path) {
    std::string file;
    std::string part;
    bool inSet = false; // past the set's own folder
    for (std::size_t i = 0; i <= path.size(); ++i) {
        const char c = i < path.size() ? path[i] : '/';
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (part.empty()) continue;
        if (inSet) file += (file.empty() ? "" : "/") + part;
        inSet = true;
        part.clear();
    }
    return file;
}
