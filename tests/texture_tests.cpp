#include "textures/Texloading_un.h"

#include "Bounded.h"
#include "Jpeg.h"
#include "Offscreen.h"
#include "TempDir.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace {

struct TextureImage {
    int width = -1, height = -1;
    std::vector<std::uint8_t> texels;
};

TextureImage ReadBack(GLuint name) {
    TextureImage image;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.texels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    if (!image.texels.empty())
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.texels.data());
    return image;
}

class Textures : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        std::filesystem::create_directories("tex/Display");
    }
    OffscreenContext gl;
};

std::uint32_t Gradient(int x, int y) {
    return (x * 4u) << 16 | (y * 8u) << 8 | 128u;
}

} // namespace

TEST_F(Textures, TexelsAreRgbaTopRowFirst) {
    WriteBytes("tex/Display/5.jpg", EncodeJpeg(64, 32, Gradient));
    std::uint32_t name = 0;
    const auto failures = LoadTexture("tex\\Display\\5.jpg", name);
    EXPECT_NE(name, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    Picture picture;
    ASSERT_TRUE(DecodeJpegFile("tex/Display/5.jpg", picture));
    TextureImage image = ReadBack(name);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 32);
    auto texel = [&](int index, int channel) { return image.texels[4 * index + channel]; };
    auto pixel = [&](int x, int y, int channel) {
        return picture.rgba[4 * (y * 64 + x) + channel];
    };
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(texel(0, c), pixel(0, 0, c));
        EXPECT_EQ(texel(64, c), pixel(0, 1, c));  // leftmost pixel of the second row
        EXPECT_EQ(texel(63, c), pixel(63, 0, c)); // rightmost pixel of the top row
    }
    EXPECT_NEAR(texel(63, 0), 252, 6);
    EXPECT_NEAR(texel(64, 1), 8, 6);
    EXPECT_NEAR(texel(64 * 31, 1), 248, 6);
    for (int i = 0; i < 64 * 32; ++i) ASSERT_EQ(texel(i, 3), 255);
    GLint filter = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_TRUE(failures.empty());
}

TEST_F(Textures, GreyScaleFilesGiveEqualRedGreenAndBlue) {
    WriteBytes("tex/grey.jpg", EncodeJpeg(
                                   16, 16, [](int x, int y) { return x * 16u + y; }, true));
    std::uint32_t name = 0;
    LoadTexture("tex\\grey.jpg", name);
    TextureImage image = ReadBack(name);
    ASSERT_EQ(image.width, 16);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(image.texels[4 * i], image.texels[4 * i + 1]);
        ASSERT_EQ(image.texels[4 * i], image.texels[4 * i + 2]);
    }
    EXPECT_NEAR(image.texels[4 * 15], 240, 4);
}

