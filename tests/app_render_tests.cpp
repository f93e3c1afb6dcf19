// The occlusion queries of GL 1.5 are declared by glext.h on request.
#define GL_GLEXT_PROTOTYPES
#include "AppFixture.h"
#include "Jpeg.h"

#include "scene/Display_un.h"
#include "scene/Models_un.h"

#include <cstring>
#include <numbers>

namespace {

int Brightness(const std::array<int, 3>& p) {
    return p[0] + p[1] + p[2];
}

struct MatrixState {
    GLint depth, mode;
    bool operator==(const MatrixState&) const = default;
};
MatrixState CurrentMatrixState() {
    MatrixState s{};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.depth);
    glGetIntegerv(GL_MATRIX_MODE, &s.mode);
    return s;
}

// Looks at the calculator from 126 views, all round it at the nearest, a middle and the
// farthest distance; says how many.
template <typename Look> int LookFromAllRound(T_Tessel_Frm& f, Look look) {
    int views = 0;
    for (double tilt : {0.0, 35.0, 80.0, 150.0, 200.0, 260.0, 330.0})
        for (double spin : {0.0, 50.0, 95.0, 130.0, 225.0, 310.0})
            for (double distance : {Config.NEAR_LIMIT, 1.4f, Config.FAR_LIMIT}) {
                f.Model.View.TiltAngle = tilt;
                f.Model.View.SpinAngle = spin;
                f.Model.View.ViewDistance = distance;
                look(tilt, spin, distance);
                ++views;
            }
    return views;
}

} // namespace

TEST_F(AppTest, CalculatorStandsWhereTheProjectionPutsIt) {
    Start();
    Frame();
    // The case between the key rows and beside the keys is dark; outside it, the background.
    auto plate = Project(-0.2, Config.THICKNESS, -0.27);
    EXPECT_LT(Brightness(Pixel(plate[0], plate[1])), 3 * 110);
    auto centre = Project(0, Config.THICKNESS, 0);
    EXPECT_LT(Brightness(Pixel(centre[0], centre[1])), 3 * 110);
    auto outside = Project(0, 0, 0.45);
    EXPECT_EQ(Pixel(outside[0], outside[1]), (std::array<int, 3>{255, 255, 255}));
    auto above = Project(0.55, 0, 0);
    EXPECT_EQ(Pixel(above[0], above[1]), (std::array<int, 3>{255, 255, 255}));
    // Face on and upright: the display end is at the top, the keys below it.
    EXPECT_LT(Project(0.3, 0, 0)[1], Project(-0.3, 0, 0)[1]);
    EXPECT_LT(Project(0, 0, -0.2)[0], Project(0, 0, 0.2)[0]);
}

TEST_F(AppTest, KeyFacesShowTheirPictures) {
    Start();
    Frame();
    auto eight = KeyCentre(8), zero = KeyCentre(0), plus = KeyCentre(BtnPlus);
    // The middle stroke of an 8 is dark, the middle of a 0 is the light key face.
    EXPECT_LT(Brightness(Pixel(eight[0], eight[1])), 3 * 100);
    EXPECT_GT(Brightness(Pixel(zero[0], zero[1])), 3 * 150);
    // Operators have a blue face: sample beside the label.
    auto p = Pixel(plus[0] + 7, plus[1] + 7);
    EXPECT_GT(p[2], p[0] + 20);
}

TEST_F(AppTest, KeyUnderTheMouseIsDrawnDarkerInTheSameFrame) {
    T_Tessel_Frm& f = Start();
    auto five = KeyCentre(5);
    const int x = five[0] + 4, y = five[1] + 4; // a light part of the face
    MoveMouse(0, 0);
    Frame();
    auto normal = Pixel(x, y);
    MoveMouse(x, y);
    Frame();
    EXPECT_EQ(f.PickedName, KeyNameBase + 5);
    auto highlighted = Pixel(x, y);
    EXPECT_LT(Brightness(highlighted), Brightness(normal) * 0.8);
    MoveMouse(0, 0);
    Frame();
    EXPECT_EQ(f.PickedName, 0);
    EXPECT_EQ(Pixel(x, y), normal);
}

