#include "engine/Matheng_un.h"

#include "DisplayForms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

namespace {

// Runs a key sequence written with the calculator's key symbols, separated by blanks:
// 0-9, + - * / =, "," for the point, +/-, C, CE, MC, MR, M+.
void Press(const std::string& token) {
    if (token == "+/-")
        ChangeSign();
    else if (token == "+")
        ApplyOperator(OpAdd);
    else if (token == "-")
        ApplyOperator(OpSubtract);
    else if (token == "*")
        ApplyOperator(OpMultiply);
    else if (token == "/")
        ApplyOperator(OpDivide);
    else if (token == "=")
        Evaluate();
    else if (token == ",")
        EnterPoint();
    else if (token == "C")
        ClearAll();
    else if (token == "CE")
        ClearEntry();
    else if (token == "MC")
        MemoryClear();
    else if (token == "MR")
        MemoryRecall();
    else if (token == "M+")
        MemoryAdd();
    else
        for (char c : token) {
            if (c == ',')
                EnterPoint();
            else
                EnterDigit(c - '0');
        }
}

std::string Keys(const std::string& sequence) {
    std::istringstream in(sequence);
    for (std::string token; in >> token;) Press(token);
    return DisplayText;
}

std::string Fresh(const std::string& sequence) {
    InitEngine();
    return Keys(sequence);
}

} // namespace

TEST(Engine, StartsAtZeroWithEmptyMemory) {
    InitEngine();
    EXPECT_STREQ(DisplayText, "0");
    EXPECT_EQ(Memory, 0.0);
}

TEST(Engine, RepeatedEqualsRepeatsLastOperation) {
    InitEngine();
    EXPECT_EQ(Keys("2 + 3 ="), "5");
    EXPECT_EQ(Keys("="), "8");
    EXPECT_EQ(Keys("="), "11");
    EXPECT_EQ(Fresh("10 - 3 = = ="), "1");
    EXPECT_EQ(Fresh("3 * 2 = = ="), "24");
    EXPECT_EQ(Fresh("64 / 2 = = ="), "8");
}

TEST(Engine, ShownNumberIsAlsoTheRightOperand) {
    EXPECT_EQ(Fresh("5 + ="), "10");
    EXPECT_EQ(Fresh("2 * ="), "4");
    EXPECT_EQ(Fresh("9 - ="), "0");
    EXPECT_EQ(Fresh("8 / ="), "1");
}

TEST(Engine, ChainedOperationsEvaluateOnTheNextOperator) {
    InitEngine();
    EXPECT_EQ(Keys("2 + 3 +"), "5");
    EXPECT_EQ(Keys("4 ="), "9");
    EXPECT_EQ(Fresh("2 + 3 * 4 ="), "20");
    EXPECT_EQ(Fresh("100 / 4 - 5 * 2 ="), "40");
}

TEST(Engine, SecondOperatorReplacesTheFirst) {
    EXPECT_EQ(Fresh("5 + - 3 ="), "2");
}

TEST(Engine, OperatorAfterEqualsContinuesAndDigitStartsAnew) {
    EXPECT_EQ(Fresh("2 + 3 = * 4 ="), "20");
    EXPECT_EQ(Fresh("2 + 3 = 7 ="), "7");
}

TEST(Engine, NumberShownAfterEqualsIsTheLeftOperandOfTheNextOperator) {
    EXPECT_EQ(Fresh("5 = +/- + 1 ="), "-4");
    EXPECT_EQ(Fresh("7 M+ 2 = MR + 1 ="), "8");
}

TEST(Engine, TwoTimesTwoIsFour) {
    EXPECT_EQ(Fresh("2 * 2 ="), "4");
    EXPECT_EQ(Fresh("2 * 2 = ="), "8");
    EXPECT_EQ(Fresh("2 * 3 ="), "6");
}

TEST(Engine, DivisionByZeroIsReportedAndRepeated) {
    InitEngine();
    EXPECT_EQ(Keys("5 / 0 ="), "DIVIDE BY 0");
    EXPECT_EQ(Keys("="), "DIVIDE BY 0");
    EXPECT_EQ(Keys("7"), "7");
    EXPECT_EQ(Keys("C"), "0");
    EXPECT_EQ(Fresh("5 / 0 +/- ="), "DIVIDE BY 0");
}