TEST_F(Textures, UnreadableFilesAreReportedAndGiveAnEmptyTexture) {
    std::vector<std::uint8_t> good = EncodeJpeg(64, 64, Gradient);
    WriteBytes("tex/truncated.jpg", {good.begin(), good.begin() + good.size() / 2});
    WriteBytes("tex/text.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});
    WriteBytes("tex/empty.jpg", {});
    std::vector<std::uint8_t> huge = good;
    PatchFrameSize(huge, 60000, 60000);
    WriteBytes("tex/huge.jpg", huge);
    std::vector<std::uint8_t> wide = good;
    PatchFrameSize(wide, 8193, 8);
    WriteBytes("tex/wide.jpg", wide);
    std::filesystem::create_directory("tex/folder.jpg");
    const char* paths[] = {"tex\\missing.jpg", "tex\\truncated.jpg", "tex\\text.jpg",
                           "tex\\empty.jpg",   "tex\\huge.jpg",      "tex\\wide.jpg",
                           "tex\\folder.jpg"};
    std::set<std::uint32_t> names;
    std::vector<std::string> failures;
    for (const char* path : paths) {
        std::uint32_t name = 0;
        for (const std::string& failure : LoadTexture(path, name)) failures.push_back(failure);
        EXPECT_TRUE(glIsTexture(name)) << path;
        names.insert(name);
        TextureImage image = ReadBack(name);
        EXPECT_EQ(image.width, 0) << path;
        EXPECT_EQ(image.height, 0) << path;
    }
    EXPECT_EQ(names.size(), std::size(paths));
    ASSERT_EQ(failures.size(), std::size(paths));
    for (std::size_t i = 0; i < std::size(paths); ++i)
        EXPECT_EQ(failures[i], std::string("Can't open texture file '") + paths[i] + "'");
}

TEST(TextureSet, ListsTheFilesInLoadOrder) {
    EXPECT_STREQ(KeyTexturePaths[0], "tex\\Button\\0.jpg");
    EXPECT_STREQ(KeyTexturePaths[10], "tex\\Button\\PlusMinus.jpg");
    EXPECT_STREQ(KeyTexturePaths[21], "tex\\Button\\Point.jpg");
    EXPECT_STREQ(GlyphTexturePaths[10], "tex\\Display\\0P.jpg");
    EXPECT_STREQ(GlyphTexturePaths[23], "tex\\Display\\MMinus.jpg");
    EXPECT_STREQ(GlyphTexturePaths[26], "tex\\Display\\E.jpg");
    EXPECT_EQ(NativePath("tex\\Button\\C.jpg"), "tex/Button/C.jpg");
    EXPECT_EQ(NativePath(WelcomePicturePath), "tex//Welcome.jpg");
    // The start-up reads the welcome picture first, then the textures in their load order.
    std::vector<std::string> startUp = StartUpPicturePaths();
    ASSERT_EQ(startUp.size(), 51u);
    EXPECT_EQ(startUp[0], WelcomePicturePath);
    EXPECT_EQ(startUp[1], KeyTexturePaths[0]);
    EXPECT_EQ(startUp[23], GlyphTexturePaths[0]);
    EXPECT_EQ(startUp[50], CardTexturePath);
}

// The build expects of the picture tool the files PictureFile makes of the start-up paths: one
// for each key face and glyph of the tables, each written by the tool.
TEST(TextureSet, ThePictureFilesAreTheTablesPicturesEachOnceAndAllWritten) {
    std::set<std::string> expected{"Welcome.jpg", "Card.jpg"};
    for (const KeypadKey& k : Keypad) expected.insert(std::string("Button/") + k.picture + ".jpg");
    for (const DisplayGlyph& g : DisplayGlyphs)
        expected.insert(std::string("Display/") + g.picture + ".jpg");
    const std::vector<std::string> paths = StartUpPicturePaths();
    std::set<std::string> files;
    for (const std::string& path : paths) files.insert(PictureFile(path));
    EXPECT_EQ(files, expected);
    EXPECT_EQ(files.size(), paths.size());

    for (const std::string& file : files)
        EXPECT_TRUE(std::filesystem::is_regular_file(std::string(TESSEL_RUN_DIR) + "/tex/" + file))
            << file;
}

// Beside the start-up's pictures the tool writes the welcome picture drawn at twice the size:
// the same drawing, at twice the pixels, not an enlarged copy.
TEST(TextureSet, TheWelcomePictureIsAlsoDrawnAtTwiceTheSize) {
    const std::vector<std::string> all = PictureSetPaths();
    EXPECT_EQ(all.size(), StartUpPicturePaths().size() + 1);
    EXPECT_EQ(all.back(), WelcomePicture2xPath);
    EXPECT_EQ(PictureFile(WelcomePicture2xPath), "Welcome@2x.jpg");
    EXPECT_EQ(StartUpPicturePaths(2)[0], WelcomePicture2xPath);
    EXPECT_EQ(StartUpPicturePaths(2).size(), StartUpPicturePaths().size());

    const std::string folder = std::string(TESSEL_RUN_DIR) + "/tex/";
    Picture small, large;
    ASSERT_TRUE(DecodeJpegFile(folder + "Welcome.jpg", small));
    ASSERT_TRUE(DecodeJpegFile(folder + "Welcome@2x.jpg", large));
    ASSERT_EQ(large.width, 2 * small.width);
    ASSERT_EQ(large.height, 2 * small.height);
    // Each pixel of the small one is about the mean of the four it stands for in the large one.
    long long difference = 0, detailSmall = 0, detailLarge = 0;
    auto Squared = [](long long v) { return v * v; };
    auto at = [](const Picture& p, int x, int y, int c) {
        return int(p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4 + c]);
    };
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int mean =
                    (at(large, 2 * x, 2 * y, c) + at(large, 2 * x + 1, 2 * y, c) +
                     at(large, 2 * x, 2 * y + 1, c) + at(large, 2 * x + 1, 2 * y + 1, c) + 2) /
                    4;
                difference += std::abs(mean - at(small, x, y, c));
                if (x > 0) detailSmall += Squared(at(small, x, y, c) - at(small, x - 1, y, c));
            }
    for (int y = 0; y < large.height; ++y)
        for (int x = 1; x < large.width; ++x)
            for (int c = 0; c < 3; ++c)
                detailLarge += Squared(at(large, x, y, c) - at(large, x - 1, y, c));
    const long long samples = 3LL * small.width * small.height;
    EXPECT_LT(difference, samples * 3) << "the same drawing";
    // The edges' energy (squared steps between neighbours): an enlarged copy spreads each step
    // over two pixels, halving it on its twice as many rows; drawn anew, each edge keeps its
    // full step, and the rows double it.
    EXPECT_GT(detailLarge * 10, detailSmall * 16)
        << "not an enlarged copy: " << detailLarge << " against " << detailSmall;
}