TEST_F(AppTest, PressedKeySinksByStepsAndRisesBack) {
    T_Tessel_Frm& f = Start();
    KeyRecord& k = f.Keys[3];
    const float rest = k.Y;
    const double lowest = rest - 2.0 * k.Height / 3.0;
    k.Pressed = 1;
    std::vector<float> heights;
    for (int i = 0; i < 10; ++i) {
        Frame();
        heights.push_back(k.Y);
    }
    EXPECT_NEAR(heights[0], rest - 0.002, 1e-6); // two drawings a frame
    EXPECT_NEAR(heights[1], rest - 0.004, 1e-6);
    EXPECT_GE(k.Y, lowest - 1e-7);
    EXPECT_LT(k.Y, lowest + 0.001);
    EXPECT_EQ(heights[8], heights[9]);
    EXPECT_EQ(f.Keys[4].Y, rest); // only the pressed key moves
    k.Pressed = 0;
    for (int i = 0; i < 10; ++i) Frame();
    EXPECT_NEAR(k.Y, rest, 0.0005);
    float settled = k.Y;
    Frame();
    EXPECT_EQ(k.Y, settled);
}

TEST_F(AppTest, DisplayShowsTheTextAndTheMemoryIndicator) {
    Start();
    Frame();
    auto zero = DisplayPixels();
    std::strcpy(DisplayText, "0,333333333333333");
    Frame();
    auto third = DisplayPixels();
    EXPECT_NE(third, zero);
    // The display shows ten digits: texts that differ only beyond them look the same.
    std::strcpy(DisplayText, "0,3333333339");
    Frame();
    EXPECT_EQ(DisplayPixels(), third);
    std::strcpy(DisplayText, "0");
    Frame();
    EXPECT_EQ(DisplayPixels(), zero);
    Memory = 4;
    Frame();
    EXPECT_NE(DisplayPixels(), zero);
    Memory = 0;
    std::strcpy(DisplayText, "OVERFLOW");
    Frame();
    auto overflow = DisplayPixels();
    std::strcpy(DisplayText, "-OVERFLOW");
    Frame();
    EXPECT_EQ(DisplayPixels(), overflow);
}

TEST_F(AppTest, CardIsHiddenUntilTheDisplayFrameIsRaised) {
    T_Tessel_Frm& f = Start();
    const std::uint32_t card = f.CardTexture;
    auto picture = [&](std::uint32_t texture, double tilt) {
        f.CardTexture = texture;
        f.Model.View.DisplayTilt = tilt;
        Frame();
        return Region(0, 0, W, H);
    };
    EXPECT_EQ(picture(card, 0), picture(0, 0));
    EXPECT_NE(picture(card, std::numbers::pi / 2), picture(0, std::numbers::pi / 2));
    // Raising the frame changes the picture where the display was.
    EXPECT_NE(picture(card, 0), picture(card, std::numbers::pi / 2));
}

TEST_F(AppTest, TheCardIsFilledOnlyWhenTheInsideCanBeSeen) {
    // Hidden, the card would still be filled pixel by pixel (its large picture sampled at
    // each) before the display frame covers it: what a frame fills is counted, depth test
    // or not.
    T_Tessel_Frm& f = Start();
    Frame();
    GLuint query = 0;
    glGenQueries(1, &query);
    auto filled = [&](double tilt, bool cardLoaded) {
        f.Model.View.DisplayTilt = tilt;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_ALWAYS);
        glPushMatrix();
        f.ApplyViewTransform();
        SceneContent content = f.Content(false);
        content.cardLoaded = cardLoaded;
        glBeginQuery(GL_SAMPLES_PASSED, query);
        DrawCalculator(content);
        glEndQuery(GL_SAMPLES_PASSED);
        glPopMatrix();
        glDepthFunc(GL_LESS);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        return samples;
    };
    EXPECT_EQ(filled(0, true), filled(0, false));
    EXPECT_GT(filled(std::numbers::pi / 2, true), filled(std::numbers::pi / 2, false));
    glDeleteQueries(1, &query);
}

