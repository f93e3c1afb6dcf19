#include "AppFixture.h"

#include "config/Statefile_un.h"

#include <cmath>
#include <numbers>
#include <set>

namespace {

std::vector<int> ExpectedProgress() {
    std::vector<int> positions{0};
    for (int i = 0; i < 22; ++i) positions.push_back((100 * i + 100) / 50);
    for (int j = 0; j < 27; ++j) positions.push_back((100 * j + 2300) / 50);
    positions.push_back(100);
    return positions;
}

std::vector<std::string> AllTexturePaths() {
    std::vector<std::string> paths(KeyTexturePaths.begin(), KeyTexturePaths.end());
    paths.insert(paths.end(), GlyphTexturePaths.begin(), GlyphTexturePaths.end());
    paths.push_back(CardTexturePath);
    return paths;
}

} // namespace

TEST_F(AppTest, StartUpWritesTheConfigAndShowsProgressWhileLoading) {
    UseSize(617, 522);
    T_Tessel_Frm& f = Start();
    EXPECT_TRUE(std::filesystem::exists(ConfigFileName));
    EXPECT_EQ(platform->Caption, "Tessel");
    // Mesa offers no 32-bit depth buffer: the nearest format with a depth buffer is taken.
    EXPECT_GE(platform->DepthBits, 16);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, platform->DepthBits);
    EXPECT_TRUE(platform->Maximized);
    EXPECT_TRUE(platform->Messages.empty());
    ASSERT_EQ(platform->LoadingWindows.size(), 1u);
    const auto& w = platform->LoadingWindows[0];
    EXPECT_EQ(w.left, 108);
    EXPECT_EQ(w.top, 161);
    EXPECT_EQ(w.width, 400);
    EXPECT_EQ(w.height, 200);
    EXPECT_EQ(w.barLeft, 20);
    EXPECT_EQ(w.barTop, 90);
    EXPECT_EQ(w.barWidth, 360);
    EXPECT_EQ(w.barHeight, 20);
    EXPECT_EQ(w.pictureWidth, 400);
    EXPECT_EQ(w.pictureHeight, 200);
    EXPECT_TRUE(w.outline);
    EXPECT_TRUE(w.destroyed);
    EXPECT_EQ(w.positions, ExpectedProgress());
    EXPECT_EQ(w.positions.size(), 51u);

    EXPECT_EQ(f.Model.View.ViewDistance, 1.4);
    EXPECT_EQ(f.Model.View.SpinSpeed, 0.2);
    EXPECT_EQ(f.Model.View.ZoomSpeed, 0.06);
    EXPECT_STREQ(DisplayText, "0");
    std::set<std::uint32_t> names{f.CardTexture};
    for (const KeyRecord& k : f.Keys) names.insert(k.Texture);
    for (std::uint32_t g : f.GlyphTextures) names.insert(g);
    EXPECT_EQ(names.size(), 50u);
    EXPECT_NEAR(f.Keys[0].X, -0.358f, 1e-6);

    for (GLenum cap : {GL_DEPTH_TEST, GL_ALPHA_TEST, GL_POINT_SMOOTH, GL_TEXTURE_2D, GL_LIGHTING,
                       GL_LIGHT0, GL_NORMALIZE})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    GLint env = 0, twoSide = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(twoSide, 1);
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, light);
    EXPECT_EQ(light[0], 1.0f);
}

TEST_F(AppTest, LoadingWindowComesFirstInTheMiddleOfTheScreen) {
    UseSize(1920, 1080);
    Start();
    ASSERT_FALSE(platform->Calls.empty());
    // Before the drawable, the pixel format and the GL driver with them.
    EXPECT_EQ(platform->Calls[0], "CreateLoadingWindow");
    ASSERT_EQ(platform->LoadingWindows.size(), 1u);
    EXPECT_EQ(platform->LoadingWindows[0].left, (1920 - 400) / 2);
    EXPECT_EQ(platform->LoadingWindows[0].top, (1080 - 200) / 2);
    EXPECT_EQ(platform->LoadingWindows[0].pictureWidth, 400);
}