TEST(TextureSet, APictureFileIsItsPathWithinTheSetWithSlashes) {
    const std::pair<const char*, const char*> cases[] = {
        {"tex\\Button\\0.jpg", "Button/0.jpg"},
        {"tex//Welcome.jpg", "Welcome.jpg"},
        {"tex\\Card.jpg", "Card.jpg"},
        {"tex/Display\\\\MMinus.jpg", "Display/MMinus.jpg"},
    };
    for (const auto& [path, file] : cases) EXPECT_EQ(PictureFile(path), file) << path;
}

TEST_F(Textures, DecoderHandsThePicturesOverInOrderWithTheirFailures) {
    WriteBytes("tex/Display/a.jpg", EncodeJpeg(8, 16, Gradient));
    WriteFile("tex/Display/b.jpg", "not a picture");
    WriteBytes("tex/Display/c.jpg", EncodeJpeg(32, 4, Gradient));
    PictureDecoder decoder({"tex\\Display\\a.jpg", "tex\\Display\\missing.jpg",
                            "tex\\Display\\b.jpg", "tex\\Display\\c.jpg"});
    Picture picture;
    ASSERT_TRUE(decoder.Take(0, picture));
    EXPECT_EQ(picture.width, 8);
    EXPECT_EQ(picture.height, 16);
    EXPECT_FALSE(decoder.Take(1, picture));
    EXPECT_EQ(picture.width, 0);
    EXPECT_FALSE(decoder.Take(2, picture));
    ASSERT_TRUE(decoder.Take(3, picture));
    EXPECT_EQ(picture.width, 32);
    // A decoder given up before its pictures are taken ends without waiting for them.
    PictureDecoder abandoned(std::vector<std::string>(200, "tex\\Display\\c.jpg"));
}

TEST_F(Textures, DecoderLeavesThePicturesAfterTheFirstUntilResumedOrTaken) {
    // A picture written only after the first was taken is found: the decoder had not looked.
    WriteBytes("tex/Display/a.jpg", EncodeJpeg(8, 16, Gradient));
    for (const bool resumed : {true, false}) {
        std::filesystem::remove("tex/Display/b.jpg");
        PictureDecoder decoder({"tex\\Display\\a.jpg", "tex\\Display\\b.jpg"});
        Picture picture;
        ASSERT_TRUE(decoder.Take(0, picture));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        WriteBytes("tex/Display/b.jpg", EncodeJpeg(32, 4, Gradient));
        if (resumed) decoder.Resume();
        EXPECT_TRUE(decoder.Take(1, picture)) << (resumed ? "resumed" : "taken");
        EXPECT_EQ(picture.width, 32);
    }
}

