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
// The display shows the result of the last equals, written from Accumulator.
bool ResultShown;

constexpr double ResultLimit = 9999999999.0;
constexpr double ZeroThreshold = 1e-10;
constexpr std::size_t EntryDigits = 10;

// Every write to the display goes through here, so the buffer can never overrun.
void SetDisplay(std::string_view text) {
    ResultShown = false;
    std::size_t n = std::min(text.size(), sizeof DisplayText - 1);
    std::memmove(DisplayText, text.data(), n); // the text may be a part of DisplayText itself
    DisplayText[n] = '\0';
}

void AppendDisplay(char c) {
    ResultShown = false;
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

// Binary arithmetic on operands of magnitude up to m leaves noise below m x 2^-51 (a few units
// in the last place of the larger operand).
constexpr double NoiseScale = 0x1p-51;
constexpr int CleanDigitsMax = 14;

// The result with the noise of binary arithmetic removed: its shortest rounding to 1 .. 14
// significant decimal digits that lies within the noise of operands of magnitude m, read as
// the nearest double of that decimal. A result with no such rounding keeps all its digits,
// so a genuine run of 0s or 9s is never cut away.
double CleanResult(double result, double m) {
    if (result == 0.0 || !std::isfinite(result)) return result;
    const double tolerance = m * NoiseScale;
    char buf[32];
    for (int digits = 1; digits <= CleanDigitsMax; ++digits) {
        auto written =
            std::to_chars(buf, buf + sizeof buf, result, std::chars_format::scientific, digits - 1);
        double rounded = 0.0;
        auto read = std::from_chars(buf, written.ptr, rounded);
        if (read.ec != std::errc() || !std::isfinite(rounded)) continue;
        if (std::fabs(rounded - result) <= tolerance) return rounded;
    }
    return result;
}

// True when text reads back as a finite number: every number the display shows can be used.
bool ReadsBack(const std::string& text) {
    try {
        return std::isfinite(TextToNumber(text.c_str()));
    } catch (const EConvertError&) {
        return false;
    }
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
    if (wasAfterEquals) {
        // The held result keeps the digits the display cannot show (1 / 3 = * 3 = gives 1),
        // as long as the display still shows it; a changed or recalled number is read.
        if (!ResultShown) Accumulator = TextToNumber(DisplayText);
    } else {
        Operand = TextToNumber(DisplayText);
    }
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
    double result = Operand;
    // The magnitude of the noise the operation can leave: sums and differences carry that
    // of their larger operand, products and quotients that of their result.
    double scale = 0.0;
    switch (PendingOperation) {
    case OpNone:
        scale = std::fabs(result);
        break;
    case OpAdd:
    case OpSubtract:
    case OpMultiply:
        if (CheckOverflow(Accumulator, Operand, PendingOperation)) {
            SetDisplay(OverflowText);
            return;
        }
        result = PendingOperation == OpAdd        ? Accumulator + Operand
                 : PendingOperation == OpSubtract ? Accumulator - Operand
                                                  : Accumulator * Operand;
        scale = PendingOperation == OpMultiply
                    ? std::fabs(result)
                    : std::max(std::fabs(Accumulator), std::fabs(Operand));
        break;
    case OpDivide:
        if (Operand == 0.0) {
            SetDisplay(DivideByZeroText);
            return;
        }
        result = Accumulator / Operand;
        scale = std::fabs(result);
        break;
    }
    result = CleanResult(result, scale);
    if (std::fabs(result) < ZeroThreshold) result = 0.0;
    const std::string text = NumberToText(result);
    // Quotients are not limited, but a number the display could not read back is an overflow.
    if (!std::isfinite(result) || !ReadsBack(text)) {
        SetDisplay(OverflowText);
        return;
    }
    Accumulator = result;
    SetDisplay(text);
    ResultShown = true;
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
        Memory = CleanResult(Memory + x, std::max(std::fabs(Memory), std::fabs(x)));
}

bool DisplayShowsError() {
    std::string_view text = DisplayText;
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return text == OverflowText || text == DivideByZeroText;
}

void DeleteLastCharacter() {
    if (StartNewEntry) return; // a result, an error text or a cleared display
    std::string text = DisplayText;
    text.pop_back();
    if (text.empty() || text == "-")
        ClearEntry();
    else
        SetDisplay(text);
}

bool EnterNumberText(const std::string& text) {
    constexpr std::size_t MaxPastedText = 1 << 20;
    if (text.size() > MaxPastedText) return false;
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return false;
    const std::string number = text.substr(first, text.find_last_not_of(blanks) - first + 1);

    // One number: an optional "-", digits with at most one "," or ".", and optionally an
    // exponent ("E" or "e", an optional sign, digits). Nothing else, not even a blank.
    std::size_t i = number[0] == '-' ? 1 : 0;
    const bool negative = i == 1;
    std::string mantissa; // digits and at most one ",", as they were given
    std::size_t digits = 0, separators = 0;
    for (; i < number.size() && number[i] != 'E' && number[i] != 'e'; ++i) {
        if (IsDigit(number[i])) {
            ++digits;
            mantissa += number[i];
        } else if (number[i] == ',' || number[i] == '.') {
            ++separators;
            mantissa += ',';
        } else {
            return false;
        }
    }
    if (digits == 0 || separators > 1) return false;
    const bool exponent = i < number.size();
    if (exponent) {
        std::size_t j = i + 1;
        if (j < number.size() && (number[j] == '+' || number[j] == '-')) ++j;
        if (j == number.size()) return false;
        for (; j < number.size(); ++j)
            if (!IsDigit(number[j])) return false;
    }

    // What fits the ten-digit entry once its leading zeros are dropped is entered as typed.
    const std::size_t leading = std::min(mantissa.find_first_not_of('0'), mantissa.size());
    const std::string entry = mantissa.substr(leading);
    const std::size_t entryDigits =
        static_cast<std::size_t>(std::count_if(entry.begin(), entry.end(), IsDigit));
    if (!exponent && entryDigits <= 10) {
        StartNewEntry = true; // a new entry, even in the middle of one being typed
        for (char c : entry) {
            if (IsDigit(c))
                EnterDigit(c - '0');
            else
                EnterPoint();
        }
        if (entry.empty()) EnterDigit(0); // it was all zeros
        if (negative) ChangeSign();
        return true;
    }
    // Any other number within the range of the results is shown as a recalled one is.
    std::string plain = number.substr(negative ? 1 : 0);
    std::replace(plain.begin(), plain.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value) ||
        value > 9999999999.0)
        return false;
    SetDisplay(NumberToText(negative ? -value : value));
    StartNewEntry = true;
    return true;
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
