// The engine against exact decimal arithmetic: thousands of seeded calculations with typed
// entries of 1 to 10 digits, each also computed exactly on scaled 128-bit integers. A result
// whose exact value fits fifteen significant digits must be shown exactly; a longer one (and
// every quotient) must be the exact value rounded to fifteen digits, or within one unit of the
// fifteenth.
#include "engine/Matheng_un.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Int = __int128;

constexpr Int Pow10(int n) {
    Int p = 1;
    while (n-- > 0) p *= 10;
    return p;
}
constexpr Int Headroom = Pow10(36); // products and alignments stay below 1.7e38
constexpr int MaxDigits = 15;

Int Abs(Int v) {
    return v < 0 ? -v : v;
}

std::string ToString(Int v) {
    if (v == 0) return "0";
    std::string s;
    for (Int a = Abs(v); a > 0; a /= 10) s += static_cast<char>('0' + static_cast<int>(a % 10));
    if (v < 0) s += '-';
    return {s.rbegin(), s.rend()};
}

// digits / 10^scale; nullopt wherever the 128-bit arithmetic would overflow.
struct Decimal {
    Int digits = 0;
    int scale = 0;
};
using Exact = std::optional<Decimal>;

Decimal Normal(Decimal d) {
    while (d.scale > 0 && d.digits % 10 == 0) d.digits /= 10, --d.scale;
    if (d.digits == 0) d.scale = 0;
    return d;
}

Exact Rescale(Decimal d, int scale) {
    for (; d.scale < scale; ++d.scale) {
        if (Abs(d.digits) >= Headroom) return std::nullopt;
        d.digits *= 10;
    }
    return d;
}

Exact Add(Exact a, Exact b) {
    if (!a || !b) return std::nullopt;
    const int scale = std::max(a->scale, b->scale);
    a = Rescale(*a, scale), b = Rescale(*b, scale);
    if (!a || !b) return std::nullopt;
    return Normal({a->digits + b->digits, scale});
}
Exact Negate(Exact a) {
    if (a) a->digits = -a->digits;
    return a;
}
Exact Multiply(Exact a, Exact b) {
    if (!a || !b) return std::nullopt;
    if (a->digits != 0 && Abs(b->digits) > Headroom / Abs(a->digits)) return std::nullopt;
    return Normal({a->digits * b->digits, a->scale + b->scale});
}

// A value in significant digits: sign * 0,d1d2d3... * 10^e (e as the engine counts it: the
// number of digits before the comma, or minus the zeros after it).
struct Digits {
    bool negative = false;
    std::string digits; // no trailing zeros; "0" for zero
    int e = 0;
};

Digits SignificantDigits(const Decimal& d) {
    Digits out;
    out.negative = d.digits < 0;
    std::string s = ToString(Abs(d.digits));
    if (s == "0") return {false, "0", 0};
    out.e = static_cast<int>(s.size()) - d.scale;
    while (s.size() > 1 && s.back() == '0') s.pop_back();
    out.digits = s;
    return out;
}

// The fifteen-digit rounding (half away from zero) of the rational p / q, q > 0.
Digits RoundedQuotient(Int p, Int q) {
    Digits out;
    out.negative = p < 0;
    p = Abs(p);
    if (p == 0) return {false, "0", 0};
    // Scale so that the first digit of p / q is the first of the quotient: 10^(e-1) <= p/q < 10^e.
    int e = 1;
    while (p >= q * 10) q *= 10, ++e;
    while (p < q) p *= 10, --e;
    std::string s;
    for (int i = 0; i <= MaxDigits; ++i) {
        s += static_cast<char>('0' + static_cast<int>(p / q));
        p = p % q * 10;
    }
    const bool up = s.back() >= '5';
    s.pop_back();
    if (up) {
        int i = MaxDigits - 1;
        while (i >= 0 && s[i] == '9') s[i--] = '0';
        if (i < 0)
            s.insert(s.begin(), '1'), s.pop_back(), ++e;
        else
            ++s[i];
    }
    while (s.size() > 1 && s.back() == '0') s.pop_back();
    out.digits = s;
    out.e = e;
    return out;
}