// A picture there is no memory for is reported like an unreadable one, and the pictures after
// it still come: the failed allocation happens on the decoder's thread, where an escaping
// exception would end the whole program.
using Decoder = TempDirTest;
TEST_F(Decoder, APictureWithoutMemoryForItCountsAsUnreadable) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer reserves the address space this test limits";
#endif
    // A picture of the largest size allowed (made from a small one, so that no freed memory of
    // that size is left in this process for the child to reuse).
    std::vector<std::uint8_t> big = EncodeJpeg(16, 16, Gradient);
    PatchFrameSize(big, 4096, 4096);
    std::filesystem::create_directories("tex/Display");
    WriteBytes("tex/Display/big.jpg", big);
    WriteBytes("tex/Display/small.jpg", EncodeJpeg(8, 8, Gradient));
    BoundedRun run = RunBounded([] {
        // Room for the files and the thread's stack, not for the 64 MiB of pixels. The free
        // memory other tests left at the heap's top is handed back first.
        malloc_trim(0);
        long pages = 0;
        if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
            std::fclose(f);
        }
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = pages * sysconf(_SC_PAGESIZE) + (24l << 20);
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return false;
        PictureDecoder decoder({"tex\\Display\\big.jpg", "tex\\Display\\small.jpg"});
        Picture picture;
        const bool refused = !decoder.Take(0, picture) && picture.rgba.empty();
        return refused && decoder.Take(1, picture) && picture.width == 8;
    });
    EXPECT_TRUE(run.finished);
}

// The generated picture set: every file exists, decodes, and has the size it was drawn for.
TEST(PictureSet, FullSetLoadsIntoFiftyDistinctTextures) {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(TESSEL_RUN_DIR);
    OffscreenContext gl;
    std::vector<std::string> paths(KeyTexturePaths.begin(), KeyTexturePaths.end());
    paths.insert(paths.end(), GlyphTexturePaths.begin(), GlyphTexturePaths.end());
    paths.push_back(CardTexturePath);
    std::vector<std::uint32_t> names;
    for (const std::string& path : paths) {
        std::uint32_t name = 0;
        EXPECT_TRUE(LoadTexture(path.c_str(), name).empty()) << path;
        names.push_back(name);
        TextureImage image = ReadBack(name);
        int w = image.width, h = image.height;
        EXPECT_GT(w, 0) << path;
        EXPECT_EQ(w & (w - 1), 0) << path; // powers of two
        EXPECT_EQ(h & (h - 1), 0) << path;
        const bool whole =
            path.find("DB0") != std::string::npos || path.find("OVR") != std::string::npos;
        const int wanted[2] = {path.find("Button") != std::string::npos ? 128
                               : path == CardTexturePath                ? 1024
                               : whole                                  ? 512
                                                                        : 32,
                               path == CardTexturePath ? 512 : 128};
        EXPECT_EQ(w, wanted[0]) << path;
        EXPECT_EQ(h, wanted[1]) << path;
    }
    EXPECT_EQ(std::set<std::uint32_t>(names.begin(), names.end()).size(), 50u);
    for (std::size_t i = 1; i < names.size(); ++i) EXPECT_GT(names[i], names[i - 1]);
    Picture welcome;
    EXPECT_TRUE(DecodeJpegFile(NativePath(WelcomePicturePath), welcome));
    EXPECT_EQ(welcome.width, 400);
    EXPECT_EQ(welcome.height, 200);
    std::filesystem::current_path(previous);
}