TEST_F(AppTest, FirstFrameIsDrawnLikeEveryFrameAfterIt) {
    // A card whose corners are not white: the untextured case must not take their colour in
    // the first frame, which is drawn right after the pictures were loaded.
    WriteBytes("tex/Card.jpg", EncodeJpeg(64, 32, [](int, int) { return 0x402010u; }));
    Start();
    Frame();
    const auto first = Region(0, 0, W, H);
    Frame();
    EXPECT_EQ(first, Region(0, 0, W, H));
}

TEST_F(AppTest, NoPartOfTheRoundedEdgesLeftOutCouldBeSeen) {
    // The case is drawn once as it is, then once more over it with the winding taken the other
    // way round, which draws just the faces it leaves out: none of them may come in front.
    T_Tessel_Frm& f = Start();
    for (double tilt : {0.0, 35.0, 80.0, 150.0, 260.0})
        for (double spin : {0.0, 50.0, 130.0, 225.0, 310.0}) {
            f.Model.View.TiltAngle = tilt;
            f.Model.View.SpinAngle = spin;
            f.Model.View.ViewDistance = spin > 200 ? Config.NEAR_LIMIT : 1.4;
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glPushMatrix();
            f.ApplyViewTransform();
            DrawCase(f.Shape);
            const auto drawn = Region(0, 0, W, H);
            glFrontFace(GL_CW);
            DrawCase(f.Shape);
            glFrontFace(GL_CCW);
            glPopMatrix();
            EXPECT_EQ(drawn, Region(0, 0, W, H)) << "tilt " << tilt << ", spin " << spin;
        }
}

TEST_F(AppTest, WithTheCaseClosedDrawingOnlyItsOutsideLooksTheSame) {
    // A primitive that a clip plane cuts goes through the driver's clipping path, which may
    // round a shade of its facets by one; nothing may differ by more, nor in more than a few
    // pixels of a view.
    T_Tessel_Frm& f = Start();
    // A key held down part of the way, sunk into the key plate, and another under the mouse.
    f.Keys[7].Y -= 0.004f;
    f.PickedName = KeyNameBase + 12;
    int shadesOff = 0;
    const int views = LookFromAllRound(f, [&](double tilt, double spin, double distance) {
        ASSERT_TRUE(OnlyOutsideSeen(f.ModelviewMatrix(), f.Shape, f.Model.View.DisplayTilt));
        const PixelDifference d = Compare(CalculatorPixels(true), CalculatorPixels(false));
        EXPECT_LE(d.largest, 1) << "tilt " << tilt << ", spin " << spin << ", distance " << distance
                                << ": at " << d.x << ", " << d.y;
        EXPECT_LE(d.count, 4) << "tilt " << tilt << ", spin " << spin;
        shadesOff += d.count;
    });
    EXPECT_EQ(views, 7 * 6 * 3);
    EXPECT_LE(shadesOff, 10);
}

TEST_F(AppTest, AKeyShowsOnlyItsNearSideEvenOnItsOutline) {
    // The keys drawn as the frame draws them, against the same keys with every face turned
    // away from the eye left out by the test: a far face must not win a pixel of the outline.
    T_Tessel_Frm& f = Start();
    f.Keys[7].Y -= 0.004f;
    f.PickedName = KeyNameBase + 12;
    auto keys = [&](bool nearSidesOnly) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        f.ApplyViewTransform();
        SceneContent content = f.Content(false);
        if (nearSidesOnly) {
            glEnable(GL_CULL_FACE);
            content.keysClosed = false; // leaves culling as the test set it
        }
        DrawKeys(content.keys, content.pickedName, content.focusedKey, content.keysClosed);
        glDisable(GL_CULL_FACE);
        glPopMatrix();
        return Region(0, 0, W, H);
    };
    LookFromAllRound(f, [&](double tilt, double spin, double distance) {
        const PixelDifference d = Compare(keys(false), keys(true));
        EXPECT_EQ(d.count, 0) << "tilt " << tilt << ", spin " << spin << ", distance " << distance
                              << ": at " << d.x << ", " << d.y;
    });
    // Cut by the near plane, a key may be seen from inside: its far side is drawn.
    f.Model.View.TiltAngle = 70;
    f.Model.View.SpinAngle = 0;
    f.Model.View.ViewDistance = 0.2;
    EXPECT_FALSE(f.Content(false).keysClosed);
}