Digits Rounded(const Decimal& d) {
    return RoundedQuotient(d.digits, Pow10(d.scale));
}

// The engine's number format, written from the rules of the display: plain notation for
// 0,0001 up to 10^15, exponent notation otherwise.
std::string Format(const Digits& v) {
    if (v.digits == "0") return "0";
    std::string out = v.negative ? "-" : "";
    const std::string& d = v.digits;
    if (v.e >= -3 && v.e <= 15) {
        if (v.e > 0) {
            const std::size_t whole = static_cast<std::size_t>(v.e);
            out += d.substr(0, std::min(whole, d.size()));
            if (d.size() < whole) out.append(whole - d.size(), '0');
            if (d.size() > whole) out += "," + d.substr(whole);
        } else {
            out += "0," + std::string(static_cast<std::size_t>(-v.e), '0') + d;
        }
    } else {
        out += d.substr(0, 1);
        if (d.size() > 1) out += "," + d.substr(1);
        out += "E" + std::to_string(v.e - 1);
    }
    return out;
}

// The exact value of a display text (a number in the engine's format).
Decimal Parse(const std::string& text) {
    Decimal d;
    bool negative = false, fraction = false;
    std::size_t i = 0;
    if (text[i] == '-') negative = true, ++i;
    for (; i < text.size() && text[i] != 'E'; ++i) {
        if (text[i] == ',') {
            fraction = true;
            continue;
        }
        d.digits = d.digits * 10 + (text[i] - '0');
        if (fraction) ++d.scale;
    }
    if (i < text.size()) {
        const int exponent = std::stoi(text.substr(i + 1));
        d.scale -= exponent;
        if (d.scale < 0) d.digits *= Pow10(-d.scale), d.scale = 0;
    }
    if (negative) d.digits = -d.digits;
    return Normal(d);
}

// True when the shown text lies within one unit of the fifteenth digit of the rounded value.
bool WithinOneUnit(const std::string& shown, const Digits& expected) {
    if (shown == Format(expected)) return true;
    if (expected.digits == "0") return false;
    const Decimal s = Parse(shown);
    // Both as whole numbers of units of the fifteenth digit: scale 15 - e.
    const int scale = MaxDigits - expected.e;
    Int want = 0;
    for (char c : expected.digits) want = want * 10 + (c - '0');
    want *= Pow10(MaxDigits - static_cast<int>(expected.digits.size()));
    if (expected.negative) want = -want;
    Exact got = scale >= s.scale ? Rescale(s, scale) : std::nullopt;
    if (!got) return false;
    return Abs(got->digits - want) <= 1;
}

// What the ten-digit display shows of a number: its first ten digits (a trailing comma
// dropped), or in exponent notation as many digits of the mantissa as fit beside the exponent.
std::string Shown(const std::string& text) {
    const std::size_t e = text.find('E');
    const std::string exponent = e == std::string::npos ? "" : text.substr(e);
    const int room = 10 - static_cast<int>(exponent.size());
    std::string out;
    int digits = 0;
    for (char c : text.substr(0, e)) {
        if (digits == room) break;
        out += c;
        if (c >= '0' && c <= '9') ++digits;
    }
    if (!out.empty() && out.back() == ',') out.pop_back();
    return out + exponent;
}

// True when |a| > |b|; nullopt beyond the exact arithmetic.
std::optional<bool> Larger(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.scale, b.scale);
    Exact x = Rescale({Abs(a.digits), a.scale}, scale),
          y = Rescale({Abs(b.digits), b.scale}, scale);
    if (!x || !y) return std::nullopt;
    return x->digits > y->digits;
}

const Decimal ResultLimit{9999999999, 0};
const Decimal ZeroThreshold{1, 10};

// An exact value that the engine keeps: nullopt for one beyond the limit of sums, differences,
// products and the memory (the engine shows OVERFLOW), or beyond the exact arithmetic.
Exact WithinLimit(Exact r) {
    if (!r) return r;
    std::optional<bool> over = Larger(*r, ResultLimit);
    if (!over || *over) return std::nullopt;
    return r;
}