TEST(Engine, SumsDifferencesAndProductsAreLimitedToTenDigits) {
    EXPECT_EQ(Fresh("9999999999 + 1 ="), "OVERFLOW");
    EXPECT_EQ(Fresh("9999999999 + 0 ="), "9999999999");
    EXPECT_EQ(Fresh("9999999999 +/- - 1 ="), "OVERFLOW");
    EXPECT_EQ(Fresh("99999 * 99999 ="), "9999800001");
    EXPECT_EQ(Fresh("100000 * 100000 ="), "OVERFLOW");
    // The failing operation stays pending and fails again; the accumulator is untouched.
    InitEngine();
    Keys("9999999999 + 1 =");
    EXPECT_EQ(EngineAccumulator(), 9999999999.0);
    EXPECT_EQ(Keys("="), "OVERFLOW");
}

TEST(Engine, QuotientsAreNotLimitedButInfinityIsAnOverflow) {
    EXPECT_EQ(Fresh("9999999999 / 0,01 ="), "999999999900");
    InitEngine();
    Keys("9999999999 / 0,000000001 =");
    for (int i = 0; i < 40 && std::string(DisplayText) != "OVERFLOW"; ++i) Keys("=");
    EXPECT_STREQ(DisplayText, "OVERFLOW");
    double before = EngineAccumulator();
    EXPECT_TRUE(std::isfinite(before));
    EXPECT_EQ(Keys("="), "OVERFLOW");
    EXPECT_EQ(EngineAccumulator(), before);
}

TEST(Engine, LongResultsAreCleanedOfRoundingNoise) {
    EXPECT_EQ(Fresh("1 / 3 ="), "0,333333333333333");
    EXPECT_EQ(Fresh("2 / 3 ="), "0,666666666666667");
    EXPECT_EQ(Fresh("0,1 + 0,2 ="), "0,3");
    EXPECT_EQ(Fresh("2,3 - 2,2 ="), "0,1");
    EXPECT_EQ(Fresh("2,2 - 2,3 ="), "-0,1");
    EXPECT_EQ(Fresh("1,00001 - 1 ="), "1E-5");
    EXPECT_EQ(Fresh("1234,5678 - 1234,5677 ="), "0,0001");
    EXPECT_EQ(Fresh("1 / 11 ="), "0,0909090909090909");
    EXPECT_EQ(Fresh("1,1 * 1,1 ="), "1,21");
    EXPECT_EQ(Fresh("1 / 7 * 7 ="), "1");
}

TEST(Engine, ExactDecimalResultsKeepTheirLastDigit) {
    EXPECT_EQ(Fresh("36075,9838 + 0,5088995 ="), "36076,4926995");
    EXPECT_EQ(Fresh("0,870427884 +/- - 0,570427884 ="), "-1,440855768");
    EXPECT_EQ(Fresh("100 + 0,00001234 ="), "100,00001234");
    EXPECT_EQ(Fresh("20000003 / 0,00001 ="), "2000000300000");
    // A quotient with no short decimal keeps all fifteen digits, however close to a whole
    // number: 2929,99 / 586 is 4,99998293515358...
    EXPECT_EQ(Fresh("2929,99 / 586 ="), "4,99998293515358");
}

TEST(Engine, RunsOfZerosAndNinesInANumberAreKept) {
    EXPECT_EQ(Fresh("0 +/- , 0 9 9 9 9 1 2 3 4 ="), "-0,099991234");
    EXPECT_EQ(Fresh("1,0000123 ="), "1,0000123");
    EXPECT_EQ(Fresh("0,99990001 + 1 ="), "1,99990001");
    EXPECT_EQ(Fresh("5000,0001 * 2 ="), "10000,0002");
}

TEST(Engine, OperatorAfterEqualsKeepsTheDigitsOfTheHeldResult) {
    EXPECT_EQ(Fresh("1 / 3 = * 3 ="), "1");
    EXPECT_EQ(Fresh("2 / 3 = * 3 ="), "2");
    // A changed or recalled display is read as it stands.
    EXPECT_EQ(Fresh("1 / 3 = +/- * 3 ="), "-0,999999999999999");
    EXPECT_EQ(Fresh("1 / 3 = M+ 2 = MR * 3 ="), "0,999999999999999");
}

TEST(Engine, MemorySumsAreCleanedToo) {
    EXPECT_EQ(Fresh("2,3 M+ 2,2 +/- M+ MR"), "0,1");
    EXPECT_EQ(Fresh("0,1 M+ 0,2 M+ MR"), "0,3");
    EXPECT_EQ(Fresh("0,7 M+ 0,1 M+ 0,8 +/- M+ MR"), "0");
    EXPECT_EQ(Memory, 0.0);
}

