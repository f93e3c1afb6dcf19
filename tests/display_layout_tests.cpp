#include "engine/Matheng_un.h"
#include "scene/Display_un.h"
#include "scene/Keypad_un.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr int _ = GlyphEmpty;
constexpr int P = GlyphPointBase;

std::vector<int> Cells(const char* text, bool memory = false) {
    return LayoutDisplay(text, memory);
}

} // namespace

TEST(DisplayLayout, NumbersAreRightAlignedBehindTheSignCell) {
    EXPECT_EQ(Cells("0"), (std::vector<int>{_, _, _, _, _, _, _, _, _, _, 0}));
    EXPECT_EQ(Cells("0", true), (std::vector<int>{GlyphMemory, _, _, _, _, _, _, _, _, _, 0}));
    EXPECT_EQ(Cells("-2,5", true),
              (std::vector<int>{GlyphMemoryMinus, _, _, _, _, _, _, _, _, P + 2, 5}));
    EXPECT_EQ(Cells("-2,5"), (std::vector<int>{GlyphMinus, _, _, _, _, _, _, _, _, P + 2, 5}));
    EXPECT_EQ(Cells("12,"), (std::vector<int>{_, _, _, _, _, _, _, _, _, 1, P + 2}));
    EXPECT_EQ(Cells("0,"), (std::vector<int>{_, _, _, _, _, _, _, _, _, _, P + 0}));
    EXPECT_EQ(Cells("-0"), (std::vector<int>{GlyphMinus, _, _, _, _, _, _, _, _, _, 0}));
}

TEST(DisplayLayout, LongTextsShowTheirFirstTenDigits) {
    EXPECT_EQ(Cells("0,333333333333333"), (std::vector<int>{_, P + 0, 3, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_EQ(Cells("1234567890,"), (std::vector<int>{_, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    EXPECT_EQ(Cells("9999999999,99"), (std::vector<int>{_, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}));
}

// Ten digits of a number with more would show it 10 to 100,000 times too small: it is shown
// in exponent notation, cut like any exponent text.
TEST(DisplayLayout, MoreThanTenDigitsBeforeTheCommaAreShownWithAnExponent) {
    const int E = GlyphExponent, M = GlyphMinus;
    EXPECT_EQ(Cells("999999999900"), (std::vector<int>{_, P + 9, 9, 9, 9, 9, 9, 9, E, 1, 1}));
    EXPECT_EQ(Cells("12345678901"), (std::vector<int>{_, P + 1, 2, 3, 4, 5, 6, 7, E, 1, 0}));
    EXPECT_EQ(Cells("-99999999990"), (std::vector<int>{M, P + 9, 9, 9, 9, 9, 9, 9, E, 1, 0}));
    EXPECT_EQ(Cells("-999999999900", true),
              (std::vector<int>{GlyphMemoryMinus, P + 9, 9, 9, 9, 9, 9, 9, E, 1, 1}));
    EXPECT_EQ(Cells("100000000000000"), (std::vector<int>{_, _, _, _, _, _, _, 1, E, 1, 4}));
    EXPECT_EQ(Cells("12345678901,25"), (std::vector<int>{_, P + 1, 2, 3, 4, 5, 6, 7, E, 1, 0}));
    // 9999999999 / 0,01 = through the engine, which keeps the whole number in its text.
    InitEngine();
    for (int i = 0; i < 10; ++i) EnterDigit(9);
    ApplyOperator(4);
    EnterDigit(0);
    EnterPoint();
    EnterDigit(0);
    EnterDigit(1);
    Evaluate();
    EXPECT_STREQ(DisplayText, "999999999900");
    EXPECT_EQ(LayoutDisplay(DisplayText, false),
              (std::vector<int>{_, P + 9, 9, 9, 9, 9, 9, 9, E, 1, 1}));
}

TEST(DisplayLayout, ExponentNotationCutsTheMantissaToFit) {
    const int E = GlyphExponent, M = GlyphMinus;
    EXPECT_EQ(Cells("1,5E-7"), (std::vector<int>{_, _, _, _, _, _, P + 1, 5, E, M, 7}));
    EXPECT_EQ(Cells("9,999999999E15"), (std::vector<int>{_, P + 9, 9, 9, 9, 9, 9, 9, E, 1, 5}));
    EXPECT_EQ(Cells("-1E20"), (std::vector<int>{M, _, _, _, _, _, _, 1, E, 2, 0}));
    EXPECT_EQ(Cells("-1,23456789012345E-300", true),
              (std::vector<int>{GlyphMemoryMinus, P + 1, 2, 3, 4, 5, E, M, 3, 0, 0}));
}

TEST(DisplayLayout, ErrorTextsAreOnePictureWhateverTheSignOrMemory) {
    EXPECT_EQ(Cells("OVERFLOW", true), std::vector<int>{GlyphOverflow});
    EXPECT_EQ(Cells("-OVERFLOW"), std::vector<int>{GlyphOverflow});
    EXPECT_EQ(Cells("DIVIDE BY 0"), std::vector<int>{GlyphDivideByZero});
    EXPECT_EQ(Cells("-DIVIDE BY 0", true), std::vector<int>{GlyphDivideByZero});
    // Only the exact texts are pictures; other letters have no glyph and show empty.
    EXPECT_EQ(Cells("OVERFLOWS"), (std::vector<int>{_, _, _, _, GlyphExponent, _, _, _, _, _, _}));
}

TEST(DisplayLayout, AnyTextStaysWithinTheGlyphSet) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> length(0, 40), byte(1, 255);
    const char* alphabet = "0123456789,,-E E";
    std::uniform_int_distribution<int> pick(0, 15);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        int n = length(rng);
        for (int k = 0; k < n; ++k)
            text += i % 2 ? static_cast<char>(byte(rng)) : alphabet[pick(rng)];
        std::vector<int> cells = LayoutDisplay(text.c_str(), i % 3 == 0);
        ASSERT_GE(cells.size(), 1u) << text;
        ASSERT_LE(cells.size(), static_cast<std::size_t>(DisplayCells)) << text;
        for (int c : cells) ASSERT_TRUE(c >= 0 && c <= GlyphExponent) << text;
    }
}

// Every text the engine produces fills exactly the eleven cells, or is one error picture.
TEST(DisplayLayout, EngineTextsFillElevenCells) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> key(0, 21);
    for (int run = 0; run < 3000; ++run) {
        InitEngine();
        for (int i = 0; i < 40; ++i) {
            try {
                RunKeyCommand(key(rng));
            } catch (const EConvertError&) {
            }
            std::vector<int> cells = LayoutDisplay(DisplayText, Memory != 0);
            std::string text = DisplayText;
            bool error =
                text.find("OVER") != std::string::npos || text.find("DIVIDE") != std::string::npos;
            ASSERT_EQ(cells.size(), error ? 1u : 11u) << text;
            // The sign cell shows the sign; the digits end in the last cell.
            if (!error) {
                ASSERT_EQ(cells[0] == GlyphMinus || cells[0] == GlyphMemoryMinus, text[0] == '-')
                    << text;
                ASSERT_NE(cells[10], GlyphEmpty) << text;
            }
        }
    }
}