TEST_F(AppTest, ExistingConfigIsReadAndColoursTheBackground) {
    WriteFile(ConfigFileName, "BACKGROUNDCOLOR_R=0\nBACKGROUNDCOLOR_G=0\nBACKGROUNDCOLOR_B=255\n");
    Start();
    Frame();
    EXPECT_EQ(Pixel(2, 2), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(ReadFile(ConfigFileName),
              "BACKGROUNDCOLOR_R=0\nBACKGROUNDCOLOR_G=0\nBACKGROUNDCOLOR_B=255\n");
}

TEST_F(AppTest, DefaultBackgroundIsWhite) {
    Start();
    Frame();
    EXPECT_EQ(Pixel(2, 2), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(Pixel(W - 3, H - 3), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(AppTest, AMissingTextureIsReportedAndLoadingGoesOn) {
    std::filesystem::remove("tex/Display/5.jpg");
    T_Tessel_Frm& f = Start();
    ASSERT_EQ(platform->Messages.size(), 1u);
    EXPECT_EQ(platform->Messages[0].text, "Can't open texture file 'tex\\Display\\5.jpg'");
    EXPECT_EQ(platform->LoadingWindows[0].positions, ExpectedProgress());
    EXPECT_TRUE(glIsTexture(f.GlyphTextures[5]));
    EXPECT_TRUE(platform->LoadingWindows[0].destroyed);
}

TEST_F(AppTest, EveryMissingTextureIsReportedInLoadOrder) {
    std::filesystem::remove_all("tex/Button");
    std::filesystem::remove_all("tex/Display");
    std::filesystem::remove("tex/Card.jpg");
    Start();
    std::vector<std::string> paths = AllTexturePaths();
    ASSERT_EQ(platform->Messages.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(platform->Messages[i].text, "Can't open texture file '" + paths[i] + "'");
    EXPECT_EQ(platform->LoadingWindows[0].positions, ExpectedProgress());
}

// A loading window drawn at a finer scale than the design's is given the welcome picture drawn
// at twice the size, to show as it is or to make smaller; the picture of the design size,
// enlarged, when that one cannot be read; a report only when neither can.
TEST_F(AppTest, TheWelcomePictureIsTheOneDrawnForTheLoadingWindowsScale) {
    struct Case {
        double scale;
        bool remove2x, remove1x;
        int width, density;
        std::size_t messages;
    };
    const Case cases[] = {
        {1, false, false, 400, 1, 0}, {1.25, false, false, 800, 2, 0}, {2, false, false, 800, 2, 0},
        {3, false, false, 800, 2, 0}, {2, true, false, 400, 1, 0},     {2, true, true, 0, 0, 1},
        {1, true, false, 400, 1, 0}, // a plain screen never reads it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << (c.remove2x ? ", no 2x" : "")
                                        << (c.remove1x ? ", no 1x" : ""));
        TearDown();
        SetUp();
        if (c.remove2x) std::filesystem::remove("tex/Welcome@2x.jpg");
        if (c.remove1x) std::filesystem::remove("tex/Welcome.jpg");
        platform->LoadingScale = c.scale;
        Start();
        ASSERT_EQ(platform->LoadingWindows.size(), 1u);
        const auto& loading = platform->LoadingWindows[0];
        EXPECT_EQ(loading.pictureWidth, c.width);
        EXPECT_EQ(loading.pictureHeight, c.width / 2);
        EXPECT_EQ(loading.pictureDensity, c.density);
        ASSERT_EQ(platform->Messages.size(), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(platform->Messages[0].text,
                      "Can't open the welcome picture 'tex//Welcome.jpg'.");
        }
        EXPECT_EQ(loading.positions, ExpectedProgress());
    }
}

TEST_F(AppTest, AMissingWelcomePictureIsReportedAndStartUpCompletes) {
    std::filesystem::remove("tex/Welcome.jpg");
    T_Tessel_Frm& f = Start();
    ASSERT_EQ(platform->Messages.size(), 1u);
    EXPECT_EQ(platform->Messages[0].text, "Can't open the welcome picture 'tex//Welcome.jpg'.");
    EXPECT_EQ(platform->Messages[0].caption, ApplicationTitle);
    EXPECT_EQ(platform->Messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(platform->LoadingWindows[0].pictureWidth, 0);
    EXPECT_EQ(platform->LoadingWindows[0].positions.size(), 51u);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_TRUE(glIsTexture(f.CardTexture));
}

TEST_F(AppTest, ZeroClientHeightLeavesTheProjectionIdentity) {
    Start();
    platform->Resize(W, 0);
    Send({WindowEvent::Resize});
    double m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0 : 0.0) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    Frame(); // and a frame with it neither crashes nor divides by zero
    platform->Resize(W, H);
    Send({WindowEvent::Resize});
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1 / std::tan(std::numbers::pi / 6), 1e-6);
    EXPECT_NEAR(m[0], m[5] * H / W, 1e-6);
}

TEST_F(AppTest, LightIsFixedInEyeCoordinates) {
    Start();
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_EQ(position[0], -5.0f);
    EXPECT_EQ(position[1], 10.0f);
    EXPECT_EQ(position[3], 1.0f);
}

TEST_F(AppTest, PixelFormatFailureIsReportedAndMakesNoSurfaceNorContext) {
    platform->FailChooseSurfaceFormat = true;
    Start();
    ASSERT_EQ(platform->Messages.size(), 1u);
    EXPECT_EQ(platform->Messages[0].text, "ChoosePixelFormat failed");
    EXPECT_EQ(platform->Messages[0].caption, "Error");
    EXPECT_TRUE(platform->Closed());
    EXPECT_EQ(platform->Calls,
              (std::vector<std::string>{"CreateLoadingWindow", "ChooseSurfaceFormat"}));
    // The loading window came first, and went with the failed start.
    ASSERT_EQ(platform->LoadingWindows.size(), 1u);
    EXPECT_TRUE(platform->LoadingWindows[0].destroyed);
    EXPECT_EQ(platform->LoadingWindows[0].positions, std::vector<int>{0});
}

TEST_F(AppTest, AFailedStartEndsTheProgramWithAFailingStatus) {
    for (bool failChoose : {true, false}) {
        OffscreenPlatform failing(W, H);
        failing.FailChooseSurfaceFormat = failChoose;
        failing.FailCreateSurface = !failChoose;
        EXPECT_EQ(RunTessel(failing), 1);
        ASSERT_EQ(failing.Messages.size(), 1u);
        EXPECT_EQ(failing.Messages[0].caption, "Error");
    }
}

TEST_F(AppTest, SetPixelFormatFailureIsReported) {
    platform->FailCreateSurface = true;
    Start();
    ASSERT_EQ(platform->Messages.size(), 1u);
    EXPECT_EQ(platform->Messages[0].text, "SetPixelFormat failed");
    EXPECT_EQ(platform->Messages[0].caption, "Error");
    EXPECT_TRUE(platform->Closed());
    // No surface was made, so none is released.
    EXPECT_EQ(platform->Calls, (std::vector<std::string>{"CreateLoadingWindow",
                                                         "ChooseSurfaceFormat", "CreateSurface"}));
}

TEST_F(AppTest, ClosingReleasesTheContextThenTheDrawable) {
    Start();
    platform->Calls.clear();
    Send({WindowEvent::Close});
    EXPECT_TRUE(platform->Closed());
    EXPECT_EQ(platform->Calls,
              (std::vector<std::string>{"MakeCurrent(none)", "DeleteContext", "ReleaseSurface"}));
}

TEST_F(AppTest, ProgramEntryRunsTheLoopAndReturnsZero) {
    platform->Queue = {
        {WindowEvent::Tick}, UsKeyDown('7'), {WindowEvent::Tick}, {WindowEvent::Close}};
    std::unique_ptr<OffscreenPlatform> keep = std::move(platform);
    EXPECT_EQ(RunTessel(*keep), 0);
    EXPECT_STREQ(DisplayText, "7");
    EXPECT_GE(keep->Swaps, 2);
    EXPECT_TRUE(keep->Closed());
    platform = std::move(keep);
}

TEST_F(AppTest, TheKeptMemoryShowsFromTheFirstFrameAndEveryChangeIsKept) {
    WriteFile(StateFileName, "MEMORY=5\n");
    T_Tessel_Frm& f = Start();
    EXPECT_EQ(Memory, 5);
    EXPECT_TRUE(f.Model.MemoryShown());
    Frame();
    Key('R', ssCtrl); // MR
    EXPECT_STREQ(DisplayText, "5");
    Key('7');
    Key('P', ssCtrl); // M+
    EXPECT_EQ(ReadFile(StateFileName).substr(ReadFile(StateFileName).find("MEMORY=")),
              "MEMORY=12\n");
    Key('L', ssCtrl); // MC
    EXPECT_NE(ReadFile(StateFileName).find("MEMORY=0\n"), std::string::npos);
}

// The card, which the closed display frame hides, is given its picture once the first frame is
// drawn; before it when keys typed while loading have raised the frame already.
TEST_F(AppTest, TheCardsPictureComesWithTheFirstFrameThatCanShowIt) {
    for (const double tilt : {0.0, std::numbers::pi / 2}) {
        SCOPED_TRACE(testing::Message() << "display frame at " << tilt);
        TearDown();
        SetUp();
        T_Tessel_Frm& f = Start();
        auto cardWidth = [&] {
            GLint bound = 0, width = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            glBindTexture(GL_TEXTURE_2D, f.CardTexture);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
            return width;
        };
        EXPECT_EQ(cardWidth(), 0);
        f.Model.View.DisplayTilt = tilt;
        Frame();
        const auto first = Region(0, 0, W, H);
        EXPECT_EQ(cardWidth(), 1024);
        Frame();
        EXPECT_EQ(Region(0, 0, W, H), first);
    }
}

// The first frame draws the case whole and leaves out the card that has no picture yet; the
// frames after it draw only the outside of the closed case, and have the card's picture for
// when the display frame is raised.
TEST_F(AppTest, FramesAfterTheFirstDrawTheOutsideOfTheCaseAndHaveTheCard) {
    T_Tessel_Frm& f = Start();
    const SceneContent first = f.Content(true);
    EXPECT_FALSE(first.outsideOnly);
    EXPECT_FALSE(first.cardLoaded);
    Frame();
    const SceneContent next = f.Content(true);
    EXPECT_TRUE(next.outsideOnly);
    EXPECT_TRUE(next.cardLoaded);
    EXPECT_TRUE(next.inParts);
}