TEST(Engine, AResultTheDisplayCouldNotReadBackIsAnOverflow) {
    InitEngine();
    Keys("2 / 1,00020002 / 0,99980002 / 0,5 =");
    int presses = 0;
    while (std::string(DisplayText) != "OVERFLOW" && presses < 1100) {
        const double before = EngineAccumulator();
        Keys("=");
        ++presses;
        if (std::string(DisplayText) == "OVERFLOW") {
            EXPECT_EQ(EngineAccumulator(), before);
            break;
        }
        ASSERT_NO_THROW(TextToNumber(DisplayText)) << DisplayText << " after " << presses;
    }
    EXPECT_STREQ(DisplayText, "OVERFLOW");
    EXPECT_TRUE(std::isfinite(EngineAccumulator()));
    EXPECT_EQ(Keys("="), "OVERFLOW");
}

TEST(Engine, TinyResultsBecomeZeroAndSmallOnesUseExponents) {
    EXPECT_EQ(Fresh("0,00001 / 1000000 ="), "0");
    EXPECT_EQ(Fresh("0,00001 * 0,00001 ="), "1E-10");
    EXPECT_EQ(Fresh("1 / 7 / 100000 ="), "1,42857142857143E-6");
}

TEST(Engine, EntryKeepsTenDigitsAndOneComma) {
    EXPECT_EQ(Fresh("12345678901"), "1234567890");
    EXPECT_EQ(Fresh("1 , 2 , 3"), "1,23");
    EXPECT_EQ(Fresh("05"), "05");
    EXPECT_EQ(Fresh(","), "0,");
    EXPECT_EQ(Fresh("1234567890 +/- 1"), "-1234567890");
    EXPECT_EQ(Fresh("123456789 , 0 1"), "123456789,0");
    EXPECT_EQ(Fresh("1234567890 ,"), "1234567890,");
    EXPECT_EQ(Fresh("1234567890 , , 5"), "1234567890,");
}

TEST(Engine, SignChangeWorksOnAnyText) {
    InitEngine();
    EXPECT_EQ(Keys("+/-"), "-0");
    EXPECT_EQ(Keys("="), "0");
    InitEngine();
    Keys("9999999999 + 1 =");
    EXPECT_EQ(Keys("+/-"), "-OVERFLOW");
    EXPECT_EQ(Keys("+/-"), "OVERFLOW");
    // A digit after an operator still replaces the text even when the sign was changed.
    EXPECT_EQ(Fresh("5 + +/- 3"), "3");
}

TEST(Engine, ClearEntryKeepsThePendingOperation) {
    EXPECT_EQ(Fresh("8 + 5 CE 2 ="), "10");
    EXPECT_EQ(Fresh("7 M+ C MR"), "7");
}

TEST(Engine, MemoryAddsRecallsAndClears) {
    InitEngine();
    EXPECT_EQ(Keys("5 M+"), "5");
    EXPECT_EQ(Memory, 5.0);
    EXPECT_EQ(Keys("C MR"), "5");
    EXPECT_EQ(Keys("3 M+ MR"), "8");
    EXPECT_EQ(Keys("MC"), "8");
    EXPECT_EQ(Memory, 0.0);
    EXPECT_EQ(Fresh("2 + 3 = M+ MR"), "5");
    EXPECT_EQ(Memory, 5.0);
    EXPECT_EQ(Keys("M+ ="), "5"); // M+ after equals drops the pending addition
}

TEST(Engine, MemoryOverflowKeepsTheMemory) {
    InitEngine();
    EXPECT_EQ(Keys("9999999999 M+ 1 M+"), "OVERFLOW");
    EXPECT_EQ(Memory, 9999999999.0);
}

TEST(Engine, ErrorTextsFailToConvertAndChangeNothing) {
    InitEngine();
    Keys("5 / 0 =");
    int pending = EnginePendingOperation();
    try {
        ApplyOperator(OpAdd);
        FAIL() << "no conversion failure";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'DIVIDE BY 0' is not a valid floating point value");
    }
    EXPECT_STREQ(DisplayText, "DIVIDE BY 0");
    EXPECT_EQ(EnginePendingOperation(), pending);
    EXPECT_EQ(Keys("4"), "4");

    InitEngine();
    EXPECT_EQ(Keys("1 + 9999999999 +"), "OVERFLOW");
    EXPECT_THROW(Evaluate(), EConvertError);
    InitEngine();
    Keys("9999999999 + 1 =");
    EXPECT_THROW(MemoryAdd(), EConvertError);
    EXPECT_EQ(Memory, 0.0);
}