TEST_F(AppTest, TheInsideIsDrawnWhenTheFrameIsUpOrTheNearPlaneCutsTheCase) {
    T_Tessel_Frm& f = Start();
    auto insideShows = [&](const char* what) {
        EXPECT_FALSE(OnlyOutsideSeen(f.ModelviewMatrix(), f.Shape, f.Model.View.DisplayTilt))
            << what;
        // These views show surfaces that only the whole case has.
        EXPECT_GT(Compare(CalculatorPixels(true), CalculatorPixels(false)).largest, 20) << what;
    };
    // Looking into the case past the raised frame, along its inner walls.
    f.Model.View.DisplayTilt = 0.8;
    f.Model.View.TiltAngle = 35;
    f.Model.View.SpinAngle = 60;
    f.Model.View.ViewDistance = 0.8;
    insideShows("frame raised");
    // Nearer than the default near limit lets the eye come: the near plane of the projection
    // cuts away the top face and the keys.
    f.Model.View.DisplayTilt = 0;
    f.Model.View.TiltAngle = 70;
    f.Model.View.SpinAngle = 0;
    f.Model.View.ViewDistance = 0.2;
    insideShows("cut by the near plane");
    // Behind the far plane, which a configured far limit may reach.
    f.Model.View.ViewDistance = 99.9;
    EXPECT_FALSE(OnlyOutsideSeen(f.ModelviewMatrix(), f.Shape, f.Model.View.DisplayTilt));
    // Barely raised is raised.
    f.Model.View.ViewDistance = 1.4;
    f.Model.View.DisplayTilt = 1e-9;
    EXPECT_FALSE(OnlyOutsideSeen(f.ModelviewMatrix(), f.Shape, f.Model.View.DisplayTilt));
    // A case whose lengths turn faces inside out is drawn whole, as computed.
    f.Model.View.DisplayTilt = 0;
    EXPECT_TRUE(OnlyOutsideSeen(f.ModelviewMatrix(), f.Shape, f.Model.View.DisplayTilt));
    ConfigRecord thin = Config;
    thin.FILLET = thin.THICKNESS * 1.5f;
    EXPECT_FALSE(OnlyOutsideSeen(f.ModelviewMatrix(), GeometryOf(thin), f.Model.View.DisplayTilt));
    thin = Config;
    thin.LENGTH = 0.1f; // too short for the display opening beside the key plate
    EXPECT_FALSE(OnlyOutsideSeen(f.ModelviewMatrix(), GeometryOf(thin), f.Model.View.DisplayTilt));
}

TEST_F(AppTest, EveryModelLeavesTheMatrixAsItFoundIt) {
    T_Tessel_Frm& f = Start();
    glMatrixMode(GL_MODELVIEW);
    const MatrixState before = CurrentMatrixState();
    double m0[16], m1[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m0);
    auto check = [&](const char* what) {
        EXPECT_EQ(CurrentMatrixState(), before) << what;
        glGetDoublev(GL_MODELVIEW_MATRIX, m1);
        // A key turns the matrix four times by 90 degrees: equal up to rounding.
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m0[i], m1[i], 1e-6) << what;
    };
    DrawCase(f.Shape);
    check("case");
    DrawKeyPlate(f.Shape);
    check("key plate");
    DrawCard(f.Shape, f.CardTexture);
    check("card");
    DrawDisplayFrame(f.Shape);
    check("display frame");
    DrawDisplay("-1,5E-7", true, 0.5f, 0.175f, f.GlyphTextures);
    check("display");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    DrawKey(f.Keys[0], 0);
    check("key");
    f.DrawKeysAndPick(10, 10);
    check("keys and picking");
    f.DrawScene();
    check("scene");
    GLint projectionDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    EXPECT_EQ(projectionDepth, 1);
}

TEST_F(AppTest, ViewDistanceIsRaisedToTheNearLimit) {
    T_Tessel_Frm& f = Start();
    f.Model.View.ViewDistance = 0.2;
    Frame();
    EXPECT_EQ(f.Model.View.ViewDistance, Config.NEAR_LIMIT);
    f.Model.View.ViewDistance = 50;
    Frame();
    EXPECT_EQ(f.Model.View.ViewDistance, 50);
}