// The engine driven key by key, beside the same calculation done exactly.
class Calculation {
public:
    explicit Calculation(std::mt19937_64& rng) : rng_(rng) { InitEngine(); }

    // Types a random entry of 1 to 10 digits, sometimes negative; returns its exact value.
    Decimal Type() { return Type(Random(1, 10)); }
    Decimal Type(int digits) {
        const int whole = Random(1, digits);
        std::string text;
        for (int i = 0; i < digits; ++i) {
            const int first = (i == 0 && whole > 1) ? 1 : 0;
            text += static_cast<char>('0' + Random(first, 9));
            if (i + 1 == whole && whole < digits) text += ',';
        }
        return TypeText(text, Random(0, 3) == 0);
    }
    Decimal TypeText(const std::string& text, bool negative) {
        Decimal d;
        bool fraction = false;
        for (char c : text) {
            if (c == ',') {
                EnterPoint();
                fraction = true;
                continue;
            }
            EnterDigit(c - '0');
            d.digits = d.digits * 10 + (c - '0');
            if (fraction) ++d.scale;
        }
        if (negative) ChangeSign(), d.digits = -d.digits;
        return Normal(d);
    }
    int Random(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

private:
    std::mt19937_64& rng_;
};

// The exact result of a + - * step as the engine defines it: nullopt for an overflow or a
// value beyond the exact arithmetic; results below 10^-10 become 0.
Exact Step(Exact a, int op, Exact b) {
    Exact r = WithinLimit(op == OpAdd        ? Add(a, b)
                          : op == OpSubtract ? Add(a, Negate(b))
                                             : Multiply(a, b));
    if (r && Larger(ZeroThreshold, *r).value_or(false)) return Decimal{};
    return r;
}

struct Tally {
    int checked = 0, wrong = 0, shownWrong = 0;
    std::vector<std::string> examples;
    void Record(bool ok, bool shownOk, const std::string& what) {
        ++checked;
        if (!ok) {
            ++wrong;
            if (examples.size() < 12) examples.push_back(what);
        }
        if (!shownOk) ++shownWrong;
    }
    std::string Report(const char* name) const {
        char line[200];
        std::snprintf(line, sizeof line,
                      "%s: %d checked, %d wrong (%.2f %%), %d wrong on the display", name, checked,
                      wrong, checked ? 100.0 * wrong / checked : 0.0, shownWrong);
        return line;
    }
};

// Checks the display against an exact result: exactly when it fits fifteen digits, within
// one unit of the fifteenth otherwise.
void Check(Tally& fits, Tally& longer, const Decimal& exact, const std::string& keys) {
    const std::string shown = DisplayText;
    const Digits digits = SignificantDigits(exact);
    if (digits.digits.size() <= MaxDigits) {
        const std::string want = Format(digits);
        fits.Record(shown == want, Shown(shown) == Shown(want),
                    keys + " shows " + shown + ", exact " + want);
    } else {
        const Digits want = Rounded(exact);
        longer.Record(WithinOneUnit(shown, want), Shown(shown) == Shown(Format(want)),
                      keys + " shows " + shown + ", exact about " + Format(want));
    }
}

const char* OpName(int op) {
    return op == OpAdd ? "+" : op == OpSubtract ? "-" : op == OpMultiply ? "*" : "/";
}

std::string Text(const Decimal& d) {
    return Format(SignificantDigits(d));
}

} // namespace