TEST(NumberFormat, WritesPlainAndExponentNotation) {
    EXPECT_EQ(NumberToText(5), "5");
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(-0.0), "0");
    EXPECT_EQ(NumberToText(0.1), "0,1");
    EXPECT_EQ(NumberToText(-2.5), "-2,5");
    EXPECT_EQ(NumberToText(0.0001), "0,0001");
    EXPECT_EQ(NumberToText(0.00001), "1E-5");
    EXPECT_EQ(NumberToText(0.00000015), "1,5E-7");
    EXPECT_EQ(NumberToText(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(NumberToText(9999999999000000.0), "9,999999999E15");
    EXPECT_EQ(NumberToText(999999999999999.0), "999999999999999");
    EXPECT_EQ(NumberToText(1e15), "1E15");
    EXPECT_EQ(NumberToText(123.4), "123,4");
    EXPECT_EQ(NumberToText(-1.5e-300), "-1,5E-300");
}

TEST(NumberFormat, ReadsEveryEntryAndOutputForm) {
    EXPECT_EQ(TextToNumber("0,"), 0.0);
    EXPECT_EQ(TextToNumber("05"), 5.0);
    EXPECT_EQ(TextToNumber("-0"), 0.0);
    EXPECT_TRUE(std::signbit(TextToNumber("-0")));
    EXPECT_EQ(TextToNumber("-2,5"), -2.5);
    EXPECT_EQ(TextToNumber("1,5E-7"), 1.5e-7);
    EXPECT_EQ(TextToNumber("9,999999999E15"), 9999999999000000.0);
    for (const char* bad : {"OVERFLOW", "-OVERFLOW", "DIVIDE BY 0", "-", "", "1,2,3", "1E", "E5"})
        EXPECT_THROW(TextToNumber(bad), EConvertError) << bad;
}

TEST(NumberFormat, RoundTripsThroughText) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        std::string text = NumberToText(v);
        double back = TextToNumber(text.c_str());
        EXPECT_EQ(NumberToText(back), text);
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << text;
    }
}

TEST(NumberFormat, DoesNotDependOnTheLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(NumberToText(2.5), "2,5");
    EXPECT_EQ(TextToNumber("2,5"), 2.5);
    std::setlocale(LC_ALL, saved.c_str());
}

// Thousands of random key sequences never leave the display outside its three forms.
TEST(Engine, RandomKeySequencesKeepTheDisplayWellFormed) {
    const char* keys[] = {"0", "1", "2", "5", "7", "9",  ",",  "+/-", "+",
                          "-", "*", "/", "=", "C", "CE", "MC", "MR",  "M+"};
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> pick(0, std::size(keys) - 1);
    std::uniform_int_distribution<int> length(1, 60);
    for (int run = 0; run < 5000; ++run) {
        InitEngine();
        int n = length(rng);
        std::string sequence;
        for (int i = 0; i < n; ++i) {
            std::string key = keys[pick(rng)];
            sequence += key + " ";
            try {
                Press(key);
            } catch (const EConvertError&) {
                ASSERT_TRUE(std::strstr(DisplayText, "OVERFLOW") ||
                            std::strstr(DisplayText, "DIVIDE BY 0"))
                    << sequence;
            }
            ASSERT_TRUE(IsWellFormedDisplay(DisplayText)) << DisplayText << " after " << sequence;
            if (IsEntryOrNumber(DisplayText)) {
                ASSERT_TRUE(std::isfinite(TextToNumber(DisplayText))) << sequence;
            }
        }
    }
}

TEST(DisplayForms, TellTheThreeFormsFromAnythingElse) {
    for (const char* good : {"0", "-0", "0,", "05", "12,5", "-1234567890,", "1E-10", "-1,5E-7",
                             "9,999999999E15", "OVERFLOW", "-DIVIDE BY 0"})
        EXPECT_TRUE(IsWellFormedDisplay(good)) << good;
    for (const char* bad : {"", "-", ",", "1,2,3", "1E", "E5", "1E5,", "--1", "OVERFLOW-",
                            "1,23456789012345678901234"})
        EXPECT_FALSE(IsWellFormedDisplay(bad)) << bad;
}