// The display writes numbers with the decimal comma: the glyphs of a digit with its comma have
// the comma's tail below the baseline, where the plain digits have nothing.
TEST(PictureSet, DigitGlyphsWithTheCommaShowItsTail) {
    auto inkBelowBaseline = [](const std::string& file) {
        Picture glyph;
        EXPECT_TRUE(DecodeJpegFile(std::string(TESSEL_RUN_DIR) + "/tex/Display/" + file, glyph));
        int ink = 0;
        for (int y = 117; y < 122 && glyph.height == 128; ++y)
            for (int x = 20; x < 30; ++x) ink += glyph.rgba[4 * (y * glyph.width + x)] < 100;
        return ink;
    };
    for (int d = 0; d <= 9; ++d) {
        EXPECT_GT(inkBelowBaseline(std::to_string(d) + "P.jpg"), 5) << d;
        EXPECT_EQ(inkBelowBaseline(std::to_string(d) + ".jpg"), 0) << d;
    }
}

// Files that would block, never end, or cost gigabytes or minutes are refused before they are
// read or decoded: each counts as a file that cannot be opened, at once and with little memory.
TEST_F(Textures, HostileFilesAreRefusedQuicklyAndCheaply) {
    std::filesystem::create_symlink("/dev/zero", "tex/Display/zero.jpg");
    ASSERT_EQ(mkfifo("tex/Display/fifo.jpg", 0600), 0);
    { std::ofstream sparse("tex/Display/sparse.jpg", std::ios::binary); }
    std::filesystem::resize_file("tex/Display/sparse.jpg", 2ull << 30); // 2 GB, no blocks
    std::vector<std::uint8_t> bomb = EncodeJpeg(16, 16, Gradient);
    PatchFrameSize(bomb, 8192, 8192);
    WriteBytes("tex/Display/side.jpg", bomb);
    WriteBytes("tex/Display/scans.jpg", ScanBomb(256, 2000));
    for (const char* file : {"zero", "fifo", "sparse", "side", "scans"}) {
        const std::string path = std::string("tex/Display/") + file + ".jpg";
        BoundedRun run = RunBounded([&] {
            Picture picture;
            return !DecodeJpegFile(path, picture) && picture.rgba.empty();
        });
        EXPECT_TRUE(run.finished) << file << " (" << run.milliseconds << " ms)";
        EXPECT_LT(run.milliseconds, 1000) << file;
        EXPECT_LT(run.growthMiB, 200) << file;
    }
    // Reported like any unreadable file, with an empty texture.
    std::uint32_t name = 0;
    const auto failures = LoadTexture("tex\\Display\\fifo.jpg", name);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(ReadBack(name).width, 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "Can't open texture file 'tex\\Display\\fifo.jpg'");
}

TEST(PictureLimits, AllowTheSetWithAWideMarginAndRefuseTheRest) {
    auto decodes = [](const std::vector<std::uint8_t>& jpeg) {
        Picture picture;
        return DecodeJpeg(jpeg.data(), jpeg.size(), picture);
    };
    auto grey = [](int, int) { return 0x808080u; };
    EXPECT_TRUE(decodes(EncodeJpeg(1024, 512, grey)));
    EXPECT_TRUE(decodes(EncodeJpeg(1024, 512, grey, false, true))); // progressive, 10 scans
    EXPECT_TRUE(decodes(EncodeJpeg(4096, 16, grey)));
    EXPECT_FALSE(decodes(EncodeJpeg(4097, 16, grey)));
    // Scans times pixels: the larger a picture, the fewer scans it may have.
    EXPECT_TRUE(decodes(EncodeJpeg(2048, 2048, grey, false, true)));
    EXPECT_FALSE(decodes(EncodeJpeg(3072, 3072, grey, false, true)));
    EXPECT_TRUE(decodes(EncodeJpeg(3072, 3072, grey)));
    const std::vector<std::uint8_t> progressive = EncodeJpeg(256, 256, grey, false, true);
    const int scans = CountJpegScans(progressive.data(), progressive.size(), 100);
    EXPECT_GE(scans, 2);
    EXPECT_LE(scans, 12);
    EXPECT_EQ(CountJpegScans(progressive.data(), progressive.size(), 1), 2); // stops past it
    const std::vector<std::uint8_t> baseline = EncodeJpeg(256, 256, grey);
    EXPECT_EQ(CountJpegScans(baseline.data(), baseline.size(), 100), 1);
}