TEST(EngineExact, ResultsMatchExactDecimalArithmetic) {
    std::mt19937_64 rng(20261208);
    Tally fits, longer, quotients;
    for (int run = 0; run < 20000; ++run) {
        Calculation calc(rng);
        const int kind = calc.Random(0, 5);
        if (kind == 0) {
            // a op b =, for + - *.
            const int op = calc.Random(OpAdd, OpMultiply);
            Decimal a = calc.Type();
            ApplyOperator(op);
            Decimal b = calc.Type();
            Evaluate();
            Exact r = Step(a, op, b);
            if (r) Check(fits, longer, *r, Text(a) + " " + OpName(op) + " " + Text(b) + " =");
        } else if (kind == 1) {
            // A chain of three operations, evaluated as each next operator is pressed.
            std::string keys;
            Exact acc = calc.Type();
            keys = Text(*acc);
            for (int i = 0; i < 3; ++i) {
                const int op = calc.Random(OpAdd, OpMultiply);
                ApplyOperator(op);
                Decimal b = calc.Type(calc.Random(1, 6));
                keys += std::string(" ") + OpName(op) + " " + Text(b);
                acc = Step(acc, op, b);
            }
            Evaluate();
            if (acc) Check(fits, longer, *acc, keys + " =");
        } else if (kind == 2) {
            // Repeated equals: the last operation again on each result.
            const int op = calc.Random(OpAdd, OpMultiply);
            Exact acc = calc.Type();
            std::string keys = Text(*acc);
            ApplyOperator(op);
            Decimal b = calc.Type(op == OpMultiply ? calc.Random(1, 3) : calc.Random(1, 10));
            keys += std::string(" ") + OpName(op) + " " + Text(b);
            const int presses = calc.Random(2, 6);
            for (int i = 0; i < presses; ++i) {
                Evaluate();
                keys += " =";
                acc = Step(acc, op, b);
            }
            if (acc) Check(fits, longer, *acc, keys);
        } else if (kind == 3) {
            // Memory sums.
            Exact memory = Decimal{};
            std::string keys;
            const int n = calc.Random(2, 5);
            for (int i = 0; i < n && memory; ++i) {
                Decimal x = calc.Type();
                MemoryAdd();
                keys += Text(x) + " M+ ";
                memory = WithinLimit(Add(memory, x));
            }
            MemoryRecall();
            if (memory) Check(fits, longer, *memory, keys + "MR");
        } else if (kind == 4) {
            // The difference of two close numbers: the same digits but for the last few.
            const int digits = calc.Random(4, 10);
            Decimal a = calc.Type(digits);
            std::string text = Text(a);
            if (text[0] == '-') text.erase(0, 1);
            std::string near = text;
            for (int i = 0, changed = 0; changed < calc.Random(1, 3) && i < 3; ++i) {
                char& c = near[near.size() - 1 - static_cast<std::size_t>(i)];
                if (c == ',') break;
                c = static_cast<char>('0' + calc.Random(0, 9));
                ++changed;
            }
            ApplyOperator(OpSubtract);
            Decimal b = calc.TypeText(near, a.digits < 0);
            Evaluate();
            Exact r = Step(a, OpSubtract, b);
            if (r) Check(fits, longer, *r, Text(a) + " - " + Text(b) + " =");
        } else {
            // a / b =, against the exact quotient rounded to fifteen digits.
            Decimal a = calc.Type();
            ApplyOperator(OpDivide);
            Decimal b = calc.Type();
            if (b.digits == 0) continue;
            Evaluate();
            // a / b = (a.digits * 10^b.scale) / (b.digits * 10^a.scale)
            Int p = a.digits * Pow10(b.scale), q = b.digits * Pow10(a.scale);
            if (q < 0) p = -p, q = -q;
            const Digits want = RoundedQuotient(p, q);
            const Decimal asDecimal = Parse(Format(want));
            if (Larger(ZeroThreshold, asDecimal).value_or(true)) continue; // 0 below 10^-10
            quotients.Record(
                WithinOneUnit(DisplayText, want), Shown(DisplayText) == Shown(Format(want)),
                Text(a) + " / " + Text(b) + " = shows " + DisplayText + ", exact " + Format(want));
        }
    }
    for (const Tally* t : {&fits, &longer, &quotients})
        for (const std::string& e : t->examples) ADD_FAILURE() << e;
    const std::string report = fits.Report("exact results of 15 digits or fewer") + "\n" +
                               longer.Report("exact results of more than 15 digits") + "\n" +
                               quotients.Report("quotients");
    std::printf("%s\n", report.c_str());
    RecordProperty("report", report);
    EXPECT_GT(fits.checked, 10000);
    EXPECT_GT(quotients.checked, 2000);
    EXPECT_EQ(fits.wrong, 0);
    EXPECT_EQ(longer.wrong, 0);
    EXPECT_EQ(quotients.wrong, 0);
}