TEST(Engine, BackspaceWorksOnEntriesOnly) {
    auto back = [](const std::string& keys) {
        InitEngine();
        Keys(keys);
        DeleteLastCharacter();
        return std::string(DisplayText);
    };
    EXPECT_EQ(back("123"), "12");
    EXPECT_EQ(back("5"), "0");
    EXPECT_EQ(back("5 +/-"), "0");
    EXPECT_EQ(back("5 , +/-"), "-5");
    EXPECT_EQ(back("0 ,"), "0");
    EXPECT_EQ(back("2 + 3 ="), "5");
    EXPECT_EQ(back("7 M+ MR"), "7");
    EXPECT_EQ(back("5 / 0 ="), "DIVIDE BY 0");
    // An entry emptied by Backspace is replaced by the next digit.
    InitEngine();
    Keys("4");
    DeleteLastCharacter();
    EXPECT_EQ(Keys("8"), "8");
}

TEST(Engine, EnteredTextIsANumberOrNothing) {
    auto enter = [](const std::string& keys, const std::string& text) {
        InitEngine();
        Keys(keys);
        EnterNumberText(text);
        return std::string(DisplayText);
    };
    EXPECT_EQ(enter("", "12,5"), "12,5");
    EXPECT_EQ(enter("", " -3.25 "), "-3,25");
    EXPECT_EQ(enter("", "\t42\r\n"), "42");
    EXPECT_EQ(enter("", ".5"), "0,5");
    EXPECT_EQ(enter("98", "7"), "7"); // a new entry, not more digits of the one typed
    for (const char* bad : {"abc", "1,2,3", "1.2,3", "--1", "1-", "", " ", "-", "+1", "1 2", "1e",
                            "1e+", "e5", "1e5e5", "1,5E-", "1 000", "1'000"})
        EXPECT_EQ(enter("98", bad), "98") << bad;
    EXPECT_EQ(enter("98", std::string("12\0"
                                      "34",
                                      5)),
              "98"); // a NUL inside
    EXPECT_EQ(enter("98", std::string("12\0", 3)), "98");
    // Leading zeros do not count against the ten digits of the entry.
    EXPECT_EQ(enter("", "0000000000001"), "1");
    EXPECT_EQ(enter("", "000"), "0");
    EXPECT_EQ(enter("", "-0001234567890,"), "-1234567890,");
    // A number the entry cannot hold is shown as a recalled one is, and the next digit starts
    // a new entry; a larger one than the results can reach changes nothing.
    EXPECT_EQ(enter("", "1,42857142857143E-7"), "1,42857142857143E-7");
    EXPECT_EQ(enter("", "1e5"), "100000");
    EXPECT_EQ(enter("", "-2,5e+3"), "-2500");
    EXPECT_EQ(enter("", "12345678,901"), "12345678,901");
    EXPECT_EQ(enter("", "999999999,95"), "999999999,95");
    EXPECT_EQ(enter("98", "9999999999,4"), "98"); // beyond 9999999999
    EXPECT_EQ(enter("98", "123456789012"), "98");
    EXPECT_EQ(enter("98", "12345678901"), "98");
    EXPECT_EQ(enter("98", "1E10"), "98");
    EXPECT_EQ(enter("98", "1E400"), "98");
    EXPECT_EQ(enter("98", std::string(1 << 20, '1') + "2"), "98");
    EXPECT_EQ(enter("", "1,5E-7 + 1"), "0");
    // What follows it: the calculation goes on with the number shown.
    EXPECT_EQ(enter("", "1,5e3"), "1500");
    EXPECT_EQ(Keys("+ 1 ="), "1501");
    EXPECT_EQ(enter("", "1,5e3"), "1500");
    EXPECT_EQ(Keys("4"), "4");
    EXPECT_EQ(enter("", "0000000000001"), "1");
    EXPECT_EQ(Keys("+ 1 ="), "2");
    EXPECT_FALSE(EnterNumberText("x"));
    EXPECT_TRUE(EnterNumberText("1"));
    // It is part of a calculation like typing: after equals it starts a new one.
    EXPECT_EQ(enter("2 + 3 =", "4"), "4");
    Keys("=");
    EXPECT_STREQ(DisplayText, "4");
}

TEST(Engine, ErrorTextsAreToldFromNumbers) {
    for (const char* keys : {"5 / 0 =", "5 / 0 = +/-", "9999999999 + 1 ="}) {
        InitEngine();
        Keys(keys);
        EXPECT_TRUE(DisplayShowsError()) << keys;
    }
    for (const char* keys : {"", "5 +/-", "1 , 5", "2 / 3 ="}) {
        InitEngine();
        Keys(keys);
        EXPECT_FALSE(DisplayShowsError()) << keys;
    }
}
