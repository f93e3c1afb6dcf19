#include "Matheng_un.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

char DisplayText[80];
double Memory;

namespace {

double Accumulator;
double Operand;
int PendingOperation;
bool StartNewEntry;
bool AfterEquals;
bool OperatorPressed;

constexpr double ResultLimit = 9999999999.0;
constexpr double ZeroThreshold = 1e-10;
constexpr std::size_t EntryDigits = 10;
constexpr std::size_t TidyLength = 11;
constexpr int TidyRun = 4;
constexpr const char* OverflowText = "OVERFLOW";
constexpr const char* DivideByZeroText = "DIVIDE BY 0";

// Every write to the display goes through here, so the buffer can never overrun.
void SetDisplay(std::string_view text) {
    std::size_t n = std::min(text.size(), sizeof DisplayText - 1);
    std::memmove(DisplayText, text.data(), n); // the text may be a part of DisplayText itself
    DisplayText[n] = '\0';
}

void AppendDisplay(char c) {
    std::size_t n = std::strlen(DisplayText);
    if (n + 1 < sizeof DisplayText) {
        DisplayText[n] = c;
        DisplayText[n + 1] = '\0';
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void LimitEntry() {
    std::size_t digits = 0, commas = 0, n = std::strlen(DisplayText);
    for (std::size_t i = 0; i < n; ++i) {
        if (IsDigit(DisplayText[i])) ++digits;
        if (DisplayText[i] == ',') ++commas;
    }
    if ((digits > EntryDigits || commas > 1) && n > 0) DisplayText[n - 1] = '\0';
}

// Makes fraction * 10^places a whole number, away from zero when up is set and toward zero
// otherwise. The work is done on the shortest decimal text that reads back as the fraction, so
// that binary noise below the 17th significant digit cannot tip a value already on a decimal.
double RoundFraction(double fraction, long places, bool up) {
    if (fraction == 0.0) return fraction;
    char buf[1100];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(fraction), std::chars_format::fixed);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    std::size_t point = text.find('.');
    std::string decimals(point == std::string_view::npos ? "" : text.substr(point + 1));
    std::size_t keep = static_cast<std::size_t>(std::max(places, 0L));
    bool cut = decimals.size() > keep && decimals.find_first_not_of('0', keep) != std::string::npos;
    decimals.resize(keep, '0');
    std::string whole = "0";
    if (up && cut) {
        std::size_t i = decimals.size();
        while (i > 0 && decimals[i - 1] == '9') decimals[--i] = '0';
        if (i == 0)
            whole = "1";
        else
            ++decimals[i - 1];
    }
    std::string number = whole + "." + decimals;
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return std::copysign(value, fraction);
}

// Rounds away noise digits of a long plain-notation result: finds a run of four digits c
// after the comma and cuts the fraction before it, rounding up for '9' and down for '0'.
void TidyResult(char c) {
    std::string s = NumberToText(Accumulator);
    if (s.size() <= TidyLength || s.find('E') != std::string::npos) return;
    std::size_t comma = s.find(',');
    long p = comma == std::string::npos ? 0 : static_cast<long>(comma) + 1;
    long len = static_cast<long>(s.size());
    long k = 1, run = 0;
    while (k <= len - p) {
        run = s[p + k - 1] == c ? run + 1 : 0;
        if (run == TidyRun) break;
        ++k;
    }
    long m = k - run;
    double whole = std::trunc(Accumulator);
    Accumulator = whole + RoundFraction(Accumulator - whole, m, c == '9');
}

void ShowResult() {
    TidyResult('9');
    TidyResult('0');
    if (std::fabs(Accumulator) < ZeroThreshold) Accumulator = 0.0;
    SetDisplay(NumberToText(Accumulator));
}

} // namespace

std::string NumberToText(double value) {
    if (value == 0.0 || !std::isfinite(value)) return "0";
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    bool negative = sci.front() == '-';
    if (negative) sci.remove_prefix(1);
    // sci is d.ddddddddddddddde[+-]xx
    std::size_t epos = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits += sci.substr(2, epos - 2);
    int exp10 = 0;
    std::from_chars(sci.data() + epos + (sci[epos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exp10);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int e = exp10 + 1;

    std::string out = negative ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e > 0) {
            std::size_t whole = static_cast<std::size_t>(e);
            std::string lead = digits.substr(0, std::min(whole, digits.size()));
            lead.append(whole - lead.size(), '0');
            out += lead;
            if (digits.size() > whole) out += "," + digits.substr(whole);
        } else {
            out += "0,";
            out.append(static_cast<std::size_t>(-e), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) out += "," + digits.substr(1);
        out += 'E';
        out += std::to_string(e - 1);
    }
    return out;
}

double TextToNumber(const char* text) {
    std::string_view in(text);
    std::string number;
    std::size_t i = 0;
    if (i < in.size() && in[i] == '-') number += in[i++];
    std::size_t mantissaDigits = 0;
    bool comma = false;
    for (; i < in.size(); ++i) {
        if (IsDigit(in[i])) {
            number += in[i];
            ++mantissaDigits;
        } else if (in[i] == ',' && !comma) {
            number += '.';
            comma = true;
        } else {
            break;
        }
    }
    bool valid = mantissaDigits > 0;
    if (valid && i < in.size() && in[i] == 'E') {
        number += 'e';
        ++i;
        if (i < in.size() && (in[i] == '-' || in[i] == '+')) number += in[i++];
        std::size_t expDigits = 0;
        for (; i < in.size() && IsDigit(in[i]); ++i, ++expDigits) number += in[i];
        valid = expDigits > 0;
    }
    double value = 0.0;
    if (valid && i == in.size()) {
        const char* first = number.data();
        if (*first == '-') ++first; // from_chars takes no sign of its own
        auto res = std::from_chars(first, number.data() + number.size(), value);
        valid = res.ec == std::errc() && res.ptr == number.data() + number.size();
        if (number[0] == '-') value = -value;
    } else {
        valid = false;
    }
    if (!valid)
        throw EConvertError("'" + std::string(in) + "' is not a valid floating point value");
    return value;
}

bool CheckOverflow(double a, double b, int operation) {
    double r = operation == OpAdd ? a + b : operation == OpSubtract ? a - b : a * b;
    return std::isnan(r) || r > ResultLimit || r < -ResultLimit;
}

void InitEngine() {
    ClearAll();
    Memory = 0.0;
}

void ClearAll() {
    PendingOperation = OpNone;
    Accumulator = Operand = 0.0;
    StartNewEntry = true;
    AfterEquals = OperatorPressed = false;
    SetDisplay("0");
}

void ClearEntry() {
    StartNewEntry = true;
    SetDisplay("0");
}

namespace {
void FinishEntry() {
    StartNewEntry = false;
    if (AfterEquals) PendingOperation = OpNone;
    AfterEquals = OperatorPressed = false;
}
} // namespace

void EnterDigit(int digit) {
    char c = static_cast<char>('0' + (digit < 0 ? 0 : digit > 9 ? 9 : digit));
    if (StartNewEntry) {
        SetDisplay(std::string_view(&c, 1));
    } else {
        AppendDisplay(c);
        LimitEntry();
    }
    FinishEntry();
}

void EnterPoint() {
    if (StartNewEntry)
        SetDisplay("0,");
    else
        AppendDisplay(',');
    LimitEntry();
    FinishEntry();
}

void ChangeSign() {
    if (DisplayText[0] == '-')
        SetDisplay(std::string_view(DisplayText + 1));
    else
        SetDisplay("-" + std::string(DisplayText));
}

void ApplyOperator(int operation) {
    bool wasAfterEquals = AfterEquals;
    if (wasAfterEquals)
        Accumulator = TextToNumber(DisplayText);
    else
        Operand = TextToNumber(DisplayText);
    if (PendingOperation == OpNone) {
        // After equals the number just read is the left operand; Operand is stale.
        if (!wasAfterEquals) Accumulator = Operand;
    } else if (!AfterEquals && !OperatorPressed) {
        Evaluate();
    }
    PendingOperation = operation;
    StartNewEntry = true;
    AfterEquals = false;
    OperatorPressed = true;
}

void Evaluate() {
    if (!AfterEquals) Operand = TextToNumber(DisplayText);
    StartNewEntry = true;
    AfterEquals = true;
    OperatorPressed = false;
    switch (PendingOperation) {
    case OpNone:
        Accumulator = Operand;
        break;
    case OpAdd:
    case OpSubtract:
    case OpMultiply:
        if (CheckOverflow(Accumulator, Operand, PendingOperation)) {
            SetDisplay(OverflowText);
            return;
        }
        Accumulator = PendingOperation == OpAdd        ? Accumulator + Operand
                      : PendingOperation == OpSubtract ? Accumulator - Operand
                                                       : Accumulator * Operand;
        break;
    case OpDivide: {
        if (Operand == 0.0) {
            SetDisplay(DivideByZeroText);
            return;
        }
        double quotient = Accumulator / Operand;
        if (!std::isfinite(quotient)) {
            SetDisplay(OverflowText);
            return;
        }
        Accumulator = quotient;
        break;
    }
    }
    ShowResult();
}

void MemoryClear() {
    Memory = 0.0;
}

void MemoryRecall() {
    SetDisplay(NumberToText(Memory));
    StartNewEntry = true;
}

void MemoryAdd() {
    StartNewEntry = true;
    if (AfterEquals) PendingOperation = OpNone;
    AfterEquals = false;
    double x = TextToNumber(DisplayText);
    if (CheckOverflow(Memory, x, OpAdd))
        SetDisplay(OverflowText);
    else
        Memory += x;
}

double EngineAccumulator() {
    return Accumulator;
}
double EngineOperand() {
    return Operand;
}
int EnginePendingOperation() {
    return PendingOperation;
}
